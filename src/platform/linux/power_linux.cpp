// The logind inhibitor lock: Manager.Inhibit hands back a file descriptor, and the lock lasts
// as long as that descriptor is open anywhere.
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/power.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

// A logind that does not answer within this much real time is taken as absent.
constexpr std::uint64_t kCallTimeoutUs = 5'000'000;

class InhibitorLock final : public SleepBlock {
public:
    explicit InhibitorLock(int fd) : fd_(fd) {}
    ~InhibitorLock() override { close(fd_); }
    InhibitorLock(const InhibitorLock&) = delete;
    InhibitorLock& operator=(const InhibitorLock&) = delete;

private:
    int fd_;
};

void NoLock(const std::string& why) {
    Debug(Utf8ToUtf16("BlockSleep(): no inhibitor lock (" + why +
                      "); the machine may sleep during the upgrade"));
}

std::string ErrorText(int r, const sd_bus_error* error) {
    if (error != nullptr && sd_bus_error_is_set(error) && error->message != nullptr) {
        return error->message;
    }
    return std::strerror(-r);
}

class LogindPower final : public Power {
public:
    std::unique_ptr<SleepBlock> BlockSleep() override {
        sd_bus* bus = nullptr;
        int r = sd_bus_open_system(&bus);
        if (r < 0) {
            NoLock("system D-Bus: " + ErrorText(r, nullptr));
            return nullptr;
        }
        sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
        sd_bus_error error{};  // SD_BUS_ERROR_NULL, without the C compound literal it is made of
        sd_bus_message* reply = nullptr;
        r = sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", "Inhibit", &error, &reply,
                               "ssss", "sleep", kSleepBlockWho, kSleepBlockWhy, "block");
        int fd = -1;
        std::string failure;
        if (r < 0) {
            failure = "logind: " + ErrorText(r, &error);
        } else {
            int borrowed = -1;  // the message owns it
            r = sd_bus_message_read(reply, "h", &borrowed);
            fd = r < 0 ? -1 : fcntl(borrowed, F_DUPFD_CLOEXEC, 3);
            if (fd < 0) {
                failure = "logind's reply holds no lock";
            }
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        sd_bus_flush_close_unref(bus);
        if (fd < 0) {
            NoLock(failure);
            return nullptr;
        }
        Debug(u"BlockSleep(): inhibitor lock taken");
        return std::make_unique<InhibitorLock>(fd);
    }
};

}  // namespace

Power& SystemPower() {
    static LogindPower power;
    return power;
}

}  // namespace tessel::platform
