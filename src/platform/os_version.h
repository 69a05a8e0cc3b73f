// The operating system's own account of its version, as the Windows version query gives it.
#pragma once

#include <cstdint>
#include <optional>

namespace tessel::platform {

struct OsVersionRecord {
    std::uint32_t platform_id = 0;  // 2: the NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    // The extended record was obtained: it carries the product type. Otherwise only the short
    // record was, and product_type is 0.
    bool extended = false;
    std::uint8_t product_type = 0;  // 1: workstation; 2: domain controller; 3: server
    bool server_r2 = false;         // the system says it is a Server 2003 R2
};

// Windows: GetVersionExW with the extended record, then with the short one when that fails;
// nothing when both fail. The answer follows the executable's manifest: a system newer than
// every one the manifest names reports itself as the newest one named. Other systems: nothing.
std::optional<OsVersionRecord> QueryOsVersion();

}  // namespace tessel::platform
