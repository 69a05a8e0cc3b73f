#include "cups_scheduler.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/clock.h"

extern char** environ;

namespace tessel::testing {
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kStartLimitMs = 15000;
constexpr std::uint32_t kPollMs = 20;

fs::path MakeTempRoot() {
    std::string pattern = (fs::temp_directory_path() / "tessel-cups-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    // The scheduler drops to its own user for some work; it must reach its folders.
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

bool Answers(const fs::path& socket) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Starts `argv` with its output appended to `log`; the child's pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const fs::path& log) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::optional<std::string> CupsScheduler::FindProgram(const std::string& name) {
    std::vector<std::string> folders = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};
    if (const char* path = std::getenv("PATH")) {
        std::string all = path;
        for (std::size_t start = 0; start <= all.size();) {
            std::size_t end = all.find(':', start);
            if (end == std::string::npos) {
                end = all.size();
            }
            folders.push_back(all.substr(start, end - start));
            start = end + 1;
        }
    }
    for (const std::string& folder : folders) {
        const fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

CupsScheduler::CupsScheduler() : root(MakeTempRoot()), socket(root / "cups.sock") {
    if (const char* server = std::getenv("CUPS_SERVER")) {
        saved_server_ = server;
    }
}

CupsScheduler::~CupsScheduler() {
    Stop();
    if (saved_server_) {
        ::setenv("CUPS_SERVER", saved_server_->c_str(), 1);
    } else {
        ::unsetenv("CUPS_SERVER");
    }
    std::error_code ec;
    fs::remove_all(root, ec);
}

bool CupsScheduler::Start(std::string& why) {
    const std::optional<std::string> cupsd = FindProgram("cupsd");
    if (!cupsd) {
        why = "cupsd is not installed";
        return false;
    }
    for (const char* folder :
         {"etc", "bin/backend", "bin/filter", "spool/tmp", "cache", "run", "log"}) {
        fs::create_directories(root / folder);
    }
    const std::string r = root.string();
    Write(root / "etc" / "cupsd.conf",
          "Listen " + socket.string() +
              "\n"
              "LogLevel warn\n"
              "Browsing Off\n"
              "DefaultAuthType None\n"
              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    Write(root / "etc" / "cups-files.conf",
          "ServerRoot " + r + "/etc\nServerBin " + r +
              "/bin\nDataDir /usr/share/cups\nRequestRoot " + r + "/spool\nTempDir " + r +
              "/spool/tmp\nCacheDir " + r + "/cache\nStateDir " + r + "/run\nAccessLog " + r +
              "/log/access_log\nErrorLog " + r + "/log/error_log\nPageLog " + r +
              "/log/page_log\nSystemGroup root\n");
    // Queues on usb:// need a usb backend; held jobs never reach it.
    const fs::path backend = root / "bin" / "backend" / "usb";
    Write(backend, "#!/bin/sh\nexit 0\n");
    ::chmod(backend.c_str(), 0700);

    ::setenv("CUPS_SERVER", socket.c_str(), 1);
    pid_ = Spawn({*cupsd, "-f", "-c", r + "/etc/cupsd.conf", "-s", r + "/etc/cups-files.conf"},
                 root / "log" / "out");
    if (pid_ < 0) {
        why = "cupsd could not be started";
        return false;
    }
    platform::Clock& clock = platform::SystemClock();
    const std::int64_t give_up = clock.NowMs() + kStartLimitMs;
    while (!Answers(socket)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            why = "cupsd ended at start:\n" + Log();
            return false;
        }
        if (clock.NowMs() > give_up) {
            why = "cupsd did not answer:\n" + Log();
            return false;
        }
        clock.SleepMs(kPollMs);
    }
    return true;
}

void CupsScheduler::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        WaitFor(pid_);
        pid_ = -1;
    }
}

bool CupsScheduler::Run(const std::vector<std::string>& argv) {
    std::vector<std::string> full = argv;
    const std::optional<std::string> program = FindProgram(argv.at(0));
    if (!program) {
        return false;
    }
    full[0] = *program;
    const pid_t pid = Spawn(full, root / "log" / "out");
    return pid > 0 && WaitFor(pid) == 0;
}

bool CupsScheduler::AddQueue(const std::string& name, const std::string& device_uri) {
    return Run({"lpadmin", "-p", name, "-E", "-v", device_uri});
}

bool CupsScheduler::AddHeldJob(const std::string& queue, std::string& job_id) {
    const fs::path file = root / "job.txt";
    Write(file, "held\n");
    const fs::path out = root / "log" / "out";
    const auto before = fs::exists(out) ? fs::file_size(out) : 0;
    if (!Run({"lp", "-d", queue, "-H", "hold", file.string()})) {
        return false;
    }
    // "request id is <queue>-<n> (1 file(s))"
    const std::string text = Log().substr(before);
    const std::size_t at = text.find("request id is ");
    if (at == std::string::npos) {
        return false;
    }
    const std::size_t start = at + std::strlen("request id is ");
    job_id = text.substr(start, text.find(' ', start) - start);
    return true;
}

std::string CupsScheduler::Log() const {
    std::ifstream in(root / "log" / "out", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tessel::testing
