// Text that the printer sends as plain bytes, turned into the tool's UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace tessel::platform {

// Converts `bytes` with the calling thread's ANSI code page (Windows: CP_THREAD_ACP). Linux has
// no such code page: the bytes are taken as UTF-8 and invalid sequences become U+FFFD.
std::u16string AnsiToUtf16(std::string_view bytes);

}  // namespace tessel::platform
