// The emulator's printers as USB devices that no kernel driver holds, in a umockdev testbed:
// each one's sysfs entries (attributes and descriptors) and its USB device node
// /dev/bus/usb/001/DDD, whose usbfs requests (claim, release, URB submit, reap and discard)
// are answered here from the printer's core. A client runs under umockdev's preload library
// with the testbed's UMOCKDEV_DIR, and so does the process that owns the bus (umockdev sends
// device events only then).
//
// The node is a FIFO that polls writable exactly while a URB waits to be reaped, as a real
// usbfs node does, so that libusb's event loop sleeps between completions.
//
// Threads: umockdev answers requests on a thread of its own. Every call here and every call it
// makes into the host happens under the lock the owner passes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessel::sim {

// What the bus asks of the printers' owner, always with the lock held.
class UsbBusHost {
  public:
    virtual ~UsbBusHost() = default;
    // How many bytes printer `index` takes now (see PrinterCore::ReceiveAllowance).
    virtual std::size_t Allowance(std::size_t index) = 0;
    // Hands printer `index` bytes it sent; returns how many it took.
    virtual std::size_t Receive(std::size_t index, std::span<const std::uint8_t> bytes) = 0;
};

// One printer as the bus shows it.
struct UsbDeviceIdentity {
    std::string port = "1-1";  // its sysfs name
    int devnum = 2;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::optional<std::string> serial;
    std::string manufacturer;
    std::string product;
    std::uint8_t interface_protocol = 2;
    bool held_by_program = false;  // another program holds the printer interface
    bool usblp_bound = false;      // usblp holds it (until DetachUsblp)
    bool character_device = false;  // the node is /dev/null, not the polling FIFO
};

class UsbBus {
  public:
    // Makes the testbed. Null, with `error` set, when that fails (not under the preload).
    static std::unique_ptr<UsbBus> Create(std::mutex& lock, UsbBusHost& host, std::string& error);
    ~UsbBus();
    UsbBus(const UsbBus&) = delete;
    UsbBus& operator=(const UsbBus&) = delete;

    // The testbed's root: the client's UMOCKDEV_DIR.
    const std::string& root() const { return root_; }

    // Printer `index` appears. Returns its device node, or nothing with `error` set.
    std::optional<std::string> Plug(std::size_t index, const UsbDeviceIdentity& identity,
                                    std::string& error);
    // Printer `index` leaves the bus: its URBs end with ENODEV, every later request fails so.
    void Unplug(std::size_t index);
    // Bytes printer `index` sends to the client.
    void Send(std::size_t index, std::span<const std::uint8_t> bytes);
    // Another program detaches usblp from printer `index`'s interface.
    void DetachUsblp(std::size_t index);
    // Moves what the printers can take now from the client's waiting URBs to them.
    void Pump();

    // For the log and the tests: what went over the bus.
    struct Counters {
        std::uint64_t urbs_out = 0;
        std::uint64_t urbs_in = 0;
        std::uint64_t zero_length_out = 0;  // zero-length OUT URBs, or ZERO_PACKET flags
        std::uint64_t discarded = 0;
    };
    Counters counters() const { return counters_; }

    struct Impl;

  private:
    UsbBus() = default;
    std::unique_ptr<Impl> impl_;
    std::string root_;
    Counters counters_;
};

}  // namespace tessel::sim
