#include "ui/ui_text.h"

#include <gtest/gtest.h>

#include "language_state.h"

namespace tessel::ui {
namespace {

using UiTextTest = testing::LanguageStateTest;

TEST_F(UiTextTest, LangIdSelectsBlock) {
    struct Case {
        std::uint16_t langid;
        int block;
    };
    const Case cases[] = {
        {0x0404, kBlockTraditionalChinese},  // Chinese, Taiwan
        {0x0804, kBlockSimplifiedChinese},   // PRC
        {0x0C04, kBlockSimplifiedChinese},   // Hong Kong
        {0x1004, kBlockSimplifiedChinese},   // Singapore
        {0x1404, kBlockSimplifiedChinese},   // Macau
        {0x041F, kBlockTurkish},
        {0x0409, kBlockEnglish},
        {0x0809, kBlockEnglish},
        {0x0419, kBlockRussian},
        {0x0410, kBlockItalian},
        {0x0810, kBlockItalian},
        {0x0411, kBlockJapanese},
        {0x040D, kBlockHebrew},
        {0x0407, kBlockEnglish},  // German: no block of its own
        {0x040C, kBlockEnglish},  // French
        {0x0412, kBlockEnglish},  // Korean
        {0x0000, kBlockEnglish},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "langid 0x" << std::hex << c.langid);
        SetUiLanguage(c.langid);
        EXPECT_EQ(UiLanguageBlock(), c.block);
        EXPECT_EQ(GetUiText(kTextStart), UiTextTable[c.block][kTextStart].text);
    }
}

TEST_F(UiTextTest, SetUiLanguageSplitsPrimaryAndSublanguage) {
    SetUiLanguage(0x7C04);
    EXPECT_EQ(g_wPrimaryLang, 0x04);
    EXPECT_EQ(g_wSubLang, 0x1F);
    EXPECT_EQ(UiLanguageBlock(), kBlockSimplifiedChinese);
    SetUiLanguage(0x0404);
    EXPECT_EQ(g_wSubLang, kSubLangChineseTaiwan);
}

TEST_F(UiTextTest, EnglishBeforeAnyLanguageIsChosen) {
    EXPECT_EQ(GetUiText(kTextTitle), u"Bexlot  Firmware Upgrade Tool");
}

TEST_F(UiTextTest, IdOutsideTableGivesEmptyText) {
    EXPECT_EQ(GetUiText(-1), u"");
    EXPECT_EQ(GetUiText(kUiTextCount), u"");
}

TEST_F(UiTextTest, EveryBlockIsComplete) {
    for (int block = 0; block < kUiLanguageBlockCount; ++block) {
        SCOPED_TRACE(::testing::Message() << "block " << block);
        for (int id = 0; id < kUiTextCount; ++id) {
            const UiTextEntry& entry = UiTextTable[block][id];
            EXPECT_EQ(entry.id, id);
            EXPECT_FALSE(entry.text.empty()) << "id " << id;
            EXPECT_LT(entry.text.size(), kUiTextCapacity) << "id " << id;
        }
        const UiTextBlock& texts = UiTextTable[block];
        EXPECT_EQ(texts[kTextCloseItem].text, u"\u5173\u95ED(&C)");
        // The instructions name the start button by its label in the same language.
        EXPECT_NE(texts[kTextInstructions].text.find(texts[kTextStart].text),
                  std::u16string_view::npos);
        // The series list is appended to the tips, so they must end on a line break.
        EXPECT_TRUE(texts[kTextTips].text.ends_with(u"\r\n"));
    }
}

TEST_F(UiTextTest, TranslatedBlocksDoNotFallBackToEnglish) {
    const int translated[] = {kBlockTurkish,          kBlockRussian,  kBlockTraditionalChinese,
                              kBlockItalian,          kBlockJapanese, kBlockHebrew,
                              kBlockSimplifiedChinese};
    for (int block : translated) {
        for (int id = kTextFailureMessage; id <= kTextPortBusy; ++id) {
            if (id >= kTextComplete && id <= kTextCloseItem) {
                continue;  // the short entries: some are the same word in two languages
            }
            EXPECT_NE(UiTextTable[block][id].text, UiTextTable[kBlockEnglish][id].text)
                << "block " << block << " id " << id;
        }
    }
}

TEST_F(UiTextTest, TextsThatMustStandExactly) {
    struct Case {
        int block;
        int id;
        std::u16string_view text;
    };
    const Case cases[] = {
        {kBlockEnglish, kTextTitle, u"Bexlot  Firmware Upgrade Tool"},
        {kBlockEnglish, kTextUpgrading, u"The firmware is upgrading, please wait\u2026"},
        {kBlockEnglish, kTextInstructions,
         u"Notice: Please do not turn off the printer and the computer during the upgrade."
         u"\r\n\r\n\r\nThe upgrade steps are as follows:\r\n\r\n1. Please turn on the printer, "
         u"and set it to the ready or sleep state;\r\n2. Use a USB cable to connect the printer "
         u"and the computer;\r\n3. Click the \"Start to upgrade\" button.\r\n"},
        {kBlockSimplifiedChinese, kTextUpgrading,
         u"\u56FA\u4EF6\u5347\u7EA7\u4E2D\uFF0C"
         u"\u8BF7\u7B49\u5F85..."},
        {kBlockItalian, kTextTitle, u"Strumenti dell\u2019aggiornamento del firmware Bexlot "},
        {kBlockItalian, kTextStart, u"Inizia\u00A0l'aggiornamento"},
        {kBlockHebrew, kTextTitle,
         u"\u05DB\u05DC\u05D9 \u05E9\u05D3\u05E8\u05D5\u05D2 \u05E7\u05D5\u05E9\u05D7\u05D4 "
         u"(Bexlot(FW1.x.5.5"},
        {kBlockJapanese, kTextOk, u"OK"},
        {kBlockJapanese, kTextYes, u"OK"},
        {kBlockJapanese, kTextNo, u"\u30AD\u30E3\u30F3\u30BB\u30EB"},
        {kBlockTurkish, kTextYes, u"M\u0131"},
        {kBlockTurkish, kTextFontFace, u"Times New Roman"},
        {kBlockRussian, kTextFontFace, u"Times New Roman"},
        {kBlockHebrew, kTextFontFace, u"Arial"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UiTextTable[c.block][c.id].text, c.text) << "block " << c.block << " id " << c.id;
    }
    for (int block : {kBlockSimplifiedChinese, kBlockEnglish, kBlockTraditionalChinese,
                      kBlockItalian, kBlockJapanese}) {
        EXPECT_EQ(UiTextTable[block][kTextFontFace].text, u"\u5B8B\u4F53") << "block " << block;
    }
}

}  // namespace
}  // namespace tessel::ui
