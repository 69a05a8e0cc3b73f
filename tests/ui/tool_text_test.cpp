#include "ui/tool_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "language_state.h"
#include "platform/text.h"

namespace tessel::ui {
namespace {

using ToolTextTest = testing::LanguageStateTest;

std::set<std::u16string> Placeholders(std::u16string_view text) {
    std::set<std::u16string> found;
    for (std::size_t at = text.find(u'{'); at != std::u16string_view::npos;
         at = text.find(u'{', at + 1)) {
        const std::size_t end = text.find(u'}', at);
        if (end != std::u16string_view::npos) {
            found.emplace(text.substr(at, end - at + 1));
        }
    }
    return found;
}

// Whether `text` says nothing but figures and their units ("{1} MB/s"): such a text may read
// the same in another language.
bool OnlyFiguresAndUnits(std::u16string_view text) {
    std::u16string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i] : u' ';
        if (c == u'{' && i + 2 < text.size() && text[i + 2] == u'}') {
            i += 2;
            continue;
        }
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F) {
            word += c;
            continue;
        }
        if (!word.empty() && word != u"MB" && word != u"s") {
            return false;
        }
        word.clear();
    }
    return true;
}

bool IsCjkBlock(int block) {
    return block == kBlockSimplifiedChinese || block == kBlockTraditionalChinese ||
           block == kBlockJapanese;
}

// Every language has every text, in id order, not left in English, with the English text's
// placeholders, and with its own punctuation.
TEST_F(ToolTextTest, EveryLanguageHasEveryTextWithTheSamePlaceholders) {
    const ToolTextBlock& english = ToolTextTable[kBlockEnglish];
    for (int block = 0; block < kUiLanguageBlockCount; ++block) {
        for (std::size_t i = 0; i < kToolTextCount; ++i) {
            const ToolTextEntry& entry = ToolTextTable[static_cast<std::size_t>(block)][i];
            const std::u16string_view text = entry.text;
            SCOPED_TRACE(::testing::Message() << "block " << block << ", text " << i << ": "
                                              << platform::Utf16ToUtf8(text));
            EXPECT_EQ(static_cast<std::size_t>(entry.id), i);
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(Placeholders(text), Placeholders(english[i].text));
            // Identical to English only where the language writes it so: figures with their
            // units, the decimal point, and "firmware", the word Turkish and Italian use in the
            // text table too.
            const bool may_match =
                OnlyFiguresAndUnits(text) || ((block == kBlockTurkish || block == kBlockItalian) &&
                                              (entry.id == ToolText::kInfoFirmwareLabel ||
                                               entry.id == ToolText::kPayloadFirmware));
            if (block != kBlockEnglish && !may_match) {
                EXPECT_NE(text, english[i].text);
            }
            // Full-width punctuation in Chinese and Japanese (the help's usage lines aside),
            // «» in Russian.
            if (IsCjkBlock(block) && entry.id != ToolText::kHelp) {
                EXPECT_EQ(text.find_first_of(u",:;()!?"), std::u16string_view::npos);
            }
            if (block == kBlockRussian) {
                EXPECT_EQ(text.find(u'"'), std::u16string_view::npos);
            }
        }
    }
}

TEST_F(ToolTextTest, PlaceholdersAreFilledInTheLanguagesOrder) {
    SetUiLanguage(0x0409);
    EXPECT_EQ(ToolTextUtf8(ToolText::kInfoOlder, {"3.3.2.9", "FW3.3.3.8"}),
              "3.3.2.9, older than the carried FW3.3.3.8: the upgrade installs it");
    SetUiLanguage(0x0411);
    // Japanese puts the total before the part.
    EXPECT_EQ(GetToolText(ToolText::kCauseLineBytes, {u"A", u"B", u"5.0", u"27.0"}),
              u"原因：A（段階：B、27.0 MB 中 5.0 MB 送信済み）。");
    // Hebrew sets every figure apart so that it keeps reading left to right.
    SetUiLanguage(0x040D);
    EXPECT_EQ(GetToolText(ToolText::kPhaseTimeLeft, {u"1:54"}), u", נותרו \u20681:54\u2069");
    EXPECT_EQ(ToolTextEnglish(ToolText::kPhaseTimeLeft, {"1:54"}), ", 1:54 left");
}

TEST_F(ToolTextTest, MegabytesAreCutWithTheLanguagesSeparator) {
    SetUiLanguage(0x0409);
    EXPECT_EQ(Megabytes(27'015'755), u"27.0");
    EXPECT_EQ(Megabytes(5'299'999), u"5.2");  // never more than was sent
    EXPECT_EQ(Megabytes(1'000'000), u"1.0");
    EXPECT_EQ(Megabytes(0), u"0.00");
    SetUiLanguage(0x0419);
    EXPECT_EQ(Megabytes(83'750), u"0,08");
    EXPECT_EQ(Megabytes(83'750, kBlockEnglish), u"0.08");
}

TEST_F(ToolTextTest, CauseLines) {
    upgrade::RunCause stalled{upgrade::UpgradePhase::kSendingFirmware,
                              upgrade::RunReason::kStoppedTakingData};
    stalled.bytes_sent = 5'242'880;
    stalled.bytes_total = 27'015'755;
    EXPECT_EQ(RunCauseText(stalled, kBlockEnglish),
              u"Cause: the printer stopped taking data (while sending the firmware, after 5.2 of "
              u"27.0 MB).");
    upgrade::RunCause status{upgrade::UpgradePhase::kCheckingPrinter,
                             upgrade::RunReason::kNotReadyStatus};
    status.status = 3;
    EXPECT_EQ(RunCauseText(status, kBlockEnglish),
              u"Cause: the printer reports status 3, which does not allow an upgrade (while "
              u"checking the printer).");
    upgrade::RunCause denied{upgrade::UpgradePhase::kCheckingPrinter,
                             upgrade::RunReason::kOpenFailed};
    denied.system = platform::OpenFailure::kBusy;
    EXPECT_EQ(RunCauseText(denied, kBlockRussian),
              u"Причина: не удалось открыть файл устройства принтера (этап: проверка принтера). "
              u"Сообщение системы: устройство занято (его держит другая программа).");
}

}  // namespace
}  // namespace tessel::ui
