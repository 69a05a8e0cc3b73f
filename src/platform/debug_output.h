// The debugger output: the tool's only diagnostics channel, one wide line per call.
#pragma once

#include <string_view>

namespace tessel::platform {

class DebugOutput {
public:
    virtual ~DebugOutput() = default;
    virtual void Write(std::u16string_view line) = 0;
};

// Windows: OutputDebugStringW. Linux: UTF-8 on standard error when TESSEL_DEBUG is set,
// otherwise nowhere.
DebugOutput& SystemDebugOutput();

}  // namespace tessel::platform
