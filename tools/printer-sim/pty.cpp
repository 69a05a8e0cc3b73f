#include "pty.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tessel::sim {
namespace {

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

Pty::Pty(int master, int slave, std::string slave_path)
    : master_(master), slave_(slave), slave_path_(std::move(slave_path)) {}

Pty::~Pty() {
    ::close(master_);
    ::close(slave_);
}

std::unique_ptr<Pty> Pty::Open(bool zero_reads, std::string& error) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        error = Errno("posix_openpt");
        return nullptr;
    }
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        error = Errno("preparing the pseudo-terminal");
        ::close(master);
        return nullptr;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        error = Errno("opening the pseudo-terminal's slave");
        ::close(master);
        return nullptr;
    }
    // Raw bytes both ways: no echo, no line editing, no translation, no flow control.
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0) {
        error = Errno("tcgetattr");
        ::close(slave);
        ::close(master);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    if (zero_reads) {
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 1;
    }
    if (::tcsetattr(slave, TCSANOW, &tio) != 0 ||
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        error = Errno("setting up the pseudo-terminal");
        ::close(slave);
        ::close(master);
        return nullptr;
    }
    return std::unique_ptr<Pty>(new Pty(master, slave, name));
}

bool Pty::TimeOutReads() {
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) {
        return false;
    }
    if (tio.c_cc[VMIN] == 0 && tio.c_cc[VTIME] == 1) {
        return true;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 1;
    return ::tcsetattr(slave_, TCSANOW, &tio) == 0;
}

}  // namespace tessel::sim
