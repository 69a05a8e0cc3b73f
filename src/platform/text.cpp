#include "platform/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tessel::platform {

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xF4) {
            len = b0 < 0xE0 ? 2 : (b0 < 0xF0 ? 3 : 4);
            if (i + len > n) {
                len = 1;
            } else {
                char32_t v = b0 & (0x3F >> (len - 1));
                bool ok = true;
                for (std::size_t k = 1; k < len; ++k) {
                    const auto b = static_cast<unsigned char>(utf8[i + k]);
                    if ((b & 0xC0) != 0x80) {
                        ok = false;
                        break;
                    }
                    v = (v << 6) | (b & 0x3F);
                }
                const char32_t min = len == 2 ? 0x80 : (len == 3 ? 0x800 : 0x10000);
                if (ok && v >= min && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                    cp = v;
                } else {
                    len = 1;
                }
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string FormatU16(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> buffer(static_cast<std::size_t>(needed > 0 ? needed : 0) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    return Utf8ToUtf16(std::string_view(buffer.data(), buffer.size() - 1));
}

void CopyToFixed(char16_t* dst, std::size_t capacity, std::u16string_view src) {
    if (capacity == 0) {
        return;
    }
    std::fill(dst, dst + capacity, u'\0');
    const std::size_t n = std::min(src.size(), capacity - 1);
    std::copy_n(src.begin(), n, dst);
}

std::u16string_view FixedView(const char16_t* src, std::size_t capacity) {
    std::size_t n = 0;
    while (n < capacity && src[n] != u'\0') {
        ++n;
    }
    return {src, n};
}

}  // namespace tessel::platform
