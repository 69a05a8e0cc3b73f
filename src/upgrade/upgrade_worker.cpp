#include "upgrade/upgrade_worker.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "discovery/device_globals.h"
#include "discovery/device_reinstall.h"
#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "link/link_result.h"
#include "link/payload_transfer.h"
#include "link/printer_queries.h"
#include "payloads/payload_format.h"
#include "platform/power.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"
#include "upgrade/same_printer.h"

namespace tessel::upgrade {

std::atomic<std::uint8_t> bUpgrading{0};
std::atomic<std::int32_t> g_bIsWin10{0};

namespace {

// What CheckPrinterStatus2 gives for a printer that cannot be asked; the upgrade goes on only
// for the printer's own statuses in kUpgradableStatuses.
constexpr std::int32_t kStatusUnavailable = 5;
constexpr std::array<std::int32_t, 3> kUpgradableStatuses = {0, 2, 4};

// The thread of the current or last run, joined before the next one starts and by
// WaitForUpgradeWorker. Never destroyed: a process may end with a finished run not yet joined,
// and destroying a joinable thread would abort it.
std::mutex& WorkerThreadMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}
std::thread& WorkerThread() {
    static auto* thread = new std::thread;
    return *thread;
}
WorkerThreadStarter& ThreadStarter() {
    static auto* starter = new WorkerThreadStarter;
    return *starter;
}

// The device file as a transfer used it: how many bytes it took and whether a write came back
// short, which is how a printer that stops reading while it stays on the bus shows (the write
// waits for it, then gives up with what it has).
class WatchedDevice final : public platform::DeviceFile {
  public:
    explicit WatchedDevice(platform::DeviceFile& device) : device_(device) {}
    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        const std::int32_t written = device_.Write(data, count);
        if (written >= 0 && static_cast<std::uint32_t>(written) < count) {
            came_back_short_ = true;
        }
        if (written > 0) {
            bytes_ += static_cast<std::uint32_t>(written);
        }
        return written;
    }
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return device_.Read(buffer, count);
    }
    bool CouldBePrinter() const override { return device_.CouldBePrinter(); }
    std::uint64_t bytes() const { return bytes_; }
    bool came_back_short() const { return came_back_short_; }

  private:
    platform::DeviceFile& device_;
    std::uint64_t bytes_ = 0;
    bool came_back_short_ = false;
};

// Whether the current device is gone from the bus, and what the system says when it does not
// open: asked after a read or a write failed, to tell a printer that dropped off from one that
// refused.
platform::OpenFailure ProbeDevice() {
    platform::OpenFailure failure = platform::OpenFailure::kNone;
    platform::Current().devices->OpenWithReason(discovery::g_strDevicePath, failure);
    return failure;
}

RunReason AfterIoFailure(RunReason still_there) {
    return ProbeDevice() == platform::OpenFailure::kNone ? still_there : RunReason::kDroppedOffBus;
}

// Sends a payload to the current device and reports the phase's progress: bytes written, the
// rate so far and, from it, the time left, all on the clock. `cause`, when given, gets why the
// transfer failed.
std::int32_t SendPayload(std::uint16_t id, UpgradeDisplay& display, UpgradePhase phase,
                         RunCause* cause) {
    RunCause failed;
    failed.phase = phase;
    if (const auto payload = platform::FindBinaryResource(id)) {
        failed.bytes_total = payload->size();
    }
    platform::OpenFailure why = platform::OpenFailure::kNone;
    auto device = platform::Current().devices->OpenWithReason(discovery::g_strDevicePath, why);
    if (!device) {
        failed.reason = RunReason::kOpenFailed;
        failed.system = why;
        if (cause != nullptr) {
            *cause = failed;
        }
        return kErrTransferOpen;
    }
    WatchedDevice watched(*device);
    const std::int64_t start_ms = platform::Clk().NowMs();
    display.ShowPhase({phase, 0, 0, 0, std::nullopt});
    const std::int32_t result =
        link::SendFWResource(watched, id, [&](std::uint64_t sent, std::uint64_t total) {
            PhaseReport report{phase, sent, total, 0, std::nullopt};
            const std::int64_t elapsed_ms = platform::Clk().NowMs() - start_ms;
            if (elapsed_ms > 0) {
                report.bytes_per_second = sent * 1000 / static_cast<std::uint64_t>(elapsed_ms);
            }
            if (report.bytes_per_second > 0) {
                report.seconds_left =
                    static_cast<std::int64_t>((total - sent) / report.bytes_per_second);
            }
            display.ShowPhase(report);
        });
    if (result == kStepOk || cause == nullptr) {
        return result;
    }
    failed.bytes_sent = watched.bytes();
    switch (result) {
        case link::kErrTransferTimeout:
            failed.reason = RunReason::kTransferTooLong;
            break;
        case link::kErrNoResource:
        case link::kErrNoMemory:
        case link::kErrLoadResource:
            failed.reason = RunReason::kPayloadMissing;
            break;
        default:
            // A printer that is gone may have taken part of its last write too: ask first.
            device.reset();  // closed before the probe opens it again
            failed.reason = AfterIoFailure(watched.came_back_short() ? RunReason::kStoppedTakingData
                                                                     : RunReason::kWriteFailed);
            break;
    }
    *cause = failed;
    return result;
}

// Sleeps `ms` on the clock in steps of `step_ms`, telling the display before each step how
// many seconds of `phase` are left at most (`bound_ms` from now at the start).
void SleepReporting(UpgradeDisplay& display, UpgradePhase phase, std::uint32_t ms,
                    std::uint32_t step_ms, std::int64_t bound_ms) {
    for (std::uint32_t slept = 0; slept < ms;) {
        display.ShowPhase({phase, 0, 0, 0, (bound_ms - slept + 999) / 1000});
        const std::uint32_t step = std::min(step_ms, ms - slept);
        platform::Clk().SleepMs(step);
        slept += step;
    }
}

void LockStartControls(UpgradeDisplay& display) {
    display.EnableStartControls(false);
    display.EnableCloseItem(false);
}

void RestoreStartControls(UpgradeDisplay& display) {
    display.EnableStartControls(true);
    display.EnableCloseItem(true);
}

// Tells the display and the support log why the run ends, before its end display.
void TellCause(UpgradeDisplay& display, const std::optional<RunCause>& cause) {
    if (!cause) {
        return;
    }
    platform::Debug(ui::RunCauseText(*cause, ui::kBlockEnglish) + u" [" +
                    platform::Utf8ToUtf16(RunReasonKey(cause->reason)) + u", " +
                    platform::Utf8ToUtf16(PhaseKey(cause->phase)) + u"]");
    display.ShowRunCause(*cause);
}

void ShowFailure(UpgradeDisplay& display, const std::optional<RunCause>& cause) {
    TellCause(display, cause);
    display.ShowUpgradeState(kStateAnimation, kAnimationStop);
    display.ShowUpgradeState(kStateFailed, 0);
}

// Why the status query failed, from the link's result.
RunReason StatusFailure(std::int32_t query) {
    switch (query) {
        case link::kLinkOk:
            return RunReason::kNotReadyStatus;  // it answered: its status is the reason
        case link::kErrStatusTimeout:
            return AfterIoFailure(RunReason::kNoReply);
        case link::kErrStatusReply:
            return RunReason::kBadReply;
        case link::kErrStatusRead:
            return AfterIoFailure(RunReason::kNoReply);
        default:
            return AfterIoFailure(RunReason::kWriteFailed);
    }
}

// The steps of one run; each returns the next step, or nothing when the run has ended.
class Run {
  public:
    explicit Run(UpgradeDisplay& display) : display_(display) {}

    void Execute() {
        for (std::optional<UpgradeStep> step = UpgradeStep::CheckPrinter; step;) {
            step = Perform(*step);
        }
    }

  private:
    std::optional<UpgradeStep> Perform(UpgradeStep step) {
        switch (step) {
            case UpgradeStep::CheckPrinter:
                return CheckPrinter();
            case UpgradeStep::CheckVersion:
                return CheckVersion();
            case UpgradeStep::TransferLoader:
                return TransferLoader();
            case UpgradeStep::TransferFirmware:
                return TransferFirmware();
            case UpgradeStep::Finish:
                Finish();
                return std::nullopt;
            case UpgradeStep::Fail:
                ShowFailure(display_, cause_);
                return std::nullopt;
        }
        return std::nullopt;
    }

    // Every check and both payloads concern the selected row's printer: the refresh made it
    // the current device, and after the restart the same printer is looked for again.
    std::optional<UpgradeStep> CheckPrinter() {
        display_.ShowPhase({UpgradePhase::kCheckingPrinter, 0, 0, 0, std::nullopt});
        discovery::RefreshPrinterList();
        selected_row_ = discovery::PrinterList().Selection();
        const std::optional<ListedPrinter> selected = ListedAt(selected_row_);
        if (!selected) {
            display_.ShowMessageDialog(ui::GetUiText(ui::kTextNoPrinter), kLayoutOk);
            RestoreStartControls(display_);
            return std::nullopt;
        }
        // The whole port: a device URI can be longer than the entry's fixed copy.
        if (discovery::IsUSBPortBusy(selected->printer.port)) {
            display_.ShowMessageDialog(ui::GetUiText(ui::kTextPortBusy), kLayoutOk);
            RestoreStartControls(display_);
            return std::nullopt;
        }
        platform::OpenFailure why = platform::OpenFailure::kNone;
        std::int32_t query = link::kLinkOk;
        const std::int32_t status = CheckPrinterStatus2(&why, &query);
        if (!StatusAllowsUpgrade(status)) {
            if (why != platform::OpenFailure::kNone) {
                display_.ShowOpenFailure(why);
            }
            RunCause cause;
            cause.phase = UpgradePhase::kCheckingPrinter;
            cause.status = status;
            cause.system = why;
            cause.reason =
                why != platform::OpenFailure::kNone ? RunReason::kOpenFailed : StatusFailure(query);
            TellCause(display_, cause);
            display_.ShowUpgradeState(kStateNotReady, 0);
            return std::nullopt;
        }
        return UpgradeStep::CheckVersion;
    }

    std::optional<UpgradeStep> CheckVersion() {
        display_.ShowPhase({UpgradePhase::kReadingVersion, 0, 0, 0, std::nullopt});
        switch (ConfirmVersion(link::CompareFirmwareVersion(), display_)) {
            case VersionOutcome::Proceed:
                return UpgradeStep::TransferLoader;
            case VersionOutcome::Declined:
                RestoreStartControls(display_);
                return std::nullopt;
            case VersionOutcome::NotIdle:
                TellCause(display_, RunCause{UpgradePhase::kReadingVersion,
                                             AfterIoFailure(RunReason::kNoVersion)});
                display_.ShowUpgradeState(kStateNotReady, 0);
                return std::nullopt;
            case VersionOutcome::OpenFailed: {
                RunCause cause{UpgradePhase::kReadingVersion, RunReason::kOpenFailed};
                cause.system = ProbeDevice();
                cause_ = cause;
                return UpgradeStep::Fail;
            }
        }
        return std::nullopt;
    }

    UpgradeStep TransferLoader() {
        const std::optional<ListedPrinter> before = ListedAt(selected_row_);
        if (!before) {
            return UpgradeStep::Fail;
        }
        RunCause cause;
        if (SendLoaderImage(display_, &cause) != kStepOk) {
            cause_ = cause;
            return UpgradeStep::Fail;
        }
        if (WaitForPrinterRestart(display_, selected_row_) != kStepOk) {
            cause_ = RunCause{UpgradePhase::kWaitingForRestart, RunReason::kNotBackAfterRestart};
            return UpgradeStep::Fail;
        }
        // The list anew, and in it the printer that took the loader, wherever it is listed
        // now; when it cannot be told apart, nothing is selected and the firmware goes nowhere.
        discovery::RefreshPrinterList();
        discovery::SelectPrinter(discovery::FindSamePrinter(discovery::g_vecUsbPrinters,
                                                            before->printer, before->listed));
        selected_row_ = discovery::PrinterList().Selection();
        if (selected_row_ < 0) {
            cause_ = RunCause{UpgradePhase::kWaitingForRestart,
                              discovery::g_vecUsbPrinters.empty() ? RunReason::kNotBackAfterRestart
                                                                  : RunReason::kNotIdentified};
            return UpgradeStep::Fail;
        }
        return UpgradeStep::TransferFirmware;
    }

    UpgradeStep TransferFirmware() {
        RunCause cause;
        if (SendFirmwareImage(display_, &cause) != kStepOk) {
            cause_ = cause;
            return UpgradeStep::Fail;
        }
        // From here on the printer writes the image to its flash.
        display_.SetFlashBurnInProgress(true);
        return UpgradeStep::Finish;
    }

    void Finish() {
        discovery::SetUSBDeviceReinstall(discovery::g_strHardID);
        if (g_bIsWin10.load() != 0) {
            const auto& entry =
                discovery::g_vecUsbPrinters[static_cast<std::size_t>(selected_row_)];
            discovery::SetUSBDeviceReinstall(std::u16string(
                platform::FixedView(entry.entry.achPrinterName, discovery::kPrinterNameCapacity)));
        }
        WaitForFlashBurn(display_);
        display_.ShowUpgradeState(kStateAnimation, kAnimationStop);
        display_.ShowUpgradeState(kStateProgress, kProgressSucceeded);
        display_.SetFlashBurnInProgress(false);
    }

    UpgradeDisplay& display_;
    std::int32_t selected_row_ = -1;
    std::optional<RunCause> cause_;  // why the run goes to the failure step
};

}  // namespace

bool StatusAllowsUpgrade(std::int32_t status) {
    return std::find(kUpgradableStatuses.begin(), kUpgradableStatuses.end(), status) !=
           kUpgradableStatuses.end();
}

std::int32_t CheckPrinterStatus2(platform::OpenFailure* why, std::int32_t* query) {
    platform::Debug(u"CheckPrinterStatus2()<------");
    platform::OpenFailure failure = platform::OpenFailure::kNone;
    auto device = platform::Current().devices->OpenWithReason(discovery::g_strDevicePath, failure);
    if (why != nullptr) {
        *why = failure;
    }
    if (!device) {
        return kStatusUnavailable;
    }
    std::uint8_t status = 0;
    std::int32_t result = kStatusUnavailable;
    const std::int32_t read = link::ReadPrinterSTATUS(*device, status);
    if (query != nullptr) {
        *query = read;
    }
    if (read == link::kLinkOk) {
        // The status byte is a signed 8-bit number: 0x80-0xFF are -128 to -1.
        result = status < 0x80 ? status : status - 0x100;
    }
    device.reset();
    platform::Debug(u"CheckPrinterStatus2()------->");
    return result;
}

VersionOutcome ConfirmVersion(std::int32_t comparison, UpgradeDisplay& display) {
    switch (comparison) {
        case link::kPrinterVersionLower:
            return VersionOutcome::Proceed;
        case link::kPrinterVersionHigher:
            return display.ShowMessageDialog(ui::GetUiText(ui::kTextNewerFirmware), kLayoutOk) ==
                           kAnswerOk
                       ? VersionOutcome::Declined
                       : VersionOutcome::Proceed;
        case link::kPrinterVersionEqual:
            return display.ShowMessageDialog(ui::GetUiText(ui::kTextSameFirmware), kLayoutYesNo) ==
                           kAnswerNo
                       ? VersionOutcome::Declined
                       : VersionOutcome::Proceed;
        case link::kErrOpenDevice:
            return VersionOutcome::OpenFailed;
        default:
            return VersionOutcome::NotIdle;
    }
}

std::int32_t SendLoaderImage(UpgradeDisplay& display, RunCause* cause) {
    return SendPayload(payloads::IDR_BINARY_LOADER, display, UpgradePhase::kSendingLoader, cause);
}

std::int32_t SendFirmwareImage(UpgradeDisplay& display, RunCause* cause) {
    return SendPayload(payloads::IDR_BINARY_FIRMWARE, display, UpgradePhase::kSendingFirmware,
                       cause);
}

std::int32_t WaitForPrinterRestart(UpgradeDisplay& display, std::int32_t selected_row) {
    display.ShowUpgradeState(kStateAnimation, kAnimationStart);
    // At most the restart sleep and the poll window, and one discovery pass past it.
    constexpr std::int64_t kRestartBoundMs = kRestartSleepMs + kPollWindowSeconds * 1000;
    SleepReporting(display, UpgradePhase::kWaitingForRestart, kRestartSleepMs, kPhaseStepMs,
                   kRestartBoundMs);
    platform::Debug(u"Sleep(54000)");

    // The printer that took the loader, and how many were listed with it; without one, no
    // printer found can be it.
    const ListedPrinter before = ListedAt(selected_row).value_or(ListedPrinter{});
    const bool back = WaitForSamePrinter(
        before, {kPollWindowSeconds, kPollIntervalMs},
        [](const discovery::FoundUsbPrinter& printer) {
            discovery::g_strDevicePath = printer.device_path;
            return platform::Current().devices->Open(discovery::g_strDevicePath) != nullptr;
        },
        [&display](std::int64_t seconds_left) {
            display.ShowPhase({UpgradePhase::kWaitingForRestart, 0, 0, 0, seconds_left});
        });
    return back ? kStepOk : kErrRestartTimeout;
}

std::int32_t WaitForFlashBurn(UpgradeDisplay& display) {
    SleepReporting(display, UpgradePhase::kBurning, kBurnWaitMs, kPhaseStepMs, kBurnWaitMs);
    platform::Debug(kBurnWaitDebugLine);
    return kStepOk;
}

std::uint32_t UpgradeWorker(UpgradeDisplay& display) {
    // The machine stays awake for the whole run, whichever way it ends.
    std::unique_ptr<platform::SleepBlock> awake;
    if (platform::Power* power = platform::Current().power) {
        awake = power->BlockSleep();
    }
    LockStartControls(display);
    bUpgrading.store(1);  // the start request set it already; kept for direct callers
    display.SetWorkerRunning(true);
    Run(display).Execute();
    awake.reset();
    display.SetWorkerRunning(false);
    bUpgrading.store(0);
    return 0;
}

void SetWorkerThreadStarter(WorkerThreadStarter starter) {
    std::lock_guard lock(WorkerThreadMutex());
    ThreadStarter() = std::move(starter);
}

bool OnStartUpgrade(UpgradeDisplay& display) {
    std::uint8_t idle = 0;
    if (!bUpgrading.compare_exchange_strong(idle, 1)) {
        return false;
    }
    // Before the thread exists, so a quit request in between is refused too.
    display.SetWorkerRunning(true);
    std::lock_guard lock(WorkerThreadMutex());
    std::thread& thread = WorkerThread();
    if (thread.joinable()) {
        thread.join();  // the last run cleared the busy flag: its thread is past its last step
    }
    try {
        auto body = [&display] { UpgradeWorker(display); };
        thread = ThreadStarter() ? ThreadStarter()(body) : std::thread(body);
    } catch (const std::system_error&) {
        // No thread, no run: take back what the request set, so the tool can end or try again.
        platform::Debug(u"OnStartUpgrade(): the upgrade thread could not be started");
        display.SetWorkerRunning(false);
        bUpgrading.store(0);
        return false;
    }
    return true;
}

void WaitForUpgradeWorker() {
    std::thread finished;
    {
        std::lock_guard lock(WorkerThreadMutex());
        finished = std::move(WorkerThread());
    }
    if (finished.joinable()) {
        finished.join();
    }
}

}  // namespace tessel::upgrade
