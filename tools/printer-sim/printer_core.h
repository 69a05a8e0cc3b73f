// One emulated printer's side of the link: it reads what a client sends (in pieces of any
// size), answers the status and firmware-version queries, receives and checks payloads,
// restarts after a loader, burns a firmware image, and injects the configured faults. It
// knows nothing of pseudo-terminals or sysfs: a PrinterPort carries its bytes and presence,
// and every delay runs on the Clock it is given (a ScaledClock for a compressed time).
//
// Single-threaded: the owner calls Receive, Poll and NextDueMs from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "event_log.h"
#include "platform/clock.h"
#include "printer_config.h"
#include "stream_parser.h"

namespace tessel::sim {

// What carries a printer's bytes and its presence on the bus.
class PrinterPort {
  public:
    virtual ~PrinterPort() = default;
    // Appear on the bus under `product_id` (the first time and after every restart).
    // Returns details for the log (device node and the like).
    virtual Json Connect(std::uint16_t product_id) = 0;
    // Drop off the bus: the client's open handles fail from now on.
    virtual void Disconnect() = 0;
    // Bytes for the client to read.
    virtual void Send(std::span<const std::uint8_t> bytes) = 0;
};

class PrinterCore {
  public:
    enum class Mode {
        kOff,         // not on the bus
        kNormal,      // running its firmware
        kRestarting,  // took a loader, about to drop off the bus
        kLoader,      // running the loader, ready for a firmware image
        kBurning,     // writing a firmware image to flash; takes no commands
    };

    // After a valid loader the printer takes this long to drop off the bus.
    static constexpr std::int64_t kDropDelayMs = 500;

    PrinterCore(int index, PrinterConfig config, platform::Clock& clock, EventLog& log,
                PrinterPort& port);

    // Appears on the bus for the first time.
    void Start();

    // Bytes from the client. Returns how many the printer took: all of them, unless it
    // dropped off the bus on the way (the rest is lost with the connection) or stopped reading
    // (the rest is dropped; the owner reads nothing more).
    std::size_t Receive(std::span<const std::uint8_t> bytes);

    // How many bytes the printer takes now; with a throughput cap, 0 until enough have
    // accrued (see NextDueMs); 0 for good once it has stopped reading.
    std::size_t ReceiveAllowance();

    // Leaves the bus and appears again at once in the same mode and under the same product ID
    // (its cable pulled and put back). Replies not yet sent are lost. Only a printer running its
    // firmware or the loader does it: one that is off, restarting or burning stays as it is.
    void Replug();

    // Runs whatever is due: reply pieces, dropping off, coming back, the end of a burn.
    void Poll();

    // Printer time (Clock::NowMs) of the next thing due, if anything is pending.
    std::optional<std::int64_t> NextDueMs() const;

    bool connected() const { return mode_ != Mode::kOff; }
    Mode mode() const { return mode_; }
    const std::string& version() const { return version_; }
    const PrinterConfig& config() const { return config_; }

  private:
    struct Piece {
        std::int64_t due_ms;
        std::vector<std::uint8_t> bytes;
    };
    enum class Kind { kLoader, kFirmware, kUnknown };

    void Handle(StreamParser::Event event);
    void OnCommand();
    void OnDownloadStart();
    void OnPayload();
    void Reply(std::uint16_t code, std::vector<std::uint8_t> bytes);
    void SendDue();
    // Drops off the bus now; comes back after the restart delay unless `comes_back` is false.
    void DropOff(const std::string& reason, Mode return_mode, std::uint16_t return_product,
                 bool comes_back);
    void Appear();
    // Whether a fault armed with `armed` applies to the payload being received.
    bool ArmedHere(bool armed, PayloadSelect select) const;
    // The payload byte count at which the next armed fault fires, if one applies here.
    std::optional<std::uint64_t> NextFaultAt() const;
    void Emit(std::string_view event, Json fields = Json::object());

    int index_;
    PrinterConfig config_;
    platform::Clock& clock_;
    EventLog& log_;
    PrinterPort& port_;
    StreamParser parser_;

    Mode mode_ = Mode::kOff;
    std::string version_;
    std::string version_after_burn_;
    std::deque<Piece> outgoing_;

    std::optional<std::int64_t> drop_at_;
    std::optional<std::int64_t> return_at_;
    std::optional<std::int64_t> burn_end_at_;
    Mode return_mode_ = Mode::kNormal;
    std::uint16_t return_product_ = 0;
    bool return_after_drop_ = true;
    std::uint64_t ignored_bytes_ = 0;

    Kind payload_kind_ = Kind::kUnknown;
    std::int64_t payload_started_ms_ = 0;
    bool disconnect_fault_armed_ = false;
    bool stall_fault_armed_ = false;
    bool stalled_ = false;

    // Throughput cap: a token bucket in bytes.
    double tokens_ = 0;
    double burst_ = 0;
    bool starved_ = false;
    std::int64_t tokens_at_ms_ = 0;
    // When the last byte arrived; a link that got none for kIdleLinkMs is idle.
    static constexpr std::int64_t kIdleLinkMs = 1000;
    std::int64_t last_receive_ms_ = std::numeric_limits<std::int64_t>::min() / 2;
};

const char* ModeName(PrinterCore::Mode mode);

}  // namespace tessel::sim
