#include <windows.h>

#include "platform/os_version.h"

namespace tessel::platform {

std::optional<OsVersionRecord> QueryOsVersion() {
    OSVERSIONINFOEXW extended = {};
    extended.dwOSVersionInfoSize = sizeof extended;
    OsVersionRecord record;
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
        record.extended = true;
        record.product_type = extended.wProductType;
    } else {
        OSVERSIONINFOW shorter = {};
        shorter.dwOSVersionInfoSize = sizeof shorter;
        if (!GetVersionExW(&shorter)) {
            return std::nullopt;
        }
        extended.dwPlatformId = shorter.dwPlatformId;
        extended.dwMajorVersion = shorter.dwMajorVersion;
        extended.dwMinorVersion = shorter.dwMinorVersion;
    }
    record.platform_id = extended.dwPlatformId;
    record.major = extended.dwMajorVersion;
    record.minor = extended.dwMinorVersion;
    record.server_r2 = GetSystemMetrics(SM_SERVERR2) != 0;
    return record;
}

}  // namespace tessel::platform
