#include "ShortPath.h"

#ifdef _WIN32
#include <QDir>
#include <string>
#include <windows.h>
#endif

namespace vk410 {

QString ShortPathName(const QString& path)
{
#ifdef _WIN32
    const QString native = QDir::toNativeSeparators(path);
    const std::wstring wide = native.toStdWString();
    const DWORD needed = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return native;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(wide.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed)
        return native;
    shortPath.resize(length);
    return QString::fromStdWString(shortPath);
#else
    return path;
#endif
}

} // namespace vk410
