// The tool's texts: 26 texts in eight languages, chosen once from the user's UI language.
// Every text the user sees comes from here by id; the only other visible strings are the
// supported-series list and the firmware version label below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "payloads/payload_format.h"
#include "platform/device_file.h"
#include "platform/usb_descriptors.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::ui {

inline constexpr int kUiTextCount = 26;
inline constexpr int kUiLanguageBlockCount = 8;
// Every text fits a fixed buffer of this many UTF-16 units, terminator included, so a front
// end may copy a text into such a buffer without cutting it.
inline constexpr std::size_t kUiTextCapacity = 512;

// Text ids.
inline constexpr int kTextTitle = 0;
inline constexpr int kTextFailureMessage = 1;
inline constexpr int kTextProgressNotice = 2;
inline constexpr int kTextRestartPrinter = 3;    // in the table, not shown
inline constexpr int kTextConfirmOnPrinter = 4;  // in the table, not shown
inline constexpr int kTextNotReadyMessage = 5;
inline constexpr int kTextNoPrinter = 6;
inline constexpr int kTextUpgrading = 7;
inline constexpr int kTextTransmitting = 8;  // in the table, not shown
inline constexpr int kTextSucceeded = 9;
inline constexpr int kTextFailed = 10;
inline constexpr int kTextNewerFirmware = 11;
inline constexpr int kTextSameFirmware = 12;
inline constexpr int kTextCanceled = 13;  // in the table, not shown
inline constexpr int kTextInstructions = 14;
inline constexpr int kTextTips = 15;
inline constexpr int kTextComplete = 16;
inline constexpr int kTextStart = 17;
inline constexpr int kTextExit = 18;
inline constexpr int kTextFontFace = 19;
inline constexpr int kTextCloseItem = 20;
inline constexpr int kTextNewDriver = 21;
inline constexpr int kTextPortBusy = 22;
inline constexpr int kTextOk = 23;
inline constexpr int kTextYes = 24;
inline constexpr int kTextNo = 25;

// Language blocks, in table order.
inline constexpr int kBlockSimplifiedChinese = 0;
inline constexpr int kBlockTurkish = 1;
inline constexpr int kBlockEnglish = 2;
inline constexpr int kBlockRussian = 3;
inline constexpr int kBlockTraditionalChinese = 4;
inline constexpr int kBlockItalian = 5;
inline constexpr int kBlockJapanese = 6;
inline constexpr int kBlockHebrew = 7;

// Primary language ids (the low 10 bits of a Windows LANGID) that the tool distinguishes.
inline constexpr std::uint16_t kLangChinese = 0x04;
inline constexpr std::uint16_t kLangEnglish = 0x09;
inline constexpr std::uint16_t kLangHebrew = 0x0D;
inline constexpr std::uint16_t kLangItalian = 0x10;
inline constexpr std::uint16_t kLangJapanese = 0x11;
inline constexpr std::uint16_t kLangRussian = 0x19;
inline constexpr std::uint16_t kLangTurkish = 0x1F;
inline constexpr std::uint16_t kSubLangChineseTaiwan = 0x01;

struct UiTextEntry {
    std::int32_t id;  // equal to the entry's position in its block
    std::u16string_view text;
};
using UiTextBlock = std::array<UiTextEntry, kUiTextCount>;

// The constant table, eight blocks of 26 entries each, in id order.
extern const std::array<UiTextBlock, kUiLanguageBlockCount> UiTextTable;

// The language state: primary language (low 10 bits of the LANGID) and sublanguage (high
// 6 bits). Both 0 until SetUiLanguage runs, which selects English. Written once on the UI
// thread before any worker exists, read-only afterwards.
extern std::uint16_t g_wPrimaryLang;
extern std::uint16_t g_wSubLang;

// Stores the language of `langid` (a Windows LANGID) in the language state.
void SetUiLanguage(std::uint16_t langid);

// The block that the language state selects.
int UiLanguageBlock();

// A copy of text `id` in the current language. An id outside 0 to 25 gives an empty text.
std::u16string GetUiText(int id);

// True when the current language reads right to left (Hebrew).
bool UiLanguageIsRightToLeft();

// The supported printer series, appended to the tips text; the same in every language.
inline constexpr std::u16string_view kSupportedSeriesList =
    u"Bexlot R7100 series\r\nBexlot R7200 series\r\nBexlot R7300 series\r\n"
    u"Bexlot R7400 series\r\n";

namespace detail {
// "FW" and the carried firmware's marker as a dotted version: "3338" gives "FW3.3.3.8".
inline constexpr std::array<char16_t, 9> kFwVersionLabel = [] {
    constexpr std::string_view m = payloads::kCarriedFirmwareMarker;
    return std::array<char16_t, 9>{u'F', u'W', char16_t(m[0]), u'.', char16_t(m[1]), u'.',
                                   char16_t(m[2]), u'.', char16_t(m[3])};
}();
}  // namespace detail

// The version label of the carried firmware: in the window title and the single-instance key.
inline constexpr std::u16string_view g_strFwVersion(detail::kFwVersionLabel.data(),
                                                    detail::kFwVersionLabel.size());

// `title` followed by the version label in parentheses ("%s(%s)"): the main window's title and
// the single-instance key.
std::u16string VersionedTitle(std::u16string_view title);

// Why a printer's device file did not open, for the user in the current language, or nothing
// when the system gave no reason a user can act on (kNone, kOther).
std::u16string OpenFailureText(platform::OpenFailure failure);

// How the tool reaches a printer, for the user in the current language.
std::u16string TransportText(platform::DeviceTransport transport);

// What is wrong with a printer's USB descriptors, for the user in the current language.
std::u16string DescriptorProblemText(platform::DescriptorProblem problem);

}  // namespace tessel::ui
