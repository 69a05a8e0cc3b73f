// The real tessel-cli program against the printer emulator, through the Linux backends, on a
// compressed clock shared by both (TESSEL_TIME_SCALE for the program).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/support_log.h"
#include "child_process.h"
#include "emulator.h"
#include "link/printer_queries.h"
#include "payloads/payload_format.h"
#include "platform/power.h"
#include "printer_events.h"
#include "private_logind.h"
#include "time_scales.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/cli_upgrade.h"
#include "ui/cli/terminal_view.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace tessel::app {
namespace {

using namespace tessel::ui::cli;

using std::chrono::seconds;
using tessel::testing::ChildProcess;
using tessel::testing::kImageRunScale;
using tessel::testing::kShortRunScale;

constexpr auto kRunBound = tessel::testing::kStuckRunBound;

// Text `id` in English as the program prints it.
std::string English(int id) {
    ui::SetUiLanguage(0x0409);
    std::string text = TerminalText(ui::GetUiText(id));
    ui::g_wPrimaryLang = ui::g_wSubLang = 0;
    return text;
}

class CliEndToEndTest : public ::testing::Test {
  protected:
    // Starts the emulator with `printers` (none: an empty bus) on a clock compressed by
    // `time_scale`, which the program's runs share.
    void StartPrinters(std::vector<sim::PrinterConfig> printers,
                       double time_scale = kShortRunScale) {
        sim::EmulatorOptions options;
        options.printers = std::move(printers);
        options.time_scale = time_scale;
        time_scale_ = time_scale;
        std::string error;
        emulator_ = sim::Emulator::Start(options, &error);
        ASSERT_TRUE(emulator_) << error;
    }
    std::unique_ptr<ChildProcess> Run(std::vector<std::string> args,
                                      ChildProcess::Input input = ChildProcess::Input::kNull,
                                      const std::string& lang = "C") {
        return std::make_unique<ChildProcess>(
            TESSEL_CLI_PATH, args,
            std::map<std::string, std::string>{
                {"XDG_STATE_HOME", state_home_},
                {"TESSEL_SYSFS_ROOT", emulator_->sysfs_root()},
                {"TESSEL_DEV_ROOT", emulator_->dev_root()},
                {"TESSEL_TIME_SCALE", std::to_string(time_scale_)},
                // No print queues: the port check asks a scheduler that is not there.
                {"CUPS_SERVER", "/nonexistent/tessel-cups.sock"},
                // No logind unless a test starts its own.
                {"DBUS_SYSTEM_BUS_ADDRESS", system_bus_},
                {"LANG", lang},
            },
            input);
    }
    int ValidPayloads(const std::string& kind) const {
        int n = 0;
        for (const auto& e : emulator_->Events()) {
            n += e["event"] == "payload" && e["kind"] == kind && e["valid"] == true ? 1 : 0;
        }
        return n;
    }
    int PayloadStarts() const {
        int n = 0;
        for (const auto& e : emulator_->Events()) {
            n += e["event"] == "payload_start" ? 1 : 0;
        }
        return n;
    }

    std::unique_ptr<sim::Emulator> emulator_;
    double time_scale_ = kShortRunScale;
    std::string system_bus_ = "unix:path=/nonexistent/tessel-system-bus";
    // The state folder of the program's runs (their logs), one per test.
    std::string state_home_ = [] {
        const auto folder =
            std::filesystem::temp_directory_path() /
            ("tessel-state-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        return folder.string();
    }();
    ~CliEndToEndTest() override { std::filesystem::remove_all(state_home_); }
};

TEST_F(CliEndToEndTest, UpgradeYesUpgradesAndAnInterruptMeanwhileIsRefused) {
    StartPrinters({sim::PrinterConfig{}}, kImageRunScale);
    auto cli = Run({"upgrade", "--yes"});
    ASSERT_TRUE(cli->started());
    // Ctrl+C once the loader is on its way, and a termination request during the burn.
    ASSERT_TRUE(emulator_->WaitFor([](const sim::Json& e) { return e["event"] == "payload_start"; },
                                   kRunBound));
    cli->Signal(SIGINT);
    ASSERT_TRUE(emulator_->WaitFor([](const sim::Json& e) { return e["event"] == "burn_start"; },
                                   kRunBound));
    cli->Signal(SIGTERM);

    EXPECT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    EXPECT_EQ(ValidPayloads("loader"), 1);
    EXPECT_EQ(ValidPayloads("firmware"), 1);
    const std::string& out = cli->output();
    // The success display, then the version read back from the printer after its restart.
    const std::string end = English(ui::kTextSucceeded) + "\n" + English(ui::kTextNewDriver) +
                            "\n-- confirming the printer's new version\n"
                            "confirmed: the printer now runs 3.3.3.8\n";
    EXPECT_EQ(out.rfind(end), out.size() - end.size()) << out;
    // The phases, each once and in order, with what is known of them when they begin.
    std::size_t after = 0;
    for (const char* phase :
         {"-- checking the printer\n", "-- reading its firmware version\n",
          "-- sending the loader\n", "-- waiting for the printer to restart, 1:54 at most\n",
          "-- sending the firmware\n", "-- burning into flash, 3:24 left: do not switch the "
                                      "printer off\n"}) {
        const std::size_t found = out.find(phase, after);
        ASSERT_NE(found, std::string::npos) << phase << "\n" << out;
        EXPECT_EQ(out.find(phase, found + 1), std::string::npos) << phase;
        after = found;
    }
    std::size_t refusals = 0;
    for (std::size_t at = out.find(ui::ToolTextUtf8(ui::ToolText::kInterruptRefused));
         at != std::string::npos;
         at = out.find(ui::ToolTextUtf8(ui::ToolText::kInterruptRefused), at + 1)) {
        ++refusals;
    }
    EXPECT_EQ(refusals, 2u) << out;
    EXPECT_NE(out.find(TerminalView::Bar(10) + "\n"), std::string::npos) << out;
}

TEST_F(CliEndToEndTest, OutputThatNobodyReadsAnyMoreDoesNotStopTheUpgrade) {
    // As with `tessel-cli upgrade --yes | head -3`: the pipe closes while the loader goes out.
    StartPrinters({sim::PrinterConfig{}}, kImageRunScale);
    auto cli = Run({"upgrade", "--yes"});
    ASSERT_TRUE(emulator_->WaitFor([](const sim::Json& e) { return e["event"] == "payload_start"; },
                                   kRunBound));
    cli->CloseOutput();
    EXPECT_EQ(cli->Finish(kRunBound), kExitSuccess);
    EXPECT_EQ(ValidPayloads("loader"), 1);
    EXPECT_EQ(ValidPayloads("firmware"), 1);
}

TEST_F(CliEndToEndTest, RunsThatEndBeforeAnyPayload) {
    struct Case {
        const char* what;
        std::vector<sim::PrinterConfig> printers;
        std::vector<std::string> args;
        int exit;
        std::vector<std::string> shown;
    };
    sim::PrinterConfig same;
    same.version = "3.3.3.8";
    sim::PrinterConfig newer;
    newer.version = "3.3.4.0";
    sim::PrinterConfig busy;
    busy.status = 3;
    const Case cases[] = {
        {"no printer",
         {},
         {"upgrade", "--yes"},
         kExitEndedByMessage,
         {English(ui::kTextNoPrinter)}},
        {"same version, --no",
         {same},
         {"upgrade", "--no"},
         kExitEndedByMessage,
         {English(ui::kTextSameFirmware), "[y] Yes   [n] No", "> No (--no)"}},
        {"same version, nobody to ask",
         {same},
         {"upgrade"},
         kExitEndedByMessage,
         {English(ui::kTextSameFirmware), "> No (no terminal to ask on"}},
        {"newer version, even with --yes",
         {newer},
         {"upgrade", "--yes"},
         kExitEndedByMessage,
         {English(ui::kTextNewerFirmware)}},
        {"status 3",
         {busy},
         {"upgrade", "--yes"},
         kExitNotReady,
         {English(ui::kTextNotReadyMessage)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartPrinters(c.printers);
        auto cli = Run(c.args);
        EXPECT_EQ(cli->Finish(kRunBound), c.exit) << cli->output();
        for (const std::string& text : c.shown) {
            EXPECT_NE(cli->output().find(text), std::string::npos) << text << "\n" << cli->output();
        }
        EXPECT_EQ(PayloadStarts(), 0);
        emulator_.reset();
    }
}

TEST_F(CliEndToEndTest, QuestionOnATerminal) {
    sim::PrinterConfig same;
    same.version = "3.3.3.8";

    // A typed answer that is no answer is asked again; "n" declines.
    StartPrinters({same});
    auto cli = Run({"upgrade"}, ChildProcess::Input::kTerminal);
    ASSERT_TRUE(cli->WaitForOutput("> ", kRunBound));
    cli->Type("perhaps\n");
    ASSERT_TRUE(cli->WaitForOutput("Please answer y (Yes) or n (No).", kRunBound));
    ASSERT_TRUE(cli->WaitForOutput("> ", kRunBound, cli->output().find("Please answer")));
    cli->Type("n\n");
    EXPECT_EQ(cli->Finish(kRunBound), kExitEndedByMessage) << cli->output();
    EXPECT_EQ(PayloadStarts(), 0);

    // Ctrl+C at the question leaves it unanswered, which declines.
    emulator_.reset();
    StartPrinters({same});
    cli = Run({"upgrade"}, ChildProcess::Input::kTerminal);
    ASSERT_TRUE(cli->WaitForOutput("> ", kRunBound));
    cli->Signal(SIGINT);
    EXPECT_EQ(cli->Finish(kRunBound), kExitEndedByMessage) << cli->output();
    EXPECT_NE(cli->output().find("> No (not answered)"), std::string::npos) << cli->output();
    EXPECT_EQ(PayloadStarts(), 0);
}

// Every upgrade run leaves its log: the debugger lines with time stamps. A failed run names its
// log, and `log` prints the newest; a state folder that cannot be written changes nothing.
TEST_F(CliEndToEndTest, EachUpgradeRunLeavesItsLog) {
    sim::PrinterConfig dropping;
    dropping.faults.disconnect_after = 5'000'000;
    dropping.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
    StartPrinters({dropping}, kImageRunScale);
    auto failed = Run({"upgrade", "--yes"});
    ASSERT_EQ(failed->Finish(kRunBound), kExitFailed) << failed->output();
    const auto named = failed->output().find("the log of this run is ");
    ASSERT_NE(named, std::string::npos) << failed->output();

    auto log = Run({"log"});
    ASSERT_EQ(log->Finish(kRunBound), kExitSuccess) << log->output();
    const std::string& text = log->output();
    EXPECT_NE(text.find("# " + state_home_ + "/tessel/tessel-"), std::string::npos) << text;
    EXPECT_NE(text.find(", tessel-cli upgrade\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  ReadPrinterSTATUS()<------\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  ReadLen = "), std::string::npos) << text;
    // Time-stamped lines only, short ones: no payload bytes.
    std::istringstream lines(text.substr(text.find('\n') + 1));
    for (std::string line; std::getline(lines, line);) {
        ASSERT_GE(line.size(), 25u) << line;
        EXPECT_EQ(line.substr(4, 1) + line.substr(10, 1) + line.substr(23, 2), "-   ") << line;
        EXPECT_LE(line.size(), 25 + kMaxLogLineBytes + 6) << line;
    }
    emulator_.reset();

    std::filesystem::remove_all(state_home_);
    std::ofstream(state_home_) << "a file where the state folder would be";
    StartPrinters({sim::PrinterConfig{}}, kImageRunScale);
    auto unlogged = Run({"upgrade", "--yes"});
    EXPECT_EQ(unlogged->Finish(kRunBound), kExitSuccess) << unlogged->output();
    EXPECT_EQ(ValidPayloads("firmware"), 1);
    std::filesystem::remove(state_home_);
}

// --json: one object per line, which a script can follow: the phases in order, the progress,
// the question with its answer, the end display and the exit status last.
TEST_F(CliEndToEndTest, JsonStreamOfAWholeUpgrade) {
    sim::PrinterConfig same;
    same.version = "3.3.3.8";
    StartPrinters({same}, kImageRunScale);
    auto cli = Run({"upgrade", "--yes", "--json"});
    ASSERT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();

    std::vector<nlohmann::json> events;
    std::istringstream lines(cli->output());
    for (std::string line; std::getline(lines, line);) {
        events.push_back(nlohmann::json::parse(line));  // throws on anything but JSON
    }
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (nlohmann::json{{"event", "exit"}, {"status", 0}}));
    std::vector<std::string> phases;
    std::vector<std::string> displays;
    int last_progress = 0;
    std::uint64_t firmware_sent = 0;
    for (const auto& e : events) {
        if (e["event"] == "phase") {
            if (phases.empty() || phases.back() != e["phase"]) {
                phases.push_back(e["phase"]);
            }
            if (e["phase"] == "sending_firmware" && e.contains("bytes_sent")) {
                EXPECT_GE(e["bytes_sent"].get<std::uint64_t>(), firmware_sent);
                firmware_sent = e["bytes_sent"];
                EXPECT_GT(e["bytes_per_second"].get<std::uint64_t>(), 0u);
            }
        } else if (e["event"] == "display") {
            displays.push_back(e["display"]);
        } else if (e["event"] == "progress") {
            last_progress = e["value"];
        } else if (e["event"] == "confirmation") {
            EXPECT_EQ(e, (nlohmann::json{{"event", "confirmation"},
                                         {"outcome", "confirmed"},
                                         {"version", "3.3.3.8"}}));
        } else if (e["event"] == "dialog") {
            EXPECT_EQ(e["layout"], "yes_no");
            EXPECT_EQ(e["answer"], "yes");
            EXPECT_EQ(e["text"], English(ui::kTextSameFirmware));
        }
    }
    EXPECT_EQ(phases, (std::vector<std::string>{"checking_printer", "reading_version",
                                                "sending_loader", "waiting_for_restart",
                                                "sending_firmware", "burning", "confirming"}));
    EXPECT_EQ(firmware_sent, payloads::kFirmwareSpec.size);
    EXPECT_EQ(displays, (std::vector<std::string>{"progress", "success"}));
    EXPECT_EQ(last_progress, 100);
    EXPECT_EQ(ValidPayloads("firmware"), 1);
}

// A slow link: the printer comes back late and takes the image slowly, so the animation's
// 280 s run out while the image is still on its way (see testing::kSlowLinkScale). The stream
// must never show the failure display (which tells the user to restart the printer) before
// the worker's own end. How the run ends depends on how fast the machine carries the bytes (a
// busy machine can push the transfer past its time limit), so the test asserts the order, not
// the outcome: only progress until the end display, the bar held at 99 while the image was
// still on its way, and nothing after the end display but the exit.
TEST_F(CliEndToEndTest, JsonStreamOfASlowLinkShowsNoFailureBeforeTheEnd) {
    sim::PrinterConfig slow;
    slow.restart_delay_s = tessel::testing::kSlowLinkRestartDelaySeconds;
    slow.faults.throughput = tessel::testing::kSlowLinkBytesPerSecond;
    StartPrinters({slow}, tessel::testing::kSlowLinkScale);
    auto cli = Run({"upgrade", "--yes", "--json", "--no-confirm"});
    const std::optional<int> finished = cli->Finish(kRunBound);
    ASSERT_TRUE(finished == kExitSuccess || finished == kExitFailed) << cli->output();
    const int status = *finished;

    std::vector<nlohmann::json> events;
    std::istringstream lines(cli->output());
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with('{')) {  // a failed run also names its log on standard error
            events.push_back(nlohmann::json::parse(line));
        }
    }
    std::vector<std::string> displays;
    std::size_t end_at = 0;
    bool at_99 = false;
    bool sent_after_99 = false;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto& e = events[i];
        if (e["event"] == "display") {
            displays.push_back(e["display"]);
            end_at = i;
        } else if (e["event"] == "progress") {
            at_99 = at_99 || e["value"] == 99;
        } else if (e["event"] == "phase" && e["phase"] == "sending_firmware") {
            sent_after_99 = sent_after_99 || at_99;
        }
    }
    EXPECT_EQ(displays, (std::vector<std::string>{"progress",
                                                  status == kExitSuccess ? "success" : "failure"}))
        << cli->output();
    EXPECT_TRUE(sent_after_99) << "the animation did not run out during the transfer";
    for (std::size_t i = end_at + 1; i < events.size(); ++i) {  // the success's 100 may follow
        EXPECT_NE(events[i]["event"], "phase") << "the worker went on after its end display\n"
                                               << cli->output();
    }
    if (status == kExitSuccess) {
        EXPECT_EQ(ValidPayloads("firmware"), 1);
    }
}

// After the success display the printer is asked for its version once it is back: the three
// outcomes, each with its exit status, and --no-confirm, which does not wait.
TEST_F(CliEndToEndTest, TheNewVersionIsReadBackAfterTheSuccess) {
    struct Case {
        const char* what;
        void (*fault)(sim::PrinterConfig&);
        std::vector<std::string> args;
        int exit;
        const char* last_line;
    };
    const Case cases[] = {
        {"back with the new version", [](sim::PrinterConfig&) {}, {"upgrade", "--yes"},
         kExitSuccess, "confirmed: the printer now runs 3.3.3.8"},
        {"back with another version",
         [](sim::PrinterConfig& p) { p.faults.version_after_burn = "3.3.2.9"; },
         {"upgrade", "--yes"}, kExitOtherVersion,
         "warning: after the upgrade the printer reports firmware 3.3.2.9, not 3.3.3.8."},
        {"not back", [](sim::PrinterConfig& p) { p.faults.no_return_after_burn = true; },
         {"upgrade", "--yes"}, kExitNotBack,
         "warning: the printer did not come back and report its firmware within 4 minutes."},
        {"not back, not asked", [](sim::PrinterConfig& p) { p.faults.no_return_after_burn = true; },
         {"upgrade", "--yes", "--no-confirm"}, kExitSuccess, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::PrinterConfig printer;
        c.fault(printer);
        StartPrinters({printer}, kImageRunScale);
        auto cli = Run(c.args);
        EXPECT_EQ(cli->Finish(kRunBound), c.exit) << cli->output();
        EXPECT_EQ(ValidPayloads("firmware"), 1);
        const std::string& out = cli->output();
        if (c.last_line != nullptr) {
            EXPECT_NE(out.find("\n" + std::string(c.last_line)), std::string::npos) << out;
        } else {
            EXPECT_EQ(out.find("confirm"), std::string::npos) << out;
            const std::string end = English(ui::kTextNewDriver) + "\n";
            EXPECT_EQ(out.rfind(end), out.size() - end.size()) << out;
        }
        emulator_.reset();
    }
}

// A failed run says why, on a line of its own under the failure display's texts.
TEST_F(CliEndToEndTest, AFailedRunSaysWhy) {
    using sim::PayloadSelect;
    struct Case {
        const char* fault;
        void (*setup)(sim::PrinterConfig&);
        std::string cause;  // the start of the cause's line
        double time_scale = kShortRunScale;  // the printer fails inside the image: kImageRunScale
    };
    const Case cases[] = {
        {"the printer stops reading in the firmware",
         [](sim::PrinterConfig& p) {
             p.faults.stall_after = 5'000'000;
             p.faults.stall_payload = PayloadSelect::kFirmware;
         },
         "Cause: the printer stopped taking data (while sending the firmware, after ",
         kImageRunScale},
        {"the printer drops off the bus in the firmware",
         [](sim::PrinterConfig& p) {
             p.faults.disconnect_after = 5'000'000;
             p.faults.disconnect_payload = PayloadSelect::kFirmware;
         },
         "Cause: the printer dropped off the USB bus (while sending the firmware, after ",
         kImageRunScale},
        {"the printer drops off the bus in the loader",
         [](sim::PrinterConfig& p) {
             p.faults.disconnect_after = 1'000;
             p.faults.disconnect_payload = PayloadSelect::kLoader;
         },
         "Cause: the printer dropped off the USB bus (while sending the loader, after 0."},
        {"the printer never comes back", [](sim::PrinterConfig& p) { p.faults.no_return = true; },
         "Cause: the printer did not come back after its restart (while waiting for the printer "
         "to restart).\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::PrinterConfig printer;
        c.setup(printer);
        StartPrinters({printer}, c.time_scale);
        auto cli = Run({"upgrade", "--yes"});
        EXPECT_EQ(cli->Finish(kRunBound), kExitFailed) << cli->output();
        const std::string failure =
            English(ui::kTextFailed) + "\n" + English(ui::kTextFailureMessage) + "\n" + c.cause;
        EXPECT_NE(cli->output().find(failure), std::string::npos) << cli->output();
        EXPECT_EQ(cli->output().find(English(ui::kTextSucceeded)), std::string::npos);
        EXPECT_EQ(ValidPayloads("firmware"), 0);
        emulator_.reset();
    }
}

// In Japanese and in Hebrew a whole upgrade, from the first phase to the version read back,
// shows no English: only names (the brand, the program, the version label) and units.
TEST_F(CliEndToEndTest, AWholeUpgradeInJapaneseAndInHebrewHasNoEnglishWord) {
    const std::set<std::string> allowed = {"Bexlot", "FW", "MB", "USB", "tessel", "cli"};
    for (const char* lang : {"ja_JP.UTF-8", "he_IL.UTF-8"}) {
        SCOPED_TRACE(lang);
        StartPrinters({sim::PrinterConfig{}}, kImageRunScale);
        auto cli = Run({"upgrade", "--yes"}, ChildProcess::Input::kNull, lang);
        EXPECT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
        const std::string& out = cli->output();
        std::string word;
        for (std::size_t i = 0; i <= out.size(); ++i) {
            const char c = i < out.size() ? out[i] : ' ';
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                word += c;
                continue;
            }
            if (word.size() > 1) {
                EXPECT_TRUE(allowed.count(word)) << word << " in\n" << out;
            }
            word.clear();
        }
        // Every phase, the burn's warning and the confirmation came through.
        EXPECT_NE(
            out.find(std::string(lang).starts_with("ja") ? "プリンターの電源を切らないでください"
                                                         : "אל תכבה את המדפסת"),
            std::string::npos)
            << out;
        emulator_.reset();
    }
}

TEST_F(CliEndToEndTest, InfoListsEachPrinterWithItsOwnPathAndSendsNothing) {
    sim::PrinterConfig older;
    sim::PrinterConfig newer;
    newer.product_id = 0x0C14;
    newer.product = "R7400 Series";
    newer.serial = "SER2";
    newer.version = "3.3.4.0";
    StartPrinters({older, newer}, tessel::testing::kInfoRunScale);
    auto cli = Run({"info", "--json"});
    ASSERT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();

    const auto doc = nlohmann::json::parse(cli->output());
    ASSERT_EQ(doc["printers"].size(), 2u) << cli->output();
    const std::string dev = emulator_->dev_root();
    const auto& first = doc["printers"][0];
    const auto& second = doc["printers"][1];
    EXPECT_EQ(first["name"], "Bexlot r7200 Series");
    EXPECT_EQ(first["device_path"], dev + "/usb/lp0");
    EXPECT_EQ(first["status"], 0);
    EXPECT_EQ(first["version"], "3.3.2.9");
    EXPECT_EQ(first["comparison"], "older");
    EXPECT_EQ(second["name"], "Bexlot r7400 Series");
    EXPECT_EQ(second["device_path"], dev + "/usb/lp1");
    EXPECT_EQ(second["version"], "3.3.4.0");
    EXPECT_EQ(second["comparison"], "newer");
    EXPECT_EQ(doc["unusable"].size(), 0u);
    EXPECT_EQ(PayloadStarts(), 0);
}

// --printer against two printers: the run stays on the printer named, through its restart and
// the confirmation; a name that fits none or both ends before anything is sent to either.
TEST_F(CliEndToEndTest, PrinterChosenByName) {
    struct Case {
        const char* what;
        std::vector<std::string> args;  // "LP1" stands for the second printer's device path
        bool same_serial;               // both printers carry SER1
        int exit;
        int upgraded;  // the printer that gets the whole run; -1: nothing sent to either
    };
    const Case cases[] = {
        {"no option: the first listed", {"upgrade", "--yes"}, false, kExitSuccess, 0},
        {"serial number, any case", {"upgrade", "--yes", "--printer", "ser2"}, false, kExitSuccess, 1},
        {"device path", {"upgrade", "--yes", "--printer=LP1"}, false, kExitSuccess, 1},
        // It could not be found again after its restart: refused before the loader.
        {"device path, serial numbers alike", {"upgrade", "--yes", "--printer", "LP1"}, true,
         kExitSeveralNamed, -1},
        {"no such printer", {"upgrade", "--yes", "--json", "--printer", "SER9"}, false,
         kExitNoPrinterNamed, -1},
        {"both have it", {"upgrade", "--yes", "--printer", "SER1"}, true, kExitSeveralNamed, -1},
        {"info: no such printer", {"info", "--printer", "SER9"}, false, kExitNoPrinterNamed, -1},
        {"info: both have it", {"info", "--json", "--printer", "SER1"}, true, kExitSeveralNamed,
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::PrinterConfig second;
        second.serial = c.same_serial ? "SER1" : "SER2";
        StartPrinters({sim::PrinterConfig{}, second}, kImageRunScale);
        std::vector<std::string> args = c.args;
        for (std::string& arg : args) {
            if (const auto at = arg.find("LP1"); at != std::string::npos) {
                arg.replace(at, 3, emulator_->dev_root() + "/usb/lp1");
            }
        }
        auto cli = Run(args);
        EXPECT_EQ(cli->Finish(kRunBound), c.exit) << cli->output();
        const auto events = emulator_->Events();
        for (int printer : {0, 1}) {
            EXPECT_EQ(Received(events, printer),
                      printer == c.upgraded ? kRunOrder : std::vector<std::string>{})
                << "printer " << printer << "\n" << cli->output();
        }
        if (c.upgraded < 0) {
            const std::string said =
                args.back() != "SER9" && args.back() != "SER1"
                    ? "tessel-cli: another connected printer has the same serial number as the "
                      "printer \"" + args.back() + "\" given with --printer, so it could not be found "
                      "again after its restart; disconnect the other printer first\n"
                : c.exit == kExitNoPrinterNamed
                    ? "tessel-cli: no connected printer has the serial number, port or device "
                      "\"SER9\" given with --printer; \"tessel-cli info\" lists the printers found\n"
                    : "tessel-cli: 2 connected printers have the serial number, port or device "
                      "\"SER1\" given with --printer;";
            EXPECT_NE(cli->output().find(said), std::string::npos) << cli->output();
        }
        emulator_.reset();
    }
}

// info --printer reports the printer named only.
TEST_F(CliEndToEndTest, InfoOnThePrinterNamed) {
    sim::PrinterConfig second;
    second.serial = "SER2";
    StartPrinters({sim::PrinterConfig{}, second}, tessel::testing::kInfoRunScale);
    auto cli = Run({"info", "--json", "--printer", "SER2"});
    ASSERT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    const auto doc = nlohmann::json::parse(cli->output());
    ASSERT_EQ(doc["printers"].size(), 1u) << cli->output();
    EXPECT_EQ(doc["printers"][0]["serial"], "SER2");
    EXPECT_EQ(doc["printers"][0]["device_path"], emulator_->dev_root() + "/usb/lp1");
    EXPECT_TRUE(Received(emulator_->Events(), 0).empty());
    EXPECT_EQ(Received(emulator_->Events(), 1), (std::vector<std::string>{"status", "version"}));
}

// A printer that answers neither query: info ends within its own short limits, not the
// minute per query that an upgrade grants. The minute of each query is waited on any machine,
// however fast: a run with those limits takes at least 120 s of printer time, 24 s of real
// time at a fifth of real time; with info's own limits (about 10 s of printer time, 2 s here)
// it ends long before that, even where the program's start-up is ten times as slow as here
// (0.1 s, 1.4 s under ThreadSanitizer).
TEST_F(CliEndToEndTest, InfoOnAPrinterThatDoesNotAnswerEndsWithinSeconds) {
    constexpr double kScale = tessel::testing::kInfoRunScale;
    sim::PrinterConfig silent;
    silent.faults.no_answer = sim::kAllQueries;
    StartPrinters({silent}, kScale);
    const auto begin = std::chrono::steady_clock::now();
    auto cli = Run({"info", "--json"});
    ASSERT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    const double real_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LT(real_seconds,
              (link::kStatusTimeLimitSeconds + link::kVersionTimeLimitSeconds) * kScale);

    const auto doc = nlohmann::json::parse(cli->output());
    ASSERT_EQ(doc["printers"].size(), 1u) << cli->output();
    EXPECT_TRUE(doc["printers"][0]["status"].is_null());
    EXPECT_TRUE(doc["printers"][0]["version"].is_null());
    EXPECT_EQ(PayloadStarts(), 0);
}

// While a run is on, logind holds the tool's lock against sleep; once it has ended, no lock is
// left, whichever way it ended.
TEST_F(CliEndToEndTest, TheMachineIsKeptAwakeWhileTheRunIsOn) {
    testing::PrivateLogind logind;
    std::string error;
    ASSERT_TRUE(logind.Start(error)) << error;
    system_bus_ = logind.address();
    const testing::Inhibitor lock{"sleep", platform::kSleepBlockWho, platform::kSleepBlockWhy,
                                  "block"};
    struct Case {
        const char* what;
        void (*fault)(sim::PrinterConfig&);
        const char* during;  // an emulator event while the run is still on for a while
        int exit;
    };
    const Case cases[] = {
        {"success", [](sim::PrinterConfig&) {}, "burn_start", kExitSuccess},
        {"failure",
         [](sim::PrinterConfig& p) {
             p.faults.disconnect_after = 5'000'000;
             p.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
         },
         "payload_start", kExitFailed},
        {"not ready", [](sim::PrinterConfig& p) { p.faults.no_answer = sim::kStatusQuery; },
         "no_answer", kExitNotReady},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::PrinterConfig printer;
        c.fault(printer);
        StartPrinters({printer}, kImageRunScale);
        auto cli = Run({"upgrade", "--yes", "--no-confirm"});
        ASSERT_TRUE(emulator_->WaitFor(
            [&](const sim::Json& e) { return e["event"] == c.during; }, kRunBound));
        EXPECT_EQ(logind.Inhibitors(), std::vector<testing::Inhibitor>{lock});
        EXPECT_EQ(cli->Finish(kRunBound), c.exit) << cli->output();
        EXPECT_EQ(logind.WaitForInhibitors({}), std::vector<testing::Inhibitor>{});
        emulator_.reset();
    }
}

// Without logind the upgrade goes on; its log says that the machine was not kept awake.
TEST_F(CliEndToEndTest, WithoutLogindTheUpgradeGoesOn) {
    StartPrinters({sim::PrinterConfig{}}, kImageRunScale);
    auto cli = Run({"upgrade", "--yes", "--no-confirm"});
    EXPECT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    EXPECT_EQ(ValidPayloads("firmware"), 1);
    auto log = Run({"log"});
    ASSERT_EQ(log->Finish(kRunBound), kExitSuccess);
    EXPECT_NE(log->output().find("BlockSleep(): no inhibitor lock (system D-Bus: "),
              std::string::npos)
        << log->output();
}

}  // namespace
}  // namespace tessel::app
