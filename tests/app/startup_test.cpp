// What every front end runs at start: the clock, the run's log, the Windows version detection
// and the single-instance key.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/single_instance.h"
#include "app/startup.h"
#include "app/windows_version.h"
#include "platform/services.h"
#include "ui/main_display_model.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"
#include "virtual_clock.h"

namespace tessel::app {
namespace {

using platform::OsVersionRecord;

OsVersionRecord Nt(std::uint32_t major, std::uint32_t minor, std::uint8_t product_type,
                   bool server_r2 = false) {
    return OsVersionRecord{2, major, minor, true, product_type, server_r2};
}
OsVersionRecord NtShort(std::uint32_t major, std::uint32_t minor) {
    return OsVersionRecord{2, major, minor, false, 0, false};
}

TEST(WindowsVersionCode, Table) {
    constexpr std::uint8_t kWorkstation = 1;
    constexpr std::uint8_t kDomainController = 2;
    constexpr std::uint8_t kServer = 3;
    const struct {
        OsVersionRecord record;
        int code;
    } cases[] = {
        {Nt(5, 1, kWorkstation), 7},
        {NtShort(5, 1), 7},
        {Nt(5, 2, kWorkstation), 14},
        {Nt(5, 2, kServer, true), 12},
        {Nt(5, 2, kServer), 8},
        {NtShort(5, 2), 8},
        {Nt(6, 0, kWorkstation), 9},
        {Nt(6, 0, kServer), 10},
        {NtShort(6, 0), 0},
        {Nt(6, 1, kWorkstation), 11},
        {Nt(6, 1, kServer), 13},
        {Nt(6, 1, kDomainController), 13},
        {Nt(6, 2, kWorkstation), 15},
        {Nt(6, 2, kServer), 16},
        {Nt(6, 3, kWorkstation), 17},
        {Nt(6, 3, kServer), 18},
        {Nt(10, 0, kWorkstation), 19},
        {Nt(10, 0, kServer), 20},
        // No product type, no workstation or server code.
        {NtShort(6, 1), 0},
        {NtShort(10, 0), 0},
        {Nt(5, 0, kWorkstation), 0},
        {Nt(6, 4, kWorkstation), 0},
        {Nt(10, 1, kWorkstation), 0},
        {Nt(11, 0, kWorkstation), 0},
        {Nt(4, 0, kWorkstation), 0},
        {OsVersionRecord{1, 4, 10, true, kWorkstation, false}, 0},  // not the NT family
        {OsVersionRecord{1, 10, 0, true, kWorkstation, false}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsVersionCode(c.record), c.code)
            << c.record.platform_id << " " << c.record.major << "." << c.record.minor
            << " extended " << c.record.extended << " type " << int{c.record.product_type};
    }
}

class DetectWindowsVersionTest : public ::testing::Test {
  protected:
    DetectWindowsVersionTest() { upgrade::g_bIsWin10 = 0; }
    ~DetectWindowsVersionTest() override { upgrade::g_bIsWin10 = 0; }

    testing::VirtualClock clock;
    testing::RecordingDebugOutput debug;
    platform::ScopedServices services{{&clock, &debug, nullptr, nullptr, nullptr, nullptr}};
};

TEST_F(DetectWindowsVersionTest, Windows10SetsTheFlagAndTellsTheDebugger) {
    DetectWindowsVersion(Nt(10, 0, 1));
    EXPECT_EQ(upgrade::g_bIsWin10.load(), 1);
    EXPECT_EQ(debug.lines(),
              (std::vector<std::string>{
                  " ======= 系统ID =======",
                  " ==== 返回：19 ,  OS PlatformID：2, OS MaxID：10 , OS MinID：0 ====="}));
}

TEST_F(DetectWindowsVersionTest, FlagOnlyForMajorVersion10OfTheNtFamily) {
    const struct {
        OsVersionRecord record;
        int flag;
    } cases[] = {
        {Nt(6, 1, 3), 0},    {Nt(6, 3, 1), 0},  {Nt(10, 0, 3), 1},
        {NtShort(10, 0), 1}, {Nt(10, 5, 1), 1}, {OsVersionRecord{1, 10, 0, true, 1, false}, 0},
    };
    for (const auto& c : cases) {
        upgrade::g_bIsWin10 = 0;
        DetectWindowsVersion(c.record);
        EXPECT_EQ(upgrade::g_bIsWin10.load(), c.flag) << c.record.major << "." << c.record.minor;
    }
    EXPECT_EQ(debug.Count(" ==== 返回：13 ,  OS PlatformID：2, OS MaxID：6 , OS MinID：1 ====="),
              1u);
}

TEST_F(DetectWindowsVersionTest, NoRecordNoFlagNoLines) {
    DetectWindowsVersion(std::nullopt);
    EXPECT_EQ(upgrade::g_bIsWin10.load(), 0);
    EXPECT_TRUE(debug.lines().empty());
}

// Every program starts the same way: its run's log opens before the Windows version is
// detected, so each log (the command line's too) holds the detection's lines after its title.
class StartupTest : public DetectWindowsVersionTest {
  protected:
    StartupTest() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessel-startup-test-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(folder_);
        for (const char* name : {"XDG_STATE_HOME", "LOCALAPPDATA"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value == nullptr ? std::optional<std::string>()
                                                       : std::optional<std::string>(value));
            SetEnv(name, folder_.string());
        }
    }
    ~StartupTest() override {
        for (const auto& [name, value] : saved_) {
            SetEnv(name, value.value_or(""));
        }
        std::filesystem::remove_all(folder_);
    }
    static void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
        _putenv_s(name, value.c_str());
#else
        if (value.empty()) {
            unsetenv(name);
        } else {
            setenv(name, value.c_str(), 1);
        }
#endif
    }
    // The lines of a log, without their time stamps.
    static std::vector<std::string> Lines(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            const std::size_t text = line.find("  ");
            lines.push_back(text == std::string::npos ? line : line.substr(text + 2));
        }
        return lines;
    }

    std::filesystem::path folder_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(StartupTest, EachProgramsLogHoldsTheWindowsVersionLines) {
    for (const char* program : {"tessel.exe", "tessel", "tessel-cli upgrade"}) {
        std::filesystem::path path;
        {
            const Startup startup(std::nullopt, program, Nt(10, 0, 1));
            path = startup.log_path();
        }
        ASSERT_FALSE(path.empty()) << program;
        const std::vector<std::string> lines = Lines(path);
        ASSERT_GE(lines.size(), 3u) << program;
        EXPECT_NE(lines[0].find(program), std::string::npos) << lines[0];
        EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
                  (std::vector<std::string>{
                      " ======= 系统ID =======",
                      " ==== 返回：19 ,  OS PlatformID：2, OS MaxID：10 , OS MinID：0 ====="}))
            << program;
    }
    EXPECT_EQ(upgrade::g_bIsWin10.load(), 1);

    // `tessel-cli info` keeps no log, and still detects.
    upgrade::g_bIsWin10 = 0;
    const Startup info(std::nullopt, "", Nt(10, 0, 1));
    EXPECT_TRUE(info.log_path().empty());
    EXPECT_EQ(upgrade::g_bIsWin10.load(), 1);
}

// A second start finds the first one's window by this key only while that window shows the
// English title; the key itself is the same in every language.
TEST(SingleInstanceKey, IsTheEnglishTitleWhateverTheLanguage) {
    testing::VirtualClock clock;
    ui::MainDisplayModel english(clock);
    english.Initialise(0x0809);
    const std::u16string english_title = english.Snapshot().title;
    EXPECT_EQ(english_title, u"Bexlot  Firmware Upgrade Tool(FW3.3.3.8)");

    for (const std::uint16_t langid :
         std::initializer_list<std::uint16_t>{0x0000, 0x0409, 0x0804, 0x040D, 0x0411, 0x0407}) {
        ui::SetUiLanguage(langid);
        EXPECT_EQ(SingleInstanceKey(), english_title) << std::hex << langid;
    }
    ui::g_wPrimaryLang = ui::g_wSubLang = 0;
    upgrade::g_pMainDlg = nullptr;
}

TEST(ChooseTimeScale, HonouredOnlyWithStandInsAndOnlyWhenSound) {
    struct Case {
        const char* value;
        std::optional<double> scale;
        bool error;
    };
    const Case cases[] = {
        {nullptr, std::nullopt, false}, {"", std::nullopt, false},
        {"0.01", 0.01, false},          {"1", 1.0, false},
        {"1e-3", 0.001, false},         {"0", std::nullopt, true},
        {"-0.5", std::nullopt, true},   {"2", std::nullopt, true},
        {"fast", std::nullopt, true},   {"0.01s", std::nullopt, true},
        {"nan", std::nullopt, true},    {"inf", std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        const TimeScaleChoice choice = ChooseTimeScale(c.value, true);
        EXPECT_EQ(choice.scale, c.scale);
        EXPECT_EQ(choice.error, c.error);
        EXPECT_EQ(choice.notice.empty(), !c.error);
    }

    // The maker's payloads: every value is ignored, with a word on standard error.
    for (const char* value : {"0.01", "fast"}) {
        const TimeScaleChoice choice = ChooseTimeScale(value, false);
        EXPECT_FALSE(choice.scale);
        EXPECT_FALSE(choice.error);
        EXPECT_NE(choice.notice.find("ignored"), std::string::npos);
    }
    EXPECT_TRUE(ChooseTimeScale(nullptr, false).notice.empty());
}

}  // namespace
}  // namespace tessel::app
