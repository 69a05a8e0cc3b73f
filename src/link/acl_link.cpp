#include "link/acl_link.h"

#include <algorithm>

#include "link/stand_in_guard.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::link {
namespace {

// A write counts as complete only when it wrote exactly what was asked.
bool WriteAll(platform::DeviceFile& device, const std::uint8_t* data, std::uint32_t count) {
    return WriteToDevice(device, data, count) == static_cast<std::int32_t>(count);
}

}  // namespace

std::int32_t ReadData(platform::DeviceFile& device, std::uint8_t* buffer, std::uint32_t count) {
    std::int32_t read = device.Read(buffer, count);
    if (read < 0 || static_cast<std::uint32_t>(read) > count) {
        read = -1;  // more than asked cannot be a good read
    }
    platform::Debug(platform::FormatU16("ReadData(): nBytesRead = %d \r\n", read));
    return read;
}

std::int32_t SendAclCommand(platform::DeviceFile& device, const std::uint8_t* command,
                            std::uint32_t length) {
    if (!WriteAll(device, kUel.data(), kUel.size())) {
        return kErrUelWrite;
    }
    if (!WriteAll(device, kEnterAcl.data(), kEnterAcl.size())) {
        return kErrLanguageWrite;
    }
    const std::uint32_t chunk = std::min(length, kMaxWriteSize);
    if (WriteToDevice(device, command, chunk) != static_cast<std::int32_t>(length)) {
        return kErrCommandWrite;
    }
    if (!WriteAll(device, kUel.data(), kUel.size())) {
        return kErrUelWrite;
    }
    return kLinkOk;
}

}  // namespace tessel::link
