// The mapping between a cf8 document and the configuration (no Qt).
#include "FileMapping.h"

#include <algorithm>
#include <vector>

#include "model/Devices.h"
#include "model/Errors.h"
#include "ConfigJson.h"
#include "CxmSection.h"
#include "NativeXml.h"

namespace vk410 {

namespace {

void BuildDevice(TsdElement& device, const TMainBlock& main, unsigned model)
{
    TsdElement& keyboard = *device.NewChild("keyboard");
    keyboard.PutChildInt("BLMode", main.at(MainOff::BLMode));
    keyboard.PutChildInt("BLLevel", main.at(MainOff::BLLevel));
    keyboard.PutChildInt("KeyBeep", main.at(MainOff::KeyBeep));
    TsdElement& loops = *device.NewChild("loops");
    for (int n = 1; n <= kLoopCount; ++n) {
        TsdElement& zone = *loops.NewChild("zone");
        zone.PutAttrInt("ID", n);
        zone.PutAttrInt("type", main.at(MainOff::type(n)));
        zone.PutAttrInt("CID", main.at(MainOff::cid(n)));
    }
    TsdElement& delays = *device.NewChild("delays");
    delays.PutChildInt("in", main.at(MainOff::in));
    delays.PutChildInt("out", main.at(MainOff::out));
    device.NewChild("partExpanders")->PutAttrInt("mask", main.at(MainOff::mask));
    if (model == 1)
        device.NewChild("Meridian")->PutAttrInt("qnt", main.at(MainOff::qnt));
}

bool IsLoopTypeByte(int type) { return (type >= 0 && type <= 7) || (type >= 128 && type <= 135); }

// Children named exactly as given: their value (a conversion error throws) to the offset.
void ReadValues(const TXmlNode* parent, std::initializer_list<std::pair<const char*, std::size_t>> fields,
                TMainBlock& main)
{
    for (int i = 0; parent && i < parent->ChildCount(); ++i) {
        const TXmlNode* child = parent->ChildAt(i);
        const std::string name = child->NodeName();
        for (const auto& [field, offset] : fields)
            if (name == field)
                main.at(offset) = uint8_t(child->ValueInt());
    }
}

void ReadLoops(const TXmlNode* loops, TMainBlock& main)
{
    for (int i = 0; loops && i < loops->ChildCount(); ++i) {
        const TXmlNode* zone = loops->ChildAt(i);
        if (zone->NodeName() != "zone")
            continue;
        const int n = zone->AttrIntAt(0);
        const int type = zone->AttrIntAt(1);
        if (n < 1 || n > kLoopCount || !IsLoopTypeByte(type))
            continue;
        main.at(MainOff::type(n)) = uint8_t(type);
        main.at(MainOff::cid(n)) = uint8_t(zone->AttrIntAt(2));
    }
}

void ReadRadio(const TXmlNode* radio, TMainBlock& main)
{
    ReadValues(radio, {{"alarmsends", MainOff::alarmsends}, {"restoresends", MainOff::restoresends}}, main);
    for (int i = 0; radio && i < radio->ChildCount(); ++i) {
        const TXmlNode* child = radio->ChildAt(i);
        if (child->NodeName() == "controlTime") {
            main.at(MainOff::controlTime + 1) = uint8_t(child->AttrIntAt(0));
            main.at(MainOff::controlTime) = uint8_t(child->AttrIntAt(1));
        }
    }
}

// First attribute of the element, when there is one, to the offset.
void ReadFirstAttr(const TXmlNode* element, std::size_t offset, TMainBlock& main)
{
    if (element)
        main.at(offset) = uint8_t(element->AttrIntAt(0));
}

// Reads the file into cfg/texts (scratch copies); kFailureCode on reject.
uint8_t ReadDocument(const TNativeXml& doc, Configuration& cfg, GprsTexts& texts)
{
    const TsdElement* root = doc.RootElement();
    if (!root || root->AttrIntByName("FileID", 0) != 6)
        return kFailureCode;
    const TXmlNode* device = root->FindDeep("device");
    if (!device)
        return kFailureCode;
    const int model = device->AttrIntAt(0);
    if (model != 0 && model != 1)
        return kFailureCode;
    TMainBlock& main = cfg.main;
    LoadDefaults(main, unsigned(model));
    ReadValues(device->FindDeep("keyboard"),
               {{"BLMode", MainOff::BLMode}, {"BLLevel", MainOff::BLLevel}, {"KeyBeep", MainOff::KeyBeep}}, main);
    ReadLoops(device->FindDeep("loops"), main);
    ReadValues(device->FindDeep("delays"), {{"in", MainOff::in}, {"out", MainOff::out}}, main);
    ReadRadio(device->FindDeep("radioTX"), main);
    ReadFirstAttr(device->FindDeep("partExpanders"), MainOff::mask, main);
    if (model == 1)
        ReadFirstAttr(device->FindDeep("Meridian"), MainOff::qnt, main);
    cfg.model = uint8_t(model);
    const TXmlNode* cxm = device->FindDeep("cxmGSM");
    if (!cxm)
        return uint8_t(model);
    main.at(MainOff::state) = uint8_t(cxm->AttrIntAt(0));
    if (main.at(MainOff::state) == 0)
        return uint8_t(model);
    return ReadCxmSection(*cxm, cfg.gsm, texts, cfg.gprs) ? uint8_t(model) : kFailureCode;
}

} // namespace

std::string ParseFaultText(const TsdParseResult& fault)
{
    static const std::pair<TsdParseFault, const char*> kWhat[] = {
        {TsdParseFault::PrematureEnd, "файл обрывается"},
        {TsdParseFault::IllegalTag, "недопустимый тег"},
        {TsdParseFault::IllegalEndTag, "тег не закрыт"},
        {TsdParseFault::TagMismatch, "закрывающий тег не совпадает с открывающим"},
        {TsdParseFault::StrayEndTag, "лишний закрывающий тег"},
        {TsdParseFault::QuoteExpected, "значение атрибута без кавычек"},
        {TsdParseFault::DepthBound, "слишком глубокая вложенность"},
        {TsdParseFault::UnsupportedEncoding, "неподдерживаемая кодировка"},
    };
    std::string text = "строка " + std::to_string(fault.line) + ", столбец " + std::to_string(fault.column);
    for (const auto& [kind, what] : kWhat)
        if (kind == fault.fault)
            text += std::string(": ") + what;
    return text;
}

std::string BytesToHex(const uint8_t* eight)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < kAddressSize; ++i) {
        out.push_back(digits[eight[i] >> 4]);
        out.push_back(digits[eight[i] & 0x0F]);
    }
    return out;
}

void HexToBytes(std::string_view hex16, uint8_t* eight)
{
    // Taken by characters, not bytes, so that a pair holding a letter of
    // another script is named as the file has it.
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < hex16.size();) {
        std::size_t end = i + 1;
        while (end < hex16.size() && (uint8_t(hex16[end]) & 0xC0) == 0x80)
            ++end;
        chars.push_back(hex16.substr(i, end - i));
        i = end;
    }
    // Sixteen characters that are not sixteen bytes cannot all be digits.
    if (chars.size() != 2 * kAddressSize)
        throw ConversionError(std::string(hex16));
    const auto digit = [](std::string_view c) { return c.size() == 1 ? HexDigit(c[0]) : -1; };
    for (std::size_t i = 0; i < kAddressSize; ++i) {
        const int hi = digit(chars[2 * i]);
        const int lo = digit(chars[2 * i + 1]);
        if (hi < 0 || lo < 0)
            throw ConversionError("$" + std::string(chars[2 * i]) + std::string(chars[2 * i + 1]));
        eight[i] = uint8_t(hi * 16 + lo);
    }
}

std::string BuildConfigText(const Configuration& cfg, const GprsTexts& texts, unsigned modelCode)
{
    if (modelCode > 1)
        throw Error(kDeviceNotFound);
    // Declared first so that it outlives the document that adopts its CFG.
    CxmSection cxm;
    TNativeXml doc("config");
    doc.SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    doc.SetLineBreak(TsdLineBreakStyle::lbCRLF);
    TsdElement& root = *doc.RootElement();
    root.PutAttrInt("version", 1);
    root.PutAttrText("firmName", "Kelmarix");
    root.PutAttrText("FileID", "6");
    TsdElement& device = *root.NewChild("device");
    device.PutAttrInt("ID", int(modelCode));
    device.PutAttrText("name", DeviceRow(modelCode)->name);
    BuildDevice(device, cfg.main, modelCode);
    TsdElement& cxmGSM = *device.NewChild("cxmGSM");
    cxmGSM.PutAttrInt("state", cfg.main.at(MainOff::state));
    if (cfg.main.at(MainOff::state) != 0) {
        cxm = BuildCxmSection(cfg.gsm, texts);
        cxmGSM.AdoptNode(cxm.cfg);
    }
    return doc.WriteToString();
}

uint8_t ReadConfigText(std::string_view bytes, Configuration& cfg, GprsTexts& texts, TsdParseResult* fault)
{
    TNativeXml doc;
    doc.ReadFromString(bytes);
    // What comes after a structural fault is lost; defaults in its place
    // would reach the panel with the next write.
    if (!doc.ParseResult().ok()) {
        if (fault)
            *fault = doc.ParseResult();
        return kFailureCode;
    }
    Configuration scratch = cfg;
    GprsTexts scratchTexts = texts;
    const uint8_t model = ReadDocument(doc, scratch, scratchTexts);
    if (model == kFailureCode)
        return kFailureCode;
    cfg = scratch;
    texts = scratchTexts;
    return model;
}

} // namespace vk410
