#include "ui/ui_text.h"

#include "ui/tool_text.h"

namespace tessel::ui {

std::uint16_t g_wPrimaryLang = 0;
std::uint16_t g_wSubLang = 0;

void SetUiLanguage(std::uint16_t langid) {
    g_wPrimaryLang = static_cast<std::uint16_t>(langid & 0x03FF);
    g_wSubLang = static_cast<std::uint16_t>(langid >> 10);
}

int UiLanguageBlock() {
    switch (g_wPrimaryLang) {
        case kLangChinese:
            return g_wSubLang == kSubLangChineseTaiwan ? kBlockTraditionalChinese
                                                       : kBlockSimplifiedChinese;
        case kLangTurkish:
            return kBlockTurkish;
        case kLangRussian:
            return kBlockRussian;
        case kLangItalian:
            return kBlockItalian;
        case kLangJapanese:
            return kBlockJapanese;
        case kLangHebrew:
            return kBlockHebrew;
        default:
            // English, every language without a block of its own, and the state before
            // SetUiLanguage (which is how the single-instance key is always English).
            return kBlockEnglish;
    }
}

std::u16string GetUiText(int id) {
    // Callers pass constants, but a wrong id must not read past the table.
    if (id < 0 || id >= kUiTextCount) {
        return {};
    }
    return std::u16string(UiTextTable[UiLanguageBlock()][id].text);
}

std::u16string VersionedTitle(std::u16string_view title) {
    std::u16string text(title);
    text += u"(";
    text += g_strFwVersion;
    text += u")";
    return text;
}

bool UiLanguageIsRightToLeft() {
    return g_wPrimaryLang == kLangHebrew;
}

std::u16string OpenFailureText(platform::OpenFailure failure) {
    switch (failure) {
        case platform::OpenFailure::kPermissionDenied:
            return GetToolText(ToolText::kOpenPermissionDenied);
        case platform::OpenFailure::kNoDevice:
            return GetToolText(ToolText::kOpenNoDevice);
        case platform::OpenFailure::kBusy:
            return GetToolText(ToolText::kOpenBusy);
        case platform::OpenFailure::kNone:
        case platform::OpenFailure::kOther:
            break;
    }
    return {};
}

std::u16string TransportText(platform::DeviceTransport transport) {
    switch (transport) {
        case platform::DeviceTransport::kPrinterDriver:
            return GetToolText(ToolText::kInfoTransportPrinterDriver);
        case platform::DeviceTransport::kUsbDevice:
            return GetToolText(ToolText::kInfoTransportUsbDevice);
    }
    return {};
}

std::u16string DescriptorProblemText(platform::DescriptorProblem problem) {
    switch (problem) {
        case platform::DescriptorProblem::kNone:
            return {};
        case platform::DescriptorProblem::kMalformed:
            return GetToolText(ToolText::kDescriptorMalformed);
        case platform::DescriptorProblem::kNoConfiguration:
            return GetToolText(ToolText::kDescriptorNoConfiguration);
        case platform::DescriptorProblem::kNoPrinterInterface:
            return GetToolText(ToolText::kDescriptorNoPrinterInterface);
        case platform::DescriptorProblem::kSeveralInterfaces:
            return GetToolText(ToolText::kDescriptorSeveralInterfaces);
        case platform::DescriptorProblem::kAlternateSettings:
            return GetToolText(ToolText::kDescriptorAlternateSettings);
        case platform::DescriptorProblem::kNotBidirectional:
            return GetToolText(ToolText::kDescriptorNotBidirectional);
        case platform::DescriptorProblem::kNoBulkOut:
            return GetToolText(ToolText::kDescriptorNoBulkOut);
        case platform::DescriptorProblem::kNoBulkIn:
            return GetToolText(ToolText::kDescriptorNoBulkIn);
        case platform::DescriptorProblem::kOtherEndpoints:
            return GetToolText(ToolText::kDescriptorOtherEndpoints);
    }
    return {};
}

}  // namespace tessel::ui
