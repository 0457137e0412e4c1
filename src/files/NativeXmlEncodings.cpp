// Encoding names and single-byte code pages of the XML parser.
#include "NativeXmlEncodings.h"

#include <cstdint>
#include <utility>

#include "model/Cp1251.h"
#include "NativeXml.h"

namespace vk410::xmlenc {

namespace {

constexpr std::pair<std::string_view, int> kNames[] = {
    {"utf-8", 65001}, {"utf8", 65001}, {"unicode-1-1-utf-8", 65001},
    {"utf-16", 1200}, {"utf-16le", 1200}, {"unicode", 1200}, {"ucs-2", 1200},
    {"utf-16be", 1201}, {"unicodefffe", 1201},
    {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252},
    {"windows-1253", 1253}, {"windows-1254", 1254}, {"windows-1255", 1255},
    {"windows-1256", 1256}, {"windows-1257", 1257}, {"windows-1258", 1258},
    {"cp1250", 1250}, {"cp1251", 1251}, {"cp1252", 1252}, {"x-cp1251", 1251},
    {"iso-8859-1", 28591}, {"latin1", 28591}, {"iso-8859-2", 28592}, {"iso-8859-3", 28593},
    {"iso-8859-4", 28594}, {"iso-8859-5", 28595}, {"cyrillic", 28595}, {"iso-8859-6", 28596},
    {"iso-8859-7", 28597}, {"iso-8859-8", 28598}, {"iso-8859-9", 28599}, {"iso-8859-15", 28605},
    {"koi8-r", 20866}, {"koi8-u", 21866}, {"cp866", 866}, {"ibm866", 866}, {"ibm437", 437},
    {"cp437", 437}, {"ibm850", 850}, {"cp850", 850}, {"us-ascii", 20127}, {"ascii", 20127},
};

struct CodePageTable {
    int codePage;
    uint16_t high[128]; // Unicode of 0x80..0xFF; 0: no character
};

constexpr CodePageTable kTables[] = {
#include "NativeXmlCodePages.inc"
};

const CodePageTable* TableOf(int codePage)
{
    for (const CodePageTable& t : kTables)
        if (t.codePage == codePage)
            return &t;
    return nullptr;
}

} // namespace

int CodePageByName(std::string_view name)
{
    for (const auto& [n, cp] : kNames)
        if (SameName(n, name))
            return cp;
    return kUtf8;
}

void AppendSingleByte(std::string& out, unsigned char b, int codePage)
{
    if (b < 0x80) {
        out.push_back(char(b));
        return;
    }
    if (codePage == 1251) {
        out += Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(&b), 1));
        return;
    }
    const CodePageTable* table = TableOf(codePage);
    const uint16_t cp = table ? table->high[b - 0x80] : 0;
    if (cp != 0)
        AppendUtf8(out, cp);
    else
        out.push_back('?');
}

} // namespace vk410::xmlenc
