// The support log: what a run's log holds, how many the folder keeps, and that a log which
// cannot be written changes nothing for the run.
#include "app/support_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessel::app {
namespace {

namespace fs = std::filesystem;

class Recorder final : public platform::DebugOutput {
  public:
    void Write(std::u16string_view line) override { lines.emplace_back(line); }
    std::vector<std::u16string> lines;
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SupportLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tessel-log-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A stamp that moves on by one millisecond per call, from a fixed day.
    SupportLog::Stamp Ticking() {
        return [this] {
            char text[32];
            std::snprintf(text, sizeof text, "2026-12-10 10:00:%02d.%03d", ticks_ / 1000 % 60,
                          ticks_ % 1000);
            ++ticks_;
            return std::string(text);
        };
    }

    fs::path folder_;
    int ticks_ = 0;
};

TEST_F(SupportLogTest, EveryLineGoesOnAndIntoTheFileStampedAndPrintable) {
    Recorder forward;
    fs::path path;
    {
        SupportLog log(folder_ / "nested", "Tessel FW3.3.3.8, test", forward, Ticking());
        log.Write(u"ReadPrinterSTATUS()<------\r\n");
        log.Write(u"binary \x01\x1b[2J and \u05D0 Hebrew");
        log.Write(std::u16string(3000, u'x'));
        path = log.path();
    }
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.parent_path(), folder_ / "nested");
    ASSERT_EQ(forward.lines.size(), 3u);
    EXPECT_EQ(forward.lines[0], u"ReadPrinterSTATUS()<------\r\n");  // forwarded untouched

    const std::string text = Read(path);
    EXPECT_NE(text.find("2026-12-10 10:00:00.001  Tessel FW3.3.3.8, test\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("10:00:00.002  ReadPrinterSTATUS()<------\n"), std::string::npos) << text;
    EXPECT_NE(text.find("binary ??[2J and \xD7\x90 Hebrew\n"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(kMaxLogLineBytes, 'x') + " [cut]\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(kMaxLogLineBytes + 1, 'x')), std::string::npos);
}

TEST_F(SupportLogTest, TheFolderKeepsTheNewestTenRunsAndTheLatestIsFound) {
    Recorder forward;
    std::vector<fs::path> paths;
    for (int run = 0; run < 13; ++run) {
        SupportLog log(folder_, "run " + std::to_string(run), forward, Ticking());
        paths.push_back(log.path());
    }
    std::ofstream(folder_ / "notes.txt") << "not a run log";

    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        if (entry.path().extension() == ".log") {
            kept.push_back(entry.path());
        }
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, std::vector<fs::path>(paths.begin() + 3, paths.end()));
    EXPECT_TRUE(fs::exists(folder_ / "notes.txt"));
    EXPECT_EQ(LatestSupportLog(folder_), paths.back());
    EXPECT_NE(Read(paths.back()).find("run 12"), std::string::npos);
    EXPECT_EQ(LatestSupportLog(folder_ / "none"), std::nullopt);
}

TEST_F(SupportLogTest, ALogThatCannotBeWrittenOnlyForwards) {
    std::ofstream(folder_.string()) << "a file where the folder would be";
    Recorder forward;
    for (const fs::path& folder : {folder_ / "tessel", fs::path()}) {
        SupportLog log(folder, "title", forward, Ticking());
        log.Write(u"a line");
        EXPECT_TRUE(log.path().empty());
    }
    EXPECT_EQ(forward.lines, (std::vector<std::u16string>{u"a line", u"a line"}));
    fs::remove(folder_);
}

}  // namespace
}  // namespace tessel::app
