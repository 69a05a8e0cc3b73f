#include "printer_core.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "link/acl_protocol.h"
#include "payloads/payload_format.h"
#include "payloads/payload_verify.h"

namespace tessel::sim {
namespace {

constexpr std::string_view kVersionRequest = "<!--#ssi IDr OID_PLATFORM_FW_VERSION -->";
constexpr std::uint32_t kLoaderType = 2;
constexpr std::uint32_t kFirmwareType = 0x100;
constexpr std::uint16_t kWrongMagic = 0x00AD;

std::string Hex4(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", value & 0xFFFFu);
    return buf;
}

std::string Hex4Lower(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", value & 0xFFFFu);
    return buf;
}

const char* KindName(int kind) {
    static const char* const kNames[] = {"loader", "firmware", "unknown"};
    return kNames[kind];
}

bool Selected(PayloadSelect select, int kind) {
    return select == PayloadSelect::kAny || (select == PayloadSelect::kLoader && kind == 0) ||
           (select == PayloadSelect::kFirmware && kind == 1);
}

}  // namespace

const char* ModeName(PrinterCore::Mode mode) {
    switch (mode) {
        case PrinterCore::Mode::kOff:
            return "off";
        case PrinterCore::Mode::kNormal:
            return "normal";
        case PrinterCore::Mode::kRestarting:
            return "restarting";
        case PrinterCore::Mode::kLoader:
            return "loader";
        case PrinterCore::Mode::kBurning:
            return "burning";
    }
    return "?";
}

PrinterCore::PrinterCore(int index, PrinterConfig config, platform::Clock& clock, EventLog& log,
                         PrinterPort& port)
    : index_(index),
      config_(std::move(config)),
      clock_(clock),
      log_(log),
      port_(port),
      version_(config_.version),
      disconnect_fault_armed_(config_.faults.disconnect_after.has_value()),
      stall_fault_armed_(config_.faults.stall_after.has_value()) {
    if (config_.faults.throughput > 0) {
        // A burst of at most 10 ms of traffic (and 4 KiB), so the cap holds over short transfers.
        burst_ = std::clamp(static_cast<double>(config_.faults.throughput) / 100.0, 1.0, 4096.0);
        tokens_ = burst_;
        tokens_at_ms_ = clock_.NowMs();
    }
}

void PrinterCore::Emit(std::string_view event, Json fields) {
    Json line = Json::object();
    line["printer"] = index_;
    for (auto& [key, value] : fields.items()) {
        line[key] = std::move(value);
    }
    log_.Emit(event, std::move(line));
}

void PrinterCore::Start() {
    return_mode_ = Mode::kNormal;
    return_product_ = config_.product_id;
    Appear();
}

void PrinterCore::Appear() {
    Json details = port_.Connect(return_product_);
    mode_ = return_mode_;
    parser_.Reset();
    Json fields = {{"mode", ModeName(mode_)},
                   {"vendor_id", Hex4Lower(config_.vendor_id)},
                   {"product_id", Hex4Lower(return_product_)},
                   {"version", version_}};
    for (auto& [key, value] : details.items()) {
        fields[key] = std::move(value);
    }
    Emit("appear", std::move(fields));
}

void PrinterCore::DropOff(const std::string& reason, Mode return_mode, std::uint16_t return_product,
                          bool comes_back) {
    port_.Disconnect();
    mode_ = Mode::kOff;
    parser_.Reset();
    outgoing_.clear();
    drop_at_.reset();
    return_mode_ = return_mode;
    return_product_ = return_product;
    Json fields = {{"reason", reason}};
    if (comes_back) {
        return_at_ = clock_.NowMs() + std::int64_t{config_.restart_delay_s} * 1000;
        fields["returns_after_ms"] = std::int64_t{config_.restart_delay_s} * 1000;
    } else {
        return_at_.reset();
        fields["returns_after_ms"] = nullptr;
    }
    Emit("disconnect", std::move(fields));
}

void PrinterCore::Replug() {
    if (mode_ != Mode::kNormal && mode_ != Mode::kLoader) {
        return;
    }
    // return_product_ is the product ID it appeared under.
    DropOff("unplugged", mode_, return_product_, false);
    Appear();
}

bool PrinterCore::ArmedHere(bool armed, PayloadSelect select) const {
    return armed && parser_.in_payload() && Selected(select, static_cast<int>(payload_kind_));
}

std::optional<std::uint64_t> PrinterCore::NextFaultAt() const {
    std::optional<std::uint64_t> at;
    if (ArmedHere(disconnect_fault_armed_, config_.faults.disconnect_payload)) {
        at = *config_.faults.disconnect_after;
    }
    if (ArmedHere(stall_fault_armed_, config_.faults.stall_payload)) {
        at = std::min(at.value_or(*config_.faults.stall_after), *config_.faults.stall_after);
    }
    return at;
}

std::size_t PrinterCore::Receive(std::span<const std::uint8_t> bytes) {
    if (mode_ == Mode::kOff || stalled_) {
        return 0;
    }
    if (config_.faults.throughput > 0 && !bytes.empty()) {
        tokens_ = std::max(0.0, tokens_ - static_cast<double>(bytes.size()));
        last_receive_ms_ = clock_.NowMs();
    }
    if (mode_ == Mode::kBurning || mode_ == Mode::kRestarting) {
        // Busy: the bytes are taken off the link and dropped.
        ignored_bytes_ += bytes.size();
        return bytes.size();
    }
    std::size_t consumed = 0;
    while (true) {
        auto rest = bytes.subspan(consumed);
        if (const auto limit = NextFaultAt()) {
            const std::uint64_t have = parser_.payload().size();
            rest = rest.first(static_cast<std::size_t>(
                std::min<std::uint64_t>(rest.size(), *limit > have ? *limit - have : 0)));
        }
        const auto result = parser_.Feed(rest);
        consumed += result.consumed;
        Handle(result.event);
        if (mode_ == Mode::kOff) {
            break;
        }
        if (mode_ == Mode::kBurning || mode_ == Mode::kRestarting) {
            // A payload just took the printer out of service: finish what its last byte
            // completed (the job it closed), then drop whatever follows it.
            for (auto r = parser_.Feed({}); r.event != StreamParser::Event::kNone;
                 r = parser_.Feed({})) {
                Handle(r.event);
            }
            ignored_bytes_ += bytes.size() - consumed;
            consumed = bytes.size();
            break;
        }
        if (ArmedHere(disconnect_fault_armed_, config_.faults.disconnect_payload) &&
            parser_.payload().size() >= *config_.faults.disconnect_after) {
            disconnect_fault_armed_ = false;
            DropOff("dropped off the bus after byte " + std::to_string(parser_.payload().size()) +
                        " of the " + KindName(static_cast<int>(payload_kind_)),
                    Mode::kNormal, config_.product_id, true);
            break;
        }
        if (ArmedHere(stall_fault_armed_, config_.faults.stall_payload) &&
            parser_.payload().size() >= *config_.faults.stall_after) {
            stall_fault_armed_ = false;
            stalled_ = true;
            Emit("stall", {{"kind", KindName(static_cast<int>(payload_kind_))},
                           {"after", parser_.payload().size()}});
            break;
        }
        if (result.event == StreamParser::Event::kNone && consumed == bytes.size()) {
            break;
        }
    }
    SendDue();
    return consumed;
}

void PrinterCore::Handle(StreamParser::Event event) {
    using E = StreamParser::Event;
    switch (event) {
        case E::kNone:
            break;
        case E::kCommand:
            OnCommand();
            break;
        case E::kDownloadStart:
            OnDownloadStart();
            break;
        case E::kDownloadEnd:
            OnPayload();
            break;
        case E::kJobEnd: {
            Json fields = {{"size", parser_.job_size()}};
            if (parser_.job_size() <= StreamParser::kJobBytesKept) {
                fields["bytes"] = Hex(parser_.job_bytes());
            }
            if (!parser_.job_error().empty()) {
                fields["error"] = parser_.job_error();
            }
            Emit("job", std::move(fields));
            break;
        }
        case E::kPjlLine:
            Emit("pjl", {{"line", parser_.pjl_line()}});
            break;
        case E::kError:
            Emit("framing_error", {{"reason", parser_.error()}});
            break;
    }
}

void PrinterCore::OnCommand() {
    const auto& header = parser_.header();
    const std::uint16_t code = header.command();
    const bool status = code == link::kCmdStatus;
    std::vector<std::uint8_t> bytes(header.bytes.begin(), header.bytes.end());
    bytes.insert(bytes.end(), parser_.data().begin(), parser_.data().end());
    Emit("command",
         {{"code", Hex4(code)}, {"name", status ? "status" : "version"}, {"bytes", Hex(bytes)}});

    const unsigned query = status ? kStatusQuery : kVersionQuery;
    if (config_.faults.disconnect_query & query) {
        DropOff(std::string("dropped off the bus at the ") + (status ? "status" : "version") +
                    " query",
                Mode::kNormal, config_.product_id, true);
        return;
    }
    if ((config_.faults.no_answer | config_.faults.zero_reads) & query) {
        Emit("no_answer", {{"code", Hex4(code)}});
        return;
    }
    link::AclHeader reply;
    reply.Set16(0, link::kAclMagic);
    reply.Set16(2, code);
    std::vector<std::uint8_t> text;
    if (status) {
        reply.bytes[6] = config_.status;
    } else {
        const auto request = parser_.data();
        const bool known = std::equal(request.begin(), request.end(), kVersionRequest.begin(),
                                      kVersionRequest.end());
        if (known) {
            text.assign(version_.begin(), version_.end());
        } else {
            Emit("unknown_object", {{"request", Hex(request)}});
        }
        const std::size_t length = std::min<std::size_t>(
            config_.faults.version_length.value_or(static_cast<std::uint32_t>(text.size())),
            0xFFFF);
        text.resize(length, 0);
        reply.Set16(6, static_cast<std::uint16_t>(length));
    }
    if (config_.faults.wrong_magic & query) {
        reply.Set16(0, kWrongMagic);
    }
    if (config_.faults.wrong_command & query) {
        reply.Set16(2, static_cast<std::uint16_t>(code + 1));
    }
    std::vector<std::uint8_t> out(reply.bytes.begin(), reply.bytes.end());
    out.insert(out.end(), text.begin(), text.end());
    Reply(code, std::move(out));
}

void PrinterCore::Reply(std::uint16_t code, std::vector<std::uint8_t> bytes) {
    const std::size_t piece =
        config_.faults.split_piece ? config_.faults.split_piece : bytes.size();
    const std::int64_t now = clock_.NowMs();
    Json pieces = Json::array();
    std::int64_t due = now;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::size_t n = std::min(piece, bytes.size() - at);
        outgoing_.push_back({due,
                             {bytes.begin() + static_cast<std::ptrdiff_t>(at),
                              bytes.begin() + static_cast<std::ptrdiff_t>(at + n)}});
        pieces.push_back(n);
        due += config_.faults.split_pause_ms;
    }
    Emit("reply", {{"code", Hex4(code)}, {"bytes", Hex(bytes)}, {"pieces", pieces}});
}

void PrinterCore::SendDue() {
    const std::int64_t now = clock_.NowMs();
    while (mode_ != Mode::kOff && !outgoing_.empty() && outgoing_.front().due_ms <= now) {
        port_.Send(outgoing_.front().bytes);
        outgoing_.pop_front();
    }
}

void PrinterCore::OnDownloadStart() {
    const std::uint32_t type = link::ReadBe32(parser_.header().bytes.data() + 8);
    payload_kind_ = type == kLoaderType     ? Kind::kLoader
                    : type == kFirmwareType ? Kind::kFirmware
                                            : Kind::kUnknown;
    payload_started_ms_ = clock_.NowMs();
    Emit("payload_start", {{"kind", KindName(static_cast<int>(payload_kind_))},
                           {"header", Hex(parser_.header().bytes)},
                           {"size", parser_.payload_size()}});
}

void PrinterCore::OnPayload() {
    const auto payload = parser_.payload();
    const std::uint32_t type = link::ReadBe32(payload.data() + payloads::kHeaderOffset + 8);
    const std::int64_t now = clock_.NowMs();
    std::string marker;
    if (payload.size() >= payloads::kBodyOffset + payloads::kVersionMarkerOffset + 4) {
        const auto* m = payload.data() + payloads::kBodyOffset + payloads::kVersionMarkerOffset;
        marker.assign(m, m + 4);
    }

    std::string reason;
    if (payload_kind_ == Kind::kUnknown) {
        reason = "download type: " + std::to_string(type) +
                 " is neither a loader (2) nor a firmware image (256)";
    } else {
        reason = payloads::VerifyDownload(payload, payload_kind_ == Kind::kFirmware);
    }
    if (reason.empty() && payload_kind_ == Kind::kFirmware) {
        if (!std::all_of(marker.begin(), marker.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) ||
            marker.size() != 4) {
            reason = "version marker: body bytes 4-7 are not four digits";
        } else if (mode_ != Mode::kLoader) {
            reason = "state: a firmware image arrived while the loader was not running";
        }
    }

    const std::int64_t duration = now - payload_started_ms_;
    Json fields = {{"kind", KindName(static_cast<int>(payload_kind_))},
                   {"size", payload.size()},
                   {"valid", reason.empty()},
                   {"reason", reason},
                   {"marker", std::all_of(marker.begin(), marker.end(),
                                          [](char c) { return c >= 0x20 && c < 0x7F; })
                                  ? marker
                                  : std::string("?")},
                   {"started_t_ms", log_.SinceStart(payload_started_ms_)},
                   {"duration_ms", duration}};
    if (duration > 0) {
        fields["bytes_per_s"] = static_cast<std::int64_t>(static_cast<double>(payload.size()) *
                                                          1000.0 / static_cast<double>(duration));
    }
    Emit("payload", std::move(fields));
    if (!reason.empty()) {
        return;
    }

    if (payload_kind_ == Kind::kLoader) {
        mode_ = Mode::kRestarting;
        drop_at_ = now + kDropDelayMs;
        return_mode_ = Mode::kLoader;
        return_product_ = config_.faults.return_product.value_or(config_.product_id);
        return_after_drop_ = !config_.faults.no_return;
    } else {
        mode_ = Mode::kBurning;
        version_after_burn_ =
            config_.faults.version_after_burn.value_or(VersionAfterFirmware(version_, marker));
        burn_end_at_ = now + std::int64_t{config_.burn_time_s} * 1000;
        ignored_bytes_ = 0;
        Emit("burn_start", {{"burn_ms", std::int64_t{config_.burn_time_s} * 1000},
                            {"version_after", version_after_burn_}});
    }
}

void PrinterCore::Poll() {
    const std::int64_t now = clock_.NowMs();
    SendDue();
    if (burn_end_at_ && now >= *burn_end_at_) {
        burn_end_at_.reset();
        version_ = version_after_burn_;
        Emit("burn_end", {{"version", version_}, {"ignored_bytes", ignored_bytes_}});
        DropOff("restart after burning the firmware image", Mode::kNormal, config_.product_id,
                !config_.faults.no_return_after_burn);
    }
    if (drop_at_ && now >= *drop_at_) {
        drop_at_.reset();
        DropOff("restart after the loader", return_mode_, return_product_, return_after_drop_);
    }
    if (return_at_ && now >= *return_at_) {
        return_at_.reset();
        Appear();
    }
}

std::optional<std::int64_t> PrinterCore::NextDueMs() const {
    std::optional<std::int64_t> next;
    auto consider = [&next](std::optional<std::int64_t> t) {
        if (t && (!next || *t < *next)) {
            next = t;
        }
    };
    if (!outgoing_.empty()) {
        consider(outgoing_.front().due_ms);
    }
    consider(drop_at_);
    consider(return_at_);
    consider(burn_end_at_);
    if (config_.faults.throughput > 0 && mode_ != Mode::kOff && !stalled_) {
        const double want = burst_;
        if (tokens_ < want) {
            const double rate = static_cast<double>(config_.faults.throughput);
            consider(tokens_at_ms_ +
                     static_cast<std::int64_t>(std::ceil((want - tokens_) * 1000.0 / rate)));
        }
    }
    return next;
}

std::size_t PrinterCore::ReceiveAllowance() {
    if (mode_ == Mode::kOff || stalled_) {
        return 0;
    }
    if (config_.faults.throughput == 0) {
        return std::numeric_limits<std::size_t>::max();
    }
    const std::int64_t now = clock_.NowMs();
    const double rate = static_cast<double>(config_.faults.throughput);
    const double accrued = static_cast<double>(now - tokens_at_ms_) * rate / 1000.0;
    tokens_at_ms_ = now;
    // While bytes flow, or the printer waited for them to accrue, all of them count (up to a
    // second's worth): waits end late, in whole milliseconds of real time, and reads take time
    // of their own, so dropping the excess would slow the link below its cap (far below on a
    // compressed clock). An idle link saves up no more than a burst.
    const bool flowing = starved_ || now - last_receive_ms_ < kIdleLinkMs;
    tokens_ = flowing ? std::min(tokens_ + accrued, std::max(rate, burst_))
                      : std::max(tokens_, std::min(tokens_ + accrued, burst_));
    starved_ = tokens_ < burst_;
    return starved_ ? 0 : static_cast<std::size_t>(tokens_);
}

}  // namespace tessel::sim
