#include "platform/os_version.h"

namespace tessel::platform {

std::optional<OsVersionRecord> QueryOsVersion() {
    return std::nullopt;
}

}  // namespace tessel::platform
