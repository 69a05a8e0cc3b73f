// Both Windows programs started from a folder that holds a DLL under the name of every DLL they
// use that is not one of Windows' known DLLs (and of a few that the system loads for them),
// with Wine told to prefer such a DLL to its own (native first, as Windows searches): the
// programs start and work, and none of the planted DLLs is loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "windows_process.h"

namespace tessel::app {
namespace {

using tessel::testing::EnvironmentBlock;
using tessel::testing::WindowsPath;
using tessel::testing::WindowsProcess;

constexpr DWORD kBoundMs = 60'000;

// The programs' delay-loaded DLLs, then DLLs that the system's own DLLs load on their behalf
// while the programs run. tests/app/CMakeLists.txt names the same in WINEDLLOVERRIDES. Not
// version.dll: Wine's own USER32.dll imports it, so Wine loads it while it starts the process,
// before any code of the program runs (on Windows USER32.dll is a known DLL).
const wchar_t* const kPlanted[] = {L"WINSPOOL.DRV", L"gdiplus.dll", L"COMCTL32.dll",
                                   L"SETUPAPI.dll", L"uxtheme.dll", L"dwmapi.dll"};

class PlantedDlls : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::filesystem::path(temp) /
                  ("tessel-planted-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        for (const char* program : {TESSEL_EXE_PATH, TESSEL_CLI_PATH}) {
            const std::filesystem::path from(WindowsPath(program));
            ASSERT_TRUE(CopyFileW(from.c_str(), (folder_ / from.filename()).c_str(), FALSE));
        }
        const std::filesystem::path planted(WindowsPath(TESSEL_PLANTED_DLL_PATH));
        for (const wchar_t* name : kPlanted) {
            ASSERT_TRUE(CopyFileW(planted.c_str(), (folder_ / name).c_str(), FALSE));
        }
        // Under Wine the programs look in their folder first only for the DLLs named in
        // WINEDLLOVERRIDES with "n,b" (Wine reads it from the environment the test was started
        // in, not from the one a program is given): the test's registration sets it.
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
            wchar_t overrides[4096] = {};
            GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, std::size(overrides));
            std::wstring lower(overrides);
            for (wchar_t& c : lower) {
                c = static_cast<wchar_t>(towlower(c));
            }
            for (std::wstring name : kPlanted) {
                for (wchar_t& c : name) {
                    c = static_cast<wchar_t>(towlower(c));
                }
                if (name.ends_with(L".dll")) {
                    name.resize(name.size() - 4);
                }
                ASSERT_NE(lower.find(name), std::wstring::npos)
                    << "WINEDLLOVERRIDES does not put the native " << std::string(name.begin(), name.end())
                    << " first: " << std::string(lower.begin(), lower.end());
            }
            ASSERT_NE(lower.find(L"=n,b"), std::wstring::npos);
        }
        environment_ = EnvironmentBlock(
            {{L"LANG", L"en_US.UTF-8"}, {L"LC_ALL", L"en_US.UTF-8"}, {L"LC_MESSAGES", L""}});
        // The current folder holds them too.
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(folder_.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void ExpectNothingLoaded() const {
        for (const wchar_t* name : kPlanted) {
            EXPECT_FALSE(std::filesystem::exists(folder_ / (std::wstring(name) + L".loaded")))
                << "the planted " << std::filesystem::path(name).string() << " was loaded";
        }
    }

    std::wstring Program(const char* path) const {
        return (folder_ / std::filesystem::path(WindowsPath(path)).filename()).wstring();
    }

    std::filesystem::path folder_;
    std::wstring environment_;
    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(PlantedDlls, TesselCliFindsPrintersThroughTheSpoolerAndLoadsNone) {
    WindowsProcess cli(Program(TESSEL_CLI_PATH), {L"info"}, environment_, nullptr, true);
    ASSERT_TRUE(cli.started()) << cli.start_error();
    EXPECT_EQ(cli.Wait(kBoundMs), std::optional<DWORD>(0)) << cli.output() << cli.error();
    EXPECT_NE(cli.output().find("rinter"), std::string::npos) << cli.output();
    ExpectNothingLoaded();
}

TEST_F(PlantedDlls, TesselExeShowsItsWindowEndsOnExitAndLoadsNone) {
    const std::u16string key16 = SingleInstanceKey();
    const std::wstring title(key16.begin(), key16.end());
    ASSERT_EQ(FindWindowW(nullptr, title.c_str()), nullptr) << "tessel.exe runs already";
    WindowsProcess exe(Program(TESSEL_EXE_PATH), {}, environment_, nullptr, false);
    ASSERT_TRUE(exe.started()) << exe.start_error();
    HWND window = nullptr;
    for (DWORD waited = 0; waited < kBoundMs && !(window && IsWindowVisible(window));
         waited += 20) {
        Sleep(20);
        window = FindWindowW(nullptr, title.c_str());
        ASSERT_FALSE(exe.Wait(0)) << "tessel.exe ended";
    }
    ASSERT_NE(window, nullptr) << "no window";
    // The discovery pass and the first paint have used the spooler, GDI+ and the controls.
    Sleep(1000);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(exe.Wait(kBoundMs), std::optional<DWORD>(0));
    ExpectNothingLoaded();
}

}  // namespace
}  // namespace tessel::app
