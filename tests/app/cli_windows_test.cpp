// tessel-cli.exe under Windows (Wine), with and without administrator rights.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "app/windows_version.h"
#include "platform/os_version.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/cli_upgrade.h"
#include "upgrade/upgrade_worker.h"
#include "windows_process.h"

namespace tessel::app {
namespace {

using namespace tessel::ui::cli;

using tessel::testing::EnvironmentBlock;
using tessel::testing::LimitedToken;
using tessel::testing::WindowsPath;
using tessel::testing::WindowsProcess;

constexpr DWORD kRunBoundMs = 60'000;

struct CliRun {
    std::optional<DWORD> exit;
    std::string output;
    std::string error;
};

CliRun RunCli(const std::vector<std::wstring>& arguments, HANDLE token,
              std::map<std::wstring, std::wstring> environment = {}) {
    environment.insert({{L"LANG", L"C"}, {L"LC_ALL", L""}, {L"LC_MESSAGES", L""}});
    WindowsProcess cli(WindowsPath(TESSEL_CLI_PATH), arguments, EnvironmentBlock(environment),
                       token, true);
    EXPECT_TRUE(cli.started()) << cli.start_error();
    CliRun run;
    run.exit = cli.Wait(kRunBoundMs);
    run.output = cli.output();
    run.error = cli.error();
    return run;
}

class CliWithoutAdministratorRights : public ::testing::Test {
  protected:
    void SetUp() override {
        limited_ = LimitedToken();
        if (limited_ == nullptr) {
            GTEST_SKIP() << "this system gives no limited token";
        }
    }
    void TearDown() override {
        if (limited_ != nullptr) {
            CloseHandle(limited_);
        }
    }
    HANDLE limited_ = nullptr;
};

TEST_F(CliWithoutAdministratorRights, InfoWorksAndAsksForNothing) {
    const CliRun run = RunCli({L"info"}, limited_);
    EXPECT_EQ(run.exit, std::optional<DWORD>(0)) << run.output << run.error;
    EXPECT_EQ(run.error.find("administrator"), std::string::npos) << run.error;
}

TEST_F(CliWithoutAdministratorRights, UpgradeSaysWhichStepNeedsTheRights) {
    const CliRun limited = RunCli({L"upgrade", L"--yes"}, limited_);
    // No printer here: the run ends with the message, after the notice.
    EXPECT_EQ(limited.exit, std::optional<DWORD>(kExitEndedByMessage)) << limited.output;
    EXPECT_NE(limited.error.find(NoAdministratorRightsNotice()), std::string::npos)
        << limited.error;

    const CliRun elevated = RunCli({L"upgrade", L"--yes"}, nullptr);
    EXPECT_EQ(elevated.exit, std::optional<DWORD>(kExitEndedByMessage)) << elevated.output;
    EXPECT_EQ(elevated.error.find(NoAdministratorRightsNotice()), std::string::npos)
        << elevated.error;
}

// Each upgrade run leaves its log in %LOCALAPPDATA%\Tessel; `log` prints the newest.
TEST(CliRunLog, UpgradeLeavesItsLogInLocalAppData) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::filesystem::path local =
        std::filesystem::path(temp) / ("tessel-local-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(local);
    const std::map<std::wstring, std::wstring> environment{{L"LOCALAPPDATA", local.wstring()}};

    // No printer here: the run ends with the message, and names its log.
    const CliRun run = RunCli({L"upgrade", L"--yes"}, nullptr, environment);
    EXPECT_EQ(run.exit, std::optional<DWORD>(kExitEndedByMessage)) << run.output;
    EXPECT_NE(run.error.find("the log of this run is "), std::string::npos) << run.error;
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(local / "Tessel")) {
        logs.push_back(entry.path());
    }
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].extension(), ".log");

    const CliRun log = RunCli({L"log"}, nullptr, environment);
    EXPECT_EQ(log.exit, std::optional<DWORD>(0)) << log.error;
    EXPECT_NE(log.output.find(", tessel-cli upgrade"), std::string::npos) << log.output;
    EXPECT_NE(log.output.find("SearchUSBPrint()"), std::string::npos) << log.output;
    std::filesystem::remove_all(local);
}

// The tool's manifest names Windows 10: the version query sees the test prefix's Windows 10
// instead of the Windows 8 that a system newer than its manifest knows reports.
TEST(WindowsVersionUnderTheManifest, Windows10IsSeen) {
    const std::optional<platform::OsVersionRecord> record = platform::QueryOsVersion();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->platform_id, 2u);
    EXPECT_EQ(record->major, 10u);
    EXPECT_EQ(record->minor, 0u);
    EXPECT_EQ(WindowsVersionCode(*record), 19);
    upgrade::g_bIsWin10 = 0;
    DetectWindowsVersion();
    EXPECT_EQ(upgrade::g_bIsWin10.load(), 1);
    upgrade::g_bIsWin10 = 0;
}

}  // namespace
}  // namespace tessel::app
