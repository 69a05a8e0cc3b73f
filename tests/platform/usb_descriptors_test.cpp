// Reading the printer interface from a USB device's descriptors: the one layout the tool takes,
// and a reason for everything else.
#include "platform/usb_descriptors.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessel::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Device() {
    return {18, 0x01, 0x00, 0x02, 0, 0, 0, 64, 0x3C, 0x7A, 0x12, 0x0C, 0, 1, 1, 2, 3, 1};
}
Bytes Interface(std::uint8_t number, std::uint8_t alternate, std::uint8_t endpoints,
                std::uint8_t cls = 7, std::uint8_t protocol = 2) {
    return {9, 0x04, number, alternate, endpoints, cls, 1, protocol, 0};
}
Bytes Endpoint(std::uint8_t address, std::uint8_t type = 0x02, std::uint16_t packet = 512) {
    return {7, 0x05, address, type, static_cast<std::uint8_t>(packet & 0xFF),
            static_cast<std::uint8_t>(packet >> 8), 0};
}
// A configuration with the given value around `parts`, its wTotalLength filled in.
Bytes Configuration(std::uint8_t value, std::vector<Bytes> parts) {
    Bytes c = {9, 0x02, 0, 0, 1, value, 0, 0xC0, 1};
    for (const Bytes& p : parts) {
        c.insert(c.end(), p.begin(), p.end());
    }
    c[2] = static_cast<std::uint8_t>(c.size() & 0xFF);
    c[3] = static_cast<std::uint8_t>(c.size() >> 8);
    return c;
}
Bytes Join(std::vector<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}
Bytes Printer(std::vector<Bytes> interface_and_endpoints) {
    return Join({Device(), Configuration(1, std::move(interface_and_endpoints))});
}

TEST(UsbDescriptors, ThePrintersLayoutGivesItsInterfaceAndEndpoints) {
    const Bytes classic = {9, 0x21, 0x10, 0x01, 0, 1, 0x22, 0x20, 0};  // a class descriptor
    const auto found = FindUsbPrinterInterface(
        Printer({Interface(0, 0, 2), classic, Endpoint(0x01), Endpoint(0x82, 0x02, 64)}), 1);
    ASSERT_EQ(found.problem, DescriptorProblem::kNone);
    ASSERT_TRUE(found.printer);
    EXPECT_EQ(found.printer->configuration, 1);
    EXPECT_EQ(found.printer->interface_number, 0);
    EXPECT_EQ(found.printer->out_endpoint, 0x01);
    EXPECT_EQ(found.printer->in_endpoint, 0x82);
    EXPECT_EQ(found.printer->out_max_packet, 512);
    EXPECT_EQ(found.printer->in_max_packet, 64);
}

TEST(UsbDescriptors, TheActiveConfigurationIsTheOneRead) {
    const Bytes two = Join({Device(), Configuration(1, {Interface(0, 0, 1, 8), Endpoint(0x01)}),
                            Configuration(2, {Interface(3, 0, 2), Endpoint(0x02), Endpoint(0x81)})});
    const auto second = FindUsbPrinterInterface(two, 2);
    ASSERT_TRUE(second.printer);
    EXPECT_EQ(second.printer->configuration, 2);
    EXPECT_EQ(second.printer->interface_number, 3);
    EXPECT_EQ(FindUsbPrinterInterface(two, 1).problem, DescriptorProblem::kNoPrinterInterface);
    EXPECT_EQ(FindUsbPrinterInterface(two, std::nullopt).problem,
              DescriptorProblem::kNoPrinterInterface);  // the first counts
    EXPECT_EQ(FindUsbPrinterInterface(two, 3).problem, DescriptorProblem::kNoConfiguration);
}

TEST(UsbDescriptors, EveryOtherLayoutIsNamed) {
    const Bytes good = Printer({Interface(0, 0, 2), Endpoint(0x01), Endpoint(0x82)});
    const Bytes cut(good.begin(), good.end() - 1);
    Bytes overlong = good;
    overlong[18 + 2] = static_cast<std::uint8_t>(overlong[18 + 2] + 1);
    Bytes zero_length = good;
    zero_length[18 + 9] = 0;
    Bytes not_device = good;
    not_device[1] = 0x02;
    struct Case {
        const char* what;
        Bytes descriptors;
        DescriptorProblem problem;
    };
    const Case cases[] = {
        {"nothing", {}, DescriptorProblem::kMalformed},
        {"cut short", cut, DescriptorProblem::kMalformed},
        {"wTotalLength past the end", overlong, DescriptorProblem::kMalformed},
        {"a descriptor of length 0", zero_length, DescriptorProblem::kMalformed},
        {"no device descriptor first", not_device, DescriptorProblem::kMalformed},
        {"an endpoint before any interface",
         Printer({Endpoint(0x01), Interface(0, 0, 1), Endpoint(0x82)}),
         DescriptorProblem::kMalformed},
        {"no configuration", Device(), DescriptorProblem::kNoConfiguration},
        {"no printer class", Printer({Interface(0, 0, 2, 8), Endpoint(0x01), Endpoint(0x82)}),
         DescriptorProblem::kNoPrinterInterface},
        {"a second interface",
         Printer({Interface(0, 0, 2), Endpoint(0x01), Endpoint(0x82), Interface(1, 0, 0, 0xFF)}),
         DescriptorProblem::kSeveralInterfaces},
        {"an alternate setting",
         Printer({Interface(0, 0, 2), Endpoint(0x01), Endpoint(0x82), Interface(0, 1, 2),
                  Endpoint(0x01), Endpoint(0x82)}),
         DescriptorProblem::kAlternateSettings},
        {"unidirectional", Printer({Interface(0, 0, 1, 7, 1), Endpoint(0x01)}),
         DescriptorProblem::kNotBidirectional},
        {"IEEE 1284.4", Printer({Interface(0, 0, 2, 7, 3), Endpoint(0x01), Endpoint(0x82)}),
         DescriptorProblem::kNotBidirectional},
        {"no bulk OUT", Printer({Interface(0, 0, 1), Endpoint(0x82)}),
         DescriptorProblem::kNoBulkOut},
        {"no bulk IN", Printer({Interface(0, 0, 1), Endpoint(0x01)}),
         DescriptorProblem::kNoBulkIn},
        {"an interrupt IN in place of bulk",
         Printer({Interface(0, 0, 2), Endpoint(0x01), Endpoint(0x82, 0x03)}),
         DescriptorProblem::kNoBulkIn},
        {"a bulk IN of packets of 0 bytes",
         Printer({Interface(0, 0, 2), Endpoint(0x01), Endpoint(0x82, 0x02, 0)}),
         DescriptorProblem::kNoBulkIn},
        {"an interrupt endpoint besides",
         Printer({Interface(0, 0, 3), Endpoint(0x01), Endpoint(0x82), Endpoint(0x83, 0x03)}),
         DescriptorProblem::kOtherEndpoints},
        {"a second bulk OUT",
         Printer({Interface(0, 0, 3), Endpoint(0x01), Endpoint(0x02), Endpoint(0x82)}),
         DescriptorProblem::kOtherEndpoints},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto found = FindUsbPrinterInterface(c.descriptors, 1);
        EXPECT_EQ(found.problem, c.problem);
        EXPECT_FALSE(found.printer);
    }
}

}  // namespace
}  // namespace tessel::platform
