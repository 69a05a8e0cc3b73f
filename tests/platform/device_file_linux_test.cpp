// The Linux device files say why an open failed.
#include "platform/linux/device_file_linux.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tessel::platform {
namespace {

namespace fs = std::filesystem;

OpenFailure OpenAndTell(const fs::path& path) {
    const auto files = MakeLinuxDeviceFiles(PrinterGuess::kEveryFile);
    OpenFailure failure = OpenFailure::kOther;
    const auto file = files->OpenWithReason(path.u16string(), failure);
    if (file && failure != OpenFailure::kNone) {
        return OpenFailure::kOther;  // opened, yet a reason: wrong either way
    }
    return failure;
}

class DeviceFileOpen : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tessel-open-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fs::permissions(dir_, fs::perms::all);  // an unprivileged child must reach it
        std::ofstream(dir_ / "lp0") << "x";
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(DeviceFileOpen, ReasonsForAnOpenThatFails) {
    EXPECT_EQ(OpenAndTell(dir_ / "lp0"), OpenFailure::kNone);
    EXPECT_EQ(OpenAndTell(dir_ / "lp9"), OpenFailure::kNoDevice);
    EXPECT_EQ(OpenAndTell(dir_), OpenFailure::kOther);  // a folder does not open for writing
}

// A node the user has no rights on. As root no mode denies anything, so the open runs in a
// child that has given up root first.
TEST_F(DeviceFileOpen, NodeWithoutRightsIsPermissionDenied) {
    fs::permissions(dir_ / "lp0", fs::perms::none);
    if (::geteuid() != 0) {
        EXPECT_EQ(OpenAndTell(dir_ / "lp0"), OpenFailure::kPermissionDenied);
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            std::_Exit(90);
        }
        std::_Exit(static_cast<int>(OpenAndTell(dir_ / "lp0")));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 90) {
        GTEST_SKIP() << "cannot give up root here (setresuid failed) to check a denied open";
    }
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(OpenFailure::kPermissionDenied));
}

}  // namespace
}  // namespace tessel::platform
