// The Windows backends on a machine without a USB printer (Wine): discovery runs to its end
// and finds nothing, the spooler check does not block, and the stored port of an interface is
// read without writing the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "platform/device_config_flags.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/usb_printer_interfaces.h"
#include "platform/windows/device_parameters_key.h"
#include "virtual_clock.h"

namespace tessel::discovery {
namespace {

TEST(WindowsBackend, NoPrinterIsFoundAndNoPortIsBusy) {
    testing::VirtualClock clock;
    testing::RecordingDebugOutput debug;
    platform::ScopedServices services(
        platform::Services{&clock, &debug, nullptr, &platform::SystemUsbPrinterInterfaces(),
                           &platform::SystemPrintSpooler(), &platform::SystemDeviceConfigFlags()});
    g_strDevicePath = u"earlier path";

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(debug.Count("SearchUSBPrint()----->"), 1u);

    EXPECT_EQ(RefreshPrinterList(), 0);
    EXPECT_EQ(PrinterList().Selection(), PrinterListModel::kNoSelection);
    EXPECT_EQ(g_strDevicePath, u"earlier path");

    EXPECT_FALSE(IsUSBPortBusy(u"USB001"));
}

TEST(DeviceParametersKeyName, CutsALongPathTo259Characters) {
    const std::u16string prefix =
        u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}"
        u"\\";
    const std::u16string path = u"\\\\?\\" + std::u16string(400, u'a');
    EXPECT_EQ(platform::DeviceParametersKeyName(path),
              prefix + u"##?#" + std::u16string(255, u'a') + u"\\#\\Device Parameters");
}

// Discovery reads the interface's "Device Parameters" key. It must work without administrator
// rights, so it only reads: a key that is not there gives no port and is not created.
TEST(WindowsBackend, DeviceParametersAreOnlyRead) {
    const std::u16string path =
        u"\\\\?\\usb#vid_0000&pid_0000#tessel-test#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    const std::u16string key16 = platform::DeviceParametersKeyName(path);
    const std::wstring key(key16.begin(), key16.end());
    // The interface's own key, under which "#\Device Parameters" lies.
    const std::wstring interface_key = key.substr(0, key.find(L"\\#\\Device Parameters"));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, interface_key.c_str());

    auto set = platform::SystemUsbPrinterInterfaces().OpenPresent();
    ASSERT_NE(set, nullptr);
    {
        auto missing = set->OpenDeviceParameters(key16);
        ASSERT_NE(missing, nullptr);
        EXPECT_EQ(missing->ReadPort().kind, platform::PortValue::Kind::kMissing);
    }
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened),
              ERROR_FILE_NOT_FOUND)
        << "the key was created";
    if (opened != nullptr) {
        RegCloseKey(opened);
    }

    // A stored port is read.
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const DWORD port = 7;
    RegSetValueExW(created, L"Port Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&port),
                   sizeof port);
    RegCloseKey(created);
    {
        auto stored = set->OpenDeviceParameters(key16);
        ASSERT_NE(stored, nullptr);
        const platform::PortValue value = stored->ReadPort();
        EXPECT_EQ(value.kind, platform::PortValue::Kind::kNumber);
        EXPECT_EQ(value.number, 7u);
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, interface_key.c_str());
}

}  // namespace
}  // namespace tessel::discovery
