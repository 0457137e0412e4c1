#pragma once
// Where the command line's text goes. A console window shows UTF-16 text
// through the system whatever its code page; a file or a pipe gets the UTF-8
// bytes. The system's side stands behind ConsoleApi so that the choice can be
// tried with a stand-in console.
#include <QString>
#include <cstddef>
#include <cstdio>
#include <string_view>

namespace vk410::ctl {

class ConsoleApi {
public:
    virtual ~ConsoleApi() = default;
    // The console window behind a stream, or null for a file, a pipe or none.
    virtual void* ConsoleOf(std::FILE* stream) const = 0;
    // Writes UTF-16 units to a console: how many went out, or -1.
    virtual long WriteWide(void* console, const char16_t* text, std::size_t length) = 0;
};

// The system's consoles; on Linux every stream is bytes.
ConsoleApi& SystemConsole();

// Writes UTF-8 text to stream, as UTF-16 when it is a console. False when not
// all of it got out.
bool WriteText(std::FILE* stream, std::string_view utf8, ConsoleApi& api = SystemConsole());
bool WriteText(std::FILE* stream, const QString& text);

} // namespace vk410::ctl
