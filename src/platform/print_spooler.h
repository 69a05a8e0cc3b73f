// The print spooler's queues: which port each prints to and how many jobs it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel::platform {

struct PrintQueue {
    // Windows: the port name ("USB001"). Linux: the queue's device URI.
    std::u16string port_name;
    // Jobs that still wait for or hold the printer.
    std::uint32_t jobs = 0;
};

class PrintSpooler {
  public:
    virtual ~PrintSpooler() = default;
    // Every queue in the spooler's own order, or nothing when the spooler could not be asked.
    virtual std::optional<std::vector<PrintQueue>> Queues() = 0;
};

// Windows: EnumPrintersW. Linux: the CUPS scheduler named by the usual CUPS settings
// (CUPS_SERVER, client.conf).
PrintSpooler& SystemPrintSpooler();

}  // namespace tessel::platform
