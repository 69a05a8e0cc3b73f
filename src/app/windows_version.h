// Which Windows the tool runs on. Its lasting result is upgrade::g_bIsWin10, which decides
// whether the upgrade's end also marks the printer's device by its name for a fresh driver.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/os_version.h"

namespace tessel::app {

// The version code of the debugger line: 7 (XP), 8 (Server 2003), 9 (Vista), 10 (Server
// 2008), 11 (7), 12 (Server 2003 R2), 13 (Server 2008 R2), 14 (XP x64), 15 (8), 16 (Server
// 2012), 17 (8.1), 18 (Server 2012 R2), 19 (10), 20 (Server 2016 and later); 0 for anything
// else, and for the versions from 6.0 on when the product type is not known.
int WindowsVersionCode(const platform::OsVersionRecord& record);

// True for every NT-family system of major version 10.
bool IsWindows10(const platform::OsVersionRecord& record);

// Sets g_bIsWin10 when `record` is Windows 10 and writes the two debugger lines. Without a
// record (the version query failed, or this is no Windows) it does nothing at all.
void DetectWindowsVersion(const std::optional<platform::OsVersionRecord>& record);

// The same for the system's own answer (platform::QueryOsVersion).
void DetectWindowsVersion();

}  // namespace tessel::app
