#include "usb_bus.h"

#include "sysfs_layout.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
// clang-format off: umockdev.h needs the ioctl declarations first.
#include <linux/usbdevice_fs.h>
#include <umockdev.h>
// clang-format on

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>

namespace tessel::sim {

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kOutEndpoint = kPrinterOutEndpoint;
constexpr std::uint8_t kInEndpoint = kPrinterInEndpoint;
constexpr int kUsbLpMajor = 180;

std::string Hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, value);
    return buf;
}

void WriteEntry(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text << '\n';
}

struct Urb {
    UMockdevIoctlData* data = nullptr;    // the client's struct usbdevfs_urb (a reference held)
    UMockdevIoctlData* buffer = nullptr;  // its buffer, a child of `data` (a reference held)
    UMockdevIoctlClient* client = nullptr;
    bool in = false;
    std::vector<std::uint8_t> bytes;  // OUT: what the client sends
    std::size_t done = 0;             // OUT: bytes the printer took; IN: bytes filled in

    ~Urb() {
        if (buffer) {
            g_object_unref(buffer);
        }
        if (data) {
            g_object_unref(data);
        }
    }
    usbdevfs_urb* urb() const { return reinterpret_cast<usbdevfs_urb*>(data->data); }
};

// One appearance of a printer: its node. Kept after the printer left, so that a client that
// still holds the node reaps its URBs and then hears ENODEV.
struct Node {
    std::string devnode;  // "/dev/bus/usb/001/002"
    fs::path fifo_path;
    int fifo = -1;
    bool is_fifo = true;
    std::size_t printer = 0;
    bool present = true;
    bool held = false;
    bool usblp = false;
    UMockdevIoctlClient* claimed_by = nullptr;
    std::deque<std::shared_ptr<Urb>> out;  // waiting, in submission order
    std::deque<std::shared_ptr<Urb>> in;
    std::map<UMockdevIoctlClient*, std::deque<std::shared_ptr<Urb>>> reapable;
    std::vector<std::uint8_t> to_client;

    ~Node() {
        if (fifo >= 0) {
            ::close(fifo);
        }
    }

    // Writable for the client exactly while one of its URBs waits to be reaped: the FIFO is
    // emptied then, and filled to the brim otherwise.
    void UpdateReady() {
        if (!is_fifo) {
            return;  // a stand-in character device: always ready
        }
        const bool ready = std::any_of(reapable.begin(), reapable.end(),
                                       [](const auto& r) { return !r.second.empty(); });
        char block[4096];
        if (ready) {
            while (::read(fifo, block, sizeof block) > 0) {
            }
        } else {
            std::memset(block, 0, sizeof block);
            while (::write(fifo, block, sizeof block) > 0) {
            }
            while (::write(fifo, block, 1) > 0) {
            }
        }
    }
};

struct PrinterPlace {
    Node* node = nullptr;
    std::string syspath;       // as umockdev names it: "/sys/devices/1-1"
    std::string intf_syspath;  // "/sys/devices/1-1/1-1:1.0"
};

}  // namespace

struct UsbBus::Impl {
    Impl(std::mutex& l, UsbBusHost& h, UsbBus& b) : lock(l), host(h), bus(b) {}
    ~Impl() {
        if (handler) {
            g_object_unref(handler);
        }
        if (testbed) {
            g_object_unref(testbed);  // removes the testbed's folder
        }
    }

    std::mutex& lock;
    UsbBusHost& host;
    UsbBus& bus;
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    fs::path root;
    std::map<std::string, std::unique_ptr<Node>> nodes;
    std::map<std::size_t, PrinterPlace> printers;

    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* impl = static_cast<Impl*>(self);
        std::lock_guard guard(impl->lock);
        impl->Handle(client);
        return TRUE;
    }

    // A read or write on the node itself: the kernel's usbfs node reads descriptors, which no
    // client here needs; refuse rather than hand out the FIFO's filler.
    static gboolean OnReadWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
    }

    Node* NodeOf(UMockdevIoctlClient* client) {
        const auto it = nodes.find(umockdev_ioctl_client_get_devnode(client));
        return it == nodes.end() ? nullptr : it->second.get();
    }

    void Finish(Node& node, const std::shared_ptr<Urb>& urb, int status) {
        urb->urb()->status = status;
        urb->urb()->actual_length = static_cast<int>(urb->done);
        node.reapable[urb->client].push_back(urb);
        node.UpdateReady();
    }

    void FillIn(Node& node) {
        while (!node.to_client.empty() && !node.in.empty()) {
            const std::shared_ptr<Urb> urb = node.in.front();
            node.in.pop_front();
            const std::size_t room = static_cast<std::size_t>(urb->urb()->buffer_length);
            const std::size_t n = std::min(room, node.to_client.size());
            if (urb->buffer) {
                std::memcpy(urb->buffer->data, node.to_client.data(), n);
            }
            node.to_client.erase(node.to_client.begin(),
                                 node.to_client.begin() + static_cast<std::ptrdiff_t>(n));
            urb->done = n;
            Finish(node, urb, 0);
        }
    }

    void Pump(Node& node) {
        while (node.present && !node.out.empty()) {
            const std::shared_ptr<Urb> urb = node.out.front();
            const std::size_t want = urb->bytes.size() - urb->done;
            if (want > 0) {
                const std::size_t allowance = host.Allowance(node.printer);
                if (allowance == 0) {
                    return;
                }
                const std::size_t n = std::min(want, allowance);
                const std::size_t took = host.Receive(
                    node.printer, std::span(urb->bytes).subspan(urb->done, n));
                urb->done += took;
                if (!node.present || took < n) {
                    return;  // dropped off the bus on the way, or stopped reading
                }
                if (urb->done < urb->bytes.size()) {
                    continue;
                }
            }
            node.out.pop_front();
            Finish(node, urb, 0);
        }
    }

    void Complete(UMockdevIoctlClient* client, int result, int error) {
        umockdev_ioctl_client_complete(client, result, error);
    }

    void Handle(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        Node* node = NodeOf(client);
        if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
            Reap(client, arg, node);
            return;
        }
        if (!node || !node->present) {
            Complete(client, -1, ENODEV);
            return;
        }
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES: {
                UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
                *reinterpret_cast<guint32*>(d->data) =
                    USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                    USBDEVFS_CAP_BULK_SCATTER_GATHER |
                    USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
                g_object_unref(d);
                Complete(client, 0, 0);
                return;
            }
            case USBDEVFS_CLAIMINTERFACE:
            case USBDEVFS_RELEASEINTERFACE: {
                UMockdevIoctlData* d =
                    umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
                const unsigned number = *reinterpret_cast<unsigned int*>(d->data);
                g_object_unref(d);
                if (number != 0) {
                    Complete(client, -1, EINVAL);
                } else if (request == USBDEVFS_RELEASEINTERFACE) {
                    if (node->claimed_by == client) {
                        node->claimed_by = nullptr;
                    }
                    Complete(client, 0, 0);
                } else if (node->held || node->usblp ||
                           (node->claimed_by && node->claimed_by != client)) {
                    Complete(client, -1, EBUSY);
                } else {
                    node->claimed_by = client;
                    Complete(client, 0, 0);
                }
                return;
            }
            case USBDEVFS_GETDRIVER: {
                UMockdevIoctlData* d =
                    umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
                auto* get = reinterpret_cast<usbdevfs_getdriver*>(d->data);
                const char* driver = node->usblp ? "usblp" : node->held ? "usbfs" : nullptr;
                if (driver && get->interface == 0) {
                    std::snprintf(get->driver, sizeof get->driver, "%s", driver);
                    Complete(client, 0, 0);
                } else {
                    Complete(client, -1, ENODATA);
                }
                g_object_unref(d);
                return;
            }
            case USBDEVFS_CLEAR_HALT:
            case USBDEVFS_RESETEP:
                Complete(client, 0, 0);
                return;
            case USBDEVFS_SUBMITURB:
                Submit(client, arg, *node);
                return;
            case USBDEVFS_DISCARDURB:
                Discard(client, arg, *node);
                return;
            default:
                Complete(client, -1, ENOTTY);
                return;
        }
    }

    void Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg, Node& node) {
        auto urb = std::make_shared<Urb>();
        urb->client = client;
        urb->data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        usbdevfs_urb* u = urb->urb();
        const bool known_endpoint = u->endpoint == kOutEndpoint || u->endpoint == kInEndpoint;
        if (u->type != USBDEVFS_URB_TYPE_BULK || !known_endpoint || u->buffer_length < 0) {
            Complete(client, -1, EINVAL);
            return;
        }
        // usbfs claims the interface for a URB's sender when nobody holds it.
        if (node.held || node.usblp || (node.claimed_by && node.claimed_by != client)) {
            Complete(client, -1, EBUSY);
            return;
        }
        node.claimed_by = client;
        if (u->buffer_length > 0) {
            urb->buffer = umockdev_ioctl_data_resolve(
                urb->data, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                static_cast<gsize>(u->buffer_length), nullptr);
            if (!urb->buffer) {
                Complete(client, -1, EFAULT);
                return;
            }
        }
        urb->in = (u->endpoint & 0x80) != 0;
        if (urb->in) {
            ++bus.counters_.urbs_in;
            node.in.push_back(urb);
            Complete(client, 0, 0);
            FillIn(node);
            return;
        }
        ++bus.counters_.urbs_out;
        if (u->buffer_length == 0 || (u->flags & USBDEVFS_URB_ZERO_PACKET) != 0) {
            ++bus.counters_.zero_length_out;
        }
        if (urb->buffer) {
            const std::uint8_t* bytes = urb->buffer->data;
            urb->bytes.assign(bytes, bytes + u->buffer_length);
        }
        node.out.push_back(urb);
        Complete(client, 0, 0);
        Pump(node);
    }

    void Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg, Node& node) {
        const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void**>(arg->data));
        for (auto* queue : {&node.out, &node.in}) {
            for (auto it = queue->begin(); it != queue->end(); ++it) {
                if ((*it)->client == client && (*it)->data->client_addr == address) {
                    const std::shared_ptr<Urb> urb = *it;
                    queue->erase(it);
                    ++bus.counters_.discarded;
                    Complete(client, 0, 0);
                    Finish(node, urb, -ENOENT);
                    return;
                }
            }
        }
        Complete(client, -1, EINVAL);
    }

    void Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg, Node* node) {
        if (!node) {
            Complete(client, -1, ENODEV);
            return;
        }
        auto& waiting = node->reapable[client];
        if (waiting.empty()) {
            node->reapable.erase(client);
            Complete(client, -1, node->present ? EAGAIN : ENODEV);
            return;
        }
        const std::shared_ptr<Urb> urb = waiting.front();
        waiting.pop_front();
        if (waiting.empty()) {
            node->reapable.erase(client);
        }
        UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
        umockdev_ioctl_data_set_ptr(pointer, 0, urb->data);
        g_object_unref(pointer);
        Complete(client, 0, 0);
        node->UpdateReady();
    }

    // Node files live under the testbed's root, as the preload redirects /dev there.
    fs::path InRoot(const std::string& absolute) const { return root / absolute.substr(1); }
};

std::unique_ptr<UsbBus> UsbBus::Create(std::mutex& lock, UsbBusHost& host, std::string& error) {
    std::unique_ptr<UsbBus> bus(new UsbBus);
    bus->impl_ = std::make_unique<Impl>(lock, host, *bus);
    Impl& impl = *bus->impl_;
    impl.testbed = umockdev_testbed_new();
    if (!impl.testbed) {
        error = "cannot make a umockdev testbed";
        return nullptr;
    }
    gchar* root = umockdev_testbed_get_root_dir(impl.testbed);
    bus->root_ = root;
    impl.root = root;
    g_free(root);
    impl.handler = umockdev_ioctl_base_new();
    g_signal_connect(impl.handler, "handle-ioctl", G_CALLBACK(&Impl::OnIoctl), &impl);
    g_signal_connect(impl.handler, "handle-read", G_CALLBACK(&Impl::OnReadWrite), &impl);
    g_signal_connect(impl.handler, "handle-write", G_CALLBACK(&Impl::OnReadWrite), &impl);
    return bus;
}

UsbBus::~UsbBus() {
    if (impl_) {
        for (const auto& [index, place] : impl_->printers) {
            if (place.node && place.node->present) {
                std::lock_guard guard(impl_->lock);
                Unplug(index);
            }
        }
    }
}

std::optional<std::string> UsbBus::Plug(std::size_t index, const UsbDeviceIdentity& id,
                                        std::string& error) {
    Impl& impl = *impl_;
    char name[32];
    std::snprintf(name, sizeof name, "/dev/bus/usb/001/%03d", id.devnum);
    const std::string devnode = name;
    auto node = std::make_unique<Node>();
    node->devnode = devnode;
    node->printer = index;
    node->held = id.held_by_program;
    node->usblp = id.usblp_bound;
    node->fifo_path = impl.InRoot(devnode);
    std::error_code ec;
    fs::create_directories(node->fifo_path.parent_path(), ec);
    node->is_fifo = !id.character_device;
    if (id.character_device) {
        fs::create_symlink("/dev/null", node->fifo_path, ec);
        if (ec) {
            error = "cannot make the node " + node->fifo_path.string() + ": " + ec.message();
            return std::nullopt;
        }
    } else if (::mkfifo(node->fifo_path.c_str(), 0666) != 0 ||
               (node->fifo = ::open(node->fifo_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) <
                   0) {
        error = "cannot make the node " + node->fifo_path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    } else {
        ::chmod(node->fifo_path.c_str(), 0666);
    }
    node->UpdateReady();
    if (!umockdev_testbed_attach_ioctl(impl.testbed, devnode.c_str(), impl.handler, nullptr)) {
        error = "cannot attach the usbfs emulation to " + devnode;
        return std::nullopt;
    }

    // The device, then its interface, as the kernel announces them.
    const std::vector<std::uint8_t> descriptors =
        PrinterDescriptors(id.vendor_id, id.product_id, id.serial.has_value(), id.interface_protocol);
    const std::string devnum = std::to_string(id.devnum);
    char devnum3[8];
    std::snprintf(devnum3, sizeof devnum3, "%03d", id.devnum);
    std::vector<std::string> attributes = {
        "idVendor", Hex(id.vendor_id, 4), "idProduct", Hex(id.product_id, 4),
        "busnum", "1", "devnum", devnum, "manufacturer", id.manufacturer,
        "product", id.product, "bConfigurationValue", "1", "bNumInterfaces", " 1",
        "speed", "480"};
    if (id.serial) {
        attributes.insert(attributes.end(), {"serial", *id.serial});
    }
    const std::vector<std::string> properties = {
        "BUSNUM", "001", "DEVNUM", devnum3, "DEVNAME", devnode, "DEVTYPE", "usb_device",
        "DRIVER", "usb", "PRODUCT", Hex(id.vendor_id, 0) + "/" + Hex(id.product_id, 0) + "/100"};
    auto to_c = [](const std::vector<std::string>& strings) {
        std::vector<gchar*> c;
        for (const std::string& s : strings) {
            c.push_back(const_cast<gchar*>(s.c_str()));
        }
        c.push_back(nullptr);
        return c;
    };
    auto attrs = to_c(attributes);
    auto props = to_c(properties);
    gchar* syspath = umockdev_testbed_add_devicev(impl.testbed, "usb", id.port.c_str(), nullptr,
                                                  attrs.data(), props.data());
    if (!syspath) {
        error = "cannot add the USB device " + id.port + " (is the process under umockdev?)";
        return std::nullopt;
    }
    PrinterPlace& place = impl.printers[index];
    place.syspath = syspath;
    g_free(syspath);
    umockdev_testbed_set_attribute_binary(impl.testbed, place.syspath.c_str(), "descriptors",
                                          const_cast<guint8*>(descriptors.data()),
                                          static_cast<gint>(descriptors.size()));

    const std::vector<std::string> intf_attributes = {
        "bInterfaceNumber", "00", "bAlternateSetting", " 0", "bNumEndpoints", "02",
        "bInterfaceClass", "07", "bInterfaceSubClass", "01",
        "bInterfaceProtocol", Hex(id.interface_protocol, 2)};
    const std::vector<std::string> intf_properties = {"DEVTYPE", "usb_interface",
                                                      "INTERFACE", "7/1/" + std::to_string(id.interface_protocol)};
    auto intf_attrs = to_c(intf_attributes);
    auto intf_props = to_c(intf_properties);
    gchar* intf = umockdev_testbed_add_devicev(impl.testbed, "usb", (id.port + ":1.0").c_str(),
                                               place.syspath.c_str(), intf_attrs.data(),
                                               intf_props.data());
    if (!intf) {
        error = "cannot add the printer interface of " + id.port;
        return std::nullopt;
    }
    place.intf_syspath = intf;
    g_free(intf);
    const fs::path intf_dir = impl.InRoot(place.intf_syspath);
    if (id.held_by_program) {
        fs::create_directory_symlink("../../../bus/usb/drivers/usbfs", intf_dir / "driver", ec);
    }
    if (id.usblp_bound) {
        // usblp's entries as the kernel makes them, but no node in /dev: a client that opens it
        // in this moment finds nothing, as after a detach.
        fs::create_directory_symlink("../../../bus/usb/drivers/usblp", intf_dir / "driver", ec);
        const fs::path lp = intf_dir / "usbmisc" / "lp0";
        fs::create_directories(lp, ec);
        WriteEntry(lp / "uevent", "MAJOR=" + std::to_string(kUsbLpMajor) + "\nMINOR=0\nDEVNAME=usb/lp0");
        WriteEntry(lp / "dev", std::to_string(kUsbLpMajor) + ":0");
        fs::create_directory_symlink("../../../" + intf_dir.filename().string(), lp / "device", ec);
        fs::create_directories(impl.root / "sys" / "class" / "usbmisc", ec);
        fs::create_directory_symlink(fs::relative(lp, impl.root / "sys" / "class" / "usbmisc"),
                                     impl.root / "sys" / "class" / "usbmisc" / "lp0", ec);
    }
    place.node = node.get();
    impl.nodes[devnode] = std::move(node);
    return devnode;
}

void UsbBus::DetachUsblp(std::size_t index) {
    Impl& impl = *impl_;
    const auto it = impl.printers.find(index);
    if (it == impl.printers.end() || !it->second.node || !it->second.node->usblp) {
        return;
    }
    std::error_code ec;
    fs::remove(impl.root / "sys" / "class" / "usbmisc" / "lp0", ec);
    const fs::path intf_dir = impl.InRoot(it->second.intf_syspath);
    fs::remove_all(intf_dir / "usbmisc", ec);
    fs::remove(intf_dir / "driver", ec);
    it->second.node->usblp = false;
}

void UsbBus::Unplug(std::size_t index) {
    Impl& impl = *impl_;
    const auto it = impl.printers.find(index);
    if (it == impl.printers.end() || !it->second.node) {
        return;
    }
    DetachUsblp(index);
    PrinterPlace& place = it->second;
    Node& node = *place.node;
    node.present = false;
    node.claimed_by = nullptr;
    node.to_client.clear();
    for (auto* queue : {&node.out, &node.in}) {
        while (!queue->empty()) {
            const std::shared_ptr<Urb> urb = queue->front();
            queue->pop_front();
            impl.Finish(node, urb, -ENODEV);
        }
    }
    umockdev_testbed_remove_device(impl.testbed, place.intf_syspath.c_str());
    umockdev_testbed_remove_device(impl.testbed, place.syspath.c_str());
    umockdev_testbed_detach_ioctl(impl.testbed, node.devnode.c_str(), nullptr);
    std::error_code ec;
    fs::remove(node.fifo_path, ec);
    place.node = nullptr;
}

void UsbBus::Send(std::size_t index, std::span<const std::uint8_t> bytes) {
    Impl& impl = *impl_;
    const auto it = impl.printers.find(index);
    if (it == impl.printers.end() || !it->second.node) {
        return;
    }
    Node& node = *it->second.node;
    node.to_client.insert(node.to_client.end(), bytes.begin(), bytes.end());
    impl.FillIn(node);
}

void UsbBus::Pump() {
    for (auto& [index, place] : impl_->printers) {
        if (place.node) {
            impl_->Pump(*place.node);
        }
    }
}

}  // namespace tessel::sim
