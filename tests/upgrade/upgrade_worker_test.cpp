// Whole upgrades against an emulated printer on a virtual clock: every outcome of a run, what
// the user sees, what the printer received, and the timing of the waits.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>

#include "discovery/device_globals.h"
#include "discovery/supported_devices.h"
#include "fake_discovery.h"
#include "payloads/payload_format.h"
#include "platform/power.h"
#include "platform/services.h"
#include "platform/text.h"
#include "recording_display.h"
#include "ui/main_display_model.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"
#include "upgrade_outcome.h"
#include "virtual_printer.h"

namespace tessel::upgrade {
namespace {

using testing::FakeDeviceConfigFlags;
using testing::FakePrintSpooler;
using testing::FakeUsbPrinterInterfaces;
using testing::Outcome;
using testing::RecordingDisplay;
using testing::Text;
using testing::VirtualClock;
using testing::VirtualPrinter;
using ui::MainScreen;

constexpr char16_t kPrinterPort[] = u"usb://Bexlot/R7200%20Series?serial=SER1";

// Device files that fail the chosen opens (counted from 1), for `reason`, and hand the others on.
class FailingOpens final : public platform::DeviceFiles {
  public:
    FailingOpens(platform::DeviceFiles& inner, std::set<int> failing,
                 platform::OpenFailure reason)
        : inner_(inner), failing_(std::move(failing)), reason_(reason) {}
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string& path) override {
        return failing_.count(++opens_) != 0 ? nullptr : inner_.Open(path);
    }
    std::unique_ptr<platform::DeviceFile> OpenWithReason(const std::u16string& path,
                                                         platform::OpenFailure& failure) override {
        auto file = Open(path);
        failure = file ? platform::OpenFailure::kNone : reason_;
        return file;
    }

  private:
    platform::DeviceFiles& inner_;
    std::set<int> failing_;
    platform::OpenFailure reason_;
    int opens_ = 0;
};

// Sleep blocks that count how many were taken and how many are held.
class CountingPower final : public platform::Power {
  public:
    std::unique_ptr<platform::SleepBlock> BlockSleep() override {
        ++taken;
        ++held;
        return std::make_unique<Block>(held);
    }
    std::atomic<int> taken{0};
    std::atomic<int> held{0};

  private:
    struct Block final : platform::SleepBlock {
        explicit Block(std::atomic<int>& counter) : held(counter) {}
        ~Block() override { --held; }
        std::atomic<int>& held;
    };
};

class UpgradeWorkerTest : public ::testing::Test {
  protected:
    UpgradeWorkerTest() {
        model.SetChangeListener([this](std::uint64_t) {
            const auto view = model.Snapshot();
            std::lock_guard lock(mutex);
            if (view.worker_running) {
                blocks_held_while_running.insert(power.held.load());
            }
            if (screens.empty() || screens.back() != view.screen) {
                screens.push_back(view.screen);
            }
            if (view.flash_burn_in_progress) {
                during_burn.emplace_back(view.screen, view.progress.position);
            }
        });
        model.SetMessageDialogHandler([this](const ui::MessageDialogView& dialog) {
            messages.push_back(platform::Utf16ToUtf8(dialog.text));
            return answer(dialog);
        });
        g_bIsWin10 = 0;
    }

    ~UpgradeWorkerTest() override {
        SetWorkerThreadStarter(nullptr);
        g_bIsWin10 = 0;
        g_pMainDlg = nullptr;
    }

    // Makes the printers (unless a test uses another bus) and installs the services.
    void Prepare() {
        std::vector<sim::PrinterConfig> configs{config};
        configs.insert(configs.end(), others.begin(), others.end());
        printer.emplace(clock, std::move(configs));
        platform::UsbPrinterInterfaces* bus = usb_override ? usb_override : &*printer;
        platform::DeviceFiles* devices = &*printer;
        if (!failing_opens.empty()) {
            opens.emplace(*printer, failing_opens, failing_reason);
            devices = &*opens;
        }
        services.emplace(
            platform::Services{&*printer, &debug, devices, bus, &spooler, &flags, &power});
        model.Initialise(0x0409);
        // The payload transfer reaches the display through the process-wide pointer.
        g_pMainDlg = &display;
    }

    // Runs one upgrade on this thread and returns the screen it ends on.
    MainScreen RunUpgrade() {
        Prepare();
        UpgradeWorker(display);
        return model.Snapshot().screen;
    }

    std::vector<sim::Json> Payloads() const { return testing::PayloadEvents(printer->Events()); }
    int ValidPayloads() const { return testing::ValidPayloads(printer->Events()); }
    std::vector<sim::Json> Events(int printer_index) const {
        return testing::EventsOf(printer->Events(), printer_index);
    }
    bool Saw(MainScreen screen) {
        std::lock_guard lock(mutex);
        return std::find(screens.begin(), screens.end(), screen) != screens.end();
    }

    VirtualClock clock;
    testing::RecordingDebugOutput debug;
    FakePrintSpooler spooler;
    FakeDeviceConfigFlags flags;
    CountingPower power;
    // How many sleep blocks were held at each change of the display while the worker ran.
    std::set<int> blocks_held_while_running;
    sim::PrinterConfig config;
    // Further printers on the same bus, after the first (which the run upgrades).
    std::vector<sim::PrinterConfig> others;
    platform::UsbPrinterInterfaces* usb_override = nullptr;
    std::set<int> failing_opens;  // which opens of the device fail, counted from 1
    platform::OpenFailure failing_reason = platform::OpenFailure::kOther;  // and why
    std::optional<FailingOpens> opens;
    std::optional<VirtualPrinter> printer;
    std::optional<platform::ScopedServices> services;
    ui::MainDisplayModel model{clock};
    RecordingDisplay display{model, clock};
    std::function<std::int32_t(const ui::MessageDialogView&)> answer =
        [](const ui::MessageDialogView& d) { return d.dismissed_answer; };
    std::vector<std::string> messages;
    std::mutex mutex;
    std::vector<MainScreen> screens;
    // What the display showed while the printer burned: screen and bar position.
    std::vector<std::pair<MainScreen, int>> during_burn;
};

TEST_F(UpgradeWorkerTest, SuccessSendsBothPayloadsWaitsAsSpecifiedAndFlagsTheDevice) {
    g_bIsWin10 = 1;
    EXPECT_EQ(RunUpgrade(), MainScreen::kSuccess);

    // The printer took both payloads whole and runs the new firmware.
    const auto payloads = Payloads();
    ASSERT_EQ(payloads.size(), 2u);
    EXPECT_EQ(payloads[0]["kind"], "loader");
    EXPECT_EQ(payloads[0]["size"], payloads::kLoaderSpec.size);
    EXPECT_EQ(payloads[1]["kind"], "firmware");
    EXPECT_EQ(payloads[1]["size"], payloads::kFirmwareSpec.size);
    EXPECT_EQ(ValidPayloads(), 2);
    printer->core().Poll();
    EXPECT_TRUE(messages.empty());

    // The display calls of a run, in order.
    std::vector<std::pair<int, int>> seen;
    for (const auto& c : display.calls) {
        seen.emplace_back(c.state, c.value);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{2, 0}, {9, 0}, {9, 100}, {2, 100}}));

    // First poll 54 s after the restart wait began; success no sooner than 258 s after it.
    const auto start = display.Find(9, 0)->at_ms;
    const auto polls = printer->searches();
    const auto first_poll =
        std::find_if(polls.begin(), polls.end(), [&](auto t) { return t > start; });
    ASSERT_NE(first_poll, polls.end());
    EXPECT_EQ(*first_poll - start, 54'000);
    EXPECT_GE(display.Find(2, 100)->at_ms - start, 258'000);
    EXPECT_FALSE(Saw(MainScreen::kFailure));

    // The device instances were flagged for reinstallation by hardware ID and, on
    // Windows 10, by the printer's name.
    EXPECT_EQ(flags.opened,
              (std::vector<std::u16string>{u"USB\\VID_7a3c&PID_0c12", u"Bexlot r7200 Series"}));
    EXPECT_EQ(debug.Count("Sleep(54000)"), 1u);
    EXPECT_EQ(debug.Count("Sleep(204000), RetValue = UPDATE_SEND_OK \r\n"), 1u);

    const auto view = model.Snapshot();
    EXPECT_TRUE(view.exit_button.enabled);
    EXPECT_EQ(platform::Utf16ToUtf8(view.exit_button.label), "Complete");
    EXPECT_TRUE(view.close_item_present);
    EXPECT_FALSE(view.worker_running);
    EXPECT_EQ(bUpgrading.load(), 0);
}

// Every other way a run can end: what the user sees and how many payloads the printer got.
class UpgradeOutcomeTest : public UpgradeWorkerTest,
                           public ::testing::WithParamInterface<Outcome> {};

TEST_P(UpgradeOutcomeTest, EndsAsExpected) {
    const Outcome& o = GetParam();
    o.setup(config);
    if (o.answer != 0) {
        answer = [&o](const ui::MessageDialogView&) { return o.answer; };
    }
    EXPECT_EQ(RunUpgrade(), o.screen);
    if (o.message >= 0) {
        EXPECT_EQ(messages, std::vector<std::string>{Text(o.message)});
    } else {
        EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(static_cast<int>(Payloads().size()), o.payloads_sent);
    EXPECT_EQ(ValidPayloads(), o.payloads_valid);
    if (o.screen != MainScreen::kSuccess) {
        EXPECT_FALSE(display.Find(2, 100).has_value()) << "a failed run must never show success";
    }
    const auto view = model.Snapshot();
    if (o.screen == MainScreen::kStart) {
        // Ended by a message or a decline: the start controls work again.
        EXPECT_TRUE(view.start_button.visible);
        EXPECT_TRUE(view.start_button.enabled);
        EXPECT_TRUE(display.calls.empty());
    } else {
        EXPECT_FALSE(view.start_button.visible);
        EXPECT_TRUE(view.exit_button.enabled);
    }
    EXPECT_TRUE(view.close_item_present);
    EXPECT_EQ(bUpgrading.load(), 0);
    // The machine was kept awake for the run and is let sleep again after it, however it ended.
    EXPECT_EQ(power.taken.load(), 1);
    EXPECT_EQ(blocks_held_while_running, std::set<int>{1});
    EXPECT_EQ(power.held.load(), 0);
}

const Outcome kOutcomes[] = {
    {"StatusThreeIsNotReady", [](auto& c) { c.status = 3; }, 0, MainScreen::kNotReady, -1, 0, 0},
    {"StatusTwoIsUpgraded", [](auto& c) { c.status = 2; }, 0, MainScreen::kSuccess, -1, 2, 2},
    {"StatusFourIsUpgraded", [](auto& c) { c.status = 4; }, 0, MainScreen::kSuccess, -1, 2, 2},
    {"StatusWithItsTopBitIsNotReady", [](auto& c) { c.status = 0x84; }, 0, MainScreen::kNotReady,
     -1, 0, 0},
    {"SilentStatusIsNotReady", [](auto& c) { c.faults.no_answer = sim::kStatusQuery; }, 0,
     MainScreen::kNotReady, -1, 0, 0},
    {"WrongReplyCodeIsNotReady", [](auto& c) { c.faults.wrong_command = sim::kAllQueries; }, 0,
     MainScreen::kNotReady, -1, 0, 0},
    {"SilentVersionQueryIsNotReady", [](auto& c) { c.faults.no_answer = sim::kVersionQuery; }, 0,
     MainScreen::kNotReady, -1, 0, 0},
    {"EmptyVersionTextsAreNotReady", [](auto& c) { c.faults.version_length = 0; }, 0,
     MainScreen::kNotReady, -1, 0, 0},
    {"SameVersionAnsweredNo", [](auto& c) { c.version = "3.3.3.8"; }, kAnswerNo, MainScreen::kStart,
     12, 0, 0},
    {"SameVersionAnsweredYes", [](auto& c) { c.version = "3.3.3.8"; }, kAnswerYes,
     MainScreen::kSuccess, 12, 2, 2},
    {"SameVersionDismissedDeclines", [](auto& c) { c.version = "3.3.3.8"; }, 0, MainScreen::kStart,
     12, 0, 0},
    {"NewerVersionIsRefused", [](auto& c) { c.version = "3.3.4.0"; }, kAnswerOk, MainScreen::kStart,
     11, 0, 0},
    {"NewerVersionDismissedIsRefused", [](auto& c) { c.version = "3.3.4.0"; }, 0,
     MainScreen::kStart, 11, 0, 0},
    {"DisconnectDuringLoaderFails",
     [](auto& c) {
         c.faults.disconnect_after = 40'000;
         c.faults.disconnect_payload = sim::PayloadSelect::kLoader;
     },
     0, MainScreen::kFailure, -1, 0, 0},
    {"DisconnectDuringFirmwareFails",
     [](auto& c) {
         c.faults.disconnect_after = 10'000'000;
         c.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
     },
     0, MainScreen::kFailure, -1, 1, 1},
    {"NeverBackFails", [](auto& c) { c.faults.no_return = true; }, 0, MainScreen::kFailure, -1, 1,
     1},
    {"BackTooLateFails", [](auto& c) { c.restart_delay_s = 130; }, 0, MainScreen::kFailure, -1, 1,
     1},
    {"BackAsBrokenFirmwareIsStillUpgraded", [](auto& c) { c.faults.return_product = 0x0000; }, 0,
     MainScreen::kSuccess, -1, 2, 2},
};

INSTANTIATE_TEST_SUITE_P(Runs, UpgradeOutcomeTest, ::testing::ValuesIn(kOutcomes),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A printer whose device file does not open ends the run at the step that opens it: the
// status check as not ready, the version check and the loader transfer as failed.
TEST_F(UpgradeWorkerTest, DeviceThatDoesNotOpenEndsTheRunAtItsStep) {
    struct Case {
        int failing_open;
        MainScreen screen;
        std::size_t commands;  // what the printer was asked before
    };
    const Case cases[] = {
        {1, MainScreen::kNotReady, 0},  // status check
        {2, MainScreen::kFailure, 1},   // version check
        {3, MainScreen::kFailure, 2},   // loader transfer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing_open);
        display.calls.clear();
        failing_opens = {c.failing_open};
        EXPECT_EQ(RunUpgrade(), c.screen);
        EXPECT_EQ(printer->EventsNamed("command").size(), c.commands);
        EXPECT_TRUE(Payloads().empty());
        EXPECT_FALSE(display.Find(2, 100).has_value());
        EXPECT_TRUE(messages.empty());
        if (c.failing_open == 1) {
            EXPECT_EQ(debug.Count("CheckPrinterStatus2()------->"), 0u);
        }
        services.reset();
        opens.reset();
    }
}

// When the status check cannot open the printer, the not-ready display gives the system's
// reason under its message, if the reason is one a user can act on; the next run starts clean.
TEST_F(UpgradeWorkerTest, NotReadyDisplaySaysWhyThePrinterDidNotOpen) {
    const std::u16string not_ready = ui::GetUiText(ui::kTextNotReadyMessage);
    for (const platform::OpenFailure reason :
         {platform::OpenFailure::kPermissionDenied, platform::OpenFailure::kNoDevice,
          platform::OpenFailure::kBusy, platform::OpenFailure::kOther}) {
        SCOPED_TRACE(static_cast<int>(reason));
        failing_opens = {1};
        failing_reason = reason;
        EXPECT_EQ(RunUpgrade(), MainScreen::kNotReady);
        const std::u16string message = model.Snapshot().message.text;
        const std::u16string why = ui::OpenFailureText(reason);
        if (reason == platform::OpenFailure::kOther) {
            EXPECT_EQ(message, not_ready);  // nothing a user could act on
        } else {
            ASSERT_FALSE(why.empty());
            EXPECT_TRUE(message.starts_with(not_ready + u"\r\n\r\n"));
            EXPECT_TRUE(message.ends_with(why));
        }
        services.reset();
        opens.reset();
    }
    // A printer that opens but is not ready: the message alone, nothing left from before.
    failing_opens = {1};
    failing_reason = platform::OpenFailure::kPermissionDenied;
    EXPECT_EQ(RunUpgrade(), MainScreen::kNotReady);
    services.reset();
    opens.reset();
    failing_opens.clear();
    config.status = 3;
    EXPECT_EQ(RunUpgrade(), MainScreen::kNotReady);
    EXPECT_EQ(model.Snapshot().message.text, not_ready);
}

TEST_F(UpgradeWorkerTest, NeverBackFailsAfterTheRestartSleepAndTheWholePollWindow) {
    config.faults.no_return = true;
    EXPECT_EQ(RunUpgrade(), MainScreen::kFailure);
    const auto start = display.Find(9, 0)->at_ms;
    const auto failed = display.Find(1, 0)->at_ms;
    // 54 s, then polls every 6 s until more than 60 s have passed since the first one.
    EXPECT_GT(failed - start, 54'000 + 60'000);
    EXPECT_LE(failed - start, 54'000 + 66'000 + 1'000);
    EXPECT_EQ(printer->searches().size() - 1, 12u);  // one before the run, eleven polls after
}

TEST_F(UpgradeWorkerTest, NoPrinterShowsTheCableMessageAndTouchesNothing) {
    FakeUsbPrinterInterfaces empty_bus;
    usb_override = &empty_bus;
    EXPECT_EQ(RunUpgrade(), MainScreen::kStart);
    EXPECT_EQ(messages, std::vector<std::string>{Text(6)});
    EXPECT_TRUE(printer->EventsNamed("command").empty());
    EXPECT_EQ(power.taken.load(), 1);
    EXPECT_EQ(power.held.load(), 0);
}

TEST_F(UpgradeWorkerTest, BusyPortShowsThePortMessageAndTouchesNothing) {
    spooler.queues = std::vector<platform::PrintQueue>{{kPrinterPort, 2}};
    EXPECT_EQ(RunUpgrade(), MainScreen::kStart);
    EXPECT_EQ(messages, std::vector<std::string>{Text(22)});
    EXPECT_TRUE(printer->EventsNamed("command").empty());
}

TEST_F(UpgradeWorkerTest, TheWholeDeviceUriFindsTheQueueEvenPastTheEntrysLength) {
    config.serial = std::string(250, 'S');  // a URI of 285 characters
    Prepare();
    const std::u16string uri = printer->port();
    ASSERT_GT(uri.size(), discovery::kUsbPortCapacity);
    spooler.queues = std::vector<platform::PrintQueue>{{uri.substr(0, 255), 0}, {uri, 1}};
    UpgradeWorker(display);
    EXPECT_EQ(model.Snapshot().screen, MainScreen::kStart);
    EXPECT_EQ(messages, std::vector<std::string>{Text(ui::kTextPortBusy)});
    EXPECT_EQ(printer->bytes_received(), 0u);
}

TEST_F(UpgradeWorkerTest, RestartedPrinterThatDoesNotOpenFailsAfterThePollWindow) {
    Prepare();
    printer->RefuseOpens(0, 2);  // listed again after the loader, but its file never opens
    UpgradeWorker(display);
    EXPECT_EQ(model.Snapshot().screen, MainScreen::kFailure);
    const auto start = display.Find(kStateAnimation, kAnimationStart)->at_ms;
    EXPECT_GT(display.Find(kStateFailed, 0)->at_ms - start, 54'000 + 60'000);
    const auto payloads = Payloads();
    ASSERT_EQ(payloads.size(), 1u);
    EXPECT_EQ(payloads[0]["kind"], "loader");
}

TEST_F(UpgradeWorkerTest, NoPrinterListedAfterTheRestartFailsWithoutTheFirmware) {
    Prepare();
    // Gone from the list right after the restart wait opened it.
    printer->on_open = [this](std::size_t i) {
        if (printer->core(i).mode() == sim::PrinterCore::Mode::kLoader) {
            printer->Unlist(i);
        }
    };
    UpgradeWorker(display);
    EXPECT_EQ(model.Snapshot().screen, MainScreen::kFailure);
    EXPECT_FALSE(display.Find(kStateProgress, kProgressSucceeded).has_value());
    EXPECT_EQ(Payloads().size(), 1u);
}

// Two printers on the bus: the run upgrades the first one listed, and only that one, however
// the two are listed when it comes back.
struct TwoPrinters {
    const char* name;
    std::function<void(sim::PrinterConfig& upgraded, sim::PrinterConfig& other)> setup;
    bool other_replugged_while_away;  // then the upgraded one comes back listed second
    int busy;                         // the printer whose queue holds a job, or -1
    MainScreen screen;
    int message;
    int payloads;    // valid payloads the first printer received
    int back_at_lp;  // the lp number it comes back under after the loader, or -1
};

class TwoPrinterTest : public UpgradeWorkerTest,
                       public ::testing::WithParamInterface<TwoPrinters> {};

TEST_P(TwoPrinterTest, OnlyTheFirstListedPrinterIsTouched) {
    const TwoPrinters& c = GetParam();
    sim::PrinterConfig other;
    other.serial = "SER2";
    c.setup(config, other);
    others = {other};
    Prepare();
    if (c.busy >= 0) {
        spooler.queues =
            std::vector<platform::PrintQueue>{{printer->port(static_cast<std::size_t>(c.busy)), 1}};
    }
    if (c.other_replugged_while_away) {
        printer->on_disconnect = [this](std::size_t i) {
            if (i == 0) {
                printer->Replug(1);
            }
        };
    }
    UpgradeWorker(display);

    EXPECT_EQ(model.Snapshot().screen, c.screen);
    if (c.message >= 0) {
        EXPECT_EQ(messages, std::vector<std::string>{Text(c.message)});
    } else {
        EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(testing::ValidPayloads(Events(0)), c.payloads);
    EXPECT_EQ(printer->bytes_received(1), 0u);
    EXPECT_TRUE(testing::ReceivedNothing(Events(1)));
    if (c.back_at_lp >= 0) {
        std::vector<int> lps;
        for (const auto& e : Events(0)) {
            if (e["event"] == "appear") {
                lps.push_back(e["lp"].get<int>());
            }
        }
        ASSERT_GE(lps.size(), 2u);
        EXPECT_EQ(lps[1], c.back_at_lp);
    }
}

const TwoPrinters kTwoPrinters[] = {
    {"BackListedFirst", [](auto&, auto&) {}, false, -1, MainScreen::kSuccess, -1, 2, 0},
    {"BackListedSecond", [](auto&, auto&) {}, true, -1, MainScreen::kSuccess, -1, 2, 1},
    {"BackSecondAsBrokenFirmware", [](auto& u, auto&) { u.faults.return_product = 0x0000; }, true,
     -1, MainScreen::kSuccess, -1, 2, 1},
    {"WithoutSerialsKnownByTheirPorts",
     [](auto& u, auto& o) {
         u.serial.reset();
         o.serial.reset();
         o.product_id = 0x0C13;
         o.product = "R7300 Series";
     },
     true, -1, MainScreen::kSuccess, -1, 2, 1},
    // Only the other printer is listed after the restart: it must not get the firmware.
    {"OnlyTheOtherComesBack", [](auto& u, auto&) { u.faults.no_return = true; }, false, -1,
     MainScreen::kFailure, -1, 1, -1},
    // Two printers under one serial: which one came back cannot be told.
    {"SameSerialCannotBeToldApart", [](auto&, auto& o) { o.serial = "SER1"; }, false, -1,
     MainScreen::kFailure, -1, 1, 0},
    {"BusyQueueOnTheUpgradedPrinter", [](auto&, auto&) {}, false, 0, MainScreen::kStart,
     ui::kTextPortBusy, 0, -1},
    {"BusyQueueOnTheOtherPrinter", [](auto&, auto&) {}, false, 1, MainScreen::kSuccess, -1, 2, 0},
};

INSTANTIATE_TEST_SUITE_P(Runs, TwoPrinterTest, ::testing::ValuesIn(kTwoPrinters),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(UpgradeWorkerTest, BurnOutlastingTheAnimationNeverShowsTheFailureDisplay) {
    // A slow link: the firmware takes about 40 s, so the animation's 100th tick falls inside
    // the burn wait. Telling the user to restart the printer then would corrupt its flash.
    printer.reset();
    Prepare();
    printer->SetWriteMicrosPerKiB(1'500);
    UpgradeWorker(display);
    EXPECT_EQ(model.Snapshot().screen, MainScreen::kSuccess);
    const auto start = display.Find(9, 0)->at_ms;
    EXPECT_GT(display.Find(2, 100)->at_ms - start, 280'000);
    EXPECT_FALSE(Saw(MainScreen::kFailure));
    EXPECT_EQ(ValidPayloads(), 2);
}

TEST_F(UpgradeWorkerTest, AnimationRunningOutDuringTheTransferHoldsTheProgressDisplay) {
    // The printer comes back late but in time, and the image crawls over the link: the
    // animation runs out while the image is still being sent. The failure display (restart the
    // printer) must not come up then: the bar stands at 99 through the rest of the transfer
    // and the burn, until success.
    config.restart_delay_s = 100;
    printer.reset();
    Prepare();
    printer->SetWriteMicrosPerKiB(7'000);  // about 185 s for the image
    UpgradeWorker(display);
    EXPECT_EQ(model.Snapshot().screen, MainScreen::kSuccess);
    EXPECT_EQ(ValidPayloads(), 2);
    const auto start = display.Find(9, 0)->at_ms;
    EXPECT_GT(display.Find(2, 100)->at_ms - start, 280'000 + 204'000);
    EXPECT_FALSE(Saw(MainScreen::kFailure));
    testing::ExpectProgressHeldDuringBurn(during_burn);
}

TEST_F(UpgradeWorkerTest, SecondStartRequestWhileARunIsInProgressStartsNothing) {
    // The run waits in the same-version question until the test answers it.
    config.version = "3.3.3.8";
    std::mutex m;
    std::condition_variable cv;
    bool asked = false;
    bool release = false;
    answer = [&](const ui::MessageDialogView&) {
        std::unique_lock lock(m);
        asked = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
        return kAnswerNo;
    };
    Prepare();
    ASSERT_TRUE(OnStartUpgrade(display));
    {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return asked; });
    }
    EXPECT_FALSE(OnStartUpgrade(display));
    EXPECT_FALSE(model.RequestQuit()) << "a front end must not end while the worker runs";
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    WaitForUpgradeWorker();
    EXPECT_EQ(bUpgrading.load(), 0);
    EXPECT_TRUE(model.RequestQuit());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(UpgradeWorkerTest, ThreadThatCannotStartLeavesNothingBehind) {
    config.version = "3.3.4.0";  // a run that ends quickly, at the newer-firmware notice
    Prepare();
    SetWorkerThreadStarter([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    EXPECT_FALSE(OnStartUpgrade(display));
    EXPECT_EQ(bUpgrading.load(), 0);
    EXPECT_TRUE(model.RequestQuit()) << "the front end can still end";
    EXPECT_EQ(debug.Count("OnStartUpgrade(): the upgrade thread could not be started"), 1u);
    WaitForUpgradeWorker();  // nothing to wait for

    // The next request starts a run as usual.
    SetWorkerThreadStarter(nullptr);
    EXPECT_TRUE(OnStartUpgrade(display));
    WaitForUpgradeWorker();
    EXPECT_EQ(messages, std::vector<std::string>{Text(11)});
    EXPECT_EQ(bUpgrading.load(), 0);
}

TEST_F(UpgradeWorkerTest, WaitingForTheWorkerEndsOnlyWithItsThread) {
    // A front end ends the process once the wait returns: the worker's thread must be past
    // its last instruction by then, not only past clearing the busy flag.
    config.version = "3.3.4.0";
    Prepare();
    std::atomic<bool> thread_ended{false};
    SetWorkerThreadStarter([&](std::function<void()> body) {
        return std::thread([body, &thread_ended] {
            body();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            thread_ended = true;
        });
    });
    ASSERT_TRUE(OnStartUpgrade(display));
    WaitForUpgradeWorker();
    EXPECT_TRUE(thread_ended.load());
}

TEST(ConfirmVersion, TurnsTheComparisonIntoAnOutcome) {
    struct Case {
        std::int32_t comparison;
        std::int32_t answer;
        VersionOutcome outcome;
        bool asks;
    };
    const Case cases[] = {
        {1, 0, VersionOutcome::Proceed, false},
        {2, kAnswerOk, VersionOutcome::Declined, true},
        {3, kAnswerNo, VersionOutcome::Declined, true},
        {3, kAnswerYes, VersionOutcome::Proceed, true},
        {-1, 0, VersionOutcome::NotIdle, false},
        {-6, 0, VersionOutcome::OpenFailed, false},
    };
    for (const auto& c : cases) {
        struct Display final : UpgradeDisplay {
            std::int32_t answer = 0;
            int asked = 0;
            void ShowUpgradeState(std::int32_t, std::int32_t) override {}
            std::int32_t ShowMessageDialog(std::u16string_view, std::int32_t) override {
                ++asked;
                return answer;
            }
            void EnableCloseItem(bool) override {}
            void EnableStartControls(bool) override {}
            void SetFlashBurnInProgress(bool) override {}
        } d;
        d.answer = c.answer;
        EXPECT_EQ(ConfirmVersion(c.comparison, d), c.outcome) << c.comparison;
        EXPECT_EQ(d.asked, c.asks ? 1 : 0) << c.comparison;
    }
}

}  // namespace
}  // namespace tessel::upgrade
