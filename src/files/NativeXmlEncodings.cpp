// Encoding names and single-byte code pages of the XML parser.
#include "NativeXmlEncodings.h"

#include <array>
#include <utility>

#include "../model/Cp1251.h"
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
    {"cp437", 437}, {"ibm850", 850}, {"us-ascii", 20127}, {"ascii", 20127},
};

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<unsigned, 32> kCp1252High = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

unsigned Iso88595(unsigned char b)
{
    if (b < 0xA1 || b == 0xAD)
        return b;
    if (b == 0xF0)
        return 0x2116;
    if (b == 0xFD)
        return 0x00A7;
    return 0x0400 + (b - 0xA0);
}

// Cyrillic letters of code page 866; its box-drawing characters are not kept.
unsigned Cp866(unsigned char b)
{
    if (b >= 0x80 && b <= 0xAF)
        return 0x0410 + (b - 0x80);
    if (b >= 0xE0 && b <= 0xEF)
        return 0x0440 + (b - 0xE0);
    if (b == 0xF0)
        return 0x0401;
    if (b == 0xF1)
        return 0x0451;
    return '?';
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
    switch (codePage) {
    case 1251: out += Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(&b), 1)); return;
    case 28591: AppendUtf8(out, b); return;
    case 1252: AppendUtf8(out, b >= 0xA0 ? b : (kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : '?')); return;
    case 28595: AppendUtf8(out, Iso88595(b)); return;
    case 866: AppendUtf8(out, Cp866(b)); return;
    default: out.push_back('?');
    }
}

} // namespace vk410::xmlenc
