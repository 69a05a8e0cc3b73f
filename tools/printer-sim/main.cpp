// tessel-printer-sim: emulated R7000 printers for the tool's tests and demo.
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "emulator.h"
#include "printer_config.h"

namespace {

constexpr const char* kUmockdevPreload = "libumockdev-preload.so.0";

// umockdev sends the testbed's device events only when the process that owns the testbed runs
// under its preload library: the usb transport starts itself again under it when it does not.
bool UnderUmockdevPreload() {
    const char* preload = ::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload") != nullptr;
}

void RestartUnderUmockdevPreload(char** argv) {
    const char* preload = ::getenv("LD_PRELOAD");
    std::string value = kUmockdevPreload;
    if (preload && *preload) {
        value += std::string(":") + preload;
    }
    ::setenv("LD_PRELOAD", value.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::cerr << "tessel-printer-sim: cannot start again under " << kUmockdevPreload << ": "
              << std::strerror(errno) << "\n";
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessel::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    SimOptions options;
    if (std::string error = ParseCommandLine(args, options); !error.empty()) {
        std::cerr << "tessel-printer-sim: " << error << "\n\n" << Usage();
        return 2;
    }
    if (options.help) {
        std::cout << Usage();
        return 0;
    }
    if (options.transport == SimTransport::kUsb && !UnderUmockdevPreload()) {
        RestartUnderUmockdevPreload(argv);
    }

    // SIGINT and SIGTERM are taken here, by sigwait, and nowhere else: blocked before any
    // thread starts, so the serving thread inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::ofstream log_file;
    EmulatorOptions emulator_options;
    emulator_options.printers = options.printers;
    emulator_options.time_scale = options.time_scale;
    emulator_options.transport = options.transport;
    emulator_options.root_parent = options.root_parent;
    emulator_options.log_stream = &std::cout;
    if (options.log_path != "-") {
        log_file.open(options.log_path, std::ios::out | std::ios::trunc);
        if (!log_file) {
            std::cerr << "tessel-printer-sim: cannot write the log " << options.log_path << "\n";
            return 1;
        }
        emulator_options.log_stream = &log_file;
    }
    emulator_options.on_roots = [&options](const std::string& sysfs_root,
                                           const std::string& dev_root) {
        if (options.transport == SimTransport::kUsb) {
            // The testbed's root; the tool runs under the same preload to see it.
            std::cout << "UMOCKDEV_DIR=" << ::getenv("UMOCKDEV_DIR")
                      << "\nLD_PRELOAD=" << kUmockdevPreload << std::endl;
            return;
        }
        std::cout << "TESSEL_SYSFS_ROOT=" << sysfs_root << "\nTESSEL_DEV_ROOT=" << dev_root
                  << std::endl;
    };

    std::string error;
    auto emulator = Emulator::Start(emulator_options, &error);
    if (!emulator) {
        std::cerr << "tessel-printer-sim: " << error << "\n";
        return 1;
    }
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    emulator->Stop();
    return 0;
}
