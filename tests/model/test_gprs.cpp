#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/BCC.h"
#include "model/Gprs.h"

using namespace vk410;

namespace {
using Bytes = std::vector<uint8_t>;
Bytes Frame(const TGprsBlock& b) { return {b.buf.begin(), b.buf.begin() + b.frameLength()}; }
Bytes WithCheck(Bytes frame)
{
    frame.push_back(CalcBCC(frame.data(), int(frame.size())));
    return frame;
}
} // namespace

TEST(GprsBlock, ExamplesFromTheProtocol)
{
    struct Case { GprsTexts texts; Bytes frame; } cases[] = {
        {{"abc", "", "", "", "", ""}, WithCheck({0x7E, 0x0D, 0x57, 0x03, 0x06, 'a', 'b', 'c', 0, 0, 0, 0})},
        {{"", "", "", "x", "", ""}, WithCheck({0x7E, 0x0B, 0x57, 0x03, 0x00, 0x04, 'x', 0, 0, 0})},
        {{"", "user", "pass", "x", "", ""}, WithCheck({0x7E, 0x0B, 0x57, 0x03, 0x00, 0x04, 'x', 0, 0, 0})},
        {{"a", "u", "p", "b", "", "q"},
         WithCheck({0x7E, 0x12, 0x57, 0x03, 0x06, 'a', 0, 'u', 0, 'p', 0, 0x05, 'b', 0, 0, 'q', 0})},
        // A NUL never reaches the block: the panel would end the text there.
        {{std::string("a\0b", 3), "", "", std::string(1, '\0'), "u", ""},
         WithCheck({0x7E, 0x0C, 0x57, 0x03, 0x05, 'a', 'b', 0, 0, 0, 0x00})},
    };
    for (const Case& c : cases) {
        TGprsBlock block;
        BuildGprsBlock(block, c.texts);
        EXPECT_EQ(Frame(block), c.frame);
    }
}

TEST(GprsBlock, BothApnsEmptyOnlyClearsByteZero)
{
    TGprsBlock block;
    BuildGprsBlock(block, {"abc", "u", "p", "", "", ""});
    const auto before = block.buf;
    BuildGprsBlock(block, {"", "u", "p", "", "x", "y"});
    EXPECT_EQ(block.buf[0], 0);
    EXPECT_TRUE(std::equal(before.begin() + 1, before.end(), block.buf.begin() + 1));
    EXPECT_EQ(block.frameLength(), 0u);
}

TEST(GprsBlock, LongTextsAreCutSoTheFrameFits)
{
    const std::string longText(200, 'z');
    TGprsBlock block;
    BuildGprsBlock(block, {longText, longText, longText, longText, longText, longText});
    EXPECT_EQ(block.buf[1], 199);
    EXPECT_EQ(block.buf[4], 96);
    EXPECT_EQ(CalcBCC(block.buf.data(), 198), block.buf[198]);
    GprsTexts back;
    ASSERT_TRUE(LoadGprsTexts(block, back));
    EXPECT_EQ(back.apn1, std::string(31, 'z'));
    EXPECT_EQ(back.pass2, std::string(31, 'z'));
}

TEST(GprsBlock, RoundTripKeepsSixTexts)
{
    const GprsTexts texts{"internet.beeline.ru", "beeline", "beeline", "internet.mts.ru", "mts", "mts"};
    TGprsBlock block;
    BuildGprsBlock(block, texts);
    GprsTexts back{"old", "old", "old", "old", "old", "old"};
    ASSERT_TRUE(LoadGprsTexts(block, back));
    EXPECT_EQ(back, texts);
}

TEST(GprsBlock, DecodeWithoutSettingsLeavesTexts)
{
    TGprsBlock block;
    GprsTexts texts{"keep", "", "", "", "", ""};
    EXPECT_FALSE(LoadGprsTexts(block, texts));
    block.buf[0] = 0x7E;
    block.buf[3] = 2;
    EXPECT_FALSE(LoadGprsTexts(block, texts));
    EXPECT_EQ(texts.apn1, "keep");
}

TEST(GprsBlock, ZeroSectionEmptiesThatSim)
{
    TGprsBlock block;
    BuildGprsBlock(block, {"", "", "", "x", "", ""});
    GprsTexts texts{"a", "b", "c", "d", "e", "f"};
    ASSERT_TRUE(LoadGprsTexts(block, texts));
    EXPECT_EQ(texts, (GprsTexts{"", "", "", "x", "", ""}));
}

TEST(GprsBlock, GarbageNeverReadsPastTheBuffer)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        TGprsBlock block;
        for (auto& b : block.buf)
            b = uint8_t(rng() % 4 == 0 ? 0 : rng());
        block.buf[0] = 0x7E;
        block.buf[3] = 3;
        GprsTexts texts;
        ASSERT_TRUE(LoadGprsTexts(block, texts));
        for (const std::string* t : {&texts.apn1, &texts.user1, &texts.pass1, &texts.apn2, &texts.user2,
                                     &texts.pass2})
            EXPECT_LE(t->size(), 31u);
        EXPECT_LE(block.frameLength(), block.buf.size());
    }
}
