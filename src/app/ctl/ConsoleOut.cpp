#include "ConsoleOut.h"

#include <algorithm>
#include <string>

namespace vk410::ctl {
namespace {

// Consoles of older systems refuse a single write much longer than this.
constexpr std::size_t kConsoleChunk = 8192;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

bool WriteToConsole(void* console, const std::u16string& text, ConsoleApi& api)
{
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t chunk = std::min(kConsoleChunk, text.size() - done);
        // A pair of surrogates stays in one write, or the console shows two wrong signs.
        if (done + chunk < text.size() && chunk > 1 && IsHighSurrogate(text[done + chunk - 1]))
            --chunk;
        const long written = api.WriteWide(console, text.data() + done, chunk);
        if (written <= 0 || std::size_t(written) > chunk)
            return false;
        done += std::size_t(written);
    }
    return true;
}

} // namespace

bool WriteText(std::FILE* stream, std::string_view utf8, ConsoleApi& api)
{
    if (utf8.empty())
        return true;
    if (void* console = api.ConsoleOf(stream)) {
        // What the stream holds already goes first.
        std::fflush(stream);
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        return WriteToConsole(console, text.toStdU16String(), api);
    }
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

bool WriteText(std::FILE* stream, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return WriteText(stream, std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

#ifndef _WIN32
ConsoleApi& SystemConsole()
{
    struct BytesOnly final : ConsoleApi {
        void* ConsoleOf(std::FILE*) const override { return nullptr; }
        long WriteWide(void*, const char16_t*, std::size_t) override { return -1; }
    };
    static BytesOnly none;
    return none;
}
#endif

} // namespace vk410::ctl
