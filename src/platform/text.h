// Conversions between the tool's UTF-16 strings and UTF-8, and printf-style formatting into
// UTF-16 for trace lines.
#pragma once

#include <string>
#include <string_view>

namespace tessel::platform {

// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// printf-style formatting (narrow format, UTF-8 arguments), returned as UTF-16.
std::u16string FormatU16(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Copies `src` into the fixed array `dst` of `capacity` UTF-16 units, cut at capacity - 1,
// zero-terminated, the rest of the array zero.
void CopyToFixed(char16_t* dst, std::size_t capacity, std::u16string_view src);

// The zero-terminated string held in a fixed array (at most `capacity` units are looked at).
std::u16string_view FixedView(const char16_t* src, std::size_t capacity);

}  // namespace tessel::platform
