#include "emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "printer_core.h"
#include "pty.h"
#include "sysfs_layout.h"
#include "usb_bus.h"

namespace tessel::sim {

namespace fs = std::filesystem;

// One printer: its core, and the pseudo-terminal and sysfs entries that carry it while it is
// on the bus. Lives on the serving thread once serving has started.
struct Emulator::Printer final : PrinterPort {
    Printer(Emulator& owner, int i, const PrinterConfig& config)
        : emulator(owner), index(i), core(i, config, *owner.clock_, *owner.log_, *this) {
        place.port = "1-" + std::to_string(i + 1);
    }

    Json Connect(std::uint16_t product_id) override {
        place.devnum = emulator.next_devnum_++;
        connect_error.clear();
        ++appearances;
        if (emulator.usb_) {
            return ConnectUsb(product_id);
        }
        place.lp = emulator.LowestFreeLp();
        pty = Pty::Open(core.config().faults.zero_reads != kNoQuery, connect_error);
        if (pty) {
            try {
                emulator.tree_->Add(core.config(), product_id, place, pty->slave_path());
            } catch (const fs::filesystem_error& e) {
                connect_error = e.what();
                emulator.tree_->Remove(place);
                pty.reset();
            }
        }
        if (!pty) {
            return {{"error", connect_error}};
        }
        return {{"lp", place.lp},
                {"node", emulator.tree_->DeviceNode(place.lp).string()},
                {"pty", pty->slave_path()},
                {"usb_device", place.port},
                {"devnum", place.devnum}};
    }

    // On the USB bus, no kernel driver holding it (unless the usblp fault binds usblp for a
    // moment after a restart).
    Json ConnectUsb(std::uint16_t product_id) {
        const PrinterConfig& config = core.config();
        UsbDeviceIdentity id;
        id.port = place.port;
        id.devnum = place.devnum;
        id.vendor_id = config.vendor_id;
        id.product_id = product_id;
        id.serial = config.serial;
        id.manufacturer = config.manufacturer;
        id.product = config.product;
        id.interface_protocol = config.interface_protocol == 3 ? 0x03 : 0x02;
        id.held_by_program = config.faults.usb_held;
        id.character_device = config.usb_node_character_device;
        id.usblp_bound = appearances > 1 && config.faults.usblp_after_restart_ms.has_value();
        const std::optional<std::string> node =
            emulator.usb_->Plug(static_cast<std::size_t>(index), id, connect_error);
        if (!node) {
            return {{"error", connect_error}};
        }
        on_usb = true;
        usblp_detach_at.reset();
        if (id.usblp_bound) {
            usblp_detach_at = emulator.clock_->NowMs() + *config.faults.usblp_after_restart_ms;
        }
        return {{"transport", "usb"},
                {"node", *node},
                {"usb_device", place.port},
                {"devnum", place.devnum},
                {"usblp_bound", id.usblp_bound}};
    }

    void Disconnect() override {
        if (on_usb) {
            emulator.usb_->Unplug(static_cast<std::size_t>(index));
            on_usb = false;
            usblp_detach_at.reset();
            return;
        }
        // Closing the pseudo-terminal first makes the client's open handles fail at once.
        pty.reset();
        out.clear();
        emulator.tree_->Remove(place);
    }

    void Send(std::span<const std::uint8_t> bytes) override {
        if (on_usb) {
            emulator.usb_->Send(static_cast<std::size_t>(index), bytes);
            return;
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
        Flush();
    }

    void Flush() {
        while (pty && !out.empty()) {
            const ssize_t n = ::write(pty->master(), out.data(), out.size());
            if (n <= 0) {
                break;  // the client's side is full; the rest goes when it reads
            }
            out.erase(out.begin(), out.begin() + n);
        }
    }

    Emulator& emulator;
    int index;
    PrinterCore core;
    UsbPlacement place;
    int appearances = 0;
    bool on_usb = false;
    std::optional<std::int64_t> usblp_detach_at;  // printer time
    std::unique_ptr<Pty> pty;
    std::vector<std::uint8_t> out;
    std::string connect_error;
};

class Emulator::UsbHost final : public UsbBusHost {
  public:
    explicit UsbHost(Emulator& emulator) : emulator_(emulator) {}
    std::size_t Allowance(std::size_t index) override {
        return emulator_.printers_[index]->core.ReceiveAllowance();
    }
    std::size_t Receive(std::size_t index, std::span<const std::uint8_t> bytes) override {
        return emulator_.printers_[index]->core.Receive(bytes);
    }

  private:
    Emulator& emulator_;
};

std::unique_ptr<Emulator> Emulator::Start(const EmulatorOptions& options, std::string* error) {
    std::unique_ptr<Emulator> e(new Emulator);
    auto fail = [&](std::string why) -> std::unique_ptr<Emulator> {
        if (error) {
            *error = std::move(why);
        }
        e->Stop();
        return nullptr;
    };

    std::string parent = options.root_parent;
    if (parent.empty()) {
        const char* tmp = ::getenv("TMPDIR");
        parent = tmp && *tmp ? tmp : "/tmp";
    }
    std::string dir_template = (fs::path(parent) / "tessel-sim-XXXXXX").string();
    if (!::mkdtemp(dir_template.data())) {
        e->stopped_ = true;
        if (error) {
            *error = "cannot make a folder in " + parent + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    e->dir_ = dir_template;
    e->sysfs_root_ = (e->dir_ / "sys").string();
    e->dev_root_ = (e->dir_ / "dev").string();
    e->time_scale_ = options.time_scale > 0 ? options.time_scale : 1.0;
    e->clock_ = std::make_unique<platform::ScaledClock>(platform::SystemClock(), e->time_scale_);
    e->log_ = std::make_unique<EventLog>(*e->clock_, options.log_stream);
    if (options.transport == SimTransport::kUsb) {
        e->usb_host_ = std::make_unique<UsbHost>(*e);
        std::string why;
        e->usb_ = UsbBus::Create(e->core_mutex_, *e->usb_host_, why);
        if (!e->usb_) {
            return fail(why);
        }
        e->umockdev_dir_ = e->usb_->root();
        e->sysfs_root_ = (fs::path(e->umockdev_dir_) / "sys").string();
        e->dev_root_ = (fs::path(e->umockdev_dir_) / "dev").string();
    } else {
        e->tree_ = std::make_unique<SysfsLayout>(e->sysfs_root_, e->dev_root_);
        try {
            e->tree_->CreateBase();
        } catch (const fs::filesystem_error& ex) {
            return fail(ex.what());
        }
    }
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return fail(std::string("pipe2: ") + std::strerror(errno));
    }
    e->wake_read_ = wake[0];
    e->wake_write_ = wake[1];
    if (options.on_roots) {
        options.on_roots(e->sysfs_root_, e->dev_root_);
    }

    e->log_->Emit("start", {{"sysfs_root", e->sysfs_root_},
                            {"dev_root", e->dev_root_},
                            {"transport", e->usb_ ? "usb" : "usblp"},
                            {"time_scale", e->time_scale_},
                            {"printers", options.printers.size()}});
    for (std::size_t i = 0; i < options.printers.size(); ++i) {
        e->printers_.push_back(
            std::make_unique<Printer>(*e, static_cast<int>(i), options.printers[i]));
        std::lock_guard lock(e->core_mutex_);
        e->printers_.back()->core.Start();
        if (!e->printers_.back()->connect_error.empty()) {
            return fail("printer " + std::to_string(i) + ": " + e->printers_.back()->connect_error);
        }
    }
    e->thread_ = std::thread(&Emulator::Serve, e.get());
    return e;
}

int Emulator::LowestFreeLp() const {
    for (int lp = 0;; ++lp) {
        const bool taken = std::any_of(printers_.begin(), printers_.end(),
                                       [lp](const auto& p) { return p->pty && p->place.lp == lp; });
        if (!taken) {
            return lp;
        }
    }
}

void Emulator::Replug(std::size_t index) {
    {
        std::lock_guard lock(replug_mutex_);
        replug_requests_.push_back(index);
    }
    if (wake_write_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_write_, &byte, 1);
    }
}

UsbBus::Counters Emulator::usb_counters() const {
    std::lock_guard lock(const_cast<std::mutex&>(core_mutex_));
    return usb_ ? usb_->counters() : UsbBus::Counters{};
}

Emulator::~Emulator() {
    Stop();
}

void Emulator::Stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    stopping_ = true;
    if (wake_write_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_write_, &byte, 1);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    {
        std::lock_guard lock(core_mutex_);
        for (auto& p : printers_) {
            if (p->pty || p->on_usb) {
                p->Disconnect();
            }
        }
    }
    usb_.reset();  // the testbed and its folder
    printers_.clear();
    if (log_) {
        log_->Emit("stop");
    }
    for (int fd : {wake_read_, wake_write_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    wake_read_ = wake_write_ = -1;
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void Emulator::ServeUsb() {
    while (!stopping_) {
        int timeout_ms = 10;
        {
            std::lock_guard lock(core_mutex_);
            std::vector<std::size_t> replugs;
            {
                std::lock_guard replug_lock(replug_mutex_);
                replugs.swap(replug_requests_);
            }
            for (const std::size_t index : replugs) {
                if (index < printers_.size()) {
                    printers_[index]->core.Replug();
                }
            }
            const std::int64_t now = clock_->NowMs();
            std::optional<std::int64_t> due;
            for (std::size_t i = 0; i < printers_.size(); ++i) {
                Printer& p = *printers_[i];
                p.core.Poll();
                if (p.usblp_detach_at && *p.usblp_detach_at <= now) {
                    usb_->DetachUsblp(i);
                    p.usblp_detach_at.reset();
                    log_->Emit("usblp_detached", {{"printer", i}});
                }
                for (const auto d : {p.core.NextDueMs(), p.usblp_detach_at}) {
                    if (d && (!due || *d < *due)) {
                        due = d;
                    }
                }
            }
            usb_->Pump();
            if (due) {
                const double wait = static_cast<double>(*due - clock_->NowMs()) * time_scale_;
                timeout_ms = static_cast<int>(std::clamp(std::ceil(wait), 0.0, 10.0));
            }
        }
        pollfd wake{wake_read_, POLLIN, 0};
        if (::poll(&wake, 1, timeout_ms) > 0) {
            char sink[64];
            while (::read(wake_read_, sink, sizeof sink) > 0) {
            }
        }
    }
}

void Emulator::Serve() {
    if (usb_) {
        ServeUsb();
        return;
    }
    std::vector<std::uint8_t> buffer(64 * 1024);
    std::vector<pollfd> fds;
    std::vector<std::pair<Printer*, std::size_t>> served;  // printer, bytes it takes now
    while (!stopping_) {
        std::vector<std::size_t> replugs;
        {
            std::lock_guard lock(replug_mutex_);
            replugs.swap(replug_requests_);
        }
        for (const std::size_t index : replugs) {
            if (index < printers_.size()) {
                printers_[index]->core.Replug();
            }
        }
        for (auto& p : printers_) {
            p->core.Poll();
        }
        fds.assign(1, pollfd{wake_read_, POLLIN, 0});
        served.clear();
        std::optional<std::int64_t> due;
        for (auto& p : printers_) {
            short events = 0;
            std::size_t allowance = 0;
            if (p->pty) {
                allowance = p->core.ReceiveAllowance();
                events =
                    static_cast<short>((allowance ? POLLIN : 0) | (p->out.empty() ? 0 : POLLOUT));
            }
            if (const auto d = p->core.NextDueMs(); d && (!due || *d < *due)) {
                due = d;
            }
            if (events) {
                fds.push_back(pollfd{p->pty->master(), events, 0});
                served.emplace_back(p.get(), allowance);
            }
        }
        int timeout_ms = -1;
        if (due) {
            const double wait = static_cast<double>(*due - clock_->NowMs()) * time_scale_;
            timeout_ms = static_cast<int>(std::clamp(std::ceil(wait), 0.0, 1000.0));
        }
        if (::poll(fds.data(), fds.size(), timeout_ms) < 0) {
            continue;  // EINTR
        }
        if (fds[0].revents) {
            char sink[64];
            while (::read(wake_read_, sink, sizeof sink) > 0) {
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            auto [p, allowance] = served[i - 1];
            if (!p->pty || p->pty->master() != fds[i].fd) {
                continue;
            }
            if (fds[i].revents & POLLOUT) {
                p->Flush();
            }
            if (fds[i].revents & POLLIN) {
                const ssize_t n =
                    ::read(fds[i].fd, buffer.data(), std::min(buffer.size(), allowance));
                if (n > 0) {
                    if (p->core.config().faults.zero_reads != kNoQuery) {
                        p->pty->TimeOutReads();
                    }
                    p->core.Receive({buffer.data(), static_cast<std::size_t>(n)});
                }
            }
        }
    }
}

}  // namespace tessel::sim
