#include "event_log.h"

namespace tessel::sim {

EventLog::EventLog(platform::Clock& clock, std::ostream* out)
    : clock_(clock), out_(out), start_ms_(clock.NowMs()) {}

void EventLog::Emit(std::string_view event, Json fields) {
    Json line = Json::object();
    line["t_ms"] = clock_.NowMs() - start_ms_;
    line["event"] = event;
    for (auto& [key, value] : fields.items()) {
        line[key] = std::move(value);
    }
    {
        std::lock_guard lock(mutex_);
        if (out_) {
            *out_ << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
            out_->flush();
        }
        events_.push_back(std::move(line));
    }
    changed_.notify_all();
}

std::vector<Json> EventLog::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::optional<Json> EventLog::WaitFor(const std::function<bool(const Json&)>& match,
                                      std::chrono::milliseconds timeout, std::size_t from,
                                      std::size_t* index) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    std::size_t next = from;
    while (true) {
        for (; next < events_.size(); ++next) {
            if (match(events_[next])) {
                if (index) {
                    *index = next;
                }
                return events_[next];
            }
        }
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout &&
            next == events_.size()) {
            return std::nullopt;
        }
    }
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::vector<std::uint8_t> FromHex(std::string_view hex) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = nibble(hex[i]);
        const int lo = nibble(hex[i + 1]);
        if (hi < 0 || lo < 0) {
            return {};
        }
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return out;
}

}  // namespace tessel::sim
