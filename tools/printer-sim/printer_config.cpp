#include "printer_config.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tessel::sim {
namespace {

std::optional<std::uint64_t> ParseNumber(std::string_view text, int base, std::uint64_t max) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string Number(std::string_view arg, std::uint64_t max, auto& field) {
    const auto value = ParseNumber(arg, 10, max);
    if (!value) {
        return "expects a whole number from 0 to " + std::to_string(max) + ", not \"" +
               std::string(arg) + "\"";
    }
    field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
    return {};
}

std::string Hex16(std::string_view arg, std::uint16_t& field) {
    if (arg.size() > 2 && arg[0] == '0' && (arg[1] == 'x' || arg[1] == 'X')) {
        arg.remove_prefix(2);
    }
    const auto value = arg.size() <= 4 ? ParseNumber(arg, 16, 0xFFFF) : std::nullopt;
    if (!value) {
        return "expects four hexadecimal digits, not \"" + std::string(arg) + "\"";
    }
    field = static_cast<std::uint16_t>(*value);
    return {};
}

std::string Queries(std::string_view arg, unsigned& field) {
    if (arg == "status") {
        field |= kStatusQuery;
    } else if (arg == "version") {
        field |= kVersionQuery;
    } else if (arg == "all") {
        field |= kAllQueries;
    } else {
        return "expects status, version or all, not \"" + std::string(arg) + "\"";
    }
    return {};
}

// "BYTES[:MS]"
std::string SplitReply(std::string_view arg, Faults& faults) {
    const auto colon = arg.find(':');
    const auto piece = ParseNumber(arg.substr(0, colon), 10, 0xFFFF);
    if (!piece || *piece == 0) {
        return "expects BYTES[:PAUSE_MS] with BYTES at least 1, not \"" + std::string(arg) + "\"";
    }
    faults.split_piece = static_cast<std::uint32_t>(*piece);
    if (colon != std::string_view::npos) {
        return Number(arg.substr(colon + 1), 3'600'000, faults.split_pause_ms);
    }
    return {};
}

// "N[:loader|firmware]": a byte count within a payload, and which payloads it applies to.
std::string AfterPayloadBytes(std::string_view arg, std::optional<std::uint64_t>& count,
                              PayloadSelect& payload) {
    const auto colon = arg.find(':');
    const auto n = ParseNumber(arg.substr(0, colon), 10, std::numeric_limits<std::uint32_t>::max());
    if (!n) {
        return "expects N[:loader|firmware], not \"" + std::string(arg) + "\"";
    }
    count = *n;
    payload = PayloadSelect::kAny;
    if (colon != std::string_view::npos) {
        const auto which = arg.substr(colon + 1);
        if (which == "loader") {
            payload = PayloadSelect::kLoader;
        } else if (which == "firmware") {
            payload = PayloadSelect::kFirmware;
        } else {
            return "expects N[:loader|firmware], not \"" + std::string(arg) + "\"";
        }
    }
    return {};
}

std::string SetModel(PrinterConfig& p, std::string_view arg) {
    for (const Model& model : kModels) {
        if (model.name == arg) {
            p.vendor_id = model.vendor_id;
            p.product_id = model.product_id;
            p.product = model.product;
            return {};
        }
    }
    return "expects R7100, R7200, R7300, R7400 or DEFAULT, not \"" + std::string(arg) + "\"";
}

using A = std::string_view;
using P = PrinterConfig;

constexpr PrinterFlag kFlags[] = {
    // Identity.
    {"--model", "NAME",
     "R7100, R7200 (default), R7300, R7400, or DEFAULT (broken firmware, 7a3c:0000)", false,
     [](P& p, A a) { return SetModel(p, a); }},
    {"--vendor", "HEX",
     "USB vendor ID (default 7a3c; 1286 for a broken printer, others for other makers)", false,
     [](P& p, A a) { return Hex16(a, p.vendor_id); }},
    {"--product-id", "HEX", "USB product ID", false,
     [](P& p, A a) { return Hex16(a, p.product_id); }},
    {"--manufacturer", "TEXT", "USB manufacturer string (default Bexlot)", false,
     [](P& p, A a) {
         p.manufacturer = a;
         return std::string();
     }},
    {"--product", "TEXT", "USB product string (default from the model)", false,
     [](P& p, A a) {
         p.product = a;
         return std::string();
     }},
    {"--serial", "TEXT", "USB serial number (default SER1, SER2, ... by position)", false,
     [](P& p, A a) {
         p.serial = std::string(a);
         return std::string();
     }},
    {"--no-serial", "", "a printer without serial number", false,
     [](P& p, A) {
         p.serial.reset();
         return std::string();
     }},
    {"--no-ieee1284-id", "", "the interface has no ieee1284_id entry", false,
     [](P& p, A) {
         p.has_ieee1284_id = false;
         return std::string();
     }},
    {"--dot4", "", "an IEEE 1284.4 interface (bInterfaceProtocol 03)", false,
     [](P& p, A) {
         p.interface_protocol = 3;
         return std::string();
     }},
    // Behaviour.
    {"--version", "TEXT", "firmware version text (default 3.3.2.9)", false,
     [](P& p, A a) {
         p.version = a;
         return std::string();
     }},
    {"--burn-time", "S", "seconds a firmware image takes to burn (default 180)", false,
     [](P& p, A a) { return Number(a, 86'400, p.burn_time_s); }},
    // Faults.
    {"--status", "N", "status byte of the status reply (default 0; the tool goes on for 0, 2, 4)",
     true, [](P& p, A a) { return Number(a, 255, p.status); }},
    {"--no-answer", "status|version|all", "never answer these queries", true,
     [](P& p, A a) { return Queries(a, p.faults.no_answer); }},
    {"--zero-reads", "status|version|all",
     "leave these queries unanswered while the client's reads return 0 bytes", true,
     [](P& p, A a) { return Queries(a, p.faults.zero_reads); }},
    {"--split-reply", "BYTES[:MS]", "send replies in pieces of BYTES, MS apart (default 500)", true,
     [](P& p, A a) { return SplitReply(a, p.faults); }},
    {"--wrong-magic", "status|version|all", "replies to these queries carry magic 0x00AD", true,
     [](P& p, A a) { return Queries(a, p.faults.wrong_magic); }},
    {"--wrong-command", "status|version|all",
     "replies to these queries carry another command code", true,
     [](P& p, A a) { return Queries(a, p.faults.wrong_command); }},
    {"--disconnect-at", "status|version|all",
     "drop off the bus when one of these queries arrives", true,
     [](P& p, A a) { return Queries(a, p.faults.disconnect_query); }},
    {"--version-length", "N", "the version reply announces and sends N text bytes (0, 100, ...)",
     true,
     [](P& p, A a) {
         std::uint32_t n = 0;
         std::string error = Number(a, 0xFFFF, n);
         p.faults.version_length = n;
         return error;
     }},
    {"--disconnect-after", "N[:loader|firmware]", "drop off the bus after byte N of a payload",
     true,
     [](P& p, A a) {
         return AfterPayloadBytes(a, p.faults.disconnect_after, p.faults.disconnect_payload);
     }},
    {"--stall-after", "N[:loader|firmware]",
     "stop reading after byte N of a payload, staying on the bus", true,
     [](P& p, A a) { return AfterPayloadBytes(a, p.faults.stall_after, p.faults.stall_payload); }},
    {"--no-return", "", "never come back after the loader", true,
     [](P& p, A) {
         p.faults.no_return = true;
         return std::string();
     }},
    {"--restart-delay", "S", "seconds from dropping off the bus to coming back (default 50)", true,
     [](P& p, A a) { return Number(a, 86'400, p.restart_delay_s); }},
    {"--return-product", "HEX", "come back after the loader under this product ID", true,
     [](P& p, A a) {
         std::uint16_t id = 0;
         std::string error = Hex16(a, id);
         p.faults.return_product = id;
         return error;
     }},
    {"--no-return-after-burn", "", "never come back after burning the firmware image", true,
     [](P& p, A) {
         p.faults.no_return_after_burn = true;
         return std::string();
     }},
    {"--version-after-burn", "TEXT", "come back after the burn reporting this version", true,
     [](P& p, A a) {
         p.faults.version_after_burn = std::string(a);
         return std::string();
     }},
    {"--throughput", "BYTES_PER_S",
     "take at most this many bytes per second (1200000: full-speed USB)", true,
     [](P& p, A a) { return Number(a, 1ULL << 40, p.faults.throughput); }},
    {"--usb-held", "", "(--transport usb) another program holds the printer interface", true,
     [](P& p, A) {
         p.faults.usb_held = true;
         return std::string();
     }},
    {"--usblp-after-restart", "MS",
     "(--transport usb) usblp holds the printer for MS after each restart, then is detached",
     true,
     [](P& p, A a) {
         std::uint32_t ms = 0;
         std::string error = Number(a, 3'600'000, ms);
         p.faults.usblp_after_restart_ms = ms;
         return error;
     }},
};

PrinterConfig NthPrinter(std::size_t index) {
    PrinterConfig p;
    p.serial = "SER" + std::to_string(index + 1);
    return p;
}

}  // namespace

std::string PrinterConfig::Ieee1284Id() const {
    return "MFG:" + manufacturer + ";CMD:ACL,PJL;MDL:" + product + ";CLS:PRINTER;";
}

std::string VersionAfterFirmware(std::string_view version, std::string_view marker) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto dot = version.find('.', start);
        parts.emplace_back(version.substr(start, dot - start));
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    while (parts.size() < 4) {
        parts.emplace_back("0");
    }
    parts[2] = std::string(1, marker.size() >= 4 ? marker[2] : '0');
    parts[3] = std::string(1, marker.size() >= 4 ? marker[3] : '0');
    std::string out;
    for (const auto& part : parts) {
        out += (out.empty() ? "" : ".") + part;
    }
    return out;
}

std::span<const PrinterFlag> PrinterFlags() {
    return kFlags;
}

std::string ParseCommandLine(std::span<const std::string> args, SimOptions& options) {
    options = SimOptions{};
    options.printers.push_back(NthPrinter(0));
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--printer") {
            options.printers.push_back(NthPrinter(options.printers.size()));
        } else if (arg == "--time-scale") {
            if (!value(v)) {
                return "--time-scale needs a value";
            }
            char* end = nullptr;
            const double scale = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != '\0' || !std::isfinite(scale) || scale <= 0) {
                return "--time-scale expects a number above 0, not \"" + v + "\"";
            }
            options.time_scale = scale;
        } else if (arg == "--root") {
            if (!value(options.root_parent)) {
                return "--root needs a folder";
            }
        } else if (arg == "--transport") {
            if (!value(v) || (v != "usb" && v != "usblp")) {
                return "--transport expects usb or usblp";
            }
            options.transport = v == "usb" ? SimTransport::kUsb : SimTransport::kUsblp;
        } else if (arg == "--log") {
            if (!value(options.log_path)) {
                return "--log needs a file name (- for standard output)";
            }
        } else {
            const PrinterFlag* flag = nullptr;
            for (const PrinterFlag& f : kFlags) {
                if (f.flag == arg) {
                    flag = &f;
                }
            }
            if (!flag) {
                return "unknown option \"" + arg + "\"";
            }
            if (!flag->argument.empty() && !value(v)) {
                return arg + " needs a value (" + std::string(flag->argument) + ")";
            }
            if (std::string error = flag->apply(options.printers.back(), v); !error.empty()) {
                return arg + " " + error;
            }
        }
    }
    return {};
}

std::string Usage() {
    std::string out =
        "usage: tessel-printer-sim [options] [--printer [printer options]]...\n"
        "Emulates R7000 printers on a pseudo-terminal each, under temporary sysfs and /dev roots,\n"
        "prints TESSEL_SYSFS_ROOT=... and TESSEL_DEV_ROOT=..., logs JSON lines, stops on\n"
        "SIGINT/SIGTERM and removes what it made. With --transport usb each printer is a USB\n"
        "device that no kernel driver holds, in a umockdev testbed: it prints UMOCKDEV_DIR=...\n"
        "and LD_PRELOAD=..., under which the tool reaches it through libusb.\n\n"
        "  --transport T     usblp (default) or usb\n"
        "  --time-scale X    real seconds per printer second (default 1; 0.01 runs 100x fast)\n"
        "  --root DIR        folder for the temporary roots (default $TMPDIR or /tmp)\n"
        "  --log FILE        JSON-lines log (default - : standard output)\n"
        "  --printer         start describing the next printer\n\n"
        "Printer options (faults marked *):\n";
    for (const PrinterFlag& f : kFlags) {
        std::string left = "  " + std::string(f.fault ? "*" : " ") + std::string(f.flag);
        if (!f.argument.empty()) {
            left += " " + std::string(f.argument);
        }
        left.resize(std::max<std::size_t>(left.size() + 1, 40), ' ');
        out += left + std::string(f.help) + "\n";
    }
    return out;
}

}  // namespace tessel::sim
