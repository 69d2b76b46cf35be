#include <gtest/gtest.h>

#include "text/CaseCompare.h"
#include "text/CodePage.h"
#include "TestEnvironment.h"

using text::CodePage;

TEST(CodePageTest, Utf8RoundTripsThroughUtf16) {
    const std::string samples[] = {"", "Paris", "Zürich", "日本語", "emoji \xF0\x9F\x98\x80"};
    for (const std::string& s : samples) {
        EXPECT_EQ(text::ToNarrow(text::ToWide(s, CodePage::Utf8), CodePage::Utf8), s) << s;
    }
    EXPECT_EQ(text::ToWide("\xF0\x9F\x98\x80", CodePage::Utf8), std::u16string(u"\U0001F600"));
}

TEST(CodePageTest, InvalidUtf8BecomesReplacementPerByte) {
    EXPECT_EQ(text::ToWide("a\xFF\xC3" "b", CodePage::Utf8), std::u16string(u"a\uFFFD\uFFFDb"));
    // Overlong encodings and encoded surrogates are invalid too.
    EXPECT_EQ(text::ToWide("\xC0\xAF", CodePage::Utf8), std::u16string(u"\uFFFD\uFFFD"));
    EXPECT_EQ(text::ToWide("\xED\xA0\x80", CodePage::Utf8).size(), 3u);
}

TEST(CodePageTest, Windows1252MapsEveryByteAndBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::u16string wide = text::ToWide(all, CodePage::Windows1252);
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');  // euro sign
    EXPECT_EQ(wide[0xE4 - 1], u'\u00E4');
    EXPECT_EQ(text::ToNarrow(wide, CodePage::Windows1252), all);
    EXPECT_EQ(text::ToNarrow(u"\u65E5", CodePage::Windows1252), "?");
}

TEST(CaseCompareTest, ComparesByCharacters) {
    struct Case {
        const char* a;
        const char* b;
        CodePage cp;
        bool equal;
    } cases[] = {
        {"Secret", "sECRET", CodePage::Utf8, true},
        {"\xC3\xA4pfel", "\xC3\x84PFEL", CodePage::Utf8, true},   // äpfel / ÄPFEL
        {"\xE4pfel", "\xC4PFEL", CodePage::Windows1252, true},    // the same in 1252
        {"stra\xC3\x9F" "e", "STRASSE", CodePage::Utf8, false},  // no multi-letter folding
        {"abc", "abcd", CodePage::Utf8, false},
        {"", "", CodePage::Utf8, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::EqualsNoCase(c.a, c.b, c.cp), c.equal) << c.a << " / " << c.b;
    }
    EXPECT_LT(text::CompareNoCase("apple", "Banana", CodePage::Utf8), 0);
}

TEST(CaseCompareTest, FoldKeyIgnoresCaseButKeepsDistinctBytesApart) {
    EXPECT_EQ(text::FoldKey("Software\\Quenby"), text::FoldKey("SOFTWARE\\quenby"));
    EXPECT_EQ(text::FoldKey("\xC3\xA4"), text::FoldKey("\xC3\x84"));
    EXPECT_NE(text::FoldKey("\xE4"), text::FoldKey("\xC4"));  // raw bytes are not letters here
    EXPECT_NE(text::FoldKey("\xE4"), text::FoldKey("\xEF\xBF\xBD"));
}

class ActiveCodePageTest : public qbtest::TempEnvironment {};

TEST_F(ActiveCodePageTest, ReadFromRegistryDefaultingToUtf8) {
    EXPECT_EQ(text::ActiveCodePage(), CodePage::Utf8);
    SetString("SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", "1252");
    EXPECT_EQ(text::ActiveCodePage(), CodePage::Utf8) << "read once per process";
    text::ResetActiveCodePage();
    EXPECT_EQ(text::ActiveCodePage(), CodePage::Windows1252);
}
