#include <gtest/gtest.h>

#include "model/Loops.h"

using namespace vk410;

TEST(Loops, TypeListAndIndex)
{
    const auto types = GetLoopTypeList();
    const char* expected[] = {"Отключен", "Тревожный", "Тихий тревожный", "Пожарный",
                              "Служебный", "Охранный", "Внутренний", "Дверной"};
    ASSERT_EQ(types.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(types[std::size_t(i)], expected[i]);
        EXPECT_EQ(LoopTypeIndex(expected[i]), i);
    }
    EXPECT_EQ(LoopTypeIndex("Дверной "), -1);
    EXPECT_EQ(LoopTypeIndex(""), -1);
}

TEST(Loops, EventRowsAndBytes)
{
    struct Case { int row; uint8_t code; const char* text; } cases[] = {
        {1, 1, "100 - МЕД.ТРЕВОГА"},   {14, 15, "122 - Т.К.ТИХАЯ"},  {4, 4, "110 - ПОЖАР"},
        {22, 23, "134 - ВХОД/ВЫХОД"},  {69, 71, "320 - СИРЕНА/РЕЛЕ"}, {123, 156, "416 - ВЫГР. НА ПЦН"},
        {177, 222, "651 - РЕЗЕРВ"},    {178, 225, "654 - СИСТ.НЕАКТИВ"},
    };
    const auto events = GetEventList();
    ASSERT_EQ(events.size(), 178u);
    for (const Case& c : cases) {
        EXPECT_EQ(EventCodeByRow(c.row), c.code) << c.row;
        EXPECT_EQ(EventRowByCode(c.code), c.row) << int(c.code);
        EXPECT_EQ(events[std::size_t(c.row - 1)], c.text);
    }
}

TEST(Loops, BytesWithoutRow)
{
    for (int code : {0, 14, 70, 123, 226, 255})
        EXPECT_EQ(EventRowByCode(uint8_t(code)), 0) << code;
    EXPECT_EQ(EventCodeByRow(0), 0);
    EXPECT_EQ(EventCodeByRow(179), 0);
    EXPECT_EQ(EventCodeByRow(-1), 0);
}

TEST(Loops, TableIsStrictlyAscendingAndInverse)
{
    for (int row = 1; row <= 178; ++row) {
        if (row > 1) {
            EXPECT_LT(EventCodeByRow(row - 1), EventCodeByRow(row)) << row;
        }
        EXPECT_EQ(EventRowByCode(EventCodeByRow(row)), row);
    }
}

TEST(Loops, TrailingBlanksAreKept)
{
    const auto events = GetEventList();
    int blanks = 0;
    for (const auto& e : events)
        blanks += !e.empty() && e.back() == ' ';
    EXPECT_EQ(blanks, 11);
    EXPECT_EQ(events[24], "137 - ТАМПЕР ");
    EXPECT_EQ(events[145], "571 - ОБХ.ПОЖ.ЗОНЫ ");
}

TEST(Loops, DefaultEventPerType)
{
    const int rows[8] = {0, 15, 14, 4, 36, 19, 20, 22};
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ(DefaultEventRow(t), rows[t]) << t;
    EXPECT_EQ(DefaultEventRow(8), 0);
    EXPECT_EQ(DefaultEventRow(-1), 0);
}
