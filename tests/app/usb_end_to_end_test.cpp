// The real tessel-cli program against printers that no kernel driver holds: the emulator serves
// each one as a USB device in a umockdev testbed, answering the usbfs requests that libusb makes
// from the printer's core, and the program reaches it through its USB device node. This test
// and the program run under umockdev's preload library (the test's CTest environment), which
// cannot be mixed with the sanitizers' runtimes: the sanitizer presets leave it out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "child_process.h"
#include "emulator.h"
#include "payloads/build_info.h"
#include "platform/device_file.h"
#include "time_scales.h"
#include "ui/cli/cli_options.h"

namespace tessel::app {
namespace {

using namespace tessel::ui::cli;

using tessel::testing::ChildProcess;

// A whole firmware image takes about a second of real time through the emulated bus (see
// testing::kImageRunScale). Runs that never send the whole image go faster.
constexpr double kWholeUpgradeScale = tessel::testing::kImageRunScale;
constexpr double kShortScale = tessel::testing::kShortRunScale;
constexpr auto kRunBound = tessel::testing::kStuckRunBound;

class UsbEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* preload = std::getenv("LD_PRELOAD");
        if (!preload || std::string(preload).find("libumockdev-preload") == std::string::npos) {
            GTEST_SKIP() << "needs LD_PRELOAD=libumockdev-preload.so.0 (CTest sets it)";
        }
    }

    void StartPrinters(std::vector<sim::PrinterConfig> printers, double time_scale) {
        sim::EmulatorOptions options;
        options.printers = std::move(printers);
        options.time_scale = time_scale;
        options.transport = sim::SimTransport::kUsb;
        time_scale_ = time_scale;
        std::string error;
        emulator_ = sim::Emulator::Start(options, &error);
        ASSERT_TRUE(emulator_) << error;
    }

    std::unique_ptr<ChildProcess> Run(std::vector<std::string> args) {
        return std::make_unique<ChildProcess>(
            TESSEL_CLI_PATH, args,
            std::map<std::string, std::string>{
                {"XDG_STATE_HOME", state_home_},
                {"UMOCKDEV_DIR", emulator_->umockdev_dir()},
                {"LD_PRELOAD", std::getenv("LD_PRELOAD")},
                {"TESSEL_TIME_SCALE", std::to_string(time_scale_)},
                {"CUPS_SERVER", "/nonexistent/tessel-cups.sock"},
                {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tessel-system-bus"},
                {"LANG", "C"},
            },
            ChildProcess::Input::kNull);
    }

    int Count(const std::string& event, const std::string& key = {},
              const sim::Json& value = nullptr) const {
        int n = 0;
        for (const auto& e : emulator_->Events()) {
            n += e["event"] == event && (key.empty() || e[key] == value) ? 1 : 0;
        }
        return n;
    }
    int ValidPayloads(const std::string& kind) const {
        int n = 0;
        for (const auto& e : emulator_->Events()) {
            n += e["event"] == "payload" && e["kind"] == kind && e["valid"] == true ? 1 : 0;
        }
        return n;
    }

    std::unique_ptr<sim::Emulator> emulator_;
    double time_scale_ = kShortScale;
    std::string state_home_ = [] {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("tessel-usb-state-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        return folder.string();
    }();
    ~UsbEndToEndTest() override { std::filesystem::remove_all(state_home_); }
};

TEST_F(UsbEndToEndTest, InfoFindsThePrinterOnItsUsbNodeAndAsksIt) {
    StartPrinters({sim::PrinterConfig{}}, tessel::testing::kInfoRunScale);
    auto cli = Run({"info", "--json"});
    ASSERT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    const auto doc = nlohmann::json::parse(cli->output());
    ASSERT_EQ(doc["printers"].size(), 1u) << cli->output();
    const auto& p = doc["printers"][0];
    EXPECT_EQ(p["transport"], "usb");
    EXPECT_EQ(p["device_path"], "/dev/bus/usb/001/002");
    EXPECT_EQ(p["port"], "usb://Bexlot/R7200%20Series?serial=SER1");
    EXPECT_EQ(p["status"], 0);
    EXPECT_EQ(p["version"], "3.3.2.9");
    EXPECT_TRUE(doc["unusable"].empty());
}

// The whole upgrade through the USB node: both payloads arrive whole and valid (the core checks
// every byte), the restart comes back at a new device number and is found again, and no
// zero-length packet was added to any write.
TEST_F(UsbEndToEndTest, UpgradeGoesThroughTheUsbNodeAcrossTheRestart) {
    StartPrinters({sim::PrinterConfig{}}, kWholeUpgradeScale);
    auto cli = Run({"upgrade", "--yes"});
    EXPECT_EQ(cli->Finish(kRunBound), kExitSuccess) << cli->output();
    EXPECT_EQ(ValidPayloads("loader"), 1);
    EXPECT_EQ(ValidPayloads("firmware"), 1);
    EXPECT_EQ(Count("appear", "devnum", 3), 1);  // back after the loader at a new number
    EXPECT_NE(cli->output().find("confirmed: the printer now runs 3.3.3.8"), std::string::npos)
        << cli->output();
    EXPECT_EQ(emulator_->usb_counters().zero_length_out, 0u);
    EXPECT_GT(emulator_->usb_counters().urbs_out, 100u);
}

// A build that carries stand-ins never writes a payload to what could be a real printer: a
// node that is really a character device, as every real USB device node is, whatever the C
// library is told. The emulated nodes above took them.
TEST_F(UsbEndToEndTest, StandInsAreNotWrittenToACharacterDeviceNode) {
    if (!payloads::kPayloadsAreStandIns) {
        GTEST_SKIP() << "this build carries the maker's payloads";
    }
    sim::PrinterConfig config;
    config.usb_node_character_device = true;
    StartPrinters({config}, kShortScale);
    auto cli = Run({"upgrade", "--yes"});
    EXPECT_EQ(cli->Finish(kRunBound), kExitFailed) << cli->output();
    EXPECT_EQ(Count("payload_start"), 0);
    EXPECT_EQ(Count("command", "name", "status"), 1);  // the queries still went through
    std::string log;
    for (const auto& file : std::filesystem::directory_iterator(state_home_ + "/tessel")) {
        std::ifstream in(file.path());
        log.append(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_NE(log.find("Refusing to send a stand-in payload"), std::string::npos) << log;
}

struct FailureCase {
    const char* name;
    void (*configure)(sim::PrinterConfig&);
    int exit_status;
    const char* output;        // a part of what the program prints
    int valid_firmware;        // firmware images the printer accepted
};

class UsbFailureTest : public UsbEndToEndTest,
                           public ::testing::WithParamInterface<FailureCase> {};

// Each run ends on its display within the phases' time limits (the bound is far above them at
// this scale), and nothing is accepted that was not sent whole.
TEST_P(UsbFailureTest, EndsOnItsDisplay) {
    sim::PrinterConfig config;
    GetParam().configure(config);
    const bool whole = GetParam().valid_firmware > 0;
    StartPrinters({config}, whole ? kWholeUpgradeScale : kShortScale);
    auto cli = Run({"upgrade", "--yes", "--no-confirm"});
    EXPECT_EQ(cli->Finish(kRunBound), GetParam().exit_status) << cli->output();
    EXPECT_NE(cli->output().find(GetParam().output), std::string::npos) << cli->output();
    EXPECT_EQ(ValidPayloads("firmware"), GetParam().valid_firmware);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UsbFailureTest,
    ::testing::Values(
        FailureCase{"DropMidFirmware",
                    [](sim::PrinterConfig& c) {
                        c.faults.disconnect_after = 5'000'000;
                        c.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
                    },
                    kExitFailed, "failed", 0},
        FailureCase{"StopsReadingMidFirmware",
                    [](sim::PrinterConfig& c) {
                        c.faults.stall_after = 5'000'000;
                        c.faults.stall_payload = sim::PayloadSelect::kFirmware;
                    },
                    kExitFailed, "failed", 0},
        FailureCase{"HeldByAnotherProgram",
                    [](sim::PrinterConfig& c) { c.faults.usb_held = true; }, kExitNotReady,
                    "busy (another program holds it)", 0},
        // usblp binds the printer after its restart and a CUPS backend detaches it again
        // within two seconds: the firmware still goes through the USB node.
        FailureCase{"UsblpBoundForAMomentAfterTheRestart",
                    [](sim::PrinterConfig& c) { c.faults.usblp_after_restart_ms = 2000; },
                    kExitSuccess, "successful", 1}),
    [](const ::testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tessel::app
