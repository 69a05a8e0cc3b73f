// One firmware upgrade of the connected printer, from the start request to its end, on a
// thread of its own: check the printer, check the version, send the loader, wait for the
// restart, send the firmware, flag the device for reinstallation, wait for the burn.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>

#include "upgrade/upgrade_display.h"

namespace tessel::upgrade {

enum class UpgradeStep {
    CheckPrinter,
    CheckVersion,
    TransferLoader,
    TransferFirmware,
    Finish,
    Fail
};

// What the version check turns into for the worker.
enum class VersionOutcome { Proceed, Declined, NotIdle, OpenFailed };

// Result codes of the transfer and wait steps (besides the transfer's own codes).
inline constexpr std::int32_t kStepOk = 1;
inline constexpr std::int32_t kErrRestartTimeout = -7;
inline constexpr std::int32_t kErrTransferOpen = -22;

// Fixed waits, in milliseconds of the clock.
inline constexpr std::uint32_t kRestartSleepMs = 54'000;
inline constexpr std::uint32_t kPollIntervalMs = 6'000;
inline constexpr std::int64_t kPollWindowSeconds = 60;
inline constexpr std::uint32_t kBurnWaitMs = 204'000;
// The restart and burn waits are slept in steps of this size, each preceded by a phase report
// with the time left.
inline constexpr std::uint32_t kPhaseStepMs = 2'000;
inline constexpr std::u16string_view kBurnWaitDebugLine =
    u"Sleep(204000), RetValue = UPDATE_SEND_OK \r\n";

// Busy flag of the worker: 1 from the start request until the run has ended.
extern std::atomic<std::uint8_t> bUpgrading;
// Set by start-up when the system is Windows 10; read when a run completes.
extern std::atomic<std::int32_t> g_bIsWin10;

// The printer's status byte, or 5 when the device cannot be opened or the query fails; `why`,
// when given, gets the system's reason for a failed open, and `query` the status query's
// result (link::kLinkOk when the printer answered).
std::int32_t CheckPrinterStatus2(platform::OpenFailure* why = nullptr,
                                 std::int32_t* query = nullptr);
// Whether a printer with this status may be upgraded: 0, 2 and 4 let the run go on.
bool StatusAllowsUpgrade(std::int32_t status);
VersionOutcome ConfirmVersion(std::int32_t comparison, UpgradeDisplay& display);
// Send the loader or the firmware to the current device (g_strDevicePath), reporting the
// phase's progress to `display`; kStepOk, kErrTransferOpen or the transfer's own code.
// `cause`, when given, gets why a transfer failed.
std::int32_t SendLoaderImage(UpgradeDisplay& display, RunCause* cause = nullptr);
std::int32_t SendFirmwareImage(UpgradeDisplay& display, RunCause* cause = nullptr);
// `selected_row` indexes the printer list as it was before the restart. Polls until that
// row's printer is found again (discovery::FindSamePrinter) and its own device file opens.
std::int32_t WaitForPrinterRestart(UpgradeDisplay& display, std::int32_t selected_row);
// The burn's fixed wait, reported to `display` step by step with the time left; kStepOk.
std::int32_t WaitForFlashBurn(UpgradeDisplay& display);

// The thread procedure: runs one upgrade to its end and clears bUpgrading last. Returns 0.
std::uint32_t UpgradeWorker(UpgradeDisplay& display);

// Starts a worker on `display` unless one runs. Test and set of the busy flag is one atomic
// step, so two start requests can never start two workers. Returns whether it started one;
// when the thread cannot be started, the busy flag and the display's worker-running flag are
// cleared again and the answer is false.
bool OnStartUpgrade(UpgradeDisplay& display);

// Blocks until the worker's thread has ended (a front end calls it before it ends, so it never
// ends while a worker still uses the display or the process's objects). Returns at once when
// no worker was started. Never call it on a thread the worker waits for.
void WaitForUpgradeWorker();

// How OnStartUpgrade starts the worker's thread: std::thread when empty (the default). A
// starter reports failure as std::thread does, by throwing std::system_error. For tests.
using WorkerThreadStarter = std::function<std::thread(std::function<void()>)>;
void SetWorkerThreadStarter(WorkerThreadStarter starter);

}  // namespace tessel::upgrade
