#include "private_logind.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tessel::testing {
namespace {

// Debian's python3-dbusmock belongs to the system's interpreter, whatever python3 comes first
// on the PATH.
std::string SystemPython() {
    return ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

}  // namespace

bool PrivateLogind::Start(std::string& error, bool logind) {
    const char* daemon = "/usr/bin/dbus-daemon";
    if (::access(daemon, X_OK) != 0) {
        error = "dbus-daemon is not installed";
        return false;
    }
    bus_ = std::make_unique<ChildProcess>(
        daemon, std::vector<std::string>{"--session", "--nofork", "--nopidfile", "--print-address"},
        std::map<std::string, std::string>{}, ChildProcess::Input::kNull);
    if (!bus_->WaitForOutput("\n", std::chrono::seconds(10))) {
        error = "dbus-daemon printed no address: " + bus_->output();
        return false;
    }
    address_ = bus_->output().substr(0, bus_->output().find('\n'));
    if (!logind) {
        return true;
    }
    logind_ = std::make_unique<ChildProcess>(
        SystemPython(), std::vector<std::string>{"-m", "dbusmock", "--template", "logind"},
        std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", address_}},
        ChildProcess::Input::kNull);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Inhibitors()) {
        if (std::chrono::steady_clock::now() > deadline) {
            logind_->Finish(std::chrono::milliseconds(100));
            error = "the stand-in logind did not come up: " + logind_->output();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

PrivateLogind::~PrivateLogind() {
    logind_.reset();
    bus_.reset();
}

std::optional<std::vector<Inhibitor>> PrivateLogind::Inhibitors() const {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        return std::nullopt;
    }
    std::optional<std::vector<Inhibitor>> out;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    if (sd_bus_set_address(bus, address_.c_str()) >= 0 && sd_bus_set_bus_client(bus, 1) >= 0 &&
        sd_bus_start(bus) >= 0 &&
        sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "ListInhibitors", &error, &reply,
                           "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(ssssuu)") >= 0) {
        out.emplace();
        const char *what, *who, *why, *mode;
        std::uint32_t uid, pid;
        while (sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid) > 0) {
            out->push_back({what, who, why, mode});
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    return out;
}

std::optional<std::vector<Inhibitor>> PrivateLogind::WaitForInhibitors(
    const std::vector<Inhibitor>& expected, int timeout_ms) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        auto now = Inhibitors();
        if (now == expected || std::chrono::steady_clock::now() > deadline) {
            return now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace tessel::testing
