// Every fault the printer emulator can play, at each phase of an upgrade where it applies, through
// the real tessel-cli on a compressed clock. One row per fault and phase; each row runs as a test
// of its own, so the rows run side by side. For each row: the display the user ends on (and the
// message, if any), the exit status, why it ended when it failed, what the printers received in
// order, that a success is never shown unless the printer took both payloads, and that the run
// ended within the bounds of the phases it went through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "child_process.h"
#include "emulator.h"
#include "link/payload_transfer.h"
#include "link/printer_queries.h"
#include "payloads/payload_format.h"
#include "printer_events.h"
#include "platform/device_file.h"
#include "time_scales.h"
#include "ui/cli/cli_confirm.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/terminal_view.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"

namespace tessel::app {
namespace {

using namespace tessel::ui::cli;

using tessel::testing::ChildProcess;
using Printers = std::vector<sim::PrinterConfig>;

constexpr auto kRealTimeLimit = tessel::testing::kStuckRunBound;

// The phases of a run, in order, and the most printer time each may take.
enum class Phase { kStatus, kVersion, kLoader, kRestart, kFirmware, kBurn, kConfirm };

constexpr double kTransferBoundSeconds =
    link::kTransferTimeLimitSeconds + platform::kDeviceWriteWaitMs / 1000.0;
constexpr double kPhaseBoundSeconds[] = {
    link::kStatusTimeLimitSeconds + platform::kDeviceReadWaitMs / 1000.0,
    link::kVersionTimeLimitSeconds + platform::kDeviceReadWaitMs / 1000.0,
    kTransferBoundSeconds,
    upgrade::kRestartSleepMs / 1000.0 + upgrade::kPollWindowSeconds +
        upgrade::kPollIntervalMs / 1000.0,
    kTransferBoundSeconds,
    upgrade::kBurnWaitMs / 1000.0,
    kConfirmBoundSeconds + kConfirmPollMs / 1000.0,
};
// The machine's own work in a run (process start-up, discovery passes and the like), in real
// seconds: it does not shrink with the clock's scale. About 0.1 s here; ten times that and
// more is left for a slower machine.
constexpr double kMachineSeconds = 2;

// The most printer time the phases of a run that ends in `last` may take.
double BoundSeconds(Phase last) {
    double bound = 0;
    for (int p = 0; p <= static_cast<int>(last); ++p) {
        bound += kPhaseBoundSeconds[p];
    }
    return bound;
}

struct Row {
    const char* name;
    const char* fault;  // what the printer does wrong
    Phase phase;        // where the fault strikes (and the last phase a failed run reaches)
    void (*setup)(Printers&);       // printer 0 is the one to upgrade
    const char* display;            // the display the run ends on
    int message;                    // the message dialog's text id, or -1
    int exit;
    int received;  // how much of kRunOrder printer 0 received, in that order
    void (*meanwhile)(sim::Emulator&) = nullptr;  // runs beside the upgrade
    const char* answer = "--yes";
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

sim::PrinterConfig Other() {
    sim::PrinterConfig other;
    other.serial = "SER2";
    return other;
}

constexpr auto kLoader = sim::PayloadSelect::kLoader;
constexpr auto kFirmware = sim::PayloadSelect::kFirmware;

// Printers stall or drop early in the loader (the pseudo-terminal takes some kilobytes before
// the printer reads them, so a late fault could come after the loader's one write returned)
// and in the middle of the firmware image.
constexpr std::uint64_t kInLoader = 1'000;
constexpr std::uint64_t kInFirmware = 5'000'000;

// How far the upgraded printer got in kRunOrder, as a row names it.
constexpr int kStatusOnly = 1;
constexpr int kQueries = 2;
constexpr int kUpToLoader = 3;
constexpr int kUpToFirmware = 4;
constexpr int kWholeRun = 5;

const Row kRows[] = {
    // status
    {"StatusNotReady", "status 3", Phase::kStatus, [](Printers& p) { p[0].status = 3; },
     "not_ready", -1, kExitNotReady, kStatusOnly},
    {"StatusNoAnswer", "no answer", Phase::kStatus,
     [](Printers& p) { p[0].faults.no_answer = sim::kStatusQuery; }, "not_ready", -1,
     kExitNotReady, kStatusOnly},
    {"StatusZeroReads", "reads return 0 bytes", Phase::kStatus,
     [](Printers& p) { p[0].faults.zero_reads = sim::kStatusQuery; }, "not_ready", -1,
     kExitNotReady, kStatusOnly},
    {"StatusWrongMagic", "wrong magic", Phase::kStatus,
     [](Printers& p) { p[0].faults.wrong_magic = sim::kStatusQuery; }, "not_ready", -1,
     kExitNotReady, kStatusOnly},
    {"StatusWrongCommand", "wrong command code", Phase::kStatus,
     [](Printers& p) { p[0].faults.wrong_command = sim::kStatusQuery; }, "not_ready", -1,
     kExitNotReady, kStatusOnly},
    {"StatusDisconnect", "drops off the bus", Phase::kStatus,
     [](Printers& p) { p[0].faults.disconnect_query = sim::kStatusQuery; }, "not_ready", -1,
     kExitNotReady, kStatusOnly},
    {"RepliesSplit", "replies in 8-byte pieces, 0.5 s apart", Phase::kVersion,
     [](Printers& p) { p[0].faults.split_piece = 8; },
     "success", -1, kExitSuccess, kWholeRun},
    // version
    {"VersionNoAnswer", "no answer", Phase::kVersion,
     [](Printers& p) { p[0].faults.no_answer = sim::kVersionQuery; }, "not_ready", -1,
     kExitNotReady, kQueries},
    {"VersionZeroReads", "reads return 0 bytes", Phase::kVersion,
     [](Printers& p) { p[0].faults.zero_reads = sim::kVersionQuery; }, "not_ready", -1,
     kExitNotReady, kQueries},
    // The version reply's header is not looked at: its text is what counts.
    {"VersionWrongMagic", "wrong magic", Phase::kVersion,
     [](Printers& p) { p[0].faults.wrong_magic = sim::kVersionQuery; }, "success", -1,
     kExitSuccess, kWholeRun},
    {"VersionWrongCommand", "wrong command code", Phase::kVersion,
     [](Printers& p) { p[0].faults.wrong_command = sim::kVersionQuery; }, "success", -1,
     kExitSuccess, kWholeRun},
    {"VersionEmpty", "announces 0 bytes of text", Phase::kVersion,
     [](Printers& p) { p[0].faults.version_length = 0; }, "not_ready", -1, kExitNotReady,
     kQueries},
    {"VersionTooLong", "announces 100 bytes of text", Phase::kVersion,
     [](Printers& p) { p[0].faults.version_length = 100; }, "success", -1, kExitSuccess,
     kWholeRun},
    {"VersionDisconnect", "drops off the bus", Phase::kVersion,
     [](Printers& p) { p[0].faults.disconnect_query = sim::kVersionQuery; }, "not_ready", -1,
     kExitNotReady, kQueries},
    {"VersionNewer", "runs newer firmware (3.3.4.0)", Phase::kVersion,
     [](Printers& p) { p[0].version = "3.3.4.0"; }, "start", ui::kTextNewerFirmware,
     kExitEndedByMessage, kQueries},
    {"VersionSameDeclined", "runs the same firmware, --no", Phase::kVersion,
     [](Printers& p) { p[0].version = "3.3.3.8"; }, "start", ui::kTextSameFirmware,
     kExitEndedByMessage, kQueries, nullptr, "--no"},
    // loader
    {"LoaderDisconnect", "drops off the bus", Phase::kLoader,
     [](Printers& p) {
         p[0].faults.disconnect_after = kInLoader;
         p[0].faults.disconnect_payload = kLoader;
     },
     "failure", -1, kExitFailed, kUpToLoader},
    {"LoaderStall", "stops reading, stays on the bus", Phase::kLoader,
     [](Printers& p) {
         p[0].faults.stall_after = kInLoader;
         p[0].faults.stall_payload = kLoader;
     },
     "failure", -1, kExitFailed, kUpToLoader},
    // restart
    {"RestartNever", "never back", Phase::kRestart,
     [](Printers& p) { p[0].faults.no_return = true; }, "failure", -1, kExitFailed,
     kUpToLoader},
    {"RestartLate", "back after 100 s (within the poll window)", Phase::kRestart,
     [](Printers& p) { p[0].restart_delay_s = 100; }, "success", -1, kExitSuccess, kWholeRun},
    // Well past it: the poll's last look can come some seconds after 120 s, as every sleep of
    // the restart wait can end late on a busy machine.
    {"RestartTooLate", "back after 200 s (past the poll window)", Phase::kRestart,
     [](Printers& p) { p[0].restart_delay_s = 200; }, "failure", -1, kExitFailed,
     kUpToLoader},
    {"RestartAsBrokenFirmware", "back as product 0000", Phase::kRestart,
     [](Printers& p) { p[0].faults.return_product = 0x0000; }, "success", -1, kExitSuccess,
     kWholeRun},
    {"RestartAsUnsupported", "back as an unsupported product", Phase::kRestart,
     [](Printers& p) { p[0].faults.return_product = 0x0C99; }, "failure", -1, kExitFailed,
     kUpToLoader},
    // firmware
    {"FirmwareDisconnect", "drops off the bus", Phase::kFirmware,
     [](Printers& p) {
         p[0].faults.disconnect_after = kInFirmware;
         p[0].faults.disconnect_payload = kFirmware;
     },
     "failure", -1, kExitFailed, kUpToFirmware},
    {"FirmwareStall", "stops reading, stays on the bus", Phase::kFirmware,
     [](Printers& p) {
         p[0].faults.stall_after = kInFirmware;
         p[0].faults.stall_payload = kFirmware;
     },
     "failure", -1, kExitFailed, kUpToFirmware},
    {"FirmwareFullSpeedUsb", "takes 1.2 MB/s", Phase::kFirmware,
     [](Printers& p) { p[0].faults.throughput = 1'200'000; }, "success", -1, kExitSuccess,
     kWholeRun},
    {"FirmwareTooSlow", "takes 50 kB/s (past the transfer limit)", Phase::kFirmware,
     [](Printers& p) { p[0].faults.throughput = 50'000; }, "failure", -1, kExitFailed,
     kUpToFirmware},
    // burn
    {"BurnNeverBack", "never back", Phase::kBurn,
     [](Printers& p) { p[0].faults.no_return_after_burn = true; }, "success", -1, kExitNotBack,
     kUpToFirmware},
    {"BurnOldVersion", "back with the old version", Phase::kBurn,
     [](Printers& p) { p[0].faults.version_after_burn = "3.3.2.9"; }, "success", -1,
     kExitOtherVersion, kWholeRun},
    // two printers: only the first listed is upgraded, the other receives nothing
    {"TwoPrinters", "a second R7200", Phase::kStatus, [](Printers& p) { p.push_back(Other()); },
     "success", -1, kExitSuccess, kWholeRun},
    {"TwoPrintersOtherReplugged", "the other replugged during the restart, taking lp0",
     Phase::kRestart, [](Printers& p) { p.push_back(Other()); }, "success", -1, kExitSuccess,
     kWholeRun,
     [](sim::Emulator& e) {
         if (e.WaitFor(
                 [](const sim::Json& ev) {
                     return ev["event"] == "disconnect" && ev["printer"] == 0;
                 },
                 kRealTimeLimit)) {
             e.Replug(1);
         }
     }},
    {"TwoPrintersNeverBack", "the upgraded one never back", Phase::kRestart,
     [](Printers& p) {
         p[0].faults.no_return = true;
         p.push_back(Other());
     },
     "failure", -1, kExitFailed, kUpToLoader},
    {"TwoPrintersFirstNotReady", "the upgraded one at status 3", Phase::kStatus,
     [](Printers& p) {
         p[0].status = 3;
         p.push_back(Other());
     },
     "not_ready", -1, kExitNotReady, kStatusOnly},
};

// Why each row that ends on the failure or the not-ready display ended: the "cause" event's
// reason and phase. Rows not listed end without one.
struct Cause {
    const char* reason;
    const char* phase;
};
const std::map<std::string, Cause> kCauses = {
    {"StatusNotReady", {"not_ready_status", "checking_printer"}},
    {"StatusNoAnswer", {"no_reply", "checking_printer"}},
    {"StatusZeroReads", {"no_reply", "checking_printer"}},
    {"StatusWrongMagic", {"bad_reply", "checking_printer"}},
    {"StatusWrongCommand", {"bad_reply", "checking_printer"}},
    {"StatusDisconnect", {"dropped_off_bus", "checking_printer"}},
    {"VersionNoAnswer", {"no_version", "reading_version"}},
    {"VersionZeroReads", {"no_version", "reading_version"}},
    {"VersionEmpty", {"no_version", "reading_version"}},
    {"VersionDisconnect", {"dropped_off_bus", "reading_version"}},
    {"LoaderDisconnect", {"dropped_off_bus", "sending_loader"}},
    {"LoaderStall", {"stopped_taking_data", "sending_loader"}},
    {"RestartNever", {"not_back_after_restart", "waiting_for_restart"}},
    {"RestartTooLate", {"not_back_after_restart", "waiting_for_restart"}},
    // An unsupported product is not looked for: to the tool the printer never came back.
    {"RestartAsUnsupported", {"not_back_after_restart", "waiting_for_restart"}},
    {"FirmwareDisconnect", {"dropped_off_bus", "sending_firmware"}},
    {"FirmwareStall", {"stopped_taking_data", "sending_firmware"}},
    {"FirmwareTooSlow", {"transfer_too_long", "sending_firmware"}},
    {"TwoPrintersNeverBack", {"not_back_after_restart", "waiting_for_restart"}},
    {"TwoPrintersFirstNotReady", {"not_ready_status", "checking_printer"}},
};

// Text `id` in English, as the program writes it.
std::string English(int id) {
    ui::SetUiLanguage(0x0409);
    std::string text = TerminalText(ui::GetUiText(id));
    ui::g_wPrimaryLang = ui::g_wSubLang = 0;
    return text;
}

bool Accepted(const std::vector<sim::Json>& events, const char* kind) {
    for (const auto& e : events) {
        if (e.value("printer", -1) == 0 && e["event"] == "payload" && e["kind"] == kind &&
            e["valid"] == true) {
            return true;
        }
    }
    return false;
}

class FaultMatrixTest : public ::testing::TestWithParam<Row> {
  protected:
    ~FaultMatrixTest() override { std::filesystem::remove_all(state_home_); }

    std::string state_home_ =
        (std::filesystem::temp_directory_path() /
         ("tessel-matrix-" + std::to_string(getpid()) + "-" + GetParam().name))
            .string();
};

TEST_P(FaultMatrixTest, EndsAsExpected) {
    const Row& row = GetParam();
    SCOPED_TRACE(row.fault);
    Printers printers(1);
    row.setup(printers);
    // Rows that send firmware bytes need the scale at which a slow machine still carries them
    // within the link's limit.
    const double time_scale = row.received >= kUpToFirmware ? tessel::testing::kImageRunScale
                                                            : tessel::testing::kShortRunScale;
    sim::EmulatorOptions options;
    options.printers = printers;
    options.time_scale = time_scale;
    std::string error;
    auto emulator = sim::Emulator::Start(options, &error);
    ASSERT_TRUE(emulator) << error;
    std::thread beside;
    if (row.meanwhile) {
        beside = std::thread([&] { row.meanwhile(*emulator); });
    }

    const auto begin = std::chrono::steady_clock::now();
    ChildProcess cli(TESSEL_CLI_PATH, {"upgrade", row.answer, "--json"},
                     {{"XDG_STATE_HOME", state_home_},
                      {"TESSEL_SYSFS_ROOT", emulator->sysfs_root()},
                      {"TESSEL_DEV_ROOT", emulator->dev_root()},
                      {"TESSEL_TIME_SCALE", std::to_string(time_scale)},
                      {"CUPS_SERVER", "/nonexistent/tessel-cups.sock"},
                      {"LANG", "C"}},
                     ChildProcess::Input::kNull);
    const std::optional<int> exit = cli.Finish(kRealTimeLimit);
    const double real_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (beside.joinable()) {
        emulator->Stop();  // ends the helper's wait if its event never came
        beside.join();
    }
    const std::vector<sim::Json> events = emulator->Events();

    // The user's view: the stream's displays and dialogs, and its exit line.
    std::vector<std::string> displays;
    std::vector<std::string> dialogs;
    std::vector<nlohmann::json> causes;
    nlohmann::json last;
    std::istringstream lines(cli.output());
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with('{')) {
            continue;  // standard error's notices
        }
        last = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(last.is_discarded()) << line;
        if (last["event"] == "display") {
            displays.push_back(last["display"]);
        } else if (last["event"] == "dialog") {
            dialogs.push_back(last["text"]);
        } else if (last["event"] == "cause") {
            causes.push_back(last);
        }
    }
    // A run that ends with a message or a decline never leaves the start screen.
    EXPECT_EQ(displays.empty() ? "start" : displays.back(), row.display) << cli.output();
    EXPECT_EQ(dialogs, row.message < 0 ? std::vector<std::string>{}
                                       : std::vector<std::string>{English(row.message)});
    EXPECT_EQ(exit, row.exit) << cli.output();
    EXPECT_EQ(last, (nlohmann::json{{"event", "exit"}, {"status", row.exit}}));

    // Why it ended: one cause, right after the end display, with the bytes placed so far.
    const auto expected = kCauses.find(row.name);
    if (expected == kCauses.end()) {
        EXPECT_TRUE(causes.empty()) << cli.output();
    } else {
        ASSERT_EQ(causes.size(), 1u) << cli.output();
        const nlohmann::json& cause = causes.front();
        EXPECT_EQ(cause["reason"], expected->second.reason) << cause;
        EXPECT_EQ(cause["phase"], expected->second.phase) << cause;
        EXPECT_FALSE(cause["text"].get<std::string>().empty());
        const std::uint64_t sent = cause["bytes_sent"];
        const std::uint64_t total = cause["bytes_total"];
        if (row.phase == Phase::kLoader || row.phase == Phase::kFirmware) {
            const payloads::PayloadSpec& spec =
                row.phase == Phase::kLoader ? payloads::kLoaderSpec : payloads::kFirmwareSpec;
            EXPECT_EQ(total, spec.size) << cause;
            EXPECT_LT(sent, total) << cause;
            if (row.phase == Phase::kFirmware && row.name != std::string("FirmwareTooSlow")) {
                EXPECT_GE(sent, kInFirmware) << cause;  // the printer took that much
            }
        } else {
            EXPECT_EQ(total, 0u) << cause;
        }
    }

    // No success without both payloads taken; nothing sent past the row's last step, and
    // nothing at all to another printer.
    const bool success_shown =
        std::find(displays.begin(), displays.end(), "success") != displays.end();
    if (success_shown) {
        EXPECT_TRUE(Accepted(events, "loader") && Accepted(events, "firmware"));
    }
    EXPECT_EQ(Received(events, 0),
              std::vector<std::string>(kRunOrder.begin(), kRunOrder.begin() + row.received));
    for (int other = 1; other < static_cast<int>(printers.size()); ++other) {
        EXPECT_TRUE(Received(events, other).empty()) << "printer " << other;
    }

    // Within the bounds of the phases the run went through and the machine's own work; a
    // success takes the fixed waits at least.
    const Phase last_phase = success_shown ? Phase::kConfirm : row.phase;
    EXPECT_LE(real_seconds, BoundSeconds(last_phase) * time_scale + kMachineSeconds);
    if (success_shown) {
        EXPECT_GE(real_seconds,
                  (upgrade::kRestartSleepMs + upgrade::kBurnWaitMs) / 1000.0 * time_scale);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultMatrixTest, ::testing::ValuesIn(kRows),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

}  // namespace
}  // namespace tessel::app
