#include "app/support_log.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>
#include <vector>

#include "platform/state_folder.h"
#include "platform/text.h"

namespace tessel::app {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tessel-";
constexpr std::string_view kSuffix = ".log";

bool IsRunLog(const fs::directory_entry& entry) {
    std::error_code error;
    if (!entry.is_regular_file(error)) {
        return false;
    }
    const std::string name = PathText(entry.path().filename());
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

// The run logs of `folder`, oldest first: their names begin with their start time.
std::vector<fs::path> RunLogs(const fs::path& folder) {
    std::vector<fs::path> logs;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (IsRunLog(*it)) {
            logs.push_back(it->path());
        }
    }
    std::sort(logs.begin(), logs.end());
    return logs;
}

// "20261210-231502-123" from a stamp "2026-12-10 23:15:02.123".
std::string FileStamp(const std::string& stamp) {
    std::string name;
    for (const char c : stamp) {
        if (c >= '0' && c <= '9') {
            name.push_back(c);
        } else if (c == ' ' || c == '.') {
            name.push_back('-');
        }
    }
    return name;
}

}  // namespace

std::string SupportLog::UtcStamp() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()),
                  static_cast<int>(time.subseconds().count()));
    return text;
}

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string LoggedText(std::u16string_view line) {
    std::string text = platform::Utf16ToUtf8(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    if (text.size() > kMaxLogLineBytes) {
        std::size_t cut = kMaxLogLineBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a UTF-8 sequence
        }
        text.resize(cut);
        text += " [cut]";
    }
    return text;
}

SupportLog::SupportLog(const fs::path& folder, std::string_view title,
                       platform::DebugOutput& forward, Stamp stamp)
    : forward_(forward), stamp_(std::move(stamp)) {
    if (folder.empty()) {
        return;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return;
    }
    std::vector<fs::path> logs = RunLogs(folder);
    for (std::size_t i = 0; i + kKeptRunLogs <= logs.size(); ++i) {
        fs::remove(logs[i], error);
    }
    const std::string base = std::string(kPrefix) + FileStamp(stamp_());
    fs::path path = folder / (base + std::string(kSuffix));
    for (int n = 2; fs::exists(path, error) && n < 100; ++n) {
        path = folder / (base + "-" + std::to_string(n) + std::string(kSuffix));
    }
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file_) {
        return;
    }
    path_ = path;
    WriteLine(title);
}

void SupportLog::WriteLine(std::string_view text) {
    if (!file_.is_open()) {
        return;
    }
    file_ << stamp_() << "  " << text << '\n';
    file_.flush();  // whatever happens next, the lines so far are in the file
    if (!file_) {
        file_.close();  // given up: the disk is full or the file went away
    }
}

void SupportLog::Write(std::u16string_view line) {
    forward_.Write(line);
    std::lock_guard lock(mutex_);
    WriteLine(LoggedText(line));
}

fs::path SupportLog::path() const {
    std::lock_guard lock(mutex_);
    return path_;
}

std::optional<fs::path> LatestSupportLog(const fs::path& folder) {
    if (folder.empty()) {
        return std::nullopt;
    }
    std::vector<fs::path> logs = RunLogs(folder);
    if (logs.empty()) {
        return std::nullopt;
    }
    return logs.back();
}

namespace {
platform::Services WithDebug(platform::DebugOutput& debug) {
    platform::Services services = platform::Current();
    services.debug = &debug;
    return services;
}
}  // namespace

ScopedSupportLog::ScopedSupportLog(std::string_view title)
    : log_(platform::ToolStateFolder(), title, *platform::Current().debug),
      installed_(WithDebug(log_)) {}

}  // namespace tessel::app
