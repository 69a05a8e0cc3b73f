// What one emulated printer is and how it misbehaves: its USB identity, its answers, its
// timing and the faults it injects. Portable; the Linux front turns the identity into a sysfs
// tree and the core plays the behaviour.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::sim {

// Which queries a fault applies to (a bit set).
enum QuerySet : unsigned {
    kNoQuery = 0,
    kStatusQuery = 1,
    kVersionQuery = 2,
    kAllQueries = kStatusQuery | kVersionQuery,
};

enum class PayloadSelect { kAny, kLoader, kFirmware };

// Faults, each off by default; any combination may be set.
struct Faults {
    // Queries the printer receives but never answers.
    unsigned no_answer = kNoQuery;
    // Queries left unanswered while the client's reads return 0 bytes instead of blocking.
    unsigned zero_reads = kNoQuery;
    // Replies sent in pieces of this many bytes (0: whole), with a pause before each later piece.
    std::uint32_t split_piece = 0;
    std::uint32_t split_pause_ms = 500;
    // Queries whose replies carry a magic other than 0x00AC, or a command code other than the
    // query's.
    unsigned wrong_magic = kNoQuery;
    unsigned wrong_command = kNoQuery;
    // Queries at whose arrival the printer drops off the bus (back after the restart delay), as
    // when the cable is pulled while the tool asks.
    unsigned disconnect_query = kNoQuery;
    // The text length a version reply announces (and the number of text bytes sent: the
    // version padded with zero bytes or cut), instead of the version's own length.
    std::optional<std::uint32_t> version_length;
    // Drop off the bus once this many bytes of a payload (counted from its first UEL byte)
    // have arrived; the printer comes back as it was after the restart delay.
    std::optional<std::uint64_t> disconnect_after;
    PayloadSelect disconnect_payload = PayloadSelect::kAny;
    // Stop reading once this many bytes of a payload (counted the same way) have arrived, and
    // stay on the bus: the client's writes find no room from then on.
    std::optional<std::uint64_t> stall_after;
    PayloadSelect stall_payload = PayloadSelect::kAny;
    // After a valid loader: never come back, or come back under this product ID.
    bool no_return = false;
    std::optional<std::uint16_t> return_product;
    // After burning the image: never come back, or come back reporting this version.
    bool no_return_after_burn = false;
    std::optional<std::string> version_after_burn;
    // Reads from the client at most this many bytes per second of printer time (0: no cap).
    std::uint64_t throughput = 0;
    // Served on its USB device node (--transport usb): another program holds the printer
    // interface, so the tool's claim finds it busy.
    bool usb_held = false;
    // Served on its USB device node: after each restart usblp binds the printer interface and
    // another program (a CUPS backend listing printers) detaches it again this many
    // milliseconds of printer time later.
    std::optional<std::uint32_t> usblp_after_restart_ms;

    bool operator==(const Faults&) const = default;
};

struct PrinterConfig {
    std::uint16_t vendor_id = 0x7A3C;
    std::uint16_t product_id = 0x0C12;
    std::string manufacturer = "Bexlot";
    std::string product = "R7200 Series";
    std::optional<std::string> serial = std::string("SER1");
    bool has_ieee1284_id = true;
    // 2: a plain bidirectional printer interface; 3: IEEE 1284.4.
    std::uint8_t interface_protocol = 2;
    // The text the version query answers with before any firmware image arrives.
    std::string version = "3.3.2.9";
    std::uint8_t status = 0;
    // Seconds of printer time from dropping off the bus to appearing again.
    std::uint32_t restart_delay_s = 50;
    // Seconds of printer time a valid firmware image takes to burn before the printer restarts.
    std::uint32_t burn_time_s = 180;
    Faults faults;
    // Served on its USB device node: the node is a character device (/dev/null) in place of
    // the emulated node, as a real printer's is, so the stand-in guard takes it for a printer.
    // Its requests are still answered; the tests use it.
    bool usb_node_character_device = false;

    // "MFG:Bexlot;CMD:ACL,PJL;MDL:R7200 Series;CLS:PRINTER;"
    std::string Ieee1284Id() const;

    bool operator==(const PrinterConfig&) const = default;
};

// The printer's models: R7100..R7400, and DEFAULT for a printer with broken firmware.
struct Model {
    std::string_view name;
    std::uint16_t vendor_id;
    std::uint16_t product_id;
    std::string_view product;
};
inline constexpr Model kModels[] = {
    {"R7100", 0x7A3C, 0x0C11, "R7100 Series"},   {"R7200", 0x7A3C, 0x0C12, "R7200 Series"},
    {"R7300", 0x7A3C, 0x0C13, "R7300 Series"},   {"R7400", 0x7A3C, 0x0C14, "R7400 Series"},
    {"DEFAULT", 0x7A3C, 0x0000, "R7000 Series"},
};

// The version after a firmware image with the 4-character `marker`: `version` with its third
// and fourth dot-separated parts replaced by the marker's last two characters (missing parts
// are added).
std::string VersionAfterFirmware(std::string_view version, std::string_view marker);

// Everything the program takes on its command line.
// How the emulator presents its printers to the tool.
enum class SimTransport {
    kUsblp,  // bound to usblp: sysfs entries and an lp node (a pseudo-terminal) under own roots
    kUsb,    // no kernel driver: a USB device under umockdev, its usbfs requests answered
};

struct SimOptions {
    std::vector<PrinterConfig> printers;
    SimTransport transport = SimTransport::kUsblp;
    double time_scale = 1.0;
    // Folder in which the emulator makes its temporary roots (empty: $TMPDIR or /tmp).
    std::string root_parent;
    // Where the JSON-lines log goes: "-" for standard output.
    std::string log_path = "-";
    bool help = false;
};

// One command-line flag of a printer. Every fault is one row (fault == true); the table is
// the single place that ties a flag to its field.
struct PrinterFlag {
    std::string_view flag;
    std::string_view argument;  // empty for a flag without an argument
    std::string_view help;
    bool fault;
    // Applies the flag; returns an error text, or empty.
    std::string (*apply)(PrinterConfig& printer, std::string_view argument);
};
std::span<const PrinterFlag> PrinterFlags();

// Parses the arguments after the program name. Printer flags apply to the printer being
// described; "--printer" starts the next one. Returns an error text, or empty.
std::string ParseCommandLine(std::span<const std::string> args, SimOptions& options);
std::string Usage();

}  // namespace tessel::sim
