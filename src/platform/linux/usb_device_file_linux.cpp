// The device file over libusb. Open claims the printer interface that the device's descriptors
// show (the same reading discovery made, from sysfs), after checking that they show exactly the
// printer the tool knows: a device with anything else is never opened. The tool never detaches
// a kernel driver and never takes an interface that a program holds: the claim then fails, and
// the open says "busy".
//
// Every write is one bulk OUT transfer of exactly the bytes given (no zero-length packet is
// added), every read one bulk IN transfer into a buffer of whole packets whose bytes later reads
// take first, as the usblp driver does. Transfers are asynchronous: the call handles libusb's
// events in the slices of a DeviceWait, so its bound runs on the installed clock, and cancels
// the transfer when the bound has passed (a cut-off write then counts the bytes placed).
#include "platform/linux/usb_device_file_linux.h"

#include <fcntl.h>
#include <libusb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/device_wait.h"
#include "platform/linux/device_file_linux.h"
#include "platform/linux/sysfs_usb.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_descriptors.h"

namespace tessel::platform {
namespace {

namespace fs = std::filesystem;

// One read asks the printer for up to this much; what the link does not take yet waits in the
// file's buffer. Whole packets at every USB speed, so the printer never sends more than asked.
constexpr int kReadBlockBytes = 16 * 1024;

// After a cancel the kernel gives the transfer back at once; should it not, the call stops
// waiting after this much real time and the handle is treated as gone.
constexpr auto kCancelGrace = std::chrono::seconds(5);

OpenFailure FromLibusb(int error) {
    switch (error) {
        case LIBUSB_ERROR_ACCESS:
            return OpenFailure::kPermissionDenied;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return OpenFailure::kNoDevice;
        case LIBUSB_ERROR_BUSY:
            return OpenFailure::kBusy;
        default:
            return OpenFailure::kOther;
    }
}

void DebugLibusb(const char* what, int error) {
    Debug(Utf8ToUtf16(std::string("USB device: ") + what + ": " + libusb_error_name(error)));
}

// Whether the opened node could be a printer, in the kernel's own words: the system call, not
// the C library's stat, which a test harness may answer for an emulated node. A real USB device
// node is a character device. What may be written to it is decided above (the stand-in guard).
bool NodeCouldBePrinter(int fd) {
    struct statx st {};
    if (::syscall(SYS_statx, fd, "", AT_EMPTY_PATH, STATX_TYPE, &st) != 0) {
        return true;  // when in doubt it is one
    }
    return S_ISCHR(st.stx_mode);
}

// The sysfs folder of the USB device at `node`, or nothing.
std::optional<fs::path> SysfsDeviceDir(UsbDeviceNode node) {
    std::error_code ec;
    for (fs::directory_iterator it(sysfs::SysfsRoot() / "bus" / "usb" / "devices", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (it->path().filename().string().find(':') != std::string::npos) {
            continue;
        }
        const auto bus = sysfs::ReadAttribute(it->path() / "busnum");
        const auto dev = sysfs::ReadAttribute(it->path() / "devnum");
        if (bus && dev && *bus == std::to_string(node.bus) &&
            *dev == std::to_string(node.address)) {
            return it->path();
        }
    }
    return std::nullopt;
}

// The printer interface from the device's descriptors in sysfs, as discovery reads it.
UsbPrinterInterfaceResult PrinterInterfaceOf(const fs::path& device_dir) {
    const auto raw = sysfs::ReadAttributeBytes(device_dir / "descriptors");
    if (!raw) {
        return {std::nullopt, DescriptorProblem::kMalformed};
    }
    std::optional<std::uint8_t> active;
    if (const auto value = sysfs::ReadAttribute(device_dir / "bConfigurationValue");
        value && !value->empty() && value->size() <= 3 &&
        std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::stoi(*value) <= 255) {
        active = static_cast<std::uint8_t>(std::stoi(*value));
    }
    const std::vector<std::uint8_t> bytes(raw->begin(), raw->end());
    return FindUsbPrinterInterface(bytes, active);
}

class LibusbDeviceFile final : public DeviceFile {
  public:
    LibusbDeviceFile(libusb_context* context, libusb_device_handle* handle,
                     const UsbPrinterInterface& printer, bool could_be_printer)
        : context_(context),
          handle_(handle),
          printer_(printer),
          could_be_printer_(could_be_printer),
          block_(kReadBlockBytes) {}

    ~LibusbDeviceFile() override {
        if (!leaked_transfer_) {
            libusb_release_interface(handle_, printer_.interface_number);
            libusb_close(handle_);
            libusb_exit(context_);
        }
    }
    LibusbDeviceFile(const LibusbDeviceFile&) = delete;
    LibusbDeviceFile& operator=(const LibusbDeviceFile&) = delete;

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (cut_off_ || gone_) {
            return -1;
        }
        if (count == 0) {
            return 0;  // an empty transfer would put a zero-length packet on the wire
        }
        const Outcome out = Transfer(printer_.out_endpoint, const_cast<std::uint8_t*>(data),
                                     static_cast<int>(std::min<std::uint32_t>(count, INT32_MAX)),
                                     kDeviceWriteWaitMs);
        switch (out.status) {
            case LIBUSB_TRANSFER_COMPLETED:
                return out.actual;
            case LIBUSB_TRANSFER_CANCELLED:
                // Cut off at its bound: the device may still hold part of it.
                cut_off_ = true;
                return out.actual;
            default:
                return -1;
        }
    }

    // A real USB device node is a character device; only the emulated one is not.
    bool CouldBePrinter() const override { return could_be_printer_; }

    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        if (pending_ == pending_end_) {
            if (gone_) {
                return -1;
            }
            const Outcome in =
                Transfer(printer_.in_endpoint, block_.data(), kReadBlockBytes, kDeviceReadWaitMs);
            if (in.status != LIBUSB_TRANSFER_COMPLETED && in.status != LIBUSB_TRANSFER_CANCELLED) {
                return -1;
            }
            pending_ = 0;
            pending_end_ = static_cast<std::size_t>(in.actual);
        }
        const std::size_t n = std::min<std::size_t>(count, pending_end_ - pending_);
        std::memcpy(buffer, block_.data() + pending_, n);
        pending_ += n;
        return static_cast<std::int32_t>(n);
    }

  private:
    struct Outcome {
        int status = LIBUSB_TRANSFER_ERROR;
        int actual = 0;
    };

    static void LIBUSB_CALL Done(libusb_transfer* transfer) {
        *static_cast<int*>(transfer->user_data) = 1;
    }

    // One bulk transfer, waited for up to `limit_ms` on the clock, then cancelled.
    Outcome Transfer(std::uint8_t endpoint, std::uint8_t* data, int length, std::int64_t limit_ms) {
        libusb_transfer* transfer = libusb_alloc_transfer(0);
        if (!transfer) {
            return {};
        }
        int completed = 0;
        libusb_fill_bulk_transfer(transfer, handle_, endpoint, data, length, &Done, &completed,
                                  0);
        if (const int r = libusb_submit_transfer(transfer); r != 0) {
            libusb_free_transfer(transfer);
            if (r == LIBUSB_ERROR_NO_DEVICE) {
                gone_ = true;
            }
            return {r == LIBUSB_ERROR_NO_DEVICE ? LIBUSB_TRANSFER_NO_DEVICE
                                                : LIBUSB_TRANSFER_ERROR,
                    0};
        }
        const DeviceWait wait(limit_ms);
        bool cancelled = false;
        std::chrono::steady_clock::time_point cancelled_at;
        while (!completed) {
            const int slice = wait.NextSliceMs();
            if (slice == 0 && !cancelled) {
                cancelled = true;
                cancelled_at = std::chrono::steady_clock::now();
                libusb_cancel_transfer(transfer);
            }
            if (cancelled && std::chrono::steady_clock::now() - cancelled_at > kCancelGrace) {
                // libusb still owns the transfer and its buffer: keep both for good.
                Debug(u"USB device: a cancelled transfer did not come back; giving the device up");
                gone_ = true;
                leaked_transfer_ = true;
                return {};
            }
            timeval tv{0, static_cast<suseconds_t>(slice > 0 ? slice : DeviceWait::kSliceMs) * 1000};
            libusb_handle_events_timeout_completed(context_, &tv, &completed);
        }
        Outcome outcome{transfer->status, transfer->actual_length};
        if (outcome.status == LIBUSB_TRANSFER_NO_DEVICE) {
            gone_ = true;
        }
        if (outcome.status != LIBUSB_TRANSFER_COMPLETED &&
            outcome.status != LIBUSB_TRANSFER_CANCELLED) {
            Debug(Utf8ToUtf16(std::string("USB device: transfer on endpoint ") +
                              std::to_string(endpoint) + " ended with status " +
                              std::to_string(outcome.status)));
        }
        libusb_free_transfer(transfer);
        return outcome;
    }

    libusb_context* context_;
    libusb_device_handle* handle_;
    UsbPrinterInterface printer_;
    bool could_be_printer_;
    bool cut_off_ = false;
    bool gone_ = false;
    bool leaked_transfer_ = false;
    std::vector<std::uint8_t> block_;
    std::size_t pending_ = 0;
    std::size_t pending_end_ = 0;
};

// libusb's context, closed unless released.
struct ContextGuard {
    libusb_context* context = nullptr;
    ~ContextGuard() {
        if (context) {
            libusb_exit(context);
        }
    }
};

}  // namespace

std::optional<UsbDeviceNode> UsbDeviceNodeOf(const std::string& path) {
    // ".../bus/usb/BBB/DDD"
    constexpr std::string_view kTail = "/bus/usb/";
    if (path.size() < kTail.size() + 7) {
        return std::nullopt;
    }
    const std::string_view tail(path.data() + path.size() - (kTail.size() + 7), kTail.size() + 7);
    if (!tail.starts_with(kTail) || tail[kTail.size() + 3] != '/') {
        return std::nullopt;
    }
    auto number = [&](std::size_t at) -> std::optional<unsigned> {
        unsigned n = 0;
        for (std::size_t i = at; i < at + 3; ++i) {
            if (tail[i] < '0' || tail[i] > '9') {
                return std::nullopt;
            }
            n = n * 10 + static_cast<unsigned>(tail[i] - '0');
        }
        return n;
    };
    const auto bus = number(kTail.size());
    const auto address = number(kTail.size() + 4);
    if (!bus || !address || *bus == 0 || *address == 0 || *bus > 255 || *address > 255) {
        return std::nullopt;
    }
    return UsbDeviceNode{*bus, *address};
}

std::unique_ptr<DeviceFile> OpenUsbDeviceFile(const std::string& path, UsbDeviceNode node,
                                              bool every_file_could_be_printer,
                                              OpenFailure& failure) {
    // The node opened by hand first: the system's reason when it does not open, and what the
    // node really is for the stand-in guard.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        failure = OpenFailureFromErrno(errno);
        return nullptr;
    }
    const bool could_be_printer = every_file_could_be_printer || NodeCouldBePrinter(fd);
    struct FdGuard {
        int fd;
        ~FdGuard() { ::close(fd); }
    } fd_guard{fd};

    failure = OpenFailure::kOther;
    const std::optional<fs::path> device_dir = SysfsDeviceDir(node);
    if (!device_dir) {
        failure = OpenFailure::kNoDevice;
        return nullptr;
    }
    const UsbPrinterInterfaceResult found = PrinterInterfaceOf(*device_dir);
    if (!found.printer) {
        Debug(u"USB device: its descriptors show no usable printer interface; not opened");
        return nullptr;
    }

    ContextGuard context;
    if (const int r = libusb_init(&context.context); r != 0) {
        context.context = nullptr;
        DebugLibusb("libusb_init", r);
        return nullptr;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context.context, &list);
    libusb_device_handle* handle = nullptr;
    int opened = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == node.bus &&
            libusb_get_device_address(list[i]) == node.address) {
            opened = libusb_open(list[i], &handle);
            break;
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    if (opened != 0) {
        DebugLibusb("open", opened);
        failure = FromLibusb(opened);
        return nullptr;
    }
    // The device runs the configuration the descriptors were read for; the tool never changes
    // it (that would take the device from whatever else uses it).
    int configuration = 0;
    if (const int r = libusb_get_configuration(handle, &configuration);
        r != 0 || configuration != found.printer->configuration) {
        Debug(u"USB device: it does not run the configuration its descriptors showed; not opened");
        failure = r == LIBUSB_ERROR_NO_DEVICE ? OpenFailure::kNoDevice : OpenFailure::kOther;
        libusb_close(handle);
        return nullptr;
    }
    // Never detaches a kernel driver: one that holds the interface makes the claim fail.
    libusb_set_auto_detach_kernel_driver(handle, 0);
    if (const int r = libusb_claim_interface(handle, found.printer->interface_number); r != 0) {
        DebugLibusb("claim", r);
        failure = FromLibusb(r);
        libusb_close(handle);
        return nullptr;
    }
    failure = OpenFailure::kNone;
    auto file = std::make_unique<LibusbDeviceFile>(context.context, handle, *found.printer,
                                                   could_be_printer);
    context.context = nullptr;
    return file;
}

}  // namespace tessel::platform
