#include <gtest/gtest.h>

#include <vector>

#include "model/Configuration.h"
#include "model/MainBlock.h"

using namespace vk410;

namespace {
const std::vector<uint8_t> kModel0 = {0x08, 0x05, 0x2D, 0x00, 0x0F, 0x1E, 0x07, 0x17, 0x06,
                                      0x15, 0x06, 0x15, 0x05, 0x14, 0x05, 0x14, 0x02, 0x0F,
                                      0x83, 0x04, 0x83, 0x04, 0x00, 0xFF, 0x01, 0x09, 0x00};

std::vector<uint8_t> Payload(const TMainBlock& b, std::size_t n) { return {b.payload(), b.payload() + n}; }
} // namespace

TEST(MainBlock, DefaultImagesPerModel)
{
    TMainBlock block;
    ASSERT_TRUE(LoadDefaults(block, 0));
    EXPECT_EQ(Payload(block, 27), kModel0);
    EXPECT_EQ(PayloadLength(0), 27u);
    EXPECT_EQ(PayloadLength(1), 28u);
    EXPECT_EQ(PayloadLength(2), 0u);

    // Model 0 then model 1: byte 27 becomes 0, the rest is the model 0 image.
    block.at(MainOff::qnt) = 0x55;
    ASSERT_TRUE(LoadDefaults(block, 1));
    std::vector<uint8_t> model1 = kModel0;
    model1.push_back(0);
    EXPECT_EQ(Payload(block, 28), model1);
}

TEST(MainBlock, UnknownModelChangesNothing)
{
    TMainBlock block;
    block.buf.fill(0xAA);
    EXPECT_FALSE(LoadDefaults(block, 2));
    EXPECT_FALSE(LoadDefaults(block, 255));
    for (uint8_t b : block.buf)
        ASSERT_EQ(b, 0xAA);
}

TEST(MainBlock, ControlTimeIsLittleEndian)
{
    struct Case { unsigned seconds; uint8_t low, high; } cases[] = {
        {300, 0x2C, 0x01}, {45, 0x2D, 0x00}, {30, 0x1E, 0x00}, {65535, 0xFF, 0xFF}, {65536 + 5, 0x05, 0x00}};
    for (const Case& c : cases) {
        TMainBlock block;
        SetControlTime(block, c.seconds);
        EXPECT_EQ(block.at(2), c.low) << c.seconds;
        EXPECT_EQ(block.at(3), c.high) << c.seconds;
        EXPECT_EQ(ControlTime(block), c.seconds % 65536);
    }
}

TEST(MainBlock, FieldOffsetsFollowTheLayout)
{
    EXPECT_EQ(MainOff::type(1), 6u);
    EXPECT_EQ(MainOff::cid(1), 7u);
    EXPECT_EQ(MainOff::type(8), 20u);
    EXPECT_EQ(MainOff::cid(8), 21u);
    TMainBlock block;
    block.at(MainOff::state) = 1;
    EXPECT_EQ(block.buf[30], 1); // frame offset = payload offset + 4
}

TEST(Configuration, StartupState)
{
    const Configuration cfg = StartupConfiguration();
    EXPECT_EQ(cfg.model, 0);
    EXPECT_EQ(Payload(cfg.main, 27), kModel0);
    EXPECT_EQ(cfg.gsm.buf[0], 0x7E);
    EXPECT_EQ(cfg.gsm.at(1), 1); // device number 1
    EXPECT_TRUE(cfg.gprs.empty());
}

TEST(Configuration, StartupStateOfAnotherModel)
{
    const Configuration one = StartupConfiguration(1);
    EXPECT_EQ(one.model, 1);
    EXPECT_EQ(one.main.at(MainOff::qnt), 0);
    EXPECT_EQ(one.main.at(MainOff::alarmsends), 8);
    EXPECT_EQ(StartupConfiguration(7).model, 0) << "an unknown code falls back to model 0";
}
