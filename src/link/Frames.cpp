#include "Frames.h"

#include <algorithm>

#include "model/BCC.h"

namespace vk410 {

namespace {

constexpr uint8_t kBlockMain = 1;
constexpr uint8_t kBlockGsm = 2;

void StampHeader(uint8_t* frame, std::size_t length, uint8_t block)
{
    frame[0] = kStartByte;
    frame[1] = uint8_t(length);
    frame[2] = kCmdWrite;
    frame[3] = block;
}

} // namespace

void BuildReadRequest(uint8_t (&req)[kReqSize], uint8_t block)
{
    req[0] = kStartByte;
    req[1] = uint8_t(kReqSize);
    req[2] = kCmdRead;
    req[3] = block;
    std::fill(req + 4, req + 9, uint8_t(0));
    req[9] = CalcBCC(req, 9);
}

std::size_t StampMainWrite(TMainBlock& block, unsigned modelCode)
{
    const std::size_t payload = PayloadLength(modelCode);
    if (payload == 0)
        return 0;
    const std::size_t length = kHeaderSize + payload + 1;
    StampHeader(block.buf.data(), length, kBlockMain);
    block.buf[length - 1] = CalcBCC(block.buf.data(), int(length - 1));
    return length;
}

std::size_t StampGsmWrite(TGsmBlock& block)
{
    StampHeader(block.buf.data(), kGsmFrameSize, kBlockGsm);
    block.buf[kGsmFrameSize - 1] = CalcBCC(block.buf.data(), int(kGsmFrameSize - 1));
    return kGsmFrameSize;
}

bool FrameComplete(const uint8_t* rx, std::size_t count)
{
    const std::size_t length = rx[1];
    if (length == 0 || length != count || length > kRxBufSize)
        return false;
    return CalcBCC(rx, int(length - 1)) == rx[length - 1];
}

bool IsDataReply(const uint8_t* rx) { return rx[0] == kStartByte && rx[2] == kCmdData; }

uint8_t MainReplyModel(const uint8_t* rx)
{
    return PayloadLength(rx[MainReplyOff::model]) != 0 ? rx[MainReplyOff::model] : kFailureCode;
}

bool MainReadReplyOk(const uint8_t* rx) { return MainReplyModel(rx) != kFailureCode && IsDataReply(rx); }

uint8_t CopyMainReply(TMainBlock& block, const uint8_t* rx)
{
    if (!MainReadReplyOk(rx))
        return kFailureCode;
    const uint8_t model = MainReplyModel(rx);
    std::copy_n(rx + MainReplyOff::payload, PayloadLength(model), block.payload());
    return model;
}

bool GsmReadReplyOk(const uint8_t* rx) { return IsDataReply(rx); }

bool GprsReadReplyHasBody(const uint8_t* rx) { return IsDataReply(rx) && rx[1] > 5; }

bool MainEchoModelOk(const uint8_t* rx, unsigned modelCode)
{
    return PayloadLength(modelCode) != 0 && rx[MainReplyOff::model] == modelCode;
}

bool MainWriteEchoOk(const uint8_t* rx, const TMainBlock& sent, unsigned modelCode)
{
    if (!MainEchoModelOk(rx, modelCode))
        return false;
    return std::equal(sent.payload(), sent.payload() + PayloadLength(modelCode), rx + MainReplyOff::payload);
}

bool GsmWriteEchoOk(const uint8_t* rx, const TGsmBlock& sent)
{
    return IsDataReply(rx) && std::equal(sent.payload(), sent.payload() + kGsmPayloadSize, rx + kHeaderSize);
}

bool GprsWriteEchoOk(const uint8_t* rx, const TGprsBlock& sent)
{
    const std::size_t length = sent.buf[1];
    if (length < kHeaderSize + 1 || length > sent.buf.size())
        return false;
    const std::size_t body = length - kHeaderSize - 1;
    return std::equal(sent.buf.begin() + kHeaderSize, sent.buf.begin() + std::ptrdiff_t(kHeaderSize + body),
                      rx + kHeaderSize);
}

} // namespace vk410
