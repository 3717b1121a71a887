#include "platform/rtl/CodePage.h"
#include "platform/rtl/Colors.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace rtl;

TEST(Colors, NamesBothWays) {
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(clLtGray), "clSilver"); // first name of the value
    EXPECT_EQ(ColorToString(clMoneyGreen), "clMoneyGreen");
    EXPECT_EQ(ColorToString(clNone), "clNone");
    EXPECT_EQ(ColorToString(clDefault), "clDefault");
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(ColorToString(TColor(0xFF000040u)), "$FF000040");
    EXPECT_EQ(StringToColor("clskyblue"), clSkyBlue);
    EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("clWindowFrame"), clWindowFrame);
    try {
        StringToColor("bogus");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'bogus' is not a valid integer value");
    }
    for (TColor c : {clBlack, clWhite, clCream, clMedGray, clAqua, clBtnShadow, 0x010203})
        EXPECT_EQ(StringToColor(ColorToString(c)), c);
}

TEST(Colors, ComponentsAndSystemColours) {
    EXPECT_EQ(RGB(1, 2, 3), 0x030201);
    EXPECT_EQ(GetRValue(clSkyBlue), 0xA6);
    EXPECT_EQ(GetGValue(clSkyBlue), 0xCA);
    EXPECT_EQ(GetBValue(clSkyBlue), 0xF0);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(0xF0, 0xF0, 0xF0));
}

TEST(CodePage, Windows1252BothWays) {
    EXPECT_EQ(Windows1252Character(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252Character(0x81), U'\0'); // unassigned
    EXPECT_EQ(Windows1252Character(0x9F), U'\u0178');
    EXPECT_EQ(Windows1252Character(0xE9), U'\u00E9');
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC caf\xC3\xA9 \xE2\x98\x83"), "\x80 caf\xE9 ?");
    EXPECT_EQ(Utf8ToWindows1252("\xC5\x93\xE2\x80\x9Cq\xE2\x80\x9D\xE2\x84\xA2"), "\x9C\x93q\x94\x99");
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x98\x80!"), "?!"); // outside the BMP
    EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                                "b\xC3"),
              "a?b?");                              // malformed input
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??"); // overlong form
    EXPECT_EQ(Windows1252ToUtf8("\x80\xE9\x9F"), "\xE2\x82\xAC\xC3\xA9\xC5\xB8");
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(UnicodeToWindows1252(U'\u0153'), '\x9C');
    EXPECT_EQ(UnicodeToWindows1252(U'\u0100'), '?');
    EXPECT_TRUE(FitsWindows1252("caf\xC3\xA9?"));
    EXPECT_FALSE(FitsWindows1252("\xE2\x98\x83"));
    std::string all, assigned;
    for (int b = 1; b < 256; ++b) {
        all += char(b);
        assigned += Windows1252Character(static_cast<unsigned char>(b)) ? char(b) : '?';
    }
    // The five unassigned bytes read as their C1 controls, which are never written back as those bytes:
    // strict readers refuse them.
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), assigned);
    for (const char32_t control : {U'\u0081', U'\u008D', U'\u008F', U'\u0090', U'\u009D'})
        EXPECT_EQ(UnicodeToWindows1252(control), '?') << unsigned(control);
    EXPECT_FALSE(FitsWindows1252("\xC2\x9D"));
}

TEST(CodePage, RepairUtf8ReplacesEachMalformedByte) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    };
    for (const Case& c : std::vector<Case>{
             {"a\x80z", "a" + fffd + "z"},                                 // stray continuation byte
             {"\xE2\x82", fffd + fffd},                                    // cut at the end
             {"\xE2\x82x\xC3", fffd + fffd + "x" + fffd},                  // cut inside
             {"\xC0\xAF", fffd + fffd},                                    // overlong
             {"\xED\xA0\x80", fffd + fffd + fffd},                         // surrogate
             {"\xF5\x80\x80\x80", fffd + fffd + fffd + fffd},              // past U+10FFFF
             {std::string(20, 'x') + "\xFF", std::string(20, 'x') + fffd}, // after a long ASCII run
         }) {
        std::string text = c.in;
        EXPECT_TRUE(RepairUtf8(text)) << c.out;
        EXPECT_EQ(text, c.out);
    }
    for (std::string good : {std::string(), std::string("caf\xC3\xA9 \xF0\x9F\x98\x80"), fffd}) {
        const std::string before = good;
        EXPECT_FALSE(RepairUtf8(good));
        EXPECT_EQ(good, before);
    }
}

// The well-formed length as the Unicode standard defines it, character by character from the code point.
size_t ReferenceWellFormedLength(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const size_t length = lead < 0x80    ? 1
                              : lead >= 0xF8 ? 0
                              : lead >= 0xF0 ? 4
                              : lead >= 0xE0 ? 3
                              : lead >= 0xC0 ? 2
                                             : 0;
        if (length == 0 || length > s.size() - i)
            return i;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(s[i + k]);
            if ((byte & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (byte & 0x3F);
        }
        const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return i;
        i += length;
    }
    return i;
}

TEST(CodePage, WordAtATimeScansAgreeWithByteByByteOnes) {
    // A high byte at every position of texts up to 20 bytes long: the word, half-word and byte paths.
    for (size_t size = 0; size <= 20; ++size)
        for (size_t high = 0; high <= size; ++high) {
            std::string text(size, 'a');
            if (high < size)
                text[high] = '\xC3';
            EXPECT_EQ(AsciiPrefixLength(text), high) << size;
            EXPECT_EQ(IsShortAscii(text), high == size && size <= 16) << size << " " << high;
        }
    // Every lead byte with second bytes at the edges of each range, third and fourth bytes in and out of
    // the continuation range, cut after each byte, behind ASCII runs that end in and across a word.
    const unsigned char seconds[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    const unsigned char laters[] = {0x41, 0x80, 0xBF, 0xC0};
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (unsigned char second : seconds)
            for (unsigned char third : laters)
                for (unsigned char fourth : {laters[1], laters[3]})
                    for (size_t cut = 1; cut <= 4; ++cut)
                        for (size_t before : {0, 3, 7, 8, 13})
                            for (size_t after : {0, 9}) {
                                const char sequence[] = {char(lead), char(second), char(third), char(fourth)};
                                const std::string text = std::string(before, 'x') +
                                                         std::string(sequence, cut) + std::string(after, 'y');
                                const size_t expected = ReferenceWellFormedLength(text);
                                ASSERT_EQ(Utf8WellFormedLength(text), expected)
                                    << std::hex << lead << " " << int(second) << " " << cut << " " << before;
                                std::string repaired = text;
                                ASSERT_EQ(RepairUtf8(repaired), expected != text.size());
                                ASSERT_EQ(repaired != text, expected != text.size());
                            }
}

TEST(LocaleFacts, FixedDefaultIsUsEnglish) {
    const LocaleFacts& f = LocaleFacts::Default();
    EXPECT_EQ(f.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(f.LongTimeFormat, "h:mm:ss AMPM");
    EXPECT_EQ(f.DecimalSeparator, '.');
    EXPECT_EQ(f.ThousandSeparator, ',');
    EXPECT_EQ(f.CurrencyString, "$");
    EXPECT_EQ(f.CodePage, 1252);
    // The tests run under the C locale, whose facts are the fixed ones.
    EXPECT_EQ(LocaleFacts::Current().ShortDateFormat, f.ShortDateFormat);
    EXPECT_EQ(&LocaleFacts::Current(), &LocaleFacts::Current());
}

} // namespace
