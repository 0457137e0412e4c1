#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "model/BCC.h"
#include "link/Frames.h"

using namespace vk410;

namespace {

using Bytes = std::vector<uint8_t>;

uint8_t Bcc(const Bytes& b) { return CalcBCC(b.data(), int(b.size())); }

// An RxBuf as the exchange holds it: zero behind the received bytes.
struct Rx {
    uint8_t buf[kRxBufSize] = {};
    std::size_t count = 0;
    explicit Rx(const Bytes& bytes)
    {
        count = std::min(bytes.size(), kRxBufSize);
        std::copy_n(bytes.begin(), count, buf);
    }
};

Bytes Sealed(Bytes frame)
{
    frame[1] = uint8_t(frame.size() + 1);
    frame.push_back(Bcc(frame));
    return frame;
}

Bytes MainReply(uint8_t model, const TMainBlock& block, uint8_t version = 1)
{
    Bytes frame = {0x7E, 0, 0x44, model, version};
    frame.insert(frame.end(), block.payload(), block.payload() + PayloadLength(model ? 1 : 0));
    return Sealed(frame);
}

} // namespace

TEST(BCC, CheckValues)
{
    EXPECT_EQ(Bcc({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x56);
    EXPECT_EQ(Bcc({'a', 'b', 'c'}), 0x87);
    EXPECT_EQ(CalcBCC(nullptr, 0), 0x00);
    EXPECT_EQ(CalcBCC(nullptr, -3), 0x00);
    EXPECT_EQ(Bcc({0x7E, 0x0A, 0x52, 0x01, 0, 0, 0, 0, 0}), 0xE3);
    // Single bytes give the table entries.
    EXPECT_EQ(Bcc({0x01}), 0x64);
    EXPECT_EQ(Bcc({0x02}), 0xC8);
    EXPECT_EQ(Bcc({0x03}), 0xAC);
    EXPECT_EQ(Bcc({0x80}), 0xB8);
    EXPECT_EQ(Bcc({0xFF}), 0x23);
}

TEST(Frames, ReadRequests)
{
    const Bytes expected[] = {{0x7E, 0x0A, 0x52, 0x01, 0, 0, 0, 0, 0, 0xE3},
                              {0x7E, 0x0A, 0x52, 0x02, 0, 0, 0, 0, 0, 0xEC},
                              {0x7E, 0x0A, 0x52, 0x03, 0, 0, 0, 0, 0, 0xE9}};
    for (uint8_t b = 1; b <= 3; ++b) {
        uint8_t req[kReqSize];
        std::memset(req, 0xAA, sizeof req);
        BuildReadRequest(req, b);
        EXPECT_EQ(Bytes(req, req + kReqSize), expected[b - 1]);
    }
}

TEST(Frames, MainWriteOfDefaultImages)
{
    TMainBlock block;
    LoadDefaults(block, 0);
    ASSERT_EQ(StampMainWrite(block, 0), 32u);
    const Bytes model0 = {0x7E, 0x20, 0x57, 0x01, 0x08, 0x05, 0x2D, 0x00, 0x0F, 0x1E, 0x07, 0x17, 0x06, 0x15, 0x06, 0x15,
                          0x05, 0x14, 0x05, 0x14, 0x02, 0x0F, 0x83, 0x04, 0x83, 0x04, 0x00, 0xFF, 0x01, 0x09, 0x00, 0x46};
    EXPECT_EQ(Bytes(block.buf.begin(), block.buf.begin() + 32), model0);

    LoadDefaults(block, 1);
    ASSERT_EQ(StampMainWrite(block, 1), 33u);
    EXPECT_EQ(block.buf[1], 0x21);
    EXPECT_EQ(block.buf[31], 0x00);
    EXPECT_EQ(block.buf[32], 0xF5);

    const auto before = block.buf;
    EXPECT_EQ(StampMainWrite(block, 2), 0u);
    EXPECT_EQ(block.buf, before);
}

TEST(Frames, GsmWrite)
{
    TGsmBlock block;
    LoadGsmDefaults(block);
    ASSERT_EQ(StampGsmWrite(block), 82u);
    EXPECT_EQ(block.buf[0], 0x7E);
    EXPECT_EQ(block.buf[1], 0x52);
    EXPECT_EQ(block.buf[2], 0x57);
    EXPECT_EQ(block.buf[3], 0x02);
    EXPECT_EQ(block.buf[81], CalcBCC(block.buf.data(), 81));
}

TEST(Frames, CompletenessOfReceivedFrames)
{
    TMainBlock block;
    LoadDefaults(block, 0);
    block.at(3) = 0x7E; // a start byte inside the body is just data
    const Bytes reply = MainReply(0, block);
    EXPECT_TRUE(FrameComplete(Rx(reply).buf, reply.size()));

    Bytes extra = reply;
    extra.push_back(0x00);
    EXPECT_FALSE(FrameComplete(Rx(extra).buf, extra.size())) << "bytes behind the frame";

    EXPECT_FALSE(FrameComplete(Rx(reply).buf, reply.size() - 1)) << "incomplete";
    Bytes badCheck = reply;
    badCheck.back() ^= 1;
    EXPECT_FALSE(FrameComplete(Rx(badCheck).buf, badCheck.size()));

    Bytes zeroLength = reply;
    zeroLength[1] = 0;
    EXPECT_FALSE(FrameComplete(Rx(zeroLength).buf, 1)) << "length 0 never completes";
    EXPECT_FALSE(FrameComplete(Rx(zeroLength).buf, 0));

    Rx longer(Bytes(kRxBufSize, 0));
    longer.buf[1] = 0xFF;
    EXPECT_FALSE(FrameComplete(longer.buf, 0xFF)) << "a length beyond the buffer";

    const Bytes five = Sealed({0x7E, 0, 0x44, 0x03});
    ASSERT_EQ(five.size(), 5u);
    EXPECT_TRUE(FrameComplete(Rx(five).buf, 5));
    EXPECT_FALSE(GprsReadReplyHasBody(Rx(five).buf)) << "a 5-byte block-3 reply carries no body";
}

TEST(Frames, ReadReplyTests)
{
    TMainBlock block;
    LoadDefaults(block, 1);
    struct Case { Bytes reply; bool main, gsm; } cases[] = {
        {MainReply(0, block), true, true},
        {MainReply(1, block), true, true},
        {Sealed({0x7E, 0, 0x44, 0x02, 1, 2, 3}), false, true},
        {Sealed({0x7E, 0, 0x45, 0x00, 1, 2, 3}), false, false},
        {Sealed({0x7D, 0, 0x44, 0x01, 1, 2, 3}), false, false},
    };
    for (const Case& c : cases) {
        Rx rx(c.reply);
        EXPECT_EQ(MainReadReplyOk(rx.buf), c.main);
        EXPECT_EQ(GsmReadReplyOk(rx.buf), c.gsm);
        EXPECT_EQ(IsDataReply(rx.buf), c.gsm);
    }
}

TEST(Frames, CopyMainReplyTakesThePayloadBehindTheVersion)
{
    TMainBlock sent;
    for (int k = 0; k < 28; ++k)
        sent.at(std::size_t(k)) = uint8_t(0x40 + k);
    // An intact reply shorter than its model's is taken: zeros behind it.
    const Bytes shortReply = Sealed({0x7E, 0, 0x44, 1, 7, 0x51, 0x52});
    Bytes shortPayload(28, 0);
    shortPayload[0] = 0x51;
    shortPayload[1] = 0x52;
    shortPayload[2] = shortReply.back();
    struct Case { const char* name; Bytes reply; uint8_t model; Bytes payload; } cases[] = {
        {"model 0", MainReply(0, sent), 0, Bytes(sent.payload(), sent.payload() + 27)},
        {"model 1", MainReply(1, sent), 1, Bytes(sent.payload(), sent.payload() + 28)},
        {"short", shortReply, 1, shortPayload},
        {"model 2", Sealed({0x7E, 0, 0x44, 2, 7, 1, 2}), 255, {}},
        {"not data", Sealed({0x7E, 0, 0x57, 0, 7, 1, 2}), 255, {}},
    };
    for (const Case& c : cases) {
        TMainBlock block;
        block.buf.fill(0xEE);
        EXPECT_EQ(CopyMainReply(block, Rx(c.reply).buf), c.model) << c.name;
        const std::size_t n = c.payload.size();
        EXPECT_EQ(Bytes(block.payload(), block.payload() + n), c.payload) << c.name;
        EXPECT_EQ(block.at(n), 0xEE) << c.name << ": nothing beyond the model's payload";
    }
}

TEST(Frames, CxmFlagSitsAtOffset31InBothModels)
{
    TMainBlock block;
    LoadDefaults(block, 1);
    block.at(MainOff::state) = 1;
    for (uint8_t model : {uint8_t(0), uint8_t(1)}) {
        const Bytes reply = MainReply(model, block);
        EXPECT_EQ(reply[31], 1);
        EXPECT_EQ(reply.size(), model ? 34u : 33u);
    }
}

TEST(Frames, MainWriteEcho)
{
    for (uint8_t model : {uint8_t(0), uint8_t(1)}) {
        TMainBlock sent;
        LoadDefaults(sent, model);
        StampMainWrite(sent, model);
        EXPECT_TRUE(MainWriteEchoOk(Rx(MainReply(model, sent)).buf, sent, model));
        EXPECT_FALSE(MainWriteEchoOk(Rx(MainReply(model ^ 1, sent)).buf, sent, model)) << "other model";
        TMainBlock changed = sent;
        changed.at(PayloadLength(model) - 1) ^= 0x01;
        EXPECT_FALSE(MainWriteEchoOk(Rx(MainReply(model, changed)).buf, sent, model)) << "last byte differs";
        EXPECT_FALSE(MainWriteEchoOk(Rx(MainReply(model, sent)).buf, sent, 2));
    }
}

TEST(Frames, GsmAndGprsWriteEcho)
{
    TGsmBlock sent;
    LoadGsmDefaults(sent);
    StampGsmWrite(sent);
    Bytes echo(sent.buf.begin(), sent.buf.end());
    echo[2] = 0x44;
    echo.back() = CalcBCC(echo.data(), 81);
    EXPECT_TRUE(GsmWriteEchoOk(Rx(echo).buf, sent));
    echo[80] ^= 1;
    EXPECT_FALSE(GsmWriteEchoOk(Rx(echo).buf, sent));

    TGprsBlock gprs;
    BuildGprsBlock(gprs, {"abc", "", "", "x", "y", "z"});
    Bytes gEcho(gprs.buf.begin(), gprs.buf.begin() + gprs.buf[1]);
    gEcho[2] = 0x44;
    EXPECT_TRUE(GprsWriteEchoOk(Rx(gEcho).buf, gprs));
    gEcho[5] = 'A';
    EXPECT_FALSE(GprsWriteEchoOk(Rx(gEcho).buf, gprs));

    TGprsBlock broken;
    broken.buf[1] = 3; // length too small to carry a body
    EXPECT_FALSE(GprsWriteEchoOk(Rx(gEcho).buf, broken));
}
