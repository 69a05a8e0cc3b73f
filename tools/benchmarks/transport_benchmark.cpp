// The firmware transfer through each Linux transport, on the emulated printers, in the same run:
// SendFWResource through the libusb device file to the emulator's USB device (umockdev), through
// the usblp path to the emulator's pseudo-terminal, and `dd bs=256k` of the same image into that
// pseudo-terminal. Rounds alternate between the three; the medians are compared. The USB rounds
// run in a child started under umockdev's preload library (the emulator and the tool's libusb
// share that process, as the preload needs); each child times one transfer.
//
//   transport-benchmark [rounds]        (default 5)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "emulator.h"
#include "link/payload_transfer.h"
#include "payloads/payload_format.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/text.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using tessel::sim::Emulator;
using tessel::sim::EmulatorOptions;
using tessel::sim::SimTransport;

std::unique_ptr<Emulator> StartEmulator(SimTransport transport) {
    EmulatorOptions options;
    options.transport = transport;
    options.time_scale = 1.0;
    std::string error;
    auto emulator = Emulator::Start(options, &error);
    if (!emulator) {
        std::fprintf(stderr, "emulator: %s\n", error.c_str());
    }
    return emulator;
}

// Waits until the printer has taken the whole image (its payload event); the seconds from
// `start`, or a negative value.
double UntilReceived(const Emulator& emulator, Clock::time_point start) {
    const std::size_t expected =
        tessel::platform::FindBinaryResource(tessel::payloads::IDR_BINARY_FIRMWARE)->size();
    const auto done = emulator.WaitFor(
        [](const tessel::sim::Json& e) { return e["event"] == "payload"; },
        std::chrono::seconds(120));
    if (!done || (*done)["size"] != expected) {
        return -1.0;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double SendWithLink(const Emulator& emulator, const std::string& node) {
    const auto start = Clock::now();
    auto device = tessel::platform::Current().devices->Open(tessel::platform::Utf8ToUtf16(node));
    if (!device || tessel::link::SendFWResource(*device, tessel::payloads::IDR_BINARY_FIRMWARE) !=
                       tessel::link::kLinkOk) {
        return -1.0;
    }
    return UntilReceived(emulator, start);
}

double SendWithDd(const Emulator& emulator, const std::string& file, const std::string& node) {
    std::string in = "if=" + file;
    std::string out = "of=" + node;
    std::string bs = "bs=256k";
    std::string quiet = "status=none";
    std::string dd = "dd";
    char* argv[] = {dd.data(), in.data(), out.data(), bs.data(), quiet.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid;
    if (::posix_spawnp(&pid, "dd", nullptr, nullptr, argv, environ) != 0) {
        return -1.0;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1.0;
    }
    return UntilReceived(emulator, start);
}

// One USB round in a child under the preload: its seconds, or a negative value.
double UsbRound(const char* self) {
    std::string program = self;
    std::string mode = "--usb-round";
    char* argv[] = {program.data(), mode.data(), nullptr};
    std::vector<std::string> env_strings;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0) {
            env_strings.emplace_back(*e);
        }
    }
    env_strings.emplace_back("LD_PRELOAD=libumockdev-preload.so.0");
    std::vector<char*> envp;
    for (std::string& s : env_strings) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) {
        return -1.0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    pid_t pid;
    const int spawned = ::posix_spawn(&pid, self, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = ::read(pipe_fds[0], buf, sizeof buf)) > 0;) {
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(pipe_fds[0]);
    if (spawned != 0) {
        return -1.0;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atof(out.c_str()) : -1.0;
}

int RunUsbRound() {
    auto emulator = StartEmulator(SimTransport::kUsb);
    if (!emulator) {
        return 1;
    }
    const double seconds = SendWithLink(*emulator, "/dev/bus/usb/001/002");
    std::printf("%.6f\n", seconds);
    return seconds > 0 ? 0 : 1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--usb-round") == 0) {
        return RunUsbRound();
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto firmware =
        tessel::platform::FindBinaryResource(tessel::payloads::IDR_BINARY_FIRMWARE);
    if (!firmware) {
        std::fprintf(stderr, "no embedded firmware image\n");
        return 1;
    }
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tessel-transport-benchmark-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "firmware.bin").string();
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(firmware->data()),
                  static_cast<std::streamsize>(firmware->size()));
    }

    std::vector<double> usb_times;
    std::vector<double> usblp_times;
    std::vector<double> dd_times;
    bool ok = true;
    // One warm-up round, then alternate so that all three see the same machine load.
    for (int round = -1; round < rounds && ok; ++round) {
        const double usb = UsbRound(argv[0]);
        double usblp = -1.0;
        double dd = -1.0;
        {
            auto emulator = StartEmulator(SimTransport::kUsblp);
            const std::string node = emulator ? emulator->dev_root() + "/usb/lp0" : "";
            if (emulator) {
                usblp = SendWithLink(*emulator, node);
            }
        }
        {
            auto emulator = StartEmulator(SimTransport::kUsblp);
            if (emulator) {
                dd = SendWithDd(*emulator, file, emulator->dev_root() + "/usb/lp0");
            }
        }
        ok = usb > 0 && usblp > 0 && dd > 0;
        if (round >= 0) {
            usb_times.push_back(usb);
            usblp_times.push_back(usblp);
            dd_times.push_back(dd);
        }
    }
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "a round did not deliver the whole image\n");
        return 1;
    }
    const double mb = static_cast<double>(firmware->size()) / 1e6;
    const double usb = Median(usb_times);
    const double usblp = Median(usblp_times);
    const double dd = Median(dd_times);
    std::printf("firmware image: %zu bytes to the emulated printer, %d rounds, medians\n",
                firmware->size(), rounds);
    std::printf("  libusb device file (USB node, umockdev): %8.1f ms  %7.1f MB/s\n", usb * 1e3,
                mb / usb);
    std::printf("  usblp path (pseudo-terminal):            %8.1f ms  %7.1f MB/s\n", usblp * 1e3,
                mb / usblp);
    std::printf("  dd bs=256k into the pseudo-terminal:     %8.1f ms  %7.1f MB/s\n", dd * 1e3,
                mb / dd);
    std::printf("  throughput ratio libusb / usblp: %.3f\n", usblp / usb);
    std::printf("  throughput ratio libusb / dd:    %.3f\n", dd / usb);
    std::printf("  throughput ratio usblp / dd:     %.3f\n", dd / usblp);
    return 0;
}
