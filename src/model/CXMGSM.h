#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "MainBlock.h"

namespace vk410 {

// Protocol block 2 (the CXM module) held in its 82-byte frame buffer.
constexpr std::size_t kGsmFrameSize = 82;
constexpr std::size_t kGsmPayloadSize = 77;
constexpr int kDestinationCount = 5;
constexpr int kSmsCount = 3;
constexpr std::size_t kAddressSize = 8;

struct TGsmBlock {
    std::array<uint8_t, kGsmFrameSize> buf{};

    uint8_t* payload() { return buf.data() + kHeaderSize; }
    const uint8_t* payload() const { return buf.data() + kHeaderSize; }
    uint8_t& at(std::size_t off) { return buf[kHeaderSize + off]; }
    uint8_t at(std::size_t off) const { return buf[kHeaderSize + off]; }
};

// Payload offsets of block 2; destination n is 1..5, SMS recipient m is 1..3.
namespace GsmOff {
constexpr std::size_t DeviceNum = 0; // 16-bit big-endian
constexpr std::size_t destByte(int n) { return 2 + 9 * std::size_t(n - 1); }
constexpr std::size_t destAddr(int n) { return 3 + 9 * std::size_t(n - 1); }
constexpr std::size_t smsCfg(int m) { return 47 + 9 * std::size_t(m - 1); }
constexpr std::size_t smsAddr(int m) { return 48 + 9 * std::size_t(m - 1); }
constexpr std::size_t useGPRScfg = 74;
constexpr std::size_t RXE = 75;
constexpr std::size_t TXE = 76;
} // namespace GsmOff

enum DestProtocol : int { dpVoice = 0, dpCSD = 1, dpTelvex = 2, dpSIAIP = 3 };

extern const std::array<uint8_t, kAddressSize> DefaultPhoneAddress;
extern const std::array<uint8_t, kAddressSize> DefaultIpAddress;
extern const std::array<uint8_t, kGsmPayloadSize> DefaultGsmPayload;

// Offset 0 := '~', offset 2 := 'W', payload := the default payload.
void LoadGsmDefaults(TGsmBlock& block);

// Operations of the GSM page. Out-of-range n, m, tries, sim, protocol or type
// change nothing (callers pass only valid values; this keeps bad ones harmless).
void SetDestinationTries(TGsmBlock& block, int tries, int n);
void SetDestinationSim(TGsmBlock& block, int sim, int n);
void SetDestinationProtocol(TGsmBlock& block, int protocol, int n);
void SetDestinationPhone(TGsmBlock& block, std::string_view text, int n);
void SetDestinationIp(TGsmBlock& block, std::string_view text, int n);
std::string DestinationAddressText(const TGsmBlock& block, int n);
bool AnyDestinationEnabled(const TGsmBlock& block);
void SetSmsType(TGsmBlock& block, int type, int m);
void SetSmsPhone(TGsmBlock& block, std::string_view text, int m);
std::string SmsPhoneText(const TGsmBlock& block, int m);

// The destination byte as the page shows it: tries 6, 7 read as 5; SIM 3 as 0;
// protocols above 3 as 0 (Voice).
int DestinationTries(const TGsmBlock& block, int n);
int DestinationSim(const TGsmBlock& block, int n);
int DestinationProtocol(const TGsmBlock& block, int n);

unsigned DeviceNum(const TGsmBlock& block);
void SetDeviceNum(TGsmBlock& block, unsigned value); // value mod 65536

// Text forms.
std::string StripPhoneText(std::string_view text);            // drops ( ) blank - +
std::string DecodePhone(const uint8_t* address);              // 8 bytes -> digits
// 5..15 decimal digits -> 8 bytes; false (address untouched) otherwise,
// also for a text with anything but digits in it.
bool EncodePhone(std::string_view digits, uint8_t* address);
std::string PhoneDisplayText(std::string_view digits);        // mask +0(000)-000-00-00
std::string IpText(const uint8_t* address);                   // "192.168.001.002:24333"
// A 21-character IP text -> bytes 0..5 of the address; false (untouched) otherwise.
// An octet above 255, a port above 65535 or a field that is not all decimal
// digits is refused too: storing only the low bits would send reports elsewhere.
bool EncodeIp(std::string_view text, uint8_t* address);

} // namespace vk410
