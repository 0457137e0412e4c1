// The single-byte code pages of the parser against this machine's iconv, byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "files/NativeXmlEncodings.h"

#if __has_include(<iconv.h>)
#include <iconv.h>
#define VK410_HAVE_ICONV 1
#endif

namespace {

#ifdef VK410_HAVE_ICONV
// The byte as UTF-8, or '?' where iconv has no character for it.
std::string Iconv(iconv_t cd, unsigned char byte)
{
    char in[1] = {char(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == std::size_t(-1) ||
        iconv(cd, nullptr, nullptr, &outp, &outLeft) == std::size_t(-1) || outp == out)
        return "?";
    return std::string(out, outp);
}
#endif

} // namespace

TEST(CodePages, EveryByteAsIconvConvertsIt)
{
#ifndef VK410_HAVE_ICONV
    GTEST_SKIP() << "no iconv here";
#else
    const struct { const char* name; const char* iconvName; } pages[] = {
        {"cp437", "CP437"},          {"cp850", "CP850"},           {"cp866", "CP866"},
        {"windows-1250", "CP1250"},  {"windows-1251", "CP1251"},   {"windows-1252", "CP1252"},
        {"windows-1253", "CP1253"},  {"windows-1254", "CP1254"},   {"windows-1255", "CP1255"},
        {"windows-1256", "CP1256"},  {"windows-1257", "CP1257"},   {"windows-1258", "CP1258"},
        {"koi8-r", "KOI8-R"},        {"koi8-u", "KOI8-U"},         {"iso-8859-1", "ISO-8859-1"},
        {"iso-8859-2", "ISO-8859-2"}, {"iso-8859-3", "ISO-8859-3"}, {"iso-8859-4", "ISO-8859-4"},
        {"iso-8859-5", "ISO-8859-5"}, {"iso-8859-6", "ISO-8859-6"}, {"iso-8859-7", "ISO-8859-7"},
        {"iso-8859-8", "ISO-8859-8"}, {"iso-8859-9", "ISO-8859-9"}, {"iso-8859-15", "ISO-8859-15"},
    };
    for (const auto& page : pages) {
        iconv_t cd = iconv_open("UTF-8", page.iconvName);
        if (cd == iconv_t(-1)) {
            ADD_FAILURE() << "iconv lacks " << page.iconvName;
            continue;
        }
        const int codePage = vk410::xmlenc::CodePageByName(page.name);
        for (int b = 0; b < 256; ++b) {
            std::string ours;
            vk410::xmlenc::AppendSingleByte(ours, uint8_t(b), codePage);
            ASSERT_EQ(ours, Iconv(cd, uint8_t(b))) << page.name << " byte " << b;
        }
        iconv_close(cd);
    }
#endif
}
