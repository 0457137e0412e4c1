// The system's console on Windows: a stream whose handle takes a console
// mode is a console window; WriteConsoleW writes to it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <io.h>

#include "ConsoleOut.h"

namespace vk410::ctl {
namespace {

class WindowsConsole final : public ConsoleApi {
public:
    void* ConsoleOf(std::FILE* stream) const override
    {
        const int fd = _fileno(stream);
        if (fd < 0)
            return nullptr;
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
        DWORD mode = 0;
        if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode))
            return nullptr;
        return handle;
    }

    long WriteWide(void* console, const char16_t* text, std::size_t length) override
    {
        static_assert(sizeof(wchar_t) == sizeof(char16_t));
        DWORD written = 0;
        if (!::WriteConsoleW(console, reinterpret_cast<const wchar_t*>(text), DWORD(length), &written, nullptr))
            return -1;
        return long(written);
    }
};

} // namespace

ConsoleApi& SystemConsole()
{
    static WindowsConsole system;
    return system;
}

} // namespace vk410::ctl
