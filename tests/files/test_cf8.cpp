// The cf8 text: exact writing, reading, the checks that reject a file, and
// the guarantee that a rejected file changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/FileMapping.h"
#include "model/Cp1251.h"
#include "model/Errors.h"

using namespace vk410;

namespace {

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

const std::vector<std::string> kModel0Lines = {
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
    "<config version=\"1\" firmName=\"Kelmarix\" FileID=\"6\">",
    "\t<device ID=\"0\" name=\"VK-410QZ8N\">",
    "\t\t<keyboard>",
    "\t\t\t<BLMode>1</BLMode>",
    "\t\t\t<BLLevel>9</BLLevel>",
    "\t\t\t<KeyBeep>255</KeyBeep>",
    "\t\t</keyboard>",
    "\t\t<loops>",
    "\t\t\t<zone ID=\"1\" type=\"7\" CID=\"23\"/>",
    "\t\t\t<zone ID=\"2\" type=\"6\" CID=\"21\"/>",
    "\t\t\t<zone ID=\"3\" type=\"6\" CID=\"21\"/>",
    "\t\t\t<zone ID=\"4\" type=\"5\" CID=\"20\"/>",
    "\t\t\t<zone ID=\"5\" type=\"5\" CID=\"20\"/>",
    "\t\t\t<zone ID=\"6\" type=\"2\" CID=\"15\"/>",
    "\t\t\t<zone ID=\"7\" type=\"131\" CID=\"4\"/>",
    "\t\t\t<zone ID=\"8\" type=\"131\" CID=\"4\"/>",
    "\t\t</loops>",
    "\t\t<delays>",
    "\t\t\t<in>30</in>",
    "\t\t\t<out>15</out>",
    "\t\t</delays>",
    "\t\t<partExpanders mask=\"0\"/>",
    "\t\t<cxmGSM state=\"0\"/>",
    "\t</device>",
    "</config>",
};

const std::string kDefaultCfgLine =
    "<CFG DeviceNum=\"1\" cfgVer=\"1\" cfgType=\"1\"><CID_Destinations>"
    "<Destination ID=\"1\" trySIMProt=\"0\" pdu=\"9730214365F7FFFF\"/>"
    "<Destination ID=\"2\" trySIMProt=\"0\" pdu=\"9730214365F7FFFF\"/>"
    "<Destination ID=\"3\" trySIMProt=\"0\" pdu=\"C0A801025F0DFFFF\"/>"
    "<Destination ID=\"4\" trySIMProt=\"0\" pdu=\"C0A803040027FFFF\"/>"
    "<Destination ID=\"5\" trySIMProt=\"0\" pdu=\"9730214365F7FFFF\"/></CID_Destinations>"
    "<SMS_Destinations><SMS ID=\"1\" cfg=\"0\" pdu=\"9730214365F7FFFF\"/>"
    "<SMS ID=\"2\" cfg=\"0\" pdu=\"9730214365F7FFFF\"/>"
    "<SMS ID=\"3\" cfg=\"0\" pdu=\"9730214365F7FFFF\"/></SMS_Destinations>"
    "<TXControl TXE=\"0\"/><RXControl RXE=\"1\"/></CFG>\t\t</cxmGSM>";

Configuration Model(unsigned model, bool cxm = false)
{
    Configuration cfg = StartupConfiguration();
    LoadDefaults(cfg.main, model);
    cfg.model = uint8_t(model);
    cfg.main.at(MainOff::state) = cxm ? 1 : 0;
    return cfg;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A model 0 file with a CXM section and GPRS settings, as written.
std::string RichFile()
{
    Configuration cfg = Model(0, true);
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    GprsTexts texts{"internet", "user", "pw", "apn2", "", ""};
    return BuildConfigText(cfg, texts, 0);
}

bool SameMainPayload(const Configuration& a, const Configuration& b)
{
    return std::memcmp(a.main.payload(), b.main.payload(), PayloadLength(a.model)) == 0;
}

} // namespace

TEST(Cf8Text, Model0DefaultsAreTheTwentySixLineExample)
{
    EXPECT_EQ(BuildConfigText(Model(0), {}, 0), Lines(kModel0Lines));
}

TEST(Cf8Text, Model1AddsTheMeridianLine)
{
    std::vector<std::string> lines = kModel0Lines;
    lines[2] = "\t<device ID=\"1\" name=\"VK-410QZ8NL\">";
    lines.insert(lines.begin() + 23, "\t\t<Meridian qnt=\"0\"/>");
    EXPECT_EQ(BuildConfigText(Model(1), {}, 1), Lines(lines));
}

TEST(Cf8Text, CxmSectionIsOneCompactLineClosedAfterTwoTabs)
{
    std::vector<std::string> lines = kModel0Lines;
    lines[23] = "\t\t<cxmGSM state=\"1\">";
    lines.insert(lines.begin() + 24, kDefaultCfgLine);
    EXPECT_EQ(BuildConfigText(Model(0, true), {}, 0), Lines(lines));
}

TEST(Cf8Text, GprsTextsAreWrittenAsUtf8AndEscaped)
{
    Configuration cfg = Model(0, true);
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    const GprsTexts texts{Utf8ToCp1251("\xD0\xB8\xD0\xBD\xD1\x82"), "a&b", "\"q\"", "", "", ""};
    const std::string text = BuildConfigText(cfg, texts, 0);
    EXPECT_NE(text.find("<GPRS_Settings><SIM1 APN=\"\xD0\xB8\xD0\xBD\xD1\x82\" user=\"a&amp;b\" "
                        "password=\"&quot;q&quot;\"/><SIM2 APN=\"\" user=\"\" password=\"\"/></GPRS_Settings>"
                        "<TXControl"),
              std::string::npos)
        << text;
}

TEST(Cf8Text, UnknownModelThrowsBeforeAnything)
{
    try {
        BuildConfigText(Model(0), {}, 2);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kDeviceNotFound);
    }
}

TEST(Cf8Hex, BytesToHexAndBack)
{
    const uint8_t bytes[8] = {0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0x0A};
    EXPECT_EQ(BytesToHex(bytes), "9730214365F7FF0A");
    uint8_t back[8] = {};
    HexToBytes("9730214365f7fF0a", back);
    EXPECT_EQ(std::memcmp(bytes, back, 8), 0);
    for (const char* bad : {"9730214365F7FFG0", "97302143 5F7FFFF", "97", "9730214365F7FF\xD0\xAF"}) {
        uint8_t out[8];
        EXPECT_THROW(HexToBytes(bad, out), ConversionError) << bad;
    }
}

TEST(Cf8Read, SaveAndOpenGiveBackTheConfiguration)
{
    Configuration cfg = Model(1, true);
    cfg.main.at(MainOff::type(2)) = 0x83;
    cfg.main.at(MainOff::cid(2)) = 4;
    cfg.main.at(MainOff::mask) = 0x81;
    cfg.main.at(MainOff::qnt) = 12;
    cfg.main.at(MainOff::alarmsends) = 3; // radio settings are not kept in files
    cfg.main.at(MainOff::KeyBeep) = 0;
    SetDeviceNum(cfg.gsm, 9999);
    SetDestinationTries(cfg.gsm, 3, 2);
    SetDestinationProtocol(cfg.gsm, dpSIAIP, 2);
    SetDestinationIp(cfg.gsm, "010.000.000.001:40000", 2);
    SetSmsType(cfg.gsm, 2, 3);
    SetSmsPhone(cfg.gsm, "+7(903)-123-45-67", 3);
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    cfg.gsm.at(GsmOff::TXE) = 1;
    cfg.gsm.at(GsmOff::RXE) = 0;
    const GprsTexts texts{Utf8ToCp1251("\xD0\xB8\xD0\xBD\xD1\x82"), "u<1>", "p&'", "apn2", "u2", "p2"};
    const std::string text = BuildConfigText(cfg, texts, 1);
    EXPECT_NE(text.find("type=\"131\""), std::string::npos);

    Configuration read = StartupConfiguration();
    GprsTexts readTexts;
    ASSERT_EQ(ReadConfigText(text, read, readTexts), 1);
    EXPECT_EQ(read.model, 1);
    Configuration expected = cfg;
    std::memcpy(expected.main.payload(), DefaultImage(1), 4);
    EXPECT_TRUE(SameMainPayload(read, expected));
    EXPECT_EQ(std::memcmp(read.gsm.payload(), cfg.gsm.payload(), kGsmPayloadSize), 0);
    EXPECT_EQ(readTexts, texts);
    TGprsBlock gprs;
    BuildGprsBlock(gprs, texts);
    EXPECT_EQ(read.gprs.buf, gprs.buf);
    EXPECT_EQ(BuildConfigText(read, readTexts, 1), text);
}

TEST(Cf8Read, AcceptedVariants)
{
    const std::string base = Lines(kModel0Lines);
    const struct { const char* name; std::string text; int model; std::size_t off; uint8_t value; } cases[] = {
        {"other root name", Replace(Replace(base, "<config ", "<settings "), "</config>", "</settings>"), 0,
         MainOff::in, 30},
        {"comments, instructions, a document type, unknown names",
         Replace(Replace(base, "<config ", "<!DOCTYPE config>\r\n<?app x?>\r\n<config "), "<delays>",
                 "<!-- d --><delays extra=\"1\"><unknown/>"),
         0, MainOff::out, 15},
        {"FileID 06", Replace(base, "FileID=\"6\"", "FileID=\"06\""), 0, MainOff::in, 30},
        {"name first", Replace(base, "ID=\"0\" name=\"VK-410QZ8N\"", "name=\"VK-410QZ8N\" ID=\"1\""), 0, MainOff::in, 30},
        {"zone 9 ignored", Replace(base, "ID=\"1\" type=\"7\"", "ID=\"9\" type=\"1\""), 0, MainOff::type(1), 7},
        {"zone 0 ignored", Replace(base, "ID=\"1\" type=\"7\"", "ID=\"0\" type=\"1\""), 0, MainOff::type(1), 7},
        {"type 8 ignored", Replace(base, "ID=\"1\" type=\"7\"", "ID=\"1\" type=\"8\""), 0, MainOff::type(1), 7},
        {"type 135 taken", Replace(base, "ID=\"1\" type=\"7\"", "ID=\"1\" type=\"135\""), 0, MainOff::type(1), 135},
        {"swapped order", Replace(base, "ID=\"1\" type=\"7\" CID=\"23\"", "ID=\"1\" CID=\"3\" type=\"23\""), 0,
         MainOff::type(1), 3},
        {"last zone wins", Replace(base, "ID=\"2\" type=\"6\"", "ID=\"1\" type=\"1\""), 0, MainOff::type(1), 1},
        {"low 8 bits", Replace(base, "<in>30</in>", "<in>\r\n 300 </in>"), 0, MainOff::in, 44},
        {"deeper element", Replace(Replace(base, "<delays>", "<x><delays>"), "</delays>", "</delays></x>"), 0,
         MainOff::out, 15},
        {"no cxmGSM", Replace(base, "\t\t<cxmGSM state=\"0\"/>\r\n", ""), 0, MainOff::state, 0},
        {"radioTX read", Replace(base, "<delays>", "<radioTX><alarmsends>2</alarmsends><restoresends>3</restoresends>"
                                                  "<controlTime h=\"1\" l=\"44\"/></radioTX><delays>"),
         0, MainOff::controlTime + 1, 1},
        {"meridian ignored on model 0", Replace(base, "<cxmGSM", "<Meridian qnt=\"5\"/><cxmGSM"), 0, MainOff::qnt, 0},
        {"meridian on model 1", Replace(Replace(base, "ID=\"0\"", "ID=\"1\""), "<cxmGSM", "<Meridian qnt=\"5\"/><cxmGSM"),
         1, MainOff::qnt, 5},
        {"missing attribute reads 0", Replace(base, "mask=\"0\"", ""), 0, MainOff::mask, 0},
        {"bad attribute reads 0", Replace(base, "mask=\"0\"", "mask=\"x1\""), 0, MainOff::mask, 0},
    };
    for (const auto& c : cases) {
        Configuration cfg = Model(1);
        cfg.main.at(MainOff::in) = 99; // every read starts from the model defaults
        GprsTexts texts;
        ASSERT_EQ(ReadConfigText(c.text, cfg, texts), c.model) << c.name;
        EXPECT_EQ(cfg.model, c.model) << c.name;
        EXPECT_EQ(cfg.main.at(c.off), c.value) << c.name;
    }
}

TEST(Cf8Read, RejectedFilesChangeNothing)
{
    const std::string rich = RichFile();
    const std::string base = Lines(kModel0Lines);
    const struct { const char* name; std::string text; } cases[] = {
        {"empty", ""},
        {"not xml", "hello, world"},
        {"FileID 7", Replace(base, "FileID=\"6\"", "FileID=\"7\"")},
        {"FileID missing", Replace(base, " FileID=\"6\"", "")},
        {"no device", Replace(Replace(base, "<device ", "<dev "), "</device>", "</dev>")},
        {"model 2", Replace(base, "ID=\"0\" name", "ID=\"2\" name")},
        {"pdu 15", Replace(rich, "pdu=\"9730214365F7FFFF\"", "pdu=\"9730214365F7FFF\"")},
        {"pdu 17", Replace(rich, "pdu=\"9730214365F7FFFF\"", "pdu=\"9730214365F7FFFF0\"")},
        {"sms pdu short", Replace(rich, "<SMS ID=\"1\" cfg=\"0\" pdu=\"9730214365F7FFFF\"", "<SMS ID=\"1\" cfg=\"0\" pdu=\"\"")},
        {"state 1 without CFG", Replace(base, "<cxmGSM state=\"0\"/>", "<cxmGSM state=\"1\"/>")},
        {"truncated before device", rich.substr(0, rich.find("<device"))},
    };
    for (const auto& c : cases) {
        Configuration cfg = Model(1, true);
        cfg.main.at(MainOff::in) = 77;
        cfg.gsm.at(GsmOff::DeviceNum) = 0x55;
        const Configuration before = cfg;
        GprsTexts texts{"keep", "", "", "", "", ""};
        EXPECT_EQ(ReadConfigText(c.text, cfg, texts), 255) << c.name;
        EXPECT_EQ(cfg.model, 1) << c.name;
        EXPECT_EQ(cfg.main.buf, before.main.buf) << c.name;
        EXPECT_EQ(cfg.gsm.buf, before.gsm.buf) << c.name;
        EXPECT_EQ(texts.apn1, "keep") << c.name;
    }
}

TEST(Cf8Read, BrokenStructureRejectsTheFileAndSaysWhere)
{
    const std::string base = Lines(kModel0Lines);
    const std::string rich = RichFile();
    std::string deep;
    for (int i = 0; i < kMaxXmlDepth; ++i)
        deep += "<x>";
    const struct { const char* name; std::string text; TsdParseFault fault; int line, column; } cases[] = {
        {"breaks off in a tag", base.substr(0, base.find("<delays>") + 3), TsdParseFault::PrematureEnd, 19, 6},
        {"breaks off in the CXM section", rich.substr(0, rich.find("<SMS_Destinations>")),
         TsdParseFault::PrematureEnd, 25, 0},
        {"stray character in a tag", Replace(base, "<zone ID=\"3\"", "<!zone ID=\"3\""), TsdParseFault::IllegalTag, 12, 4},
        {"comment never closed", Replace(base, "\t\t<delays>", "\t\t<!-- <delays>"), TsdParseFault::PrematureEnd, 27, 1},
        {"end tag of another element", Replace(base, "</delays>", "</delay>"), TsdParseFault::TagMismatch, 22, 3},
        {"value without quotes", Replace(base, "mask=\"0\"", "mask=0"), TsdParseFault::QuoteExpected, 23, 23},
        {"nesting past the bound", Replace(base, "<delays>", deep + "<delays>"), TsdParseFault::DepthBound, 19, 0},
    };
    for (const auto& c : cases) {
        Configuration cfg = Model(1, true);
        const Configuration before = cfg;
        GprsTexts texts{"keep", "", "", "", "", ""};
        TsdParseResult fault;
        EXPECT_EQ(ReadConfigText(c.text, cfg, texts, &fault), 255) << c.name;
        EXPECT_EQ(fault.fault, c.fault) << c.name;
        EXPECT_EQ(fault.line, c.line) << c.name;
        if (c.column != 0) {
            EXPECT_EQ(fault.column, c.column) << c.name;
        }
        EXPECT_EQ(cfg.main.buf, before.main.buf) << c.name;
        EXPECT_EQ(cfg.gsm.buf, before.gsm.buf) << c.name;
        EXPECT_EQ(texts.apn1, "keep") << c.name;
    }
    EXPECT_EQ(ParseFaultText({TsdParseFault::IllegalTag, 12, 4, {}}), "строка 12, столбец 4: недопустимый тег");
}

TEST(Cf8Read, ConversionErrorsCarryTheTextAndChangeNothing)
{
    const std::string rich = RichFile();
    const struct { const char* name; std::string text; const char* message; } cases[] = {
        {"element value", Replace(rich, "<in>30</in>", "<in>3O</in>"), "'3O' is not a valid integer value"},
        {"empty value", Replace(rich, "<BLMode>1</BLMode>", "<BLMode/>"), "'' is not a valid integer value"},
        {"pdu pair", Replace(rich, "pdu=\"9730214365F7FFFF\"", "pdu=\"97302143XYF7FFFF\""),
         "'$XY' is not a valid integer value"},
        {"pdu letters", Replace(rich, "pdu=\"9730214365F7FFFF\"", "pdu=\"9730214365F7FF\xD0\xAF\xD0\xAF\""),
         "'$\xD0\xAF\xD0\xAF' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        Configuration cfg = Model(1);
        const Configuration before = cfg;
        GprsTexts texts;
        try {
            ReadConfigText(c.text, cfg, texts);
            ADD_FAILURE() << c.name;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
        EXPECT_EQ(cfg.main.buf, before.main.buf) << c.name;
        EXPECT_EQ(cfg.model, 1) << c.name;
    }
}

TEST(Cf8Read, CxmSectionRules)
{
    const std::string rich = RichFile();
    GprsTexts texts;
    Configuration cfg = StartupConfiguration();
    SetDeviceNum(cfg.gsm, 4321);

    // state 0 with a CFG inside: the GSM block is not touched.
    Configuration off = cfg;
    ASSERT_EQ(ReadConfigText(Replace(rich, "state=\"1\"", "state=\"0\""), off, texts), 0);
    EXPECT_EQ(off.gsm.buf, cfg.gsm.buf);
    EXPECT_EQ(off.main.at(MainOff::state), 0);

    // Records outside 1..5 and 1..3 name nothing and are ignored.
    Configuration outside = cfg;
    std::string text = Replace(rich, "<Destination ID=\"1\" trySIMProt=\"0\"", "<Destination ID=\"6\" trySIMProt=\"99\"");
    text = Replace(text, "<SMS ID=\"1\" cfg=\"0\"", "<SMS ID=\"0\" cfg=\"99\"");
    ASSERT_EQ(ReadConfigText(text, outside, texts), 0);
    for (std::size_t i = 0; i < kGsmPayloadSize; ++i)
        EXPECT_NE(outside.gsm.at(i), 99) << i;
    EXPECT_EQ(DeviceNum(outside.gsm), 1u);

    // Without GPRS_Settings: useGPRScfg 0, the texts stay as they were.
    Configuration noGprs = cfg;
    noGprs.gsm.at(GsmOff::useGPRScfg) = 1;
    GprsTexts kept{"old", "", "", "", "", ""};
    const std::size_t from = rich.find("<GPRS_Settings>");
    const std::size_t to = rich.find("</GPRS_Settings>") + 16;
    ASSERT_EQ(ReadConfigText(rich.substr(0, from) + rich.substr(to), noGprs, kept), 0);
    EXPECT_EQ(noGprs.gsm.at(GsmOff::useGPRScfg), 0);
    EXPECT_EQ(kept.apn1, "old");

    // Missing fields keep the previous GSM values: the block is not reset.
    Configuration partial = cfg;
    const std::size_t cut = rich.find("<CID_Destinations>");
    ASSERT_EQ(ReadConfigText(rich.substr(0, cut) + "</CFG></cxmGSM></device></config>", partial, texts), 0);
    EXPECT_EQ(DeviceNum(partial.gsm), 1u);
    EXPECT_EQ(partial.gsm.at(GsmOff::RXE), cfg.gsm.at(GsmOff::RXE));
}

TEST(Cf8Read, SampleFiles)
{
    const struct { const char* file; int model; std::size_t off; uint8_t value; } cases[] = {
        {"model0_default.cf8", 0, MainOff::in, 30},
        {"model0_utf16le.cf8", 0, MainOff::type(8), 0x83},
        {"model0_cp1251_radio.cf8", 0, MainOff::alarmsends, 7},
        {"model0_cp1251_radio.cf8", 0, MainOff::controlTime, 44},
        {"model0_cp1251_radio.cf8", 0, MainOff::type(3), 4}, // attributes are read by position
        {"model1_cxm.cf8", 1, MainOff::state, 1},
        {"model1_gprs.cf8", 1, MainOff::state, 1},
        {"truncated.cf8", 255, 0, 0},
        {"bad_pdu.cf8", 255, 0, 0},
    };
    for (const auto& c : cases) {
        std::FILE* f = std::fopen((std::string(VK410_TEST_DATA) + "/" + c.file).c_str(), "rb");
        ASSERT_NE(f, nullptr) << c.file;
        std::string bytes;
        char buf[512];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
        Configuration cfg = StartupConfiguration();
        GprsTexts texts;
        ASSERT_EQ(ReadConfigText(bytes, cfg, texts), c.model) << c.file;
        if (c.model != 255) {
            EXPECT_EQ(cfg.main.at(c.off), c.value) << c.file;
        }
        if (std::string(c.file) == "model1_gprs.cf8") {
            EXPECT_EQ(texts.apn1, "\xE8\xED\xF2\xE5\xF0\xED\xE5\xF2"); // Windows-1251
            EXPECT_EQ(texts.pass1, "p&w");
            EXPECT_EQ(cfg.gsm.at(GsmOff::useGPRScfg), 1);
            EXPECT_EQ(cfg.gsm.at(GsmOff::TXE), 1);
            EXPECT_EQ(cfg.gprs.buf[0], 0x7E);
        }
    }
}
