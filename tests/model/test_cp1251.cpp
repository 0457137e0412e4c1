#include <gtest/gtest.h>

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
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "?");
}
