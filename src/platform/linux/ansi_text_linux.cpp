#include "platform/ansi_text.h"
#include "platform/text.h"

namespace tessel::platform {

std::u16string AnsiToUtf16(std::string_view bytes) {
    return Utf8ToUtf16(bytes);
}

}  // namespace tessel::platform
