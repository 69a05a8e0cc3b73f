// The emulator's machine-readable log: one JSON object per line, each with the printer time
// in milliseconds since the start ("t_ms") and the event's name ("event"). Kept in memory too,
// so a test can wait for an event. Safe to use from several threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tessel::sim {

using Json = nlohmann::ordered_json;

class EventLog {
  public:
    // `out` (optional) receives each line as it is made.
    explicit EventLog(platform::Clock& clock, std::ostream* out = nullptr);

    // Adds "t_ms" and "event" in front of `fields` (an object) and records the line.
    void Emit(std::string_view event, Json fields = Json::object());

    std::vector<Json> Events() const;

    // A time of the clock as the log shows it (milliseconds since the log started).
    std::int64_t SinceStart(std::int64_t clock_ms) const { return clock_ms - start_ms_; }

    // Waits until an event at index `from` or later satisfies `match`, at most `timeout` of
    // real time. Returns the event and sets `*index` to its position.
    std::optional<Json> WaitFor(const std::function<bool(const Json&)>& match,
                                std::chrono::milliseconds timeout, std::size_t from = 0,
                                std::size_t* index = nullptr) const;

  private:
    platform::Clock& clock_;
    std::ostream* out_;
    std::int64_t start_ms_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Json> events_;
};

// Bytes as upper-case hexadecimal without separators ("00ACFF87").
std::string Hex(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> FromHex(std::string_view hex);

}  // namespace tessel::sim
