// The tool's own texts: everything a user can see beyond the 26 texts of the text table
// (ui/ui_text.h), in the same eight language blocks, chosen by the same language state. Texts
// carry numbered placeholders {1} to {9}; the same number may appear in any order a language
// needs. Hebrew texts read right to left: numbers, times, sizes and names put into them are
// set apart with Unicode isolates so that they keep reading left to right.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "ui/ui_text.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui {

enum class ToolText : int {
    // The phases of an upgrade, beside the progress bar, and their figures.
    kPhaseCheckingPrinter,
    kPhaseReadingVersion,
    kPhaseSendingLoader,
    kPhaseSendingFirmware,
    kPhaseAmount,    // {1} of {2} megabytes sent
    kPhaseRate,      // {1} megabytes a second
    kPhaseTimeLeft,  // {1} (m:ss) left
    kPhaseWaitingForRestart,
    kPhaseAtMost,  // {1} (m:ss) at most
    kPhaseBurning,
    kPhaseBurnWarning,
    kPhaseConfirming,
    kPhaseDone,     // the bar's last word after a success
    kPhaseStopped,  // the bar's last word after a failure
    kDecimalSeparator,
    // After the success display: the printer's version read back.
    kConfirmed,
    kConfirmOtherVersion,
    kConfirmNotBack,
    // Why a device file did not open.
    kOpenPermissionDenied,
    kOpenNoDevice,
    kOpenBusy,
    kOpenFailedNotice,  // under the not-ready message: {1} is one of the three above
    // Why a run ended on the failure or not-ready display.
    kCauseLine,             // {1} reason, {2} phase
    kCauseLineBytes,        // {1} reason, {2} phase, {3} of {4} megabytes
    kCauseSystem,           // {1} the system's reason
    kReasonNotReadyStatus,  // {1} the status
    kReasonOpenFailed,
    kReasonNoReply,
    kReasonBadReply,
    kReasonNoVersion,
    kReasonDroppedOffBus,
    kReasonWriteFailed,
    kReasonStoppedTakingData,
    kReasonTransferTooLong,
    kReasonPayloadMissing,
    kReasonNotBackAfterRestart,
    kReasonNotIdentified,
    // tessel-cli info
    kInfoCarried,
    kInfoSearchFailed,
    kInfoNoPrinter,
    kInfoPrinter,
    kInfoPortLabel,
    kInfoSerialLabel,
    kInfoDeviceLabel,
    kInfoTransportLabel,
    kInfoStatusLabel,
    kInfoFirmwareLabel,
    kInfoTransportPrinterDriver,  // how the tool reaches the printer: usblp's node
    kInfoTransportUsbDevice,      // its USB device node, through libusb
    kInfoNone,
    kInfoNoDevicePath,
    kInfoDoesNotOpen,
    kInfoOtherReason,
    kInfoNoStatusAnswer,
    kInfoStatusReady,
    kInfoStatusNotReady,
    kInfoNotAsked,
    kInfoNoVersionAnswer,
    kInfoOlder,
    kInfoSame,
    kInfoNewer,
    kInfoFirstOnly,  // {1} the option that names a printer
    kInfoUnusable,
    kUnusableNoInterface,
    kUnusableOtherDriver,
    kUnusableNoDeviceNode,
    kUnusableOddDescriptors,  // {1} one of the descriptor problems below
    kDescriptorMalformed,
    kDescriptorNoConfiguration,
    kDescriptorNoPrinterInterface,
    kDescriptorSeveralInterfaces,
    kDescriptorAlternateSettings,
    kDescriptorNotBidirectional,
    kDescriptorNoBulkOut,
    kDescriptorNoBulkIn,
    kDescriptorOtherEndpoints,
    // tessel-cli's notices, prompts and errors
    kAnswerNoTerminal,
    kAnswerNotGiven,
    kAnswerPlease,
    kInterrupted,
    kInterruptRefused,
    kAnotherRunRunning,
    kPrinterNoneNamed,     // {1} what names the printer, {2} the option, {3} the info command
    kPrinterSeveralNamed,  // {1} how many, {2} what names them, {3} the option, {4} info
    kPrinterNotTellable,   // {1} what names it, {2} the option
    kRunLogIs,
    kNoAdministratorRights,
    kNoRunLog,
    kNoStateFolder,
    kCannotRead,
    kTimeScaleIgnored,
    kTimeScaleWrong,
    kPayloadsStandIn,
    kPayloadsMakers,
    kPayloadLoader,
    kPayloadFirmware,
    kPayloadLine,
    kPayloadDamaged,
    kUsageNoCommand,
    kUsageNoArguments,
    kUsageUnknownOption,
    kUsageExclusive,
    kUsageNeedsValue,  // {1} the command, {2} the option
    kUsageRepeated,    // {1} the command, {2} the option
    kUsageUnknownCommand,
    kHelp,
    kCount
};

inline constexpr std::size_t kToolTextCount = static_cast<std::size_t>(ToolText::kCount);

struct ToolTextEntry {
    ToolText id;  // equal to the entry's position in its block
    std::u16string_view text;
};
using ToolTextBlock = std::array<ToolTextEntry, kToolTextCount>;

// The constant table, in the blocks of the text table and in id order.
extern const std::array<ToolTextBlock, kUiLanguageBlockCount> ToolTextTable;

// Text `id` of `block`, its placeholders filled with `args` ({1} is the first). In the Hebrew
// block each argument is wrapped in a first-strong isolate.
std::u16string ToolTextIn(int block, ToolText id,
                          std::initializer_list<std::u16string_view> args = {});
// The same in the current language (UiLanguageBlock).
std::u16string GetToolText(ToolText id, std::initializer_list<std::u16string_view> args = {});
// The same as UTF-8, with UTF-8 arguments: for the command line.
std::string ToolTextUtf8(ToolText id, std::initializer_list<std::string_view> args = {});
// English, for the support log.
std::string ToolTextEnglish(ToolText id, std::initializer_list<std::string_view> args = {});

// `bytes` in megabytes with one decimal, two below a megabyte (cut, not rounded: a payload is
// never shown as sent before it is), with the decimal separator of `block` or of the current
// language: "27.0", "0.08".
std::u16string Megabytes(std::uint64_t bytes, int block);
std::u16string Megabytes(std::uint64_t bytes);
// m:ss
std::u16string MinutesSeconds(std::int64_t seconds);

// The one line that says why a run ended, in `block`'s language: "Cause: the printer stopped
// taking data (while sending the firmware, after 5.0 of 27.0 MB)."
std::u16string RunCauseText(const upgrade::RunCause& cause, int block);

}  // namespace tessel::ui
