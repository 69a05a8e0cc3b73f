#include "platform/usb_names.h"

#include <algorithm>

#include <cstdio>

#include "platform/text.h"

namespace tessel::platform {
namespace {

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The blanks CUPS skips around 1284 keys and values.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// CUPS keeps at most 255 bytes of a key or value.
constexpr std::size_t kMaxFieldBytes = 255;

std::string_view TrimEnd(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The USB serial number the way libusb's ASCII reading of the string descriptor gives it:
// every UTF-16 unit above 0xFF becomes "?", the others become one byte; at most 255 bytes,
// ending at a zero unit (CUPS takes it as a C string).
std::string AsciiSerial(const std::string& utf8) {
    std::string out;
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        if (out.size() == kMaxFieldBytes || unit == 0) {
            break;
        }
        out.push_back(unit > 0xFF ? '?' : static_cast<char>(unit));
    }
    return out;
}

}  // namespace

std::u16string FormatUsbInstanceId(std::uint16_t vendor_id, std::uint16_t product_id,
                                   std::u16string_view tail) {
    char head[32];
    std::snprintf(head, sizeof head, "USB\\VID_%04X&PID_%04X\\", static_cast<unsigned>(vendor_id),
                  static_cast<unsigned>(product_id));
    std::u16string id = Utf8ToUtf16(head);
    id.append(tail);
    return id;
}

std::u16string LocationInstanceTail(std::u16string_view bus_location) {
    std::u16string tail = u"&";
    tail.append(bus_location);
    return tail;
}

std::u16string_view InstanceIdSerial(std::u16string_view instance_id) {
    const std::size_t first = instance_id.find(u'\\');
    const std::size_t second =
        first == std::u16string_view::npos ? first : instance_id.find(u'\\', first + 1);
    if (second == std::u16string_view::npos) {
        return {};
    }
    const std::u16string_view tail = instance_id.substr(second + 1);
    return tail.find(u'&') == std::u16string_view::npos ? tail : std::u16string_view();
}

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

bool SameInstanceSerial(std::u16string_view instance_a, std::u16string_view instance_b) {
    const std::u16string_view a = InstanceIdSerial(instance_a);
    return !a.empty() && SameIgnoringAsciiCase(a, InstanceIdSerial(instance_b));
}

bool EnumeratorCovers(std::u16string_view enumerator, std::u16string_view instance_id) {
    if (enumerator.empty() || instance_id.size() < enumerator.size()) {
        return false;
    }
    for (std::size_t i = 0; i < enumerator.size(); ++i) {
        if (AsciiLower(enumerator[i]) != AsciiLower(instance_id[i])) {
            return false;
        }
    }
    return instance_id.size() == enumerator.size() || enumerator.back() == u'\\' ||
           instance_id[enumerator.size()] == u'\\';
}

Ieee1284Values ParseIeee1284DeviceId(std::string_view id) {
    id = id.substr(0, id.find('\0'));  // CUPS reads it as a C string
    Ieee1284Values values;
    std::size_t i = 0;
    while (i < id.size()) {
        while (i < id.size() && IsBlank(id[i])) {
            ++i;
        }
        const std::size_t colon = id.find(':', i);
        if (i == id.size() || colon == std::string_view::npos) {
            break;
        }
        std::string_view key = TrimEnd(id.substr(i, std::min(colon - i, kMaxFieldBytes)));
        i = colon + 1;
        while (i < id.size() && IsBlank(id[i])) {
            ++i;
        }
        const std::size_t semicolon = id.find(';', i);
        if (i == id.size() || semicolon == std::string_view::npos) {
            break;
        }
        std::string_view value = TrimEnd(id.substr(i, std::min(semicolon - i, kMaxFieldBytes)));
        i = semicolon + 1;
        if (key.empty()) {
            continue;  // CUPS does not keep a pair without a key
        }
        bool replaced = false;
        for (auto& [k, v] : values) {
            if (EqualsIgnoringCase(k, key)) {
                v = std::string(value);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            values.emplace_back(std::string(key), std::string(value));
        }
    }
    return values;
}

const std::string* FindIeee1284Value(const Ieee1284Values& values, std::string_view key) {
    for (const auto& [k, v] : values) {
        if (EqualsIgnoringCase(k, key)) {
            return &v;
        }
    }
    return nullptr;
}

UsbDeviceUriParts UsbDeviceUriPartsFrom(std::string_view device_id,
                                        const std::optional<std::string>& usb_serial,
                                        int interface_number) {
    const Ieee1284Values values = ParseIeee1284DeviceId(device_id);
    auto first_of = [&](std::initializer_list<std::string_view> keys) -> const std::string* {
        for (std::string_view key : keys) {
            if (const std::string* v = FindIeee1284Value(values, key)) {
                return v;
            }
        }
        return nullptr;
    };

    std::optional<std::string> serial;
    if (const std::string* s = first_of({"SERIALNUMBER", "SERN", "SN"})) {
        serial = *s;
    } else if (usb_serial && !usb_serial->empty()) {
        std::string ascii = AsciiSerial(*usb_serial);
        if (!ascii.empty()) {
            serial = std::move(ascii);
        }
    }

    const std::string* mfg = first_of({"MANUFACTURER", "MFG"});
    const std::string* mdl = first_of({"MODEL", "MDL"});
    const std::string* des = nullptr;

    std::string make;
    if (mfg) {
        if (EqualsIgnoringCase(*mfg, "Hewlett-Packard")) {
            make = "HP";
        } else if (EqualsIgnoringCase(*mfg, "Lexmark International")) {
            make = "Lexmark";
        } else {
            make = *mfg;
        }
    } else {
        // No make: the first word of what describes the printer stands in for it.
        if (!mdl) {
            des = first_of({"DESCRIPTION", "DES"});
        }
        const std::string* source = mdl ? mdl : des;
        make = source ? source->substr(0, source->find(' ')) : "Unknown";
        if (make.empty()) {
            make = "Unknown";
        }
    }

    std::string_view model;
    if (mdl) {
        model = *mdl;
    } else if (des) {
        model = *des;
    } else if (EqualsIgnoringCase(std::string_view(make).substr(0, 7), "Unknown")) {
        model = "Printer";
    } else {
        model = "Unknown Model";
    }
    if (model.size() > make.size() && EqualsIgnoringCase(model.substr(0, make.size()), make) &&
        IsBlank(model[make.size()])) {
        model.remove_prefix(make.size() + 1);
        while (!model.empty() && IsBlank(model.front())) {
            model.remove_prefix(1);
        }
    }

    UsbDeviceUriParts parts{make, std::string(model), {}};
    if (serial) {
        parts.options = "?serial=" + *serial;
        if (interface_number > 0) {
            parts.options += "&interface=" + std::to_string(interface_number);
        }
    } else if (interface_number > 0) {
        parts.options = "?interface=" + std::to_string(interface_number);
    }
    return parts;
}

std::u16string ConvertedDevicePath(std::u16string_view device_path) {
    constexpr std::size_t kConvertedPathCapacity = 260;  // with the terminating null
    std::u16string converted(
        device_path.substr(0, std::min(device_path.size(), kConvertedPathCapacity - 1)));
    std::replace(converted.begin(), converted.end(), u'\\', u'#');
    return converted;
}

}  // namespace tessel::platform
