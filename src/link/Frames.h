#pragma once
#include <cstddef>
#include <cstdint>

#include "model/CXMGSM.h"
#include "model/Gprs.h"
#include "model/Errors.h"
#include "model/MainBlock.h"

namespace vk410 {

constexpr uint8_t kStartByte = 0x7E; // '~'
constexpr uint8_t kCmdRead = 0x52;   // 'R'
constexpr uint8_t kCmdWrite = 0x57;  // 'W'
constexpr uint8_t kCmdData = 0x44;   // 'D'
constexpr std::size_t kReqSize = 10;
constexpr std::size_t kRxBufSize = 202;

// A block-1 reply, and a block-1 write's echo, which is laid out as one: the
// model code where a request names the block, the firmware version, then the
// payload.
namespace MainReplyOff {
constexpr std::size_t model = 3;
constexpr std::size_t version = kHeaderSize;
constexpr std::size_t payload = version + 1;
constexpr std::size_t cxmFlag = payload + MainOff::state; // the CXM module is fitted
} // namespace MainReplyOff

// 7E 0A 52 b 00 00 00 00 00 C.
void BuildReadRequest(uint8_t (&req)[kReqSize], uint8_t block);

// Stamp header and check byte into the block image; return the number of bytes
// to send (32 or 33 for block 1, 82 for block 2), 0 for an unknown model.
std::size_t StampMainWrite(TMainBlock& block, unsigned modelCode);
std::size_t StampGsmWrite(TGsmBlock& block);

// Acceptance of a received frame held in rx (kRxBufSize bytes, zero behind the
// received ones) with count bytes received since the buffer was cleared: one
// function per rule, for the exchange, the simulated panel and the tests alike.
// Every function reads only inside rx.

// Length byte equals count (and fits rx) and the check byte agrees.
bool FrameComplete(const uint8_t* rx, std::size_t count);
// rx[0] is 0x7E and rx[2] is 0x44.
bool IsDataReply(const uint8_t* rx);
// The model code of a block-1 reply when it is 0 or 1, else kFailureCode.
uint8_t MainReplyModel(const uint8_t* rx);
// Block-1 read reply: a known model code, then a data reply.
bool MainReadReplyOk(const uint8_t* rx);
// Takes the payload of a block-1 read reply (behind the version byte) into
// the block: the model's 27 or 28 bytes, also from a reply shorter than
// that, whose missing bytes are the zeros behind it in rx. Returns the model
// code, or kFailureCode (block untouched) when MainReadReplyOk does not hold.
uint8_t CopyMainReply(TMainBlock& block, const uint8_t* rx);
// Block-2 read reply: a data reply.
bool GsmReadReplyOk(const uint8_t* rx);
// Block-3 read reply carries a body to take: data reply with length > 5.
bool GprsReadReplyHasBody(const uint8_t* rx);
// Block-1 write echo: byte 3 is the model written.
bool MainEchoModelOk(const uint8_t* rx, unsigned modelCode);
// Block-1 write echo: the model written and bytes 5.. equal the sent payload.
bool MainWriteEchoOk(const uint8_t* rx, const TMainBlock& sent, unsigned modelCode);
// Block-2 write echo: data reply whose bytes 4..80 equal the sent ones.
bool GsmWriteEchoOk(const uint8_t* rx, const TGsmBlock& sent);
// Block-3 write echo: bytes 4..N-2 equal the sent frame's, N its length byte.
bool GprsWriteEchoOk(const uint8_t* rx, const TGprsBlock& sent);

} // namespace vk410
