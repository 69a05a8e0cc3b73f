#include "ui/tool_text.h"

#include <cstdio>
#include <vector>

#include "platform/text.h"

namespace tessel::ui {
namespace {

constexpr char16_t kFirstStrongIsolate = u'\u2068';
constexpr char16_t kPopDirectionalIsolate = u'\u2069';

std::u16string Fill(int block, ToolText id, const std::vector<std::u16string_view>& args) {
    const std::size_t index = static_cast<std::size_t>(id);
    if (block < 0 || block >= kUiLanguageBlockCount || index >= kToolTextCount) {
        return {};
    }
    const std::u16string_view text = ToolTextTable[static_cast<std::size_t>(block)][index].text;
    // Inside a right-to-left sentence a number, a time or a path must keep its own order.
    const bool isolate = block == kBlockHebrew;
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'{' && i + 2 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9' &&
            text[i + 2] == u'}') {
            const std::size_t arg = static_cast<std::size_t>(text[i + 1] - u'1');
            if (arg < args.size()) {
                if (isolate) {
                    out += kFirstStrongIsolate;
                }
                out += args[arg];
                if (isolate) {
                    out += kPopDirectionalIsolate;
                }
            }
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string FillUtf8(int block, ToolText id, std::initializer_list<std::string_view> args) {
    std::vector<std::u16string> wide;
    wide.reserve(args.size());
    for (std::string_view arg : args) {
        wide.push_back(platform::Utf8ToUtf16(arg));
    }
    return platform::Utf16ToUtf8(Fill(block, id, {wide.begin(), wide.end()}));
}

}  // namespace

std::u16string ToolTextIn(int block, ToolText id, std::initializer_list<std::u16string_view> args) {
    return Fill(block, id, std::vector<std::u16string_view>(args));
}

std::u16string GetToolText(ToolText id, std::initializer_list<std::u16string_view> args) {
    return ToolTextIn(UiLanguageBlock(), id, args);
}

std::string ToolTextUtf8(ToolText id, std::initializer_list<std::string_view> args) {
    return FillUtf8(UiLanguageBlock(), id, args);
}

std::string ToolTextEnglish(ToolText id, std::initializer_list<std::string_view> args) {
    return FillUtf8(kBlockEnglish, id, args);
}

std::u16string Megabytes(std::uint64_t bytes, int block) {
    // Below a megabyte (the loader) two decimals, so that it does not read as nothing.
    const bool small = bytes < 1'000'000;
    char text[32];
    std::snprintf(
        text, sizeof text, small ? "%llu%02llu" : "%llu%01llu",
        static_cast<unsigned long long>(bytes / 1'000'000),
        static_cast<unsigned long long>(small ? bytes / 10'000 : bytes % 1'000'000 / 100'000));
    std::u16string out = platform::Utf8ToUtf16(text);
    out.insert(out.size() - (small ? 2 : 1), ToolTextIn(block, ToolText::kDecimalSeparator));
    return out;
}

std::u16string Megabytes(std::uint64_t bytes) {
    return Megabytes(bytes, UiLanguageBlock());
}

std::u16string MinutesSeconds(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return platform::Utf8ToUtf16(text);
}

namespace {

ToolText PhaseWording(upgrade::UpgradePhase phase) {
    switch (phase) {
        case upgrade::UpgradePhase::kNone:
        case upgrade::UpgradePhase::kCheckingPrinter:
            break;
        case upgrade::UpgradePhase::kReadingVersion:
            return ToolText::kPhaseReadingVersion;
        case upgrade::UpgradePhase::kSendingLoader:
            return ToolText::kPhaseSendingLoader;
        case upgrade::UpgradePhase::kWaitingForRestart:
            return ToolText::kPhaseWaitingForRestart;
        case upgrade::UpgradePhase::kSendingFirmware:
            return ToolText::kPhaseSendingFirmware;
        case upgrade::UpgradePhase::kBurning:
            return ToolText::kPhaseBurning;
        case upgrade::UpgradePhase::kConfirming:
            return ToolText::kPhaseConfirming;
    }
    return ToolText::kPhaseCheckingPrinter;
}

ToolText ReasonWording(upgrade::RunReason reason) {
    switch (reason) {
        case upgrade::RunReason::kNotReadyStatus:
            return ToolText::kReasonNotReadyStatus;
        case upgrade::RunReason::kOpenFailed:
            return ToolText::kReasonOpenFailed;
        case upgrade::RunReason::kNoReply:
            return ToolText::kReasonNoReply;
        case upgrade::RunReason::kBadReply:
            return ToolText::kReasonBadReply;
        case upgrade::RunReason::kNoVersion:
            return ToolText::kReasonNoVersion;
        case upgrade::RunReason::kDroppedOffBus:
            return ToolText::kReasonDroppedOffBus;
        case upgrade::RunReason::kWriteFailed:
            return ToolText::kReasonWriteFailed;
        case upgrade::RunReason::kStoppedTakingData:
            return ToolText::kReasonStoppedTakingData;
        case upgrade::RunReason::kTransferTooLong:
            return ToolText::kReasonTransferTooLong;
        case upgrade::RunReason::kPayloadMissing:
            return ToolText::kReasonPayloadMissing;
        case upgrade::RunReason::kNotBackAfterRestart:
            return ToolText::kReasonNotBackAfterRestart;
        case upgrade::RunReason::kNotIdentified:
            return ToolText::kReasonNotIdentified;
    }
    return ToolText::kReasonWriteFailed;
}

}  // namespace

std::u16string RunCauseText(const upgrade::RunCause& cause, int block) {
    const std::u16string reason = ToolTextIn(block, ReasonWording(cause.reason),
                                             {platform::Utf8ToUtf16(std::to_string(cause.status))});
    const std::u16string phase = ToolTextIn(block, PhaseWording(cause.phase));
    std::u16string text = cause.bytes_total > 0
                              ? ToolTextIn(block, ToolText::kCauseLineBytes,
                                           {reason, phase, Megabytes(cause.bytes_sent, block),
                                            Megabytes(cause.bytes_total, block)})
                              : ToolTextIn(block, ToolText::kCauseLine, {reason, phase});
    ToolText system = ToolText::kCount;
    switch (cause.system) {
        case platform::OpenFailure::kPermissionDenied:
            system = ToolText::kOpenPermissionDenied;
            break;
        case platform::OpenFailure::kNoDevice:
            system = ToolText::kOpenNoDevice;
            break;
        case platform::OpenFailure::kBusy:
            system = ToolText::kOpenBusy;
            break;
        case platform::OpenFailure::kNone:
        case platform::OpenFailure::kOther:
            break;
    }
    if (system != ToolText::kCount) {
        text += ToolTextIn(block, ToolText::kCauseSystem, {ToolTextIn(block, system)});
    }
    return text;
}

}  // namespace tessel::ui
