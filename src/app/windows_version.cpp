#include "app/windows_version.h"

#include "platform/services.h"
#include "platform/text.h"
#include "upgrade/upgrade_worker.h"

namespace tessel::app {
namespace {

constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint8_t kWorkstation = 1;

}  // namespace

int WindowsVersionCode(const platform::OsVersionRecord& r) {
    if (r.platform_id != kPlatformNt) {
        return 0;
    }
    const bool workstation = r.extended && r.product_type == kWorkstation;
    // From 6.0 on, a system is a workstation or a server only by its product type.
    const auto by_type = [&](int for_workstation, int otherwise) {
        if (!r.extended) {
            return 0;
        }
        return workstation ? for_workstation : otherwise;
    };
    switch (r.major) {
        case 5:
            if (r.minor == 1) {
                return 7;
            }
            if (r.minor == 2) {
                if (workstation) {
                    return 14;
                }
                return r.extended && r.server_r2 ? 12 : 8;
            }
            return 0;
        case 6:
            switch (r.minor) {
                case 0:
                    return by_type(9, 10);
                case 1:
                    return by_type(11, 13);
                case 2:
                    return by_type(15, 16);
                case 3:
                    return by_type(17, 18);
                default:
                    return 0;
            }
        case 10:
            return r.minor == 0 ? by_type(19, 20) : 0;
        default:
            return 0;
    }
}

bool IsWindows10(const platform::OsVersionRecord& record) {
    return record.platform_id == kPlatformNt && record.major == 10;
}

void DetectWindowsVersion(const std::optional<platform::OsVersionRecord>& record) {
    if (!record) {
        return;
    }
    if (IsWindows10(*record)) {
        upgrade::g_bIsWin10 = 1;
    }
    platform::Debug(u" ======= 系统ID =======");
    platform::Debug(platform::FormatU16(
        " ==== 返回：%d ,  OS PlatformID：%d, OS MaxID：%d , OS MinID：%d =====",
        WindowsVersionCode(*record), static_cast<int>(record->platform_id),
        static_cast<int>(record->major), static_cast<int>(record->minor)));
}

void DetectWindowsVersion() {
    DetectWindowsVersion(platform::QueryOsVersion());
}

}  // namespace tessel::app
