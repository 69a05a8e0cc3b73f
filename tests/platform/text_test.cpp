#include <gtest/gtest.h>

#include "platform/text.h"

namespace tessel::platform {
namespace {

TEST(Text, Utf8AndUtf16RoundTripIncludingSurrogatesAndNoBreakSpace) {
    const std::string samples[] = {"Start to upgrade", "Inizia\xC2\xA0l'aggiornamento",
                                   "\xE5\xAE\x8B\xE4\xBD\x93", "\xF0\x9F\x96\xA8 printer", ""};
    for (const auto& s : samples) {
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
    }
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x96\xA8"), std::u16string(u"\U0001F5A8"));
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong NUL
}

TEST(Text, FormatU16) {
    EXPECT_EQ(FormatU16("ReadData(): nBytesRead = %d \r\n", -1), u"ReadData(): nBytesRead = -1 \r\n");
    EXPECT_EQ(FormatU16("USB%03d", 7), u"USB007");
}

TEST(Text, CopyToFixedCutsAtCapacityAndZeroFillsTheRest) {
    char16_t buf[6];
    std::fill(std::begin(buf), std::end(buf), u'x');
    CopyToFixed(buf, 6, u"USB001234");
    EXPECT_EQ(FixedView(buf, 6), u"USB00");
    EXPECT_EQ(buf[5], u'\0');
    CopyToFixed(buf, 6, u"ab");
    EXPECT_EQ(FixedView(buf, 6), u"ab");
    for (int i = 2; i < 6; ++i) {
        EXPECT_EQ(buf[i], u'\0');
    }
}

}  // namespace
}  // namespace tessel::platform
