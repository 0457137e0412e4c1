// The command line's text on a console and on a file, with a stand-in console:
// what only a Windows console shows is decided here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ctl/ConsoleOut.h"

using namespace vk410::ctl;

namespace {

// A console behind one stream; it takes at most `perCall` units a write and
// fails every write once `failAfter` writes went through.
struct StandInConsole final : ConsoleApi {
    std::FILE* console = nullptr;
    std::size_t perCall = SIZE_MAX;
    int failAfter = -1;
    std::u16string shown;
    std::vector<std::size_t> writes;

    void* ConsoleOf(std::FILE* stream) const override { return stream == console ? console : nullptr; }
    long WriteWide(void* handle, const char16_t* text, std::size_t length) override
    {
        EXPECT_EQ(handle, console);
        if (failAfter >= 0 && int(writes.size()) >= failAfter)
            return -1;
        const std::size_t n = std::min(length, perCall);
        shown.append(text, n);
        writes.push_back(length);
        return long(n);
    }
};

std::string Contents(std::FILE* f)
{
    std::fflush(f);
    std::rewind(f);
    std::string bytes;
    for (int c; (c = std::fgetc(f)) != EOF;)
        bytes += char(c);
    return bytes;
}

} // namespace

TEST(ConsoleOut, AConsoleGetsUtf16AndAFileTheUtf8Bytes)
{
    std::FILE* console = std::tmpfile();
    std::FILE* file = std::tmpfile();
    ASSERT_TRUE(console && file);
    StandInConsole api;
    api.console = console;
    const std::string text = "Настройки записаны\nПорт COM5 -> \\\\.\\COM5\n";
    EXPECT_TRUE(WriteText(console, text, api));
    EXPECT_TRUE(WriteText(file, text, api));
    EXPECT_EQ(api.shown, u"Настройки записаны\nПорт COM5 -> \\\\.\\COM5\n");
    EXPECT_EQ(Contents(console), ""); // nothing went around the console as bytes
    EXPECT_EQ(Contents(file), text);
    std::fclose(console);
    std::fclose(file);
}

TEST(ConsoleOut, LongTextReachesTheConsoleWholeWithoutSplittingAPair)
{
    std::FILE* console = std::tmpfile();
    ASSERT_TRUE(console);
    // 8191 Cyrillic letters put a surrogate pair across the first write's end.
    std::u16string want(8191, u'Ж');
    for (int i = 0; i < 3000; ++i)
        want += u"\U0001F4DF ключ";
    const struct { std::size_t perCall; int failAfter; bool ok; } cases[] = {
        {SIZE_MAX, -1, true}, // the console takes each chunk whole
        {1000, -1, true},     // and bit by bit
        {SIZE_MAX, 1, false}, // a console that fails is reported
    };
    for (const auto& c : cases) {
        StandInConsole api;
        api.console = console;
        api.perCall = c.perCall;
        api.failAfter = c.failAfter;
        EXPECT_EQ(WriteText(console, QString::fromStdU16String(want).toStdString(), api), c.ok) << c.perCall;
        if (!c.ok)
            continue;
        EXPECT_EQ(api.shown, want) << c.perCall;
        EXPECT_LE(api.writes.front(), 8192u);
        EXPECT_FALSE(QChar::isHighSurrogate(want[api.writes.front() - 1]));
    }
    std::fclose(console);
}
