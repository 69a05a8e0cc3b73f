#include "platform/usb_descriptors.h"

#include <vector>

namespace tessel::platform {
namespace {

constexpr std::uint8_t kDeviceDescriptor = 0x01;
constexpr std::uint8_t kConfigurationDescriptor = 0x02;
constexpr std::uint8_t kInterfaceDescriptor = 0x04;
constexpr std::uint8_t kEndpointDescriptor = 0x05;
constexpr std::size_t kDeviceDescriptorSize = 18;
constexpr std::size_t kConfigurationHeaderSize = 9;
constexpr std::size_t kInterfaceDescriptorSize = 9;
constexpr std::size_t kEndpointDescriptorSize = 7;

constexpr std::uint8_t kPrinterClass = 0x07;
constexpr std::uint8_t kPrinterSubclass = 0x01;
constexpr std::uint8_t kBidirectional = 0x02;
constexpr std::uint8_t kBulk = 0x02;

std::uint16_t Le16(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

struct Endpoint {
    std::uint8_t address;
    std::uint8_t attributes;
    std::uint16_t max_packet;
};

struct Interface {
    std::uint8_t number;
    std::uint8_t alternate;
    std::uint8_t interface_class;
    std::uint8_t subclass;
    std::uint8_t protocol;
    std::vector<Endpoint> endpoints;
};

UsbPrinterInterfaceResult Problem(DescriptorProblem problem) {
    return {std::nullopt, problem};
}

// The interfaces of one configuration (its wTotalLength bytes), or nothing when malformed.
std::optional<std::vector<Interface>> ReadInterfaces(std::span<const std::uint8_t> config) {
    std::vector<Interface> interfaces;
    std::size_t at = config[0];
    while (at < config.size()) {
        if (config.size() - at < 2 || config[at] < 2 || config[at] > config.size() - at) {
            return std::nullopt;
        }
        const std::uint8_t length = config[at];
        const std::uint8_t type = config[at + 1];
        if (type == kInterfaceDescriptor) {
            if (length < kInterfaceDescriptorSize) {
                return std::nullopt;
            }
            interfaces.push_back({config[at + 2], config[at + 3], config[at + 5], config[at + 6],
                                  config[at + 7], {}});
        } else if (type == kEndpointDescriptor) {
            if (length < kEndpointDescriptorSize || interfaces.empty()) {
                return std::nullopt;
            }
            interfaces.back().endpoints.push_back(
                {config[at + 2], config[at + 3], static_cast<std::uint16_t>(Le16(config, at + 4) & 0x7FF)});
        }
        at += length;
    }
    return interfaces;
}

}  // namespace

UsbPrinterInterfaceResult FindUsbPrinterInterface(
    std::span<const std::uint8_t> d, std::optional<std::uint8_t> active_configuration) {
    if (d.size() < kDeviceDescriptorSize || d[0] != kDeviceDescriptorSize ||
        d[1] != kDeviceDescriptor) {
        return Problem(DescriptorProblem::kMalformed);
    }
    // The configurations follow the device descriptor, each wTotalLength long.
    std::span<const std::uint8_t> chosen;
    std::uint8_t chosen_value = 0;
    for (std::size_t at = kDeviceDescriptorSize; at < d.size();) {
        if (d.size() - at < kConfigurationHeaderSize || d[at] < kConfigurationHeaderSize ||
            d[at + 1] != kConfigurationDescriptor) {
            return Problem(DescriptorProblem::kMalformed);
        }
        const std::size_t total = Le16(d, at + 2);
        if (total < d[at] || total > d.size() - at) {
            return Problem(DescriptorProblem::kMalformed);
        }
        const std::uint8_t value = d[at + 5];
        if (chosen.empty() && (!active_configuration || *active_configuration == value)) {
            chosen = d.subspan(at, total);
            chosen_value = value;
        }
        at += total;
    }
    if (chosen.empty()) {
        return Problem(DescriptorProblem::kNoConfiguration);
    }
    const std::optional<std::vector<Interface>> interfaces = ReadInterfaces(chosen);
    if (!interfaces) {
        return Problem(DescriptorProblem::kMalformed);
    }

    const Interface* printer = nullptr;
    bool several_numbers = false;
    bool alternates = false;
    for (const Interface& i : *interfaces) {
        several_numbers = several_numbers || i.number != interfaces->front().number;
        alternates = alternates || i.alternate != 0 ||
                     (&i != &interfaces->front() && i.number == interfaces->front().number);
        if (!printer && i.interface_class == kPrinterClass && i.subclass == kPrinterSubclass) {
            printer = &i;
        }
    }
    if (!printer) {
        return Problem(DescriptorProblem::kNoPrinterInterface);
    }
    if (several_numbers) {
        return Problem(DescriptorProblem::kSeveralInterfaces);
    }
    if (alternates) {
        return Problem(DescriptorProblem::kAlternateSettings);
    }
    if (printer->protocol != kBidirectional) {
        return Problem(DescriptorProblem::kNotBidirectional);
    }

    UsbPrinterInterface found;
    found.configuration = chosen_value;
    found.interface_number = printer->number;
    bool others = false;
    for (const Endpoint& e : printer->endpoints) {
        const bool bulk = (e.attributes & 0x03) == kBulk && e.max_packet != 0;
        const bool in = (e.address & 0x80) != 0;
        if (bulk && !in && found.out_endpoint == 0 && (e.address & 0x0F) != 0) {
            found.out_endpoint = e.address;
            found.out_max_packet = e.max_packet;
        } else if (bulk && in && found.in_endpoint == 0 && (e.address & 0x0F) != 0) {
            found.in_endpoint = e.address;
            found.in_max_packet = e.max_packet;
        } else {
            others = true;
        }
    }
    if (found.out_endpoint == 0) {
        return Problem(DescriptorProblem::kNoBulkOut);
    }
    if (found.in_endpoint == 0) {
        return Problem(DescriptorProblem::kNoBulkIn);
    }
    if (others) {
        return Problem(DescriptorProblem::kOtherEndpoints);
    }
    return {found, DescriptorProblem::kNone};
}

}  // namespace tessel::platform
