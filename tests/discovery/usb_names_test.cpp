#include <string>

#include <gtest/gtest.h>

#include "platform/usb_names.h"

namespace tessel::platform {
namespace {

TEST(UsbNames, InstanceIdsAreWrittenLikeWindowsWritesThem) {
    EXPECT_EQ(FormatUsbInstanceId(0x7a3c, 0x0c12, u"SER1"), u"USB\\VID_7A3C&PID_0C12\\SER1");
    EXPECT_EQ(FormatUsbInstanceId(0x1286, 0x0000, LocationInstanceTail(u"1-1.4")),
              u"USB\\VID_1286&PID_0000\\&1-1.4");
}

TEST(UsbNames, TheSerialIsTheInstanceIdsTailUnlessThatIsAStandIn) {
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12\\SER1"), u"SER1");
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0000\\SER1"), u"SER1");
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12\\A\\B"), u"A\\B");
    // Stand-ins: the bus location on Linux, Windows' own for a device without a serial.
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12\\&1-1.4"), u"");
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12\\6&2A3B4C5D&0&2"), u"");
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12\\"), u"");
    EXPECT_EQ(InstanceIdSerial(u"USB\\VID_7A3C&PID_0C12"), u"");

    // The same serial under another product ID (a printer back with broken firmware).
    EXPECT_TRUE(
        SameInstanceSerial(u"USB\\VID_7A3C&PID_0C12\\SER1", u"USB\\VID_7A3C&PID_0000\\ser1"));
    EXPECT_FALSE(
        SameInstanceSerial(u"USB\\VID_7A3C&PID_0C12\\SER1", u"USB\\VID_7A3C&PID_0C12\\SER2"));
    EXPECT_FALSE(
        SameInstanceSerial(u"USB\\VID_7A3C&PID_0C12\\SER1", u"USB\\VID_7A3C&PID_0C12\\SER"));
    // Stand-ins never count as the same serial, even when they are equal.
    EXPECT_FALSE(
        SameInstanceSerial(u"USB\\VID_7A3C&PID_0C12\\&1-1", u"USB\\VID_7A3C&PID_0C12\\&1-1"));
    EXPECT_FALSE(SameInstanceSerial(u"USB\\VID_7A3C&PID_0C12\\", u"USB\\VID_7A3C&PID_0C12\\"));
}

TEST(UsbNames, AnEnumeratorCoversWholeLeadingComponents) {
    struct Case {
        const char16_t* enumerator;
        const char16_t* id;
        bool covers;
    };
    const Case cases[] = {
        {u"USB\\VID_7a3c&PID_0c12", u"USB\\VID_7A3C&PID_0C12\\SER1", true},
        {u"USB", u"USB\\VID_7A3C&PID_0C12\\SER1", true},
        {u"USB\\VID_7A3C&PID_0C12\\SER1", u"USB\\VID_7A3C&PID_0C12\\SER1", true},
        {u"USB\\VID_7a3c&PID_0c12\\", u"USB\\VID_7A3C&PID_0C12\\SER1", true},
        {u"USB\\VID_7a3c&PID_0c1", u"USB\\VID_7A3C&PID_0C12\\SER1", false},
        {u"USB\\VID_7a3c&PID_0c12", u"USB\\VID_7A3C&PID_0C12&MI_00\\7&1", false},
        {u"USB\\VID_7a3c&PID_0c12", u"USB\\VID_7A3C&PID_0C13\\SER1", false},
        {u"Bexlot r7200 Series", u"USB\\VID_7A3C&PID_0C12\\SER1", false},
        {u"", u"USB\\VID_7A3C&PID_0C12\\SER1", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EnumeratorCovers(c.enumerator, c.id), c.covers) << std::string(
            c.enumerator, c.enumerator + std::char_traits<char16_t>::length(c.enumerator));
    }
}

TEST(UsbNames, DeviceUriPartsFollowTheCupsUsbBackend) {
    using namespace std::string_literals;
    struct Case {
        std::string device_id;
        std::optional<std::string> usb_serial;
        int interface_number;
        UsbDeviceUriParts parts;
    };
    const Case cases[] = {
        {"MFG:Bexlot;CMD:ACL,PJL;MDL:R7200 Series;CLS:PRINTER;\n",
         "SER1",
         0,
         {"Bexlot", "R7200 Series", "?serial=SER1"}},
        // The long keys win over the short ones, a leading make leaves the model.
        {"MDL:x;MFG:Other;MANUFACTURER:Bexlot;MODEL:Bexlot  R7300 Series;",
         std::nullopt,
         0,
         {"Bexlot", "R7300 Series", ""}},
        {"MFG:Hewlett-Packard;MDL:HP LaserJet 1020;", std::nullopt, 0, {"HP", "LaserJet 1020", ""}},
        {"MFG:Lexmark International;MDL:E120;", std::nullopt, 0, {"Lexmark", "E120", ""}},
        // A make that is not a whole word of the model stays in it.
        {"MFG:Bex;MDL:Bexlot R7100;", std::nullopt, 0, {"Bex", "Bexlot R7100", ""}},
        // The device ID's serial number beats the USB one.
        {"MFG:Bexlot;MDL:R7400;SN:FROMID;", "FROMUSB", 0, {"Bexlot", "R7400", "?serial=FROMID"}},
        {"MFG:Bexlot;MDL:R7400;SERN:A;SERIALNUMBER:B;",
         std::nullopt,
         0,
         {"Bexlot", "R7400", "?serial=B"}},
        {"MFG:Bexlot;MDL:R7400;", std::nullopt, 1, {"Bexlot", "R7400", "?interface=1"}},
        {"MFG:Bexlot;MDL:R7400;", "S", 2, {"Bexlot", "R7400", "?serial=S&interface=2"}},
        {"MFG:Bexlot;MDL:R7400;", "", 0, {"Bexlot", "R7400", ""}},
        // Units above 0xFF of the USB serial read as "?".
        {"MFG:Bexlot;MDL:R7400;",
         "S\xE2\x82\xAC"
         "1",
         0,
         {"Bexlot", "R7400", "?serial=S?1"}},
        // Blanks around keys and values, keys in any case, a repeated key keeps its last value.
        {" mfg : Acme ; Mfg:Bexlot;mdl:\tR7200 Series ;",
         std::nullopt,
         0,
         {"Bexlot", "R7200 Series", ""}},
        // Without a make: the first word of the model or description stands in.
        {"MDL:Bexlot R7200;", std::nullopt, 0, {"Bexlot", "R7200", ""}},
        {"DES:Bexlot Laser Printer;", std::nullopt, 0, {"Bexlot", "Laser Printer", ""}},
        {"", std::nullopt, 0, {"Unknown", "Printer", ""}},
        // A pair without its closing ";" does not count.
        {"MFG:Bexlot;MDL:R7200", std::nullopt, 0, {"Bexlot", "Unknown Model", ""}},
        // Both texts end at a zero byte, as the C strings CUPS reads them as.
        {"MFG:Bexlot;MDL:R7200;\0SN:HIDDEN;"s, "SER\0X"s, 0, {"Bexlot", "R7200", "?serial=SER"}},
        {"MFG:Bex\0lot;MDL:R7200;"s, std::nullopt, 0, {"Unknown", "Printer", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device_id);
        const UsbDeviceUriParts parts =
            UsbDeviceUriPartsFrom(c.device_id, c.usb_serial, c.interface_number);
        EXPECT_EQ(parts.make, c.parts.make);
        EXPECT_EQ(parts.model, c.parts.model);
        EXPECT_EQ(parts.options, c.parts.options);
    }
}

TEST(UsbNames, DeviceIdFieldsAreCutAt255Bytes) {
    const std::string long_model(300, 'm');
    const UsbDeviceUriParts parts =
        UsbDeviceUriPartsFrom("MFG:Bexlot;MDL:" + long_model + ";", std::nullopt, 0);
    EXPECT_EQ(parts.model, std::string(255, 'm'));
}

}  // namespace
}  // namespace tessel::platform
