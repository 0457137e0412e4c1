// The CXM section of a cf8 file: GSM block fields and the six GPRS texts.
#include "CxmSection.h"

#include "model/Cp1251.h"
#include "FileMapping.h"

namespace vk410 {

namespace {

void PutAddress(TsdElement& e, int id, const char* byteName, uint8_t byte, const uint8_t* address)
{
    e.PutAttrInt("ID", id);
    e.PutAttrInt(byteName, byte);
    e.PutAttrText("pdu", BytesToHex(address));
}

void PutSim(TsdElement& gprs, const char* name, const std::string& apn, const std::string& user,
            const std::string& pass)
{
    TsdElement* sim = gprs.NewChild(name);
    sim->PutAttrText("APN", Cp1251ToUtf8(apn));
    sim->PutAttrText("user", Cp1251ToUtf8(user));
    sim->PutAttrText("password", Cp1251ToUtf8(pass));
}

// Number of characters of a UTF-8 text.
std::size_t CharCount(const std::string& utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

// Children named exactly childName: first attribute is the record number,
// second the byte at byteOff(n), third the 16-digit address at addrOff(n).
template <typename ByteOff, typename AddrOff>
bool ReadAddresses(const TXmlNode* list, const char* childName, int count, TGsmBlock& gsm, ByteOff byteOff,
                   AddrOff addrOff)
{
    for (int i = 0; list && i < list->ChildCount(); ++i) {
        const TXmlNode* child = list->ChildAt(i);
        if (child->NodeName() != childName)
            continue;
        const int n = child->AttrIntAt(0);
        if (n < 1 || n > count)
            continue; // names no record
        const std::string pdu = child->AttrTextAt(2);
        if (CharCount(pdu) != 16)
            return false;
        uint8_t address[kAddressSize];
        HexToBytes(pdu, address);
        gsm.at(byteOff(n)) = uint8_t(child->AttrIntAt(1));
        std::copy(address, address + kAddressSize, gsm.payload() + addrOff(n));
    }
    return true;
}

void ReadSim(const TXmlNode* sim, std::string& apn, std::string& user, std::string& pass)
{
    if (!sim)
        return;
    apn = WithoutNul(Utf8ToCp1251(sim->AttrTextAt(0)));
    user = WithoutNul(Utf8ToCp1251(sim->AttrTextAt(1)));
    pass = WithoutNul(Utf8ToCp1251(sim->AttrTextAt(2)));
}

} // namespace

CxmSection BuildCxmSection(const TGsmBlock& gsm, const GprsTexts& texts)
{
    CxmSection section;
    section.scratch = std::make_unique<TNativeXml>("configCXM");
    TsdElement& cfg = *section.scratch->RootElement()->NewChild("CFG");
    section.cfg = &cfg;
    cfg.PutAttrInt("DeviceNum", int(DeviceNum(gsm)));
    cfg.PutAttrInt("cfgVer", 1);
    cfg.PutAttrInt("cfgType", 1);
    TsdElement& dest = *cfg.NewChild("CID_Destinations");
    for (int n = 1; n <= kDestinationCount; ++n)
        PutAddress(*dest.NewChild("Destination"), n, "trySIMProt", gsm.at(GsmOff::destByte(n)),
                   gsm.payload() + GsmOff::destAddr(n));
    TsdElement& sms = *cfg.NewChild("SMS_Destinations");
    for (int m = 1; m <= kSmsCount; ++m)
        PutAddress(*sms.NewChild("SMS"), m, "cfg", gsm.at(GsmOff::smsCfg(m)), gsm.payload() + GsmOff::smsAddr(m));
    if (gsm.at(GsmOff::useGPRScfg) != 0) {
        TsdElement& gprs = *cfg.NewChild("GPRS_Settings");
        PutSim(gprs, "SIM1", texts.apn1, texts.user1, texts.pass1);
        PutSim(gprs, "SIM2", texts.apn2, texts.user2, texts.pass2);
    }
    cfg.NewChild("TXControl")->PutAttrInt("TXE", gsm.at(GsmOff::TXE));
    cfg.NewChild("RXControl")->PutAttrInt("RXE", gsm.at(GsmOff::RXE));
    return section;
}

bool ReadCxmSection(const TXmlNode& cxmGSM, TGsmBlock& gsm, GprsTexts& texts, TGprsBlock& gprs)
{
    const TXmlNode* cfg = cxmGSM.FindDeep("CFG");
    if (!cfg)
        return false;
    const int deviceNum = cfg->AttrIntByName("DeviceNum", 0);
    gsm.at(GsmOff::DeviceNum) = uint8_t(deviceNum / 256);
    gsm.at(GsmOff::DeviceNum + 1) = uint8_t(deviceNum % 256);
    if (!ReadAddresses(cfg->FindDeep("CID_Destinations"), "Destination", kDestinationCount, gsm,
                       GsmOff::destByte, GsmOff::destAddr) ||
        !ReadAddresses(cfg->FindDeep("SMS_Destinations"), "SMS", kSmsCount, gsm, GsmOff::smsCfg,
                       GsmOff::smsAddr))
        return false;
    if (cfg->FindDeep("GPRS_Settings")) {
        gsm.at(GsmOff::useGPRScfg) = 1;
        ReadSim(cfg->FindDeep("SIM1"), texts.apn1, texts.user1, texts.pass1);
        ReadSim(cfg->FindDeep("SIM2"), texts.apn2, texts.user2, texts.pass2);
        BuildGprsBlock(gprs, texts);
    } else {
        gsm.at(GsmOff::useGPRScfg) = 0;
    }
    if (const TXmlNode* tx = cfg->FindDeep("TXControl"))
        gsm.at(GsmOff::TXE) = uint8_t(tx->AttrIntAt(0));
    if (const TXmlNode* rx = cfg->FindDeep("RXControl"))
        gsm.at(GsmOff::RXE) = uint8_t(rx->AttrIntAt(0));
    return true;
}

} // namespace vk410
