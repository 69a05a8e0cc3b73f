#include <windows.h>

#include <climits>

#include "platform/ansi_text.h"

namespace tessel::platform {

std::u16string AnsiToUtf16(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    const int written = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), length,
                                            reinterpret_cast<wchar_t*>(out.data()), needed);
    out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return out;
}

}  // namespace tessel::platform
