// The support log: every debugger line of a run, time-stamped, also goes to a file of its own
// in the tool's state folder, so that a user can hand a failed run to support. The folder keeps
// the newest kKeptRunLogs logs. A log that cannot be written is given up quietly: the run goes
// on exactly as without it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/debug_output.h"
#include "platform/services.h"

namespace tessel::app {

inline constexpr std::size_t kKeptRunLogs = 10;

// A logged line is cut after this many bytes: a debugger line is a short sentence, and nothing
// long and binary (such as payload bytes) can end up in the file whole.
inline constexpr std::size_t kMaxLogLineBytes = 512;

class SupportLog final : public platform::DebugOutput {
  public:
    // The wall-clock time stamp of a line, "2026-12-10 23:15:02.123" in UTC.
    using Stamp = std::function<std::string()>;
    static std::string UtcStamp();

    // Starts a new log in `folder` (created when missing), first removing the oldest logs so
    // that the folder keeps kKeptRunLogs with this one. Every line also goes on to `forward`.
    // `title` is the log's first line.
    SupportLog(const std::filesystem::path& folder, std::string_view title,
               platform::DebugOutput& forward, Stamp stamp = UtcStamp);

    void Write(std::u16string_view line) override;

    // The log's file; empty when there is none (no folder, or it could not be written).
    std::filesystem::path path() const;

  private:
    void WriteLine(std::string_view text);

    platform::DebugOutput& forward_;
    Stamp stamp_;
    mutable std::mutex mutex_;
    std::ofstream file_;
    std::filesystem::path path_;
};

// A run's log in the tool's state folder, installed as the debugger output of the current
// services for as long as it lives; every line also goes on to the output it took over from.
class ScopedSupportLog {
  public:
    explicit ScopedSupportLog(std::string_view title);
    std::filesystem::path path() const { return log_.path(); }

  private:
    SupportLog log_;
    platform::ScopedServices installed_;
};

// The newest log in `folder`, if any.
std::optional<std::filesystem::path> LatestSupportLog(const std::filesystem::path& folder);

// A path as UTF-8 text, for the console (never throws, whatever the path holds).
std::string PathText(const std::filesystem::path& path);

// A line as it is logged: UTF-8, control characters shown as '?', cut at kMaxLogLineBytes.
std::string LoggedText(std::u16string_view line);

}  // namespace tessel::app
