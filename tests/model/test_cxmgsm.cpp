#include <gtest/gtest.h>

#include <vector>

#include "model/CXMGSM.h"

using namespace vk410;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Address(const TGsmBlock& b, std::size_t off) { return {b.payload() + off, b.payload() + off + 8}; }

TGsmBlock Defaults()
{
    TGsmBlock b;
    LoadGsmDefaults(b);
    return b;
}

} // namespace

TEST(GsmBlock, DefaultPayloadReadsAsFields)
{
    const TGsmBlock b = Defaults();
    EXPECT_EQ(b.buf[0], 0x7E);
    EXPECT_EQ(b.buf[2], 0x57);
    EXPECT_EQ(DeviceNum(b), 1u);
    EXPECT_FALSE(AnyDestinationEnabled(b));
    for (int m = 1; m <= 3; ++m)
        EXPECT_EQ(b.at(GsmOff::smsCfg(m)), 0);
    EXPECT_EQ(b.at(GsmOff::useGPRScfg), 0);
    EXPECT_EQ(b.at(GsmOff::RXE), 1);
    EXPECT_EQ(b.at(GsmOff::TXE), 0);
    EXPECT_EQ(Address(b, GsmOff::destAddr(3)), (Bytes{0xC0, 0xA8, 0x01, 0x02, 0x5F, 0x0D, 0xFF, 0xFF}));
    EXPECT_EQ(Address(b, GsmOff::destAddr(4)), (Bytes{0xC0, 0xA8, 0x03, 0x04, 0x00, 0x27, 0xFF, 0xFF}));
}

TEST(GsmBlock, PhoneEncodings)
{
    struct Case { const char* digits; Bytes bytes; } cases[] = {
        {"79031234567", {0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF}},
        {"1234567890", {0x21, 0x43, 0x65, 0x87, 0x09, 0x0F, 0xFF, 0xFF}},
        {"12345", {0x21, 0x43, 0xF5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"123456789012345", {0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0xF5}},
        {"12345678901234", {0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x0F}},
    };
    for (const Case& c : cases) {
        uint8_t address[8] = {};
        ASSERT_TRUE(EncodePhone(c.digits, address)) << c.digits;
        EXPECT_EQ(Bytes(address, address + 8), c.bytes) << c.digits;
        EXPECT_EQ(DecodePhone(address), c.digits);
    }
}

TEST(GsmBlock, PhoneTextsOutsideFiveToFifteenDigitsAreIgnored)
{
    for (const char* text : {"1234", "1234567890123456", "", "+7(903)-12a-45-67", "12 34"}) {
        TGsmBlock b = Defaults();
        const Bytes before = Address(b, GsmOff::destAddr(1));
        SetDestinationPhone(b, text, 1);
        EXPECT_EQ(Address(b, GsmOff::destAddr(1)), before) << text;
    }
}

TEST(GsmBlock, PhoneDisplayTexts)
{
    EXPECT_EQ(PhoneDisplayText("79031234567"), "+7(903)-123-45-67");
    EXPECT_EQ(PhoneDisplayText("1234567890"), "+1(234)-567-89-0 ");
    EXPECT_EQ(PhoneDisplayText("123456789012"), "+1(234)-567-89-012");
    EXPECT_EQ(PhoneDisplayText(""), "+ (   )-   -  -  ");
    EXPECT_EQ(StripPhoneText("+7(903)-123-45-67"), "79031234567");
}

TEST(GsmBlock, PhoneTextRoundTripThroughDestinationAndSms)
{
    TGsmBlock b = Defaults();
    SetDestinationPhone(b, "+7(903)-123-45-67", 1);
    EXPECT_EQ(Address(b, 3), (Bytes{0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF}));
    SetDestinationTries(b, 1, 1);
    EXPECT_EQ(DestinationAddressText(b, 1), "+7(903)-123-45-67");
    SetSmsPhone(b, "12345", 3);
    EXPECT_EQ(SmsPhoneText(b, 3), "+1(234)-5  -  -  ");
    EXPECT_EQ(Address(b, GsmOff::smsAddr(3)), (Bytes{0x21, 0x43, 0xF5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(GsmBlock, NibblesTenToFourteenDecodeAsTwoCharacters)
{
    const uint8_t address[8] = {0xBA, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DecodePhone(address), "10111");
    const uint8_t full[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(DecodePhone(full).size(), 30u) << "fifteen nibbles at most";
}

TEST(GsmBlock, IpTexts)
{
    struct Case { const char* text; Bytes bytes; } cases[] = {
        {"010.000.000.001:40000", {0x0A, 0x00, 0x00, 0x01, 0x9C, 0x40}},
        {"192.168.001.002:24333", {0xC0, 0xA8, 0x01, 0x02, 0x5F, 0x0D}},
        {"255.255.255.255:65535", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"000.000.000.000:00000", {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        uint8_t address[8] = {1, 2, 3, 4, 5, 6, 0xAB, 0xCD};
        ASSERT_TRUE(EncodeIp(c.text, address)) << c.text;
        EXPECT_EQ(Bytes(address, address + 6), c.bytes);
        EXPECT_EQ(address[6], 0xAB) << "bytes 6 and 7 keep what they held";
        EXPECT_EQ(address[7], 0xCD);
        EXPECT_EQ(IpText(address), c.text);
    }
}

TEST(GsmBlock, IpTextsThatCannotBeStoredAreRefused)
{
    for (const char* text : {"10.0.0.1:40000", "010.000.000.001:4000", "256.000.000.001:40000",
                             "010.000.000.001:65536", "010.000.000.001:99999", "0_0.000.000.001:40000",
                             "010.000.000.001:4000 "}) {
        uint8_t address[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_FALSE(EncodeIp(text, address)) << text;
        EXPECT_EQ(Bytes(address, address + 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

TEST(GsmBlock, TriesSwitchDestinationOnAndOff)
{
    TGsmBlock b = Defaults();
    SetDestinationIp(b, "010.000.000.001:40000", 2); // stale bytes under an off destination
    SetDestinationTries(b, 3, 2);
    EXPECT_EQ(b.at(11), 0x60);
    EXPECT_EQ(Address(b, 12), Bytes(DefaultPhoneAddress.begin(), DefaultPhoneAddress.end()));
    SetDestinationSim(b, 2, 2);
    SetDestinationProtocol(b, dpCSD, 2);
    EXPECT_EQ(b.at(11), 0x60 | 0x10 | 0x01);
    SetDestinationTries(b, 5, 2);
    EXPECT_EQ(b.at(11), 0xA0 | 0x10 | 0x01) << "SIM and protocol kept";
    SetDestinationTries(b, 0, 2);
    EXPECT_EQ(b.at(11), 0x00);
    EXPECT_FALSE(AnyDestinationEnabled(b));
}

TEST(GsmBlock, ProtocolChangesSwapAddressKind)
{
    TGsmBlock b = Defaults();
    SetDestinationTries(b, 1, 1);
    SetDestinationProtocol(b, dpSIAIP, 1);
    EXPECT_EQ(DestinationAddressText(b, 1), "127.000.000.001:24333");
    SetDestinationIp(b, "010.000.000.001:40000", 1);
    SetDestinationProtocol(b, dpTelvex, 1);
    EXPECT_EQ(DestinationAddressText(b, 1), "010.000.000.001:40000") << "IP to IP keeps the address";
    SetDestinationProtocol(b, dpCSD, 1);
    EXPECT_EQ(DestinationAddressText(b, 1), "+7(903)-123-45-67");
    SetDestinationProtocol(b, 4, 1);
    EXPECT_EQ(DestinationProtocol(b, 1), dpCSD) << "protocol 4 is not offered";
}

TEST(GsmBlock, OutOfRangeBytesReadAsDisplayed)
{
    TGsmBlock b = Defaults();
    b.at(GsmOff::destByte(1)) = 0xFF;
    EXPECT_EQ(DestinationTries(b, 1), 5);
    EXPECT_EQ(DestinationSim(b, 1), 0);
    EXPECT_EQ(DestinationProtocol(b, 1), dpVoice);
    EXPECT_TRUE(AnyDestinationEnabled(b));
    EXPECT_EQ(DestinationAddressText(b, 1), "+7(903)-123-45-67") << "protocol 7 shows a phone";
}

TEST(GsmBlock, InvalidIndicesChangeNothing)
{
    TGsmBlock b = Defaults();
    const TGsmBlock before = b;
    SetDestinationTries(b, 3, 0);
    SetDestinationTries(b, 3, 6);
    SetDestinationTries(b, 6, 1);
    SetDestinationSim(b, 3, 1);
    SetDestinationProtocol(b, -1, 1);
    SetSmsType(b, 3, 1);
    SetSmsType(b, 1, 4);
    SetSmsPhone(b, "79031234567", 0);
    EXPECT_EQ(b.buf, before.buf);
    EXPECT_EQ(DestinationAddressText(b, 9), "");
    EXPECT_EQ(SmsPhoneText(b, -2), "");
}

TEST(GsmBlock, DeviceNumberIsBigEndian)
{
    TGsmBlock b = Defaults();
    SetDeviceNum(b, 1234);
    EXPECT_EQ(b.at(0), 0x04);
    EXPECT_EQ(b.at(1), 0xD2);
    EXPECT_EQ(DeviceNum(b), 1234u);
    SetSmsType(b, 2, 1);
    EXPECT_EQ(b.at(47), 2);
}
