#include "upgrade/upgrade_worker.h"

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
#include "platform/services.h"
#include "platform/text.h"
#include "ui/ui_text.h"

namespace tessel::upgrade {

std::atomic<std::uint8_t> bUpgrading{0};
std::atomic<std::int32_t> g_bIsWin10{0};

namespace {

constexpr std::int32_t kStatusUnavailable = 5;

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

std::int32_t SendPayload(std::uint16_t id) {
    auto device = platform::Current().devices->Open(discovery::g_strDevicePath);
    if (!device) {
        return kErrTransferOpen;
    }
    return link::SendFWResource(*device, id);
}

void LockStartControls(ui::UpgradeDisplay& display) {
    display.EnableStartControls(false);
    display.EnableCloseItem(false);
}

void RestoreStartControls(ui::UpgradeDisplay& display) {
    display.EnableStartControls(true);
    display.EnableCloseItem(true);
}

void ShowFailure(ui::UpgradeDisplay& display) {
    display.ShowUpgradeState(ui::kStateAnimation, 100);
    display.ShowUpgradeState(ui::kStateFailed, 0);
}

// The steps of one run; each returns the next step, or nothing when the run has ended.
class Run {
  public:
    explicit Run(ui::UpgradeDisplay& display) : display_(display) {}

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
                ShowFailure(display_);
                return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<UpgradeStep> CheckPrinter() {
        discovery::RefreshPrinterList();
        selected_row_ = discovery::PrinterList().Selection();
        if (selected_row_ < 0) {
            display_.ShowMessageDialog(ui::GetUiText(6), ui::kLayoutOk);
            RestoreStartControls(display_);
            return std::nullopt;
        }
        const auto& entry = discovery::g_vecUsbPrinters[static_cast<std::size_t>(selected_row_)];
        char16_t port[256];
        platform::CopyToFixed(port, 256, platform::FixedView(entry.achUSBPort, 256));
        if (discovery::IsUSBPortBusy(port)) {
            display_.ShowMessageDialog(ui::GetUiText(22), ui::kLayoutOk);
            RestoreStartControls(display_);
            return std::nullopt;
        }
        if (!StatusAllowsUpgrade(CheckPrinterStatus2())) {
            display_.ShowUpgradeState(ui::kStateNotReady, 0);
            return std::nullopt;
        }
        return UpgradeStep::CheckVersion;
    }

    std::optional<UpgradeStep> CheckVersion() {
        switch (ConfirmVersion(link::CompareFirmwareVersion(), display_)) {
            case VersionOutcome::Proceed:
                return UpgradeStep::TransferLoader;
            case VersionOutcome::Declined:
                RestoreStartControls(display_);
                return std::nullopt;
            case VersionOutcome::NotIdle:
                display_.ShowUpgradeState(ui::kStateNotReady, 0);
                return std::nullopt;
            case VersionOutcome::OpenFailed:
                return UpgradeStep::Fail;
        }
        return std::nullopt;
    }

    UpgradeStep TransferLoader() {
        if (SendLoaderImage() != kStepOk) {
            return UpgradeStep::Fail;
        }
        if (WaitForPrinterRestart(display_, selected_row_) != kStepOk) {
            return UpgradeStep::Fail;
        }
        discovery::RefreshPrinterList();
        selected_row_ = discovery::PrinterList().Selection();
        return selected_row_ < 0 ? UpgradeStep::Fail : UpgradeStep::TransferFirmware;
    }

    UpgradeStep TransferFirmware() {
        if (SendFirmwareImage() != kStepOk) {
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
            discovery::SetUSBDeviceReinstall(
                std::u16string(platform::FixedView(entry.achPrinterName, 260)));
        }
        WaitForFlashBurn();
        display_.ShowUpgradeState(ui::kStateAnimation, 100);
        display_.ShowUpgradeState(ui::kStateProgress, 100);
        display_.SetFlashBurnInProgress(false);
    }

    ui::UpgradeDisplay& display_;
    std::int32_t selected_row_ = -1;
};

}  // namespace

bool StatusAllowsUpgrade(std::int32_t status) {
    return status == 0 || status == 2 || status == 4;
}

std::int32_t CheckPrinterStatus2() {
    platform::Debug(u"CheckPrinterStatus2()<------");
    auto device = platform::Current().devices->Open(discovery::g_strDevicePath);
    if (!device) {
        return kStatusUnavailable;
    }
    std::uint8_t status = 0;
    std::int32_t result = kStatusUnavailable;
    if (link::ReadPrinterSTATUS(*device, status) == link::kLinkOk) {
        result = static_cast<std::int8_t>(status);
    }
    device.reset();
    platform::Debug(u"CheckPrinterStatus2()------->");
    return result;
}

VersionOutcome ConfirmVersion(std::int32_t comparison, ui::UpgradeDisplay& display) {
    switch (comparison) {
        case 1:
            return VersionOutcome::Proceed;
        case 2:
            return display.ShowMessageDialog(ui::GetUiText(11), ui::kLayoutOk) == ui::kAnswerOk
                       ? VersionOutcome::Declined
                       : VersionOutcome::Proceed;
        case 3:
            return display.ShowMessageDialog(ui::GetUiText(12), ui::kLayoutYesNo) == ui::kAnswerNo
                       ? VersionOutcome::Declined
                       : VersionOutcome::Proceed;
        case -6:
            return VersionOutcome::OpenFailed;
        default:
            return VersionOutcome::NotIdle;
    }
}

std::int32_t SendLoaderImage() {
    return SendPayload(payloads::IDR_BINARY_LOADER);
}

std::int32_t SendFirmwareImage() {
    return SendPayload(payloads::IDR_BINARY_FIRMWARE);
}

std::int32_t WaitForPrinterRestart(ui::UpgradeDisplay& display, std::int32_t selected_row) {
    auto& clock = platform::Clk();
    display.ShowUpgradeState(ui::kStateAnimation, 0);
    clock.SleepMs(kRestartSleepMs);
    platform::Debug(u"Sleep(54000)");

    std::u16string selected_port;
    if (selected_row >= 0 &&
        static_cast<std::size_t>(selected_row) < discovery::g_vecUsbPrinters.size()) {
        const auto& entry = discovery::g_vecUsbPrinters[static_cast<std::size_t>(selected_row)];
        selected_port = std::u16string(platform::FixedView(entry.achUSBPort, 256));
    }

    const std::int64_t start = clock.NowSeconds();
    std::vector<discovery::UsbPrinterEntry> found;
    for (;;) {
        found.clear();
        discovery::SearchUSBPrint(found);
        bool picked = found.size() == 1;
        for (std::size_t i = 0; !picked && i < found.size(); ++i) {
            picked = platform::FixedView(found[i].achUSBPort, 256) == selected_port;
        }
        if (picked) {
            if (platform::Current().devices->Open(discovery::g_strDevicePath)) {
                return kStepOk;
            }
        }
        if (clock.NowSeconds() - start > kPollWindowSeconds) {
            return kErrRestartTimeout;
        }
        clock.SleepMs(kPollIntervalMs);
    }
}

std::int32_t WaitForFlashBurn() {
    platform::Clk().SleepMs(kBurnWaitMs);
    platform::Debug(u"Sleep(204000), RetValue = UPDATE_SEND_OK \r\n");
    return kStepOk;
}

std::uint32_t UpgradeWorker(ui::UpgradeDisplay& display) {
    LockStartControls(display);
    bUpgrading.store(1);  // the start request set it already; kept for direct callers
    display.SetWorkerRunning(true);
    Run(display).Execute();
    display.SetWorkerRunning(false);
    bUpgrading.store(0);
    return 0;
}

void SetWorkerThreadStarter(WorkerThreadStarter starter) {
    std::lock_guard lock(WorkerThreadMutex());
    ThreadStarter() = std::move(starter);
}

bool OnStartUpgrade(ui::UpgradeDisplay& display) {
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
