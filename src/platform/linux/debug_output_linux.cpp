#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/debug_output.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

// The debugger output of Linux: standard error, only when TESSEL_DEBUG is set.
class LinuxDebugOutput final : public DebugOutput {
public:
    LinuxDebugOutput() : enabled_(std::getenv("TESSEL_DEBUG") != nullptr) {}
    void Write(std::u16string_view line) override {
        if (!enabled_) {
            return;
        }
        std::string text = Utf16ToUtf8(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
            text.pop_back();
        }
        std::lock_guard lock(mutex_);
        std::fprintf(stderr, "[debug] %s\n", text.c_str());
    }

private:
    bool enabled_;
    std::mutex mutex_;
};

}  // namespace

DebugOutput& SystemDebugOutput() {
    static LinuxDebugOutput output;
    return output;
}

}  // namespace tessel::platform
