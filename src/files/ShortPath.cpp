#include "ShortPath.h"

#include <QRegularExpression>
#include <QStringList>

#ifdef _WIN32
#include <QDir>
#include <string>
#include <windows.h>
#endif

namespace vk410 {

QString ShortFormOrLong(const QString& longPath, const QString& shortPath)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList longParts = longPath.split(separators);
    const QStringList shortParts = shortPath.split(separators);
    if (longParts.size() != shortParts.size())
        return longPath;
    for (qsizetype i = 0; i < longParts.size(); ++i)
        if (shortParts[i].count(QLatin1Char('_')) > longParts[i].count(QLatin1Char('_')))
            return longPath;
    return shortPath;
}

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
    return ShortFormOrLong(native, QString::fromStdWString(shortPath));
#else
    return path;
#endif
}

} // namespace vk410
