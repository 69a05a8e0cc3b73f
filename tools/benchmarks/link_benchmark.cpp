// Sends the firmware image with SendFWResource through the real Linux device file into a FIFO
// that another thread drains, and compares the time with `dd bs=256k` writing the same bytes
// into the same kind of FIFO. Rounds alternate between the two; the medians are compared.
//
//   link-benchmark [rounds]        (default 15)
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "link/payload_transfer.h"
#include "payloads/payload_format.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/text.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Reads the FIFO until every writer has closed it; returns the bytes read.
std::size_t Drain(const std::string& fifo) {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            total += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return total;
}

// Runs `send` while a thread drains the FIFO; returns the seconds until the last byte was read,
// or a negative value when the bytes did not all arrive.
double TimeRound(const std::string& fifo, std::size_t expected, const std::function<bool()>& send) {
    std::size_t drained = 0;
    const auto start = Clock::now();
    std::thread reader([&] { drained = Drain(fifo); });
    const bool sent = send();
    reader.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return sent && drained == expected ? seconds : -1.0;
}

bool SendWithLink(const std::string& fifo) {
    auto device = tessel::platform::Current().devices->Open(tessel::platform::Utf8ToUtf16(fifo));
    if (!device) {
        return false;
    }
    return tessel::link::SendFWResource(*device, tessel::payloads::IDR_BINARY_FIRMWARE) ==
           tessel::link::kLinkOk;
}  // closing the device ends the reader's stream

bool SendWithDd(const std::string& file, const std::string& fifo) {
    std::string in = "if=" + file;
    std::string out = "of=" + fifo;
    std::string bs = "bs=256k";
    std::string quiet = "status=none";
    std::string dd = "dd";
    char* argv[] = {dd.data(), in.data(), out.data(), bs.data(), quiet.data(), nullptr};
    pid_t pid;
    if (::posix_spawnp(&pid, "dd", nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const auto firmware =
        tessel::platform::FindBinaryResource(tessel::payloads::IDR_BINARY_FIRMWARE);
    if (!firmware) {
        std::fprintf(stderr, "no embedded firmware image\n");
        return 1;
    }

    const auto dir = std::filesystem::temp_directory_path() /
                     ("tessel-link-benchmark-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "firmware.bin").string();
    const std::string fifo = (dir / "sink").string();
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(firmware->data()),
                  static_cast<std::streamsize>(firmware->size()));
    }
    if (::mkfifo(fifo.c_str(), 0600) != 0) {
        std::fprintf(stderr, "cannot make the FIFO %s\n", fifo.c_str());
        return 1;
    }

    std::vector<double> link_times;
    std::vector<double> dd_times;
    std::vector<double> dd_start_times;
    bool ok = true;
    // One warm-up round of each, then alternate so that both see the same machine load.
    for (int round = -1; round < rounds && ok; ++round) {
        const double link = TimeRound(fifo, firmware->size(), [&] { return SendWithLink(fifo); });
        const double dd = TimeRound(fifo, firmware->size(), [&] { return SendWithDd(file, fifo); });
        // dd's own start-up (process creation, opening), measured with no bytes to copy.
        const double dd_start = TimeRound(fifo, 0, [&] { return SendWithDd("/dev/null", fifo); });
        ok = link > 0 && dd > 0 && dd_start > 0;
        if (round >= 0) {
            link_times.push_back(link);
            dd_times.push_back(dd);
            dd_start_times.push_back(dd_start);
        }
    }
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "a round did not deliver every byte\n");
        return 1;
    }

    const double mb = static_cast<double>(firmware->size()) / 1e6;
    const double link_s = Median(link_times);
    const double dd_s = Median(dd_times);
    std::printf("firmware image: %zu bytes, %d rounds, medians\n", firmware->size(), rounds);
    std::printf("  SendFWResource: %8.2f ms  %8.1f MB/s\n", link_s * 1e3, mb / link_s);
    std::printf("  dd bs=256k:     %8.2f ms  %8.1f MB/s\n", dd_s * 1e3, mb / dd_s);
    std::printf("  dd start-up:    %8.2f ms  (dd with no bytes to copy)\n",
                Median(dd_start_times) * 1e3);
    std::printf("  throughput ratio SendFWResource / dd: %.3f\n", dd_s / link_s);
    std::printf("  ratio with dd's start-up left out:    %.3f\n",
                (dd_s - Median(dd_start_times)) / link_s);
    return 0;
}
