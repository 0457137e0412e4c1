// The parser: encodings, unescaping, early ends and hostile input.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "files/NativeXml.h"

using namespace vk410;

namespace {

struct Parsed {
    std::unique_ptr<TNativeXml> doc = std::make_unique<TNativeXml>();
    std::vector<std::pair<TsdWarnStyle, std::string>> diags;

    bool Said(std::string_view text) const
    {
        for (const auto& d : diags)
            if (d.second.find(text) != std::string::npos)
                return true;
        return false;
    }
};

Parsed Parse(std::string_view bytes, TsdXmlOutputStyle style = TsdXmlOutputStyle::xosCompact)
{
    Parsed p;
    p.doc->SetOutputStyle(style);
    p.doc->SetOnDebugOut([&p](TsdWarnStyle level, const std::string& text) { p.diags.emplace_back(level, text); });
    p.doc->ReadFromString(bytes);
    return p;
}

std::string Utf16(std::string_view ascii, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        out.push_back(bigEndian ? '\0' : c);
        out.push_back(bigEndian ? c : '\0');
    }
    return out;
}

} // namespace

TEST(NativeXmlParser, EncodingsAllGiveTheSameUtf8Tree)
{
    const std::string ascii = "<?xml version=\"1.0\"?><r a=\"x\">42</r>";
    const struct { const char* name; std::string bytes; } cases[] = {
        {"utf-8 without mark", ascii},
        {"utf-8 with mark", "\xEF\xBB\xBF" + ascii},
        {"utf-16 le", Utf16(ascii, false)},
        {"utf-16 be", Utf16(ascii, true)},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.bytes);
        ASSERT_NE(p.doc->RootElement(), nullptr) << c.name;
        EXPECT_EQ(p.doc->RootElement()->NodeName(), "r") << c.name;
        EXPECT_EQ(p.doc->RootElement()->AttrTextAt(0), "x") << c.name;
        EXPECT_EQ(p.doc->RootElement()->ValueInt(), 42) << c.name;
    }
}

TEST(NativeXmlParser, DeclaredSingleByteCodePageIsConvertedToUtf8)
{
    const struct { const char* encoding; std::string raw; const char* utf8; } cases[] = {
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"WINDOWS-1251", "\xA8", "\xD0\x81"},
        {"iso-8859-1", "\xE9", "\xC3\xA9"},
        {"windows-1252", "\x80", "\xE2\x82\xAC"},
        {"iso-8859-5", "\xBF", "\xD0\x9F"},
        {"no-such-encoding", "\xD0\xAF", "\xD0\xAF"}, // counts as utf-8
    };
    for (const auto& c : cases) {
        const std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding + "\"?><r v=\"" +
                                 c.raw + "\">" + c.raw + "</r>";
        Parsed p = Parse(text);
        ASSERT_NE(p.doc->RootElement(), nullptr) << c.encoding;
        EXPECT_EQ(p.doc->RootElement()->AttrTextAt(0), c.utf8) << c.encoding;
        EXPECT_EQ(p.doc->RootElement()->ValueText(), c.utf8) << c.encoding;
    }
}

TEST(NativeXmlParser, StartsThatAreRefusedOrWarned)
{
    const struct { const char* name; std::string text; TsdParseFault fault; const char* diag; } refused[] = {
        {"too short", "<r/>", TsdParseFault::PrematureEnd, "stream terminated prematurely at pos 0"},
        {"empty", "", TsdParseFault::PrematureEnd, "stream terminated prematurely"},
        {"ucs-4", std::string("\0\0\xFE\xFF\0\0\0<\0\0\0r", 12), TsdParseFault::UnsupportedEncoding,
         "unsupported encoding"},
    };
    for (const auto& c : refused) {
        Parsed p = Parse(c.text);
        EXPECT_TRUE(p.Said(c.diag)) << c.name;
        EXPECT_EQ(p.doc->ParseResult().fault, c.fault) << c.name;
        EXPECT_EQ(p.doc->ParseResult().line, 1) << c.name;
        EXPECT_EQ(p.doc->ParseResult().column, 1) << c.name;
        EXPECT_EQ(p.doc->RootElement(), nullptr) << c.name;
    }
    Parsed unknown = Parse("<root a=\"1\"/>");
    EXPECT_TRUE(unknown.Said("unknown encoding"));
    EXPECT_TRUE(unknown.doc->ParseResult().ok()) << "a warning, not a fault";
    ASSERT_NE(unknown.doc->RootElement(), nullptr);
    EXPECT_EQ(unknown.doc->RootElement()->AttrIntAt(0), 1);
}

TEST(NativeXmlParser, UnescapingIsOneLevelAndLeavesReferencesItDoesNotKnow)
{
    const char* text = "<?xml version=\"1.0\"?><!DOCTYPE r [ <!ENTITY e \"&amp;&e;<\"> <!ENTITY f 'F'> "
                       "<!-- c --> <!ELEMENT r ANY> ]><r a=\"&#65;&lt;&e;&f;&zz;&amp&x;\">&gt;&e;</r>";
    Parsed p = Parse(text);
    ASSERT_NE(p.doc->RootElement(), nullptr);
    EXPECT_EQ(p.doc->RootElement()->AttrTextAt(0), "&#65;<&amp;&e;<F&zz;&amp&x;");
    EXPECT_EQ(p.doc->RootElement()->ValueText(), ">&amp;&e;<");
}

TEST(NativeXmlParser, SelfReferringEntitiesCannotGrowWithoutBound)
{
    // Each reference adds one entity value at most, and a whole parse adds at
    // most kEntityBudget bytes.
    std::string text = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"" + std::string(1000, 'x') + "&e;&e;\">]><r>";
    for (int i = 0; i < 5000; ++i)
        text += "&e;";
    text += "</r>";
    Parsed p = Parse(text);
    ASSERT_NE(p.doc->RootElement(), nullptr);
    const std::size_t size = p.doc->RootElement()->ValueText().size();
    EXPECT_LE(size, kEntityBudget + text.size());
    EXPECT_GT(size, 1000u);
}

TEST(NativeXmlParser, ValuesAreTrimmedOfControlCharactersInCompactAndReadable)
{
    for (auto style : {TsdXmlOutputStyle::xosCompact, TsdXmlOutputStyle::xosReadable}) {
        Parsed p = Parse("<?xml version=\"1.0\"?>\r\n<r>\r\n\t<v>\r\n  42 \t</v>\r\n</r>\r\n", style);
        ASSERT_NE(p.doc->RootElement(), nullptr);
        EXPECT_EQ(p.doc->RootElement()->FindChild("v")->ValueText(), "42");
        EXPECT_EQ(p.doc->RootElement()->FindChild("v")->ValueInt(), 42);
        EXPECT_EQ(p.doc->RootElement()->ChildCount(), 1); // no whitespace nodes
    }
    Parsed kept = Parse("<?xml version=\"1.0\"?><r> <v> 42 </v></r>", TsdXmlOutputStyle::xosPreserve);
    EXPECT_EQ(kept.doc->RootElement()->FindChild("v")->ValueText(), " 42 ");
    EXPECT_EQ(kept.doc->RootElement()->FindChild("v")->ValueInt(), 42);
    EXPECT_EQ(kept.doc->RootElement()->ChildAt(0)->ElementType(), TsdElementType::xeWhiteSpace);
    kept.doc->SetOutputStyle(TsdXmlOutputStyle::xosCompact);
    EXPECT_EQ(kept.doc->RootElement()->ChildAt(0)->NodeName(), "v");
}

TEST(NativeXmlParser, ConstructsItGetsPast)
{
    const char* text = "<?xml version=\"1.0\"?><?xml-stylesheet href=\"a\"?><?pi x?><!-- <r> -->"
                       "<r q='single'><![CDATA[<raw&>]]><!--x--><c/></r>";
    Parsed p = Parse(text);
    ASSERT_NE(p.doc->RootElement(), nullptr);
    const TsdElement* r = p.doc->RootElement();
    EXPECT_EQ(r->NodeName(), "r");
    EXPECT_EQ(static_cast<const TsdAttribute*>(r->ChildAt(0))->Value().QuoteChar(), '\'');
    EXPECT_EQ(r->ValueText(), "<raw&>");
    EXPECT_NE(r->FindChild("c"), nullptr);
    EXPECT_TRUE(p.diags.empty());
    EXPECT_TRUE(p.doc->ParseResult().ok());
}

TEST(NativeXmlParser, EarlyEndsKeepWhatWasBuilt)
{
    using F = TsdParseFault;
    const struct { const char* name; const char* text; const char* diag; int children; F fault; int column; } cases[] = {
        {"truncated", "<?xml version=\"1.0\"?><r><a x=\"1\"/><b>5</b><c y=\"2", "terminated prematurely", 3,
         F::PrematureEnd, 50},
        {"illegal tag", "<?xml version=\"1.0\"?><r><a/><!BOGUS x><b/></r>", "illegal tag (\"<!BOGUS\")", 1,
         F::IllegalTag, 29},
        {"missing quote", "<?xml version=\"1.0\"?><r><a x=1/><b/></r>", "quote char expected", 2, F::QuoteExpected, 30},
        {"bad tag end", "<?xml version=\"1.0\"?><r><a x=\"1\"/ ><b/></r>", "illegal end tag", 2, F::IllegalEndTag, 25},
        {"mismatch", "<?xml version=\"1.0\"?><r><a></b><c/></r>", "begin and end tag mismatch: \"a\" and \"b\"", 2,
         F::TagMismatch, 28},
        {"stray end tag", "<?xml version=\"1.0\"?><r/></r>", "without element", 0, F::StrayEndTag, 26},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.text);
        EXPECT_TRUE(p.Said(c.diag)) << c.name;
        EXPECT_EQ(p.doc->ParseResult().fault, c.fault) << c.name;
        EXPECT_EQ(p.doc->ParseResult().line, 1) << c.name;
        EXPECT_EQ(p.doc->ParseResult().column, c.column) << c.name;
        EXPECT_NE(p.doc->ParseResult().diagnostic.find(c.diag), std::string::npos) << c.name;
        ASSERT_NE(p.doc->RootElement(), nullptr) << c.name;
        int elements = 0;
        for (int i = 0; i < p.doc->RootElement()->ChildCount(); ++i)
            elements += p.doc->RootElement()->ChildAt(i)->ElementType() == TsdElementType::xeElement;
        EXPECT_EQ(elements, c.children) << c.name;
    }
    Parsed t = Parse("<?xml version=\"1.0\"?><r><a x=\"1\"/><b>5</b><c y=\"2");
    EXPECT_EQ(t.doc->RootElement()->FindChild("b")->ValueInt(), 5);
}

TEST(NativeXmlParser, HostileInputEndsInAParseThatReturns)
{
    std::string deep = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    Parsed nested = Parse(deep);
    EXPECT_TRUE(nested.Said("nesting deeper than 1024"));
    EXPECT_EQ(nested.doc->ParseResult().fault, TsdParseFault::DepthBound);
    EXPECT_EQ(nested.doc->ParseResult().line, 1);
    EXPECT_EQ(nested.doc->ParseResult().column, 22 + 3 * kMaxXmlDepth); // the first "<a>" too many
    EXPECT_EQ(nested.doc->RootElement()->Depth(), 0);
    nested.doc->SetOutputStyle(TsdXmlOutputStyle::xosReadable);
    const std::string written = nested.doc->WriteToString();
    std::size_t opened = 0;
    for (std::size_t at = 0; (at = written.find("<a", at)) != std::string::npos; ++at)
        ++opened;
    EXPECT_EQ(opened, std::size_t(kMaxXmlDepth));
    EXPECT_NE(written.find("<a/>"), std::string::npos);

    const std::string big(10 * 1024 * 1024, 'v');
    Parsed wide = Parse("<?xml version=\"1.0\"?><r a=\"" + big + "\"/>");
    EXPECT_EQ(wide.doc->RootElement()->AttrTextAt(0).size(), big.size());

    std::mt19937 rng(410);
    for (int round = 0; round < 200; ++round) {
        std::string noise(std::size_t(rng() % 2000), '\0');
        for (char& ch : noise)
            ch = char(rng() % 6 == 0 ? "<>/=\"&"[rng() % 6] : rng());
        Parse(noise);
        Parse("<?xml version=\"1.0\"?><r>" + noise);
    }
}
