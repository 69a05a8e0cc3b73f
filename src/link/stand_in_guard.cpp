#include "link/stand_in_guard.h"

#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/services.h"

namespace tessel::link {

bool RefuseStandInPayload(bool device_could_be_printer, std::span<const std::uint8_t> bytes) {
    if (!payloads::kPayloadsAreStandIns || !device_could_be_printer ||
        !payloads::LooksLikePayload(bytes)) {
        return false;
    }
    platform::Debug(
        u"Refusing to send a stand-in payload to a real printer: this build does not carry "
        u"the maker's payloads");
    return true;
}

std::int32_t WriteToDevice(platform::DeviceFile& device, const std::uint8_t* data,
                           std::uint32_t count) {
    if (RefuseStandInPayload(device.CouldBePrinter(), {data, count})) {
        return -1;
    }
    return device.Write(data, count);
}

}  // namespace tessel::link
