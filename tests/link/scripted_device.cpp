#include "scripted_device.h"

#include <algorithm>

namespace tessel::testing {

std::int32_t ScriptedDevice::Write(const std::uint8_t* data, std::uint32_t count) {
    const std::size_t index = write_calls_.size();
    std::int32_t result = static_cast<std::int32_t>(std::min(count, max_write_));
    if (const auto it = write_results_.find(index); it != write_results_.end()) {
        result = it->second;
    }
    if (result > 0) {
        bytes_.insert(bytes_.end(), data,
                      data + std::min<std::uint32_t>(static_cast<std::uint32_t>(result), count));
    }
    write_calls_.push_back({count, result});
    clock_.AdvanceMs(write_ms_);
    return result;
}

std::int32_t ScriptedDevice::Read(std::uint8_t* buffer, std::uint32_t count) {
    ++read_calls_;
    if (script_.empty()) {
        clock_.AdvanceMs(idle_read_ms_);
        return 0;
    }
    Step& step = script_.front();
    clock_.AdvanceMs(step.advance_ms);
    step.advance_ms = 0;  // a step split over several reads takes its time once
    if (step.fail) {
        script_.pop_front();
        return -1;
    }
    if (step.overstate) {
        std::copy_n(step.bytes.begin(), std::min<std::size_t>(count, step.bytes.size()), buffer);
        script_.pop_front();
        return static_cast<std::int32_t>(count) + 1;
    }
    const std::size_t n = std::min<std::size_t>(count, step.bytes.size());
    std::copy_n(step.bytes.begin(), n, buffer);
    step.bytes.erase(step.bytes.begin(), step.bytes.begin() + static_cast<std::ptrdiff_t>(n));
    if (step.bytes.empty()) {
        script_.pop_front();
    }
    return static_cast<std::int32_t>(n);
}

void ScriptedDevice::AddRead(std::vector<std::uint8_t> bytes, std::int64_t advance_ms) {
    script_.push_back({std::move(bytes), false, advance_ms});
}

void ScriptedDevice::AddRead(std::string_view text, std::int64_t advance_ms) {
    AddRead(Bytes(text), advance_ms);
}

void ScriptedDevice::AddReadFailure(std::int64_t advance_ms) {
    script_.push_back({{}, true, advance_ms});
}

void ScriptedDevice::AddOverstatedRead(std::vector<std::uint8_t> bytes) {
    script_.push_back({std::move(bytes), false, 0, true});
}

std::vector<std::vector<std::uint8_t>> ScriptedDevice::WrittenChunks() const {
    std::vector<std::vector<std::uint8_t>> chunks;
    std::size_t offset = 0;
    for (const WriteCall& call : write_calls_) {
        const std::size_t n = call.result > 0 ? static_cast<std::size_t>(call.result) : 0;
        chunks.emplace_back(bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                            bytes_.begin() + static_cast<std::ptrdiff_t>(offset + n));
        offset += n;
    }
    return chunks;
}

std::vector<std::uint32_t> ScriptedDevice::WriteSizes() const {
    std::vector<std::uint32_t> sizes;
    for (const WriteCall& call : write_calls_) {
        sizes.push_back(call.result > 0 ? static_cast<std::uint32_t>(call.result) : 0);
    }
    return sizes;
}

namespace {

class ForwardingDeviceFile final : public platform::DeviceFile {
  public:
    ForwardingDeviceFile(platform::DeviceFile& target, int& open_handles)
        : target_(target), open_handles_(open_handles) {
        ++open_handles_;
    }
    ~ForwardingDeviceFile() override { --open_handles_; }
    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        return target_.Write(data, count);
    }
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return target_.Read(buffer, count);
    }
    bool CouldBePrinter() const override { return target_.CouldBePrinter(); }

  private:
    platform::DeviceFile& target_;
    int& open_handles_;
};

}  // namespace

std::unique_ptr<platform::DeviceFile> FakeDeviceFiles::Open(const std::u16string& path) {
    opened_.push_back(path);
    if (fail_open_) {
        return nullptr;
    }
    return std::make_unique<ForwardingDeviceFile>(device_, open_handles_);
}

std::vector<std::uint8_t> StatusReply(std::uint8_t status, std::uint16_t magic,
                                      std::uint16_t code) {
    std::vector<std::uint8_t> reply(16, 0);
    reply[0] = static_cast<std::uint8_t>(magic >> 8);
    reply[1] = static_cast<std::uint8_t>(magic);
    reply[2] = static_cast<std::uint8_t>(code >> 8);
    reply[3] = static_cast<std::uint8_t>(code);
    reply[6] = status;
    return reply;
}

std::vector<std::uint8_t> VersionReplyHeader(std::uint16_t length) {
    std::vector<std::uint8_t> header = StatusReply(0, 0x00AC, 0xFF21);
    header[6] = static_cast<std::uint8_t>(length >> 8);
    header[7] = static_cast<std::uint8_t>(length);
    return header;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace tessel::testing
