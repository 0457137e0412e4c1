#include <gtest/gtest.h>

#include <cstring>

#include "model/Cp1251.h"

using namespace vk410;

TEST(Cp1251, RoundTripsEveryByte)
{
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue; // the one byte without a character
        const std::string one(1, char(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << b;
    }
}

TEST(Cp1251, KnownLetters)
{
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Utf8ToCp1251("Ёё№"), "\xA8\xB8\xB9");
    EXPECT_EQ(Cp1251ToUtf8("abc"), "abc");
}

TEST(Cp1251, UnmappableAndMalformedBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?") << "truncated sequence at the end";
    EXPECT_EQ(Utf8ToCp1251("\xFF\xFE"), "??");
    EXPECT_EQ(Utf8ToCp1251("\xD0x"), "?x");
    // Overlong forms, surrogates and values beyond U+10FFFF are malformed too:
    // each of their bytes becomes '?', so C0 80 can never carry a NUL.
    for (const char* bad : {"\xC0\x80", "\xC1\x81", "\xE0\x80\xAE", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
                            "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(Utf8ToCp1251(bad), std::string(std::strlen(bad), '?')) << bad;
    EXPECT_EQ(Utf8ToCp1251("\xE0\xA0\x80\xF0\x90\x80\x80"), "??") << "the shortest three- and four-byte forms";
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "?");
}
