// Whole upgrades through the real Linux backends: discovery on the emulator's sysfs tree, the
// device file on its pseudo-terminal, on a compressed clock (the tool and the emulator run at
// the same time scale, so minutes of printer time pass in a few seconds).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "cups_scheduler.h"
#include "emulator.h"
#include "link/payload_transfer.h"
#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/linux/device_file_linux.h"
#include "platform/services.h"
#include "platform/text.h"
#include "recording_display.h"
#include "time_scales.h"
#include "ui/main_display_model.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"
#include "upgrade_outcome.h"

namespace tessel::upgrade {
namespace {

using testing::Outcome;
using testing::Text;
using ui::MainScreen;

using testing::kImageRunScale;
using testing::kShortRunScale;

// Debugger lines with the clock's time, so waits can be measured against them.
class TimedDebugOutput final : public platform::DebugOutput {
  public:
    explicit TimedDebugOutput(platform::Clock& clock) : clock_(clock) {}
    void Write(std::u16string_view line) override {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(platform::Utf16ToUtf8(line), clock_.NowMs());
    }
    // The time of the first line `text` at or after `from_ms`.
    std::optional<std::int64_t> FirstAfter(const std::string& text, std::int64_t from_ms) const {
        std::lock_guard lock(mutex_);
        for (const auto& [line, at] : lines_) {
            if (line == text && at >= from_ms) {
                return at;
            }
        }
        return std::nullopt;
    }

  private:
    platform::Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::int64_t>> lines_;
};

// Device files (the system's unless a test chooses others), noting on the clock when each
// payload transfer began (the first write of a handle, when it starts like a payload) and when
// its last write returned.
class TimedTransfers final : public platform::DeviceFiles {
  public:
    struct Transfer {
        std::int64_t start_ms = -1;
        std::int64_t end_ms = -1;
    };

    explicit TimedTransfers(platform::Clock& clock) : clock_(clock) {}
    void Use(platform::DeviceFiles& files) { files_ = &files; }
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string& path) override {
        auto file = files_->Open(path);
        if (!file) {
            return nullptr;
        }
        std::lock_guard lock(mutex_);
        handles_.push_back(std::make_shared<Transfer>());
        return std::make_unique<File>(std::move(file), *this, handles_.back());
    }
    std::vector<Transfer> Transfers() const {
        std::lock_guard lock(mutex_);
        std::vector<Transfer> out;
        for (const auto& h : handles_) {
            if (h->start_ms >= 0) {
                out.push_back(*h);
            }
        }
        return out;
    }

  private:
    class File final : public platform::DeviceFile {
      public:
        File(std::unique_ptr<platform::DeviceFile> file, TimedTransfers& owner,
             std::shared_ptr<Transfer> transfer)
            : file_(std::move(file)), owner_(owner), transfer_(std::move(transfer)) {}
        std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
            const std::int64_t start = owner_.clock_.NowMs();
            const std::int32_t written = file_->Write(data, count);
            std::lock_guard lock(owner_.mutex_);
            if (first_write_ && payloads::LooksLikePayload({data, count})) {
                transfer_->start_ms = start;
            }
            first_write_ = false;
            if (transfer_->start_ms >= 0) {
                transfer_->end_ms = owner_.clock_.NowMs();
            }
            return written;
        }
        std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
            return file_->Read(buffer, count);
        }
        bool CouldBePrinter() const override { return file_->CouldBePrinter(); }

      private:
        std::unique_ptr<platform::DeviceFile> file_;
        TimedTransfers& owner_;
        std::shared_ptr<Transfer> transfer_;
        bool first_write_ = true;
    };

    platform::Clock& clock_;
    platform::DeviceFiles* files_ = &platform::SystemDeviceFiles();
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Transfer>> handles_;
};

class UpgradeEndToEndTest : public ::testing::Test {
  protected:
    // Most runs here send the firmware image: the link's limits run on the compressed clock
    // too, so the image needs the scale a slow machine still meets.
    explicit UpgradeEndToEndTest(double time_scale = kImageRunScale)
        : time_scale_(time_scale), clock(platform::SystemClock(), time_scale) {
        // No print queues unless a test starts its own scheduler.
        setenv("CUPS_SERVER", "/nonexistent/tessel-cups.sock", 1);
        model.SetMessageDialogHandler([this](const ui::MessageDialogView& dialog) {
            messages.push_back(platform::Utf16ToUtf8(dialog.text));
            return answer ? answer : dialog.dismissed_answer;
        });
        model.SetChangeListener([this](std::uint64_t) {
            const auto view = model.Snapshot();
            std::lock_guard lock(mutex);
            screens.push_back(view.screen);
            if (view.flash_burn_in_progress) {
                during_burn.emplace_back(view.screen, view.progress.position);
            }
        });
    }

    ~UpgradeEndToEndTest() override {
        g_pMainDlg = nullptr;
        unsetenv("TESSEL_SYSFS_ROOT");
        unsetenv("TESSEL_DEV_ROOT");
        unsetenv("CUPS_SERVER");
    }

    // Starts the emulator with `printers` and runs one upgrade against it; `meanwhile`, if
    // given, runs on a thread of its own beside the upgrade.
    MainScreen RunUpgrade(std::vector<sim::PrinterConfig> printers,
                          const std::function<void(sim::Emulator&)>& meanwhile = {}) {
        sim::EmulatorOptions options;
        options.printers = std::move(printers);
        options.time_scale = time_scale_;
        std::string error;
        emulator = sim::Emulator::Start(options, &error);
        EXPECT_TRUE(emulator) << error;
        if (!emulator) {
            return MainScreen::kBlank;
        }
        setenv("TESSEL_SYSFS_ROOT", emulator->sysfs_root().c_str(), 1);
        setenv("TESSEL_DEV_ROOT", emulator->dev_root().c_str(), 1);

        platform::Services services = platform::Current();
        services.clock = &clock;
        services.debug = &debug;
        services.devices = &transfers;
        platform::ScopedServices installed(services);
        model.Initialise(0x0409);
        g_pMainDlg = &display;
        std::thread beside;
        if (meanwhile) {
            beside = std::thread([this, &meanwhile] { meanwhile(*emulator); });
        }
        auto run = std::async(std::launch::async, [this] { UpgradeWorker(display); });
        // A stuck run: stopping the emulator fails the printer's open handles, so the run can
        // end and the test report it.
        if (run.wait_for(testing::kStuckRunBound) != std::future_status::ready) {
            ADD_FAILURE() << "the run did not end";
            emulator->Stop();
        }
        run.get();
        if (beside.joinable()) {
            beside.join();
        }
        const auto view = model.Snapshot();
        if (view.cause) {
            std::cerr << "the run's cause: "
                      << platform::Utf16ToUtf8(ui::RunCauseText(*view.cause, ui::kBlockEnglish))
                      << "\n";
        }
        return view.screen;
    }

    std::vector<sim::Json> Payloads() const { return testing::PayloadEvents(emulator->Events()); }
    std::vector<sim::Json> Events(int printer) const {
        return testing::EventsOf(emulator->Events(), printer);
    }
    int ValidPayloads() const { return testing::ValidPayloads(emulator->Events()); }

    double time_scale_;
    platform::ScaledClock clock;
    TimedDebugOutput debug{clock};
    TimedTransfers transfers{clock};
    ui::MainDisplayModel model{clock};
    testing::RecordingDisplay display{model, clock};
    std::int32_t answer = 0;
    std::vector<std::string> messages;
    std::mutex mutex;
    std::vector<MainScreen> screens;
    // What the display showed while the printer burned: screen and bar position.
    std::vector<std::pair<MainScreen, int>> during_burn;
    std::unique_ptr<sim::Emulator> emulator;
};

TEST_F(UpgradeEndToEndTest, SuccessDeliversBothPayloadsWithTheSpecifiedWaits) {
    EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}}), MainScreen::kSuccess);
    const auto payloads = Payloads();
    ASSERT_EQ(payloads.size(), 2u);
    EXPECT_EQ(payloads[0]["kind"], "loader");
    EXPECT_EQ(payloads[1]["kind"], "firmware");
    EXPECT_EQ(ValidPayloads(), 2);
    EXPECT_TRUE(messages.empty());

    // Measured on the tool's clock (a compressed real clock, so only lower bounds hold under
    // load): the first poll 54 s after the restart wait began, the
    // success display no sooner than 258 s after it.
    const auto start = display.Find(kStateAnimation, 0)->at_ms;
    const auto first_poll = debug.FirstAfter("SearchUSBPrint()<----", start);
    ASSERT_TRUE(first_poll.has_value());
    EXPECT_GE(*first_poll - start, 54'000);
    EXPECT_GE(display.Find(kStateProgress, 100)->at_ms - start, 258'000);

    // After the burn the printer comes back with the carried firmware.
    const auto back = emulator->WaitFor(
        [](const sim::Json& e) { return e["event"] == "appear" && e["version"] == "3.3.3.8"; },
        std::chrono::seconds(10));
    EXPECT_TRUE(back.has_value());
}

// Whether a run of `o` sends firmware bytes: it ends on success, or its printer fails inside
// the image.
bool SendsFirmware(const Outcome& o) {
    sim::PrinterConfig config;
    o.setup(config);
    const sim::Faults& f = config.faults;
    return o.screen == MainScreen::kSuccess ||
           (f.disconnect_after && f.disconnect_payload == sim::PayloadSelect::kFirmware) ||
           (f.stall_after && f.stall_payload == sim::PayloadSelect::kFirmware);
}

class UpgradeEndToEndOutcomeTest : public UpgradeEndToEndTest,
                                   public ::testing::WithParamInterface<Outcome> {
  protected:
    UpgradeEndToEndOutcomeTest()
        : UpgradeEndToEndTest(SendsFirmware(GetParam()) ? kImageRunScale : kShortRunScale) {}
};

TEST_P(UpgradeEndToEndOutcomeTest, EndsAsExpected) {
    const Outcome& o = GetParam();
    sim::PrinterConfig config;
    o.setup(config);
    answer = o.answer;
    EXPECT_EQ(RunUpgrade({config}), o.screen);
    if (o.message >= 0) {
        EXPECT_EQ(messages, std::vector<std::string>{Text(o.message)});
    } else {
        EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(static_cast<int>(Payloads().size()), o.payloads_sent);
    EXPECT_EQ(ValidPayloads(), o.payloads_valid);
    if (o.screen != MainScreen::kSuccess) {
        EXPECT_FALSE(display.Find(kStateProgress, 100).has_value());
    }
    // However the printer behaves, a transfer ends within the link's limit (tested between
    // writes, in whole seconds) and the wait of the one write under way.
    for (const auto& transfer : transfers.Transfers()) {
        EXPECT_LE(transfer.end_ms - transfer.start_ms,
                  (link::kTransferTimeLimitSeconds + 1) * 1000 + platform::kDeviceWriteWaitMs);
    }
}

const Outcome kOutcomes[] = {
    {"NotReadyStatus", [](auto& c) { c.status = 3; }, 0, MainScreen::kNotReady, -1, 0, 0},
    {"SameVersionNo", [](auto& c) { c.version = "3.3.3.8"; }, kAnswerNo, MainScreen::kStart, 12, 0,
     0},
    {"SameVersionYes", [](auto& c) { c.version = "3.3.3.8"; }, kAnswerYes, MainScreen::kSuccess, 12,
     2, 2},
    {"NewerVersion", [](auto& c) { c.version = "3.3.4.0"; }, kAnswerOk, MainScreen::kStart, 11, 0,
     0},
    {"VersionQueryFails", [](auto& c) { c.faults.no_answer = sim::kVersionQuery; }, 0,
     MainScreen::kNotReady, -1, 0, 0},
    // The pseudo-terminal takes bytes before the printer has looked at them: a drop late in the
    // loader (83,750 bytes, one write) can come after that write has returned whole. Early on,
    // the write cannot have got far (some 20 KB).
    {"DisconnectDuringLoader",
     [](auto& c) {
         c.faults.disconnect_after = 1'000;
         c.faults.disconnect_payload = sim::PayloadSelect::kLoader;
     },
     0, MainScreen::kFailure, -1, 0, 0},
    {"DisconnectDuringFirmware",
     [](auto& c) {
         c.faults.disconnect_after = 5'000'000;
         c.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
     },
     0, MainScreen::kFailure, -1, 1, 1},
    {"NeverBack", [](auto& c) { c.faults.no_return = true; }, 0, MainScreen::kFailure, -1, 1, 1},
    // Printers that stop reading part-way and stay connected.
    {"StallDuringLoader",
     [](auto& c) {
         c.faults.stall_after = 1'000;
         c.faults.stall_payload = sim::PayloadSelect::kLoader;
     },
     0, MainScreen::kFailure, -1, 0, 0},
    {"StallDuringFirmware",
     [](auto& c) {
         c.faults.stall_after = 5'000'000;
         c.faults.stall_payload = sim::PayloadSelect::kFirmware;
     },
     0, MainScreen::kFailure, -1, 1, 1},
};

INSTANTIATE_TEST_SUITE_P(Runs, UpgradeEndToEndOutcomeTest, ::testing::ValuesIn(kOutcomes),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A build with stand-in payloads sends none to a device that could be a printer: the queries
// are answered, the loader's first write is refused, and the run ends on the failure display.
TEST_F(UpgradeEndToEndTest, StandInPayloadNeverReachesADeviceThatCouldBeAPrinter) {
    if (!payloads::kPayloadsAreStandIns) {
        GTEST_SKIP() << "this build carries the maker's payloads";
    }
    const auto printer_like = platform::MakeLinuxDeviceFiles(platform::PrinterGuess::kEveryFile);
    transfers.Use(*printer_like);

    EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}}), MainScreen::kFailure);
    EXPECT_TRUE(display.Find(kStateProgress, 0).has_value());  // the loader was next
    EXPECT_TRUE(debug
                    .FirstAfter("Refusing to send a stand-in payload to a real printer: this "
                                "build does not carry the maker's payloads",
                                0)
                    .has_value());
    std::vector<std::string> received;
    for (const auto& e : emulator->Events()) {
        if (e["event"] == "command" || e["event"] == "payload_start") {
            received.push_back(e.value("name", "payload"));
        }
    }
    EXPECT_EQ(received, (std::vector<std::string>{"status", "version"}));
}

TEST_F(UpgradeEndToEndTest, NoPrinterShowsTheCableMessage) {
    EXPECT_EQ(RunUpgrade({}), MainScreen::kStart);
    EXPECT_EQ(messages, std::vector<std::string>{Text(6)});
}

TEST_F(UpgradeEndToEndTest, HeldJobOnThePrintersQueueRefusesTheUpgrade) {
    if (!testing::CupsScheduler::FindProgram("cupsd")) {
        GTEST_SKIP() << "cupsd is not installed";
    }
    testing::CupsScheduler cups;
    std::string why;
    ASSERT_TRUE(cups.Start(why)) << why;
    std::string job;
    ASSERT_TRUE(cups.AddQueue("R7200", "usb://Bexlot/R7200%20Series?serial=SER1")) << cups.Log();
    ASSERT_TRUE(cups.AddHeldJob("R7200", job)) << cups.Log();

    EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}}), MainScreen::kStart);
    EXPECT_EQ(messages, std::vector<std::string>{Text(22)});
    EXPECT_EQ(Payloads().size(), 0u);
}

// A slow link: the image crosses a pseudo-terminal capped in printer time.
class SlowLinkEndToEndTest : public UpgradeEndToEndTest {
  protected:
    SlowLinkEndToEndTest() : UpgradeEndToEndTest(testing::kSlowLinkScale) {}
};

TEST_F(SlowLinkEndToEndTest, TransferOutlastingTheAnimationNeverShowsTheFailureDisplay) {
    // The printer comes back late and takes the image slowly (see testing::kSlowLinkScale), so
    // the animation runs out at 280 s while the image is still on its way. The front end
    // drives the animation from its own timer meanwhile. The display must never ask for a
    // restart while the image is on its way or burning: it stands at 99 until the worker's own
    // end display. How the run ends depends on how fast the machine carries the bytes (a busy
    // machine can push the transfer past its time limit): success, or the worker's own failure
    // display as the last one shown.
    sim::PrinterConfig config;
    config.restart_delay_s = testing::kSlowLinkRestartDelaySeconds;
    config.faults.throughput = testing::kSlowLinkBytesPerSecond;
    std::atomic<bool> stop{false};
    std::thread animation([&] {
        while (!stop.load()) {
            model.AdvanceAnimation();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const MainScreen end = RunUpgrade({config});
    stop = true;
    animation.join();

    ASSERT_TRUE(end == MainScreen::kSuccess || end == MainScreen::kFailure);
    std::lock_guard lock(mutex);
    ASSERT_FALSE(screens.empty());
    EXPECT_EQ(screens.back(), end);
    // Once the failure display is up, nothing else follows it: it was the worker's end.
    const auto failure = std::find(screens.begin(), screens.end(), MainScreen::kFailure);
    EXPECT_TRUE(std::all_of(failure, screens.end(), [](MainScreen s) {
        return s == MainScreen::kFailure;
    })) << "the failure display came up while the worker still ran";
    if (end == MainScreen::kSuccess) {
        EXPECT_EQ(ValidPayloads(), 2);
        testing::ExpectProgressHeldDuringBurn(during_burn);
    }
}

// Two R7200s on the bus: the run upgrades the one listed first and sends the other nothing,
// wherever the upgraded one is listed when it comes back.
sim::PrinterConfig SecondR7200() {
    sim::PrinterConfig other;
    other.serial = "SER2";
    return other;
}

// The lp numbers printer `i` appeared under, in order.
std::vector<int> AppearedAt(const std::vector<sim::Json>& printer_events) {
    std::vector<int> lps;
    for (const auto& e : printer_events) {
        if (e["event"] == "appear") {
            lps.push_back(e["lp"].get<int>());
        }
    }
    return lps;
}

TEST_F(UpgradeEndToEndTest, OfTwoPrintersOnlyTheFirstIsUpgradedWhenItComesBackListedFirst) {
    EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}, SecondR7200()}), MainScreen::kSuccess);
    EXPECT_EQ(testing::ValidPayloads(Events(0)), 2);
    EXPECT_TRUE(testing::ReceivedNothing(Events(1)));
    // Back under its own lp0 after the loader, before the other printer's lp1.
    const auto lps = AppearedAt(Events(0));
    ASSERT_GE(lps.size(), 2u);
    EXPECT_EQ(lps[1], 0);
}

TEST_F(UpgradeEndToEndTest, OfTwoPrintersOnlyTheFirstIsUpgradedWhenItComesBackListedSecond) {
    // While the upgraded printer restarts, the other one is plugged in again and takes lp0.
    auto replug_other = [](sim::Emulator& e) {
        const auto gone = e.WaitFor(
            [](const sim::Json& ev) { return ev["event"] == "disconnect" && ev["printer"] == 0; },
            std::chrono::seconds(30));
        if (gone) {
            e.Replug(1);
        }
    };
    EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}, SecondR7200()}, replug_other),
              MainScreen::kSuccess);
    EXPECT_EQ(testing::ValidPayloads(Events(0)), 2);
    EXPECT_TRUE(testing::ReceivedNothing(Events(1)));
    EXPECT_EQ(AppearedAt(Events(1)), (std::vector<int>{1, 0}));
    const auto lps = AppearedAt(Events(0));
    ASSERT_GE(lps.size(), 2u);
    EXPECT_EQ(lps[1], 1);
}

TEST_F(UpgradeEndToEndTest, OfTwoPrintersABusyQueueOnEitherIsJudgedForTheUpgradedOneOnly) {
    if (!testing::CupsScheduler::FindProgram("cupsd")) {
        GTEST_SKIP() << "cupsd is not installed";
    }
    struct Case {
        const char* busy_uri;
        MainScreen screen;
        std::vector<std::string> messages;
        int payloads;
    };
    const Case cases[] = {
        {"usb://Bexlot/R7200%20Series?serial=SER1",
         MainScreen::kStart,
         {Text(ui::kTextPortBusy)},
         0},
        {"usb://Bexlot/R7200%20Series?serial=SER2", MainScreen::kSuccess, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busy_uri);
        testing::CupsScheduler cups;
        std::string why;
        ASSERT_TRUE(cups.Start(why)) << why;
        std::string job;
        ASSERT_TRUE(cups.AddQueue("Busy", c.busy_uri)) << cups.Log();
        ASSERT_TRUE(cups.AddHeldJob("Busy", job)) << cups.Log();
        messages.clear();

        EXPECT_EQ(RunUpgrade({sim::PrinterConfig{}, SecondR7200()}), c.screen);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(testing::ValidPayloads(Events(0)), c.payloads);
        EXPECT_EQ(Payloads().size(), static_cast<std::size_t>(c.payloads));
        EXPECT_TRUE(testing::ReceivedNothing(Events(1)));
        emulator.reset();
    }
}

}  // namespace
}  // namespace tessel::upgrade
