// Keeping the machine awake while an upgrade runs: a machine that suspends during a transfer or
// the burn wait leaves the printer half upgraded.
#pragma once

#include <memory>

namespace tessel::platform {

// Who asks the system to stay awake, and why, as the system shows it (Linux: `systemd-inhibit
// --list`).
inline constexpr const char* kSleepBlockWho = "Tessel";
inline constexpr const char* kSleepBlockWhy = "Upgrading the printer's firmware";

// Held while the machine must stay awake; destroying it lets the system sleep again.
class SleepBlock {
public:
    virtual ~SleepBlock() = default;
};

class Power {
public:
    virtual ~Power() = default;
    // Asks the system not to sleep until the returned block is destroyed. Nothing when the
    // system cannot be asked or refuses (a debugger line says why); the caller goes on without.
    // Windows keeps the state per thread: destroy the block on the thread that made it.
    virtual std::unique_ptr<SleepBlock> BlockSleep() = 0;
};

// Windows: the thread's execution state (SetThreadExecutionState). Linux: a logind inhibitor
// lock ("sleep", mode "block") over the system D-Bus (DBUS_SYSTEM_BUS_ADDRESS, else the
// system's socket).
Power& SystemPower();

}  // namespace tessel::platform
