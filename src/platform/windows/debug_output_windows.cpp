#include <windows.h>

#include <string>

#include "platform/debug_output.h"

namespace tessel::platform {
namespace {

class WindowsDebugOutput final : public DebugOutput {
public:
    void Write(std::u16string_view line) override {
        const std::wstring text(line.begin(), line.end());
        OutputDebugStringW(text.c_str());
    }
};

}  // namespace

DebugOutput& SystemDebugOutput() {
    static WindowsDebugOutput output;
    return output;
}

}  // namespace tessel::platform
