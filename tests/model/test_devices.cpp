#include <gtest/gtest.h>

#include "model/BitOps.h"
#include "model/Devices.h"

using namespace vk410;

TEST(Devices, TwoRowsWithDisplayTexts)
{
    ASSERT_EQ(DeviceCount(), 2);
    EXPECT_EQ(DeviceDisplayText(0), "VK-410QZ8N 8 шлейфов, головной прибор с передатчиком");
    EXPECT_EQ(DeviceDisplayText(1), "VK-410QZ8NL 8 шлейфов, LCD, шина Meridian");
    for (unsigned code = 0; code < 2; ++code)
        EXPECT_EQ(DeviceRow(code)->ID, code);
}

TEST(Devices, CodesAboveOneAreRefused)
{
    for (unsigned code : {2u, 5u, 255u, 0xFFFFFFFFu}) {
        EXPECT_EQ(DeviceRow(code), nullptr) << code;
        EXPECT_FALSE(IsKnownModel(code));
        EXPECT_EQ(DeviceDisplayText(code), "");
    }
}

TEST(BitOps, TestSetClearEveryBit)
{
    for (int k = 0; k < 8; ++k) {
        const uint8_t bit = uint8_t(1u << k);
        EXPECT_EQ(SetBit(0x00, k), bit);
        EXPECT_EQ(ClearBit(0xFF, k), uint8_t(~bit));
        EXPECT_TRUE(TestBit(bit, k));
        EXPECT_FALSE(TestBit(uint8_t(~bit), k));
    }
    EXPECT_EQ(SetBit(0x12, 8), 0x12);
    EXPECT_EQ(ClearBit(0x12, -1), 0x12);
    EXPECT_FALSE(TestBit(0xFF, 9));
}
