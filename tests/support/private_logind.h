// A private D-Bus bus with a stand-in logind on it (python3-dbusmock's logind template), for
// tests of the sleep inhibition: the code under test reaches it through
// DBUS_SYSTEM_BUS_ADDRESS, the test asks it which inhibitor locks are held.
#pragma once

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"

namespace tessel::testing {

struct Inhibitor {
    std::string what, who, why, mode;
    friend bool operator==(const Inhibitor&, const Inhibitor&) = default;
    friend void PrintTo(const Inhibitor& i, std::ostream* out) {
        *out << i.what << "/" << i.who << "/" << i.why << "/" << i.mode;
    }
};

class PrivateLogind {
  public:
    // Starts the bus and, with `logind`, the stand-in on it. False with `error` saying why
    // (dbus-daemon or python3-dbusmock missing, or not ready within seconds).
    bool Start(std::string& error, bool logind = true);
    ~PrivateLogind();  // stops both

    // For DBUS_SYSTEM_BUS_ADDRESS.
    const std::string& address() const { return address_; }
    // The locks logind holds now, or nothing when it could not be asked.
    std::optional<std::vector<Inhibitor>> Inhibitors() const;
    // Waits up to `timeout_ms` of real time until Inhibitors() gives `expected` (logind
    // notices a closed lock a moment later). Returns what it saw last.
    std::optional<std::vector<Inhibitor>> WaitForInhibitors(const std::vector<Inhibitor>& expected,
                                                           int timeout_ms = 5'000) const;

  private:
    std::unique_ptr<ChildProcess> bus_;
    std::unique_ptr<ChildProcess> logind_;
    std::string address_;
};

}  // namespace tessel::testing
