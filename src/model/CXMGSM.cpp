#include "CXMGSM.h"

#include <algorithm>
#include <cstdio>

namespace vk410 {

const std::array<uint8_t, kAddressSize> DefaultPhoneAddress = {0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF};
const std::array<uint8_t, kAddressSize> DefaultIpAddress = {0x7F, 0x00, 0x00, 0x01, 0x5F, 0x0D, 0x00, 0x00};

const std::array<uint8_t, kGsmPayloadSize> DefaultGsmPayload = {
    0x00, 0x01,                                                 // device number 1
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // destination 1
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // destination 2
    0x00, 0xC0, 0xA8, 0x01, 0x02, 0x5F, 0x0D, 0xFF, 0xFF,       // destination 3
    0x00, 0xC0, 0xA8, 0x03, 0x04, 0x00, 0x27, 0xFF, 0xFF,       // destination 4
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // destination 5
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // SMS 1
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // SMS 2
    0x00, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,       // SMS 3
    0x00, 0x01, 0x00,                                           // useGPRScfg, RXE, TXE
};

namespace {

constexpr std::size_t kMinPhoneDigits = 5;
constexpr std::size_t kMaxPhoneDigits = 15;
constexpr std::size_t kIpTextLength = 21;

bool ValidDestination(int n) { return n >= 1 && n <= kDestinationCount; }
bool ValidSms(int m) { return m >= 1 && m <= kSmsCount; }
bool IsPhoneProtocol(int protocol) { return protocol == dpVoice || protocol == dpCSD; }

uint8_t* DestAddress(TGsmBlock& block, int n) { return block.payload() + GsmOff::destAddr(n); }
const uint8_t* DestAddress(const TGsmBlock& block, int n) { return block.payload() + GsmOff::destAddr(n); }

void SetAddress(TGsmBlock& block, int n, const std::array<uint8_t, kAddressSize>& image)
{
    std::copy(image.begin(), image.end(), DestAddress(block, n));
}

bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal value of an all-digit field; -1 when it is not one.
long FieldValue(std::string_view field)
{
    if (field.empty() || !AllDigits(field))
        return -1;
    long value = 0;
    for (char c : field)
        value = value * 10 + (c - '0');
    return value;
}

bool StorePhone(std::string_view text, uint8_t* address)
{
    return EncodePhone(StripPhoneText(text), address);
}

} // namespace

void LoadGsmDefaults(TGsmBlock& block)
{
    block.buf[0] = 0x7E;
    block.buf[2] = 0x57;
    std::copy(DefaultGsmPayload.begin(), DefaultGsmPayload.end(), block.payload());
}

void SetDestinationTries(TGsmBlock& block, int tries, int n)
{
    if (!ValidDestination(n) || tries < 0 || tries > 5)
        return;
    uint8_t& flags = block.at(GsmOff::destByte(n));
    if (tries == 0) {
        flags = 0;
        return;
    }
    if (flags == 0)
        SetAddress(block, n, DefaultPhoneAddress);
    flags = uint8_t((tries << 5) | (flags & 0x1F));
}

void SetDestinationSim(TGsmBlock& block, int sim, int n)
{
    if (!ValidDestination(n) || sim < 0 || sim > 2)
        return;
    uint8_t& flags = block.at(GsmOff::destByte(n));
    flags = uint8_t((flags & ~0x18) | (sim << 3));
}

void SetDestinationProtocol(TGsmBlock& block, int protocol, int n)
{
    if (!ValidDestination(n) || protocol < 0 || protocol > 3)
        return;
    uint8_t& flags = block.at(GsmOff::destByte(n));
    const int current = flags & 0x07;
    if (IsPhoneProtocol(current) && !IsPhoneProtocol(protocol))
        SetAddress(block, n, DefaultIpAddress);
    else if (!IsPhoneProtocol(current) && IsPhoneProtocol(protocol))
        SetAddress(block, n, DefaultPhoneAddress);
    flags = uint8_t((flags & ~0x07) | protocol);
}

void SetDestinationPhone(TGsmBlock& block, std::string_view text, int n)
{
    if (ValidDestination(n))
        StorePhone(text, DestAddress(block, n));
}

void SetDestinationIp(TGsmBlock& block, std::string_view text, int n)
{
    if (ValidDestination(n))
        EncodeIp(text, DestAddress(block, n));
}

std::string DestinationAddressText(const TGsmBlock& block, int n)
{
    if (!ValidDestination(n))
        return {};
    const uint8_t* address = DestAddress(block, n);
    if (IsPhoneProtocol(DestinationProtocol(block, n)))
        return PhoneDisplayText(DecodePhone(address));
    return IpText(address);
}

bool AnyDestinationEnabled(const TGsmBlock& block)
{
    for (int n = 1; n <= kDestinationCount; ++n)
        if (block.at(GsmOff::destByte(n)) != 0)
            return true;
    return false;
}

void SetSmsType(TGsmBlock& block, int type, int m)
{
    if (ValidSms(m) && type >= 0 && type <= 2)
        block.at(GsmOff::smsCfg(m)) = uint8_t(type);
}

void SetSmsPhone(TGsmBlock& block, std::string_view text, int m)
{
    if (ValidSms(m))
        StorePhone(text, &block.at(GsmOff::smsAddr(m)));
}

std::string SmsPhoneText(const TGsmBlock& block, int m)
{
    if (!ValidSms(m))
        return {};
    return PhoneDisplayText(DecodePhone(block.payload() + GsmOff::smsAddr(m)));
}

int DestinationTries(const TGsmBlock& block, int n)
{
    if (!ValidDestination(n))
        return 0;
    return std::min(block.at(GsmOff::destByte(n)) >> 5, 5);
}

int DestinationSim(const TGsmBlock& block, int n)
{
    if (!ValidDestination(n))
        return 0;
    const int sim = (block.at(GsmOff::destByte(n)) >> 3) & 0x03;
    return sim == 3 ? 0 : sim;
}

int DestinationProtocol(const TGsmBlock& block, int n)
{
    if (!ValidDestination(n))
        return 0;
    const int protocol = block.at(GsmOff::destByte(n)) & 0x07;
    return protocol > 3 ? 0 : protocol;
}

unsigned DeviceNum(const TGsmBlock& block)
{
    return 256u * block.at(GsmOff::DeviceNum) + block.at(GsmOff::DeviceNum + 1);
}

void SetDeviceNum(TGsmBlock& block, unsigned value)
{
    block.at(GsmOff::DeviceNum) = uint8_t((value / 256) % 256);
    block.at(GsmOff::DeviceNum + 1) = uint8_t(value % 256);
}

std::string StripPhoneText(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != '(' && c != ')' && c != ' ' && c != '-' && c != '+')
            out.push_back(c);
    return out;
}

std::string DecodePhone(const uint8_t* address)
{
    std::string digits;
    std::size_t j = 0;
    for (std::size_t k = 0; k < kMaxPhoneDigits; ++k) {
        const uint8_t nibble = (k % 2 == 0) ? (address[j] & 0x0F) : (address[j] >> 4);
        if (k % 2 == 1)
            ++j;
        if (nibble == 0x0F)
            break;
        digits += std::to_string(nibble); // 10..14 are never written; shown as two characters
    }
    return digits;
}

bool EncodePhone(std::string_view digits, uint8_t* address)
{
    if (digits.size() < kMinPhoneDigits || digits.size() > kMaxPhoneDigits || !AllDigits(digits))
        return false;
    std::fill_n(address, kAddressSize, uint8_t(0xFF));
    std::size_t j = 0;
    for (std::size_t count = 0; count < digits.size(); ++count) {
        const uint8_t d = uint8_t(digits[count] - '0');
        if (count % 2 == 0) {
            address[j] = d;
        } else {
            address[j] = uint8_t(address[j] + 16 * d);
            ++j;
        }
    }
    if (digits.size() % 2 == 1)
        address[j] = uint8_t(address[j] + 0xF0);
    else
        address[j] = 0x0F;
    return true;
}

std::string PhoneDisplayText(std::string_view digits)
{
    static constexpr std::string_view kMask = "+#(###)-###-##-##";
    std::string out;
    std::size_t next = 0;
    for (char c : kMask) {
        if (c != '#')
            out.push_back(c);
        else
            out.push_back(next < digits.size() ? digits[next++] : ' ');
    }
    if (next < digits.size())
        out.append(digits.substr(next));
    return out;
}

std::string IpText(const uint8_t* address)
{
    char text[32];
    std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u:%05u", address[0], address[1], address[2],
                  address[3], unsigned(address[4]) * 256u + address[5]);
    return text;
}

bool EncodeIp(std::string_view text, uint8_t* address)
{
    if (text.size() != kIpTextLength)
        return false;
    long octets[4];
    for (int i = 0; i < 4; ++i) {
        octets[i] = FieldValue(text.substr(std::size_t(4 * i), 3));
        if (octets[i] < 0 || octets[i] > 255)
            return false;
    }
    const long port = FieldValue(text.substr(16, 5));
    if (port < 0 || port > 65535)
        return false;
    for (int i = 0; i < 4; ++i)
        address[i] = uint8_t(octets[i]);
    address[4] = uint8_t(port / 256);
    address[5] = uint8_t(port % 256);
    return true;
}

} // namespace vk410
