#include "platform/stand_in_guard.h"

#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/services.h"

namespace tessel::platform {

bool RefuseStandInPayload(bool device_could_be_printer, std::span<const std::uint8_t> bytes) {
    if (!payloads::kPayloadsAreStandIns || !device_could_be_printer ||
        !payloads::LooksLikePayload(bytes)) {
        return false;
    }
    Debug(
        u"Refusing to send a stand-in payload to a real printer: this build does not carry "
        u"the maker's payloads");
    return true;
}

}  // namespace tessel::platform
