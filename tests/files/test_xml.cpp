// The document model and its writer.
#include <gtest/gtest.h>

#include "files/NativeXml.h"
#include "model/Errors.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace vk410;

namespace {

std::unique_ptr<TNativeXml> ReadableDoc(const char* root = "config")
{
    auto doc = std::make_unique<TNativeXml>(root);
    doc->SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    doc->SetLineBreak(TsdLineBreakStyle::lbCRLF);
    return doc;
}

} // namespace

TEST(NativeXmlWriter, ReadableCrLfDocumentOfFourLines)
{
    TNativeXml doc("config");
    doc.SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    doc.SetLineBreak(TsdLineBreakStyle::lbCRLF);
    doc.RootElement()->NewChild("a")->PutAttrInt("x", 1);
    EXPECT_EQ(doc.WriteToString(),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<a x=\"1\"/>\r\n</config>\r\n");
}

TEST(NativeXmlWriter, CompactDefaultHasNoBreaksAndValuesStayOnTheirLine)
{
    TNativeXml doc("r");
    TsdElement* a = doc.RootElement()->NewChild("a");
    a->PutChildInt("v", 42);
    a->PutChildInt("w", 0);
    EXPECT_EQ(doc.WriteToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><a><v>42</v><w>0</w></a></r>");
    doc.SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    EXPECT_EQ(doc.WriteToString(),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<r>\n\t<a>\n\t\t<v>42</v>\n\t\t<w>0</w>\n\t</a>\n</r>\n");
}

TEST(NativeXmlWriter, AdoptedCompactNodeKeepsItsOwnStyle)
{
    TNativeXml scratch("configCXM");
    TsdElement* cfg = scratch.RootElement()->NewChild("CFG");
    cfg->PutAttrInt("n", 1);
    cfg->NewChild("A")->PutAttrInt("x", 2);
    cfg->NewChild("B");
    auto doc = ReadableDoc();
    TsdElement* holder = doc->RootElement()->NewChild("holder");
    ASSERT_TRUE(holder->AdoptNode(cfg));
    EXPECT_EQ(cfg->Parent(), holder);
    EXPECT_EQ(scratch.RootElement()->ChildCount(), 0);
    EXPECT_EQ(doc->WriteToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<holder>\r\n"
                                   "<CFG n=\"1\"><A x=\"2\"/><B/></CFG>\t</holder>\r\n</config>\r\n");
}

TEST(NativeXmlWriter, AdoptRefusesCyclesAndPlacesAttributesFirst)
{
    TNativeXml doc("r");
    TsdElement* a = doc.RootElement()->NewChild("a");
    TsdElement* b = a->NewChild("b");
    EXPECT_FALSE(b->AdoptNode(a));
    EXPECT_FALSE(a->AdoptNode(a));
    EXPECT_EQ(b->Parent(), a);

    TNativeXml other("o");
    other.RootElement()->PutAttrText("k", "v");
    TXmlNode* attr = other.RootElement()->ChildAt(0);
    a->SetValueText("text");
    ASSERT_TRUE(a->AdoptNode(attr));
    EXPECT_EQ(a->ChildAt(0), attr);
    EXPECT_EQ(a->AttrTextAt(0), "v");
    EXPECT_EQ(a->ValueText(), "text");
}

TEST(NativeXmlWriter, EscapesTheFiveCharactersAndKeepsEverythingElse)
{
    TNativeXml doc("r");
    doc.RootElement()->PutAttrText("v", "a<b&\"c\"");
    doc.RootElement()->NewChild("t")->SetValueText("x>'y' \xD0\xAF");
    const std::string text = doc.WriteToString();
    EXPECT_NE(text.find("v=\"a&lt;b&amp;&quot;c&quot;\""), std::string::npos) << text;
    EXPECT_NE(text.find("<t>x&gt;&apos;y&apos; \xD0\xAF</t>"), std::string::npos) << text;

    TNativeXml back;
    back.ReadFromString(text);
    EXPECT_EQ(back.RootElement()->AttrTextAt(0), "a<b&\"c\"");
    EXPECT_EQ(back.RootElement()->FindChild("t")->ValueText(), "x>'y' \xD0\xAF");
}

TEST(NativeXmlWriter, CrLfDocumentTurnsLoneLineFeedsOfCharDataIntoCrLf)
{
    auto doc = ReadableDoc("r");
    TsdElement* t = doc->RootElement()->NewChild("t");
    t->SetValueText("a\nb\r\nc");
    EXPECT_EQ(t->ValueText(), "a\r\nb\r\nc");
    EXPECT_NE(doc->WriteToString().find("<t>a\r\nb\r\nc</t>"), std::string::npos);
}

TEST(NativeXmlWriter, MixedContentPutsCharDataOnItsOwnLine)
{
    TNativeXml doc("r");
    doc.SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    TsdElement* root = doc.RootElement();
    root->NewChild("a");
    root->SetValueText("v"); // the value goes directly after the attributes
    root->PutAttrInt("k", 1);
    EXPECT_EQ(doc.WriteToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<r k=\"1\">v\n\t<a/>\n</r>\n");
}

TEST(NativeXmlWriter, SinkGetsPiecesOf256BytesAndItsFailureIsReported)
{
    TNativeXml doc("r");
    for (int i = 0; i < 100; ++i)
        doc.RootElement()->NewChild("element")->PutAttrInt("i", i);
    std::string joined;
    std::size_t largest = 0;
    EXPECT_TRUE(doc.WriteToSink([&](const char* data, std::size_t size) {
        largest = std::max(largest, size);
        joined.append(data, size);
        return true;
    }));
    EXPECT_EQ(largest, 256u);
    EXPECT_EQ(joined, doc.WriteToString());
    int calls = 0;
    EXPECT_FALSE(doc.WriteToSink([&](const char*, std::size_t) { return ++calls > 2; }));
}

TEST(NativeXmlNode, LookupsIgnoreCaseAndFindChildStaysDirect)
{
    TNativeXml doc("config");
    TsdElement* device = doc.RootElement()->NewChild("wrap")->NewChild("device");
    device->PutAttrText("ID", "1");
    EXPECT_EQ(doc.RootElement()->FindDeep("Device"), device);
    EXPECT_EQ(doc.RootElement()->FindChild("device"), nullptr);
    EXPECT_EQ(device->FindChild("id")->ElementType(), TsdElementType::xeAttribute);
    EXPECT_EQ(doc.RootElement()->FindDeep("id"), device->ChildAt(0)); // attributes are searched too
    EXPECT_EQ(device->AttrIntByName("Id", -1), 1);
    EXPECT_EQ(device->AttrIntByName("missing", -1), -1);
}

TEST(NativeXmlNode, AttributesByPosition)
{
    TNativeXml doc("r");
    TsdElement* e = doc.RootElement();
    e->PutAttrText("a", "7");
    e->NewChild("child"); // children do not count among attributes
    e->PutAttrText("b", "x");
    e->PutAttrInt("c", -3);
    e->PutAttrInt("a", 8); // replaces in place
    EXPECT_EQ(e->AttributeCount(), 3);
    EXPECT_EQ(e->ChildCount(), 4);
    const struct { int n; const char* text; int value; } cases[] = {
        {0, "8", 8}, {1, "x", 0}, {2, "-3", -3}, {3, "", 0}, {-1, "", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(e->AttrTextAt(c.n), c.text) << c.n;
        EXPECT_EQ(e->AttrIntAt(c.n), c.value) << c.n;
    }
    EXPECT_EQ(e->ChildAt(4), nullptr);
    EXPECT_EQ(e->ChildAt(-1), nullptr);
}

TEST(NativeXmlNode, ValueSettingAndConversion)
{
    TNativeXml doc("r");
    TsdElement* e = doc.RootElement()->NewChild("v");
    EXPECT_THROW(e->ValueInt(), ConversionError);
    e->PutAttrInt("k", 1);
    e->SetValueInt(-12);
    EXPECT_EQ(e->ValueInt(), -12);
    EXPECT_EQ(e->ChildAt(1), e->ValueNode()); // directly after the attributes
    e->SetValueText("");
    EXPECT_EQ(e->ValueNode(), nullptr);
    EXPECT_EQ(e->ChildCount(), 1);
    for (const char* bad : {"12a", "", "+", "2147483648", "0x10", "1 2"}) {
        e->SetValueText(bad);
        try {
            (void)e->ValueInt();
            ADD_FAILURE() << bad;
        } catch (const ConversionError& err) {
            EXPECT_EQ(err.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    e->SetValueText("-2147483648");
    EXPECT_EQ(e->ValueInt(), -2147483648);
    e->SetValueText(" \r\n 42\t");
    EXPECT_EQ(e->ValueInt(), 42);
}

TEST(NativeXmlNode, PutChildIntReusesTheChild)
{
    TNativeXml doc("r");
    doc.RootElement()->PutChildInt("n", 1);
    doc.RootElement()->PutChildInt("N", 2);
    EXPECT_EQ(doc.RootElement()->ChildCount(), 1);
    EXPECT_EQ(doc.RootElement()->FindChild("n")->ValueInt(), 2);
}

TEST(NativeXmlNode, SymbolsAreInternedPerDocument)
{
    TNativeXml doc("r");
    const std::size_t before = doc.Symbols().Count();
    for (int i = 0; i < 50; ++i)
        doc.RootElement()->NewChild("zone")->PutAttrInt("ID", 1);
    EXPECT_EQ(doc.Symbols().Count(), before + 3); // "zone", "ID", "1"
}

TEST(NativeXmlNode, DeepHandBuiltTreeIsSearchedWrittenAndFreedWithoutRecursion)
{
    constexpr int kLevels = 200000;
    auto doc = std::make_unique<TNativeXml>("r");
    TXmlNode* node = doc->RootElement();
    for (int i = 0; i < kLevels; ++i)
        node = node->NewChild("d");
    node->NewChild("needle");
    EXPECT_NE(doc->RootElement()->FindDeep("needle"), nullptr);
    const std::string written = doc->WriteToString();
    std::string expected = "<?xml version=\"1.0\" encoding=\"utf-8\"?><r>";
    for (int i = 0; i < kLevels; ++i)
        expected += "<d>";
    expected += "<needle/>";
    for (int i = 0; i < kLevels; ++i)
        expected += "</d>";
    expected += "</r>";
    EXPECT_EQ(written.substr(0, 50), expected.substr(0, 50));
    EXPECT_TRUE(written == expected) << written.size() << " bytes, " << expected.size() << " expected";
    doc.reset();
}

TEST(NativeXmlDocument, SaveAndLoadOnDisk)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() /
        ("vk410-xml-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    ASSERT_TRUE(fs::create_directory(folder));
    const std::string dir = folder.string();
    const std::string path = dir + "/doc.xml";

    auto doc = ReadableDoc("config");
    doc->RootElement()->NewChild("device")->PutAttrText("name", "\xD0\x98\xD0\xBC\xD1\x8F");
    doc->SaveDocument(path);
    doc->SaveDocument(path); // replaces the file it wrote
    TNativeXml back;
    back.LoadDocument(path);
    ASSERT_NE(back.RootElement(), nullptr);
    EXPECT_EQ(back.RootElement()->FindChild("device")->AttrTextAt(0), "\xD0\x98\xD0\xBC\xD1\x8F");
    back.SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    back.SetLineBreak(TsdLineBreakStyle::lbCRLF);
    EXPECT_EQ(back.WriteToString(), doc->WriteToString());

    EXPECT_THROW(back.LoadDocument(dir + "/missing.xml"), Error);
    EXPECT_THROW(doc->SaveDocument(dir + "/no/such/dir.xml"), Error);
    EXPECT_THROW(doc->SaveDocument(dir), Error); // a directory
    EXPECT_THROW(doc->SaveDocument("/dev/null"), Error); // never replaces a device
    doc->RootElement()->NewChild("later");
    EXPECT_THROW(doc->SaveDocument(path + "/x"), Error);
    TNativeXml still;
    still.LoadDocument(path);
    EXPECT_EQ(still.RootElement()->FindChild("later"), nullptr);
    fs::remove_all(folder);
}
