#include "ui/ui_locale.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "language_state.h"

namespace tessel::ui {
namespace {

using UiLocaleTest = testing::LanguageStateTest;

TEST_F(UiLocaleTest, PosixLocaleToLangId) {
    struct Case {
        const char* locale;
        std::uint16_t langid;
        int block;
    };
    const Case cases[] = {
        {"zh_TW.UTF-8", 0x0404, kBlockTraditionalChinese},
        {"zh_TW.Big5", 0x0404, kBlockTraditionalChinese},
        {"zh-TW", 0x0404, kBlockTraditionalChinese},
        {"ZH_tw", 0x0404, kBlockTraditionalChinese},
        {"zh_CN", 0x0804, kBlockSimplifiedChinese},
        {"zh_HK.UTF-8", 0x0C04, kBlockSimplifiedChinese},
        {"zh_SG", 0x1004, kBlockSimplifiedChinese},
        {"zh", 0x0804, kBlockSimplifiedChinese},
        {"tr_TR", 0x041F, kBlockTurkish},
        {"he_IL", 0x040D, kBlockHebrew},
        {"iw_IL.ISO-8859-8", 0x040D, kBlockHebrew},
        {"ru_RU.UTF-8", 0x0419, kBlockRussian},
        {"it_IT@euro", 0x0410, kBlockItalian},
        {"it_CH", 0x0810, kBlockItalian},
        {"ja_JP.eucJP", 0x0411, kBlockJapanese},
        {"en_US", 0x0409, kBlockEnglish},
        {"en_GB.UTF-8", 0x0809, kBlockEnglish},
        {"de_DE.UTF-8", 0x0407, kBlockEnglish},
        {"C", 0x0409, kBlockEnglish},
        {"C.UTF-8", 0x0409, kBlockEnglish},
        {"POSIX", 0x0409, kBlockEnglish},
        {"", 0x0409, kBlockEnglish},
        {"xx_YY", 0x0409, kBlockEnglish},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(LangIdFromPosixLocale(c.locale), c.langid);
        SetUiLanguage(LangIdFromPosixLocale(c.locale));
        EXPECT_EQ(UiLanguageBlock(), c.block);
    }
}

TEST_F(UiLocaleTest, MessagesLocaleFollowsPosixOrder) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        Env env;
        const char* expected;
    };
    const Case cases[] = {
        {{{"LC_ALL", "he_IL"}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "ja_JP"}}, "he_IL"},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "ja_JP"}}, "ru_RU"},
        {{{"LC_MESSAGES", ""}, {"LANG", "tr_TR.UTF-8"}}, "tr_TR.UTF-8"},
        {{{"LC_CTYPE", "zh_TW"}, {"LANGUAGE", "it"}}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        const EnvLookup lookup = [&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(MessagesLocale(lookup), c.expected);
    }
    EXPECT_EQ(MessagesLocale(nullptr), "");
    EXPECT_EQ(UiLanguageFromEnvironment([](const char* name) -> const char* {
                  return std::string(name) == "LANG" ? "zh_TW.UTF-8" : nullptr;
              }),
              0x0404);
}

}  // namespace
}  // namespace tessel::ui
