// The version record of a program file on Windows: its VERSIONINFO resource,
// read and queried by the system.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>

#include "VersionRecord.h"

namespace vk410 {
namespace {

QByteArray AnsiPath(const QString& path) { return QDir::toNativeSeparators(path).toLocal8Bit(); }

// What this interface offers: the translation table (binary) and the string
// tables (text); not the fixed part that the root path would give.
enum class Query { Other, Translation, Text };

Query KindOf(std::string_view path)
{
    const QByteArray p = QByteArray(path.data(), qsizetype(path.size())).toLower();
    if (p.contains("varfileinfo"))
        return Query::Translation;
    return p.contains("stringfileinfo") ? Query::Text : Query::Other;
}

} // namespace

uint32_t GetFileVersionInfoSize(const QString& path)
{
    if (path.isEmpty())
        return 0;
    DWORD handle = 0;
    return ::GetFileVersionInfoSizeA(AnsiPath(path).constData(), &handle);
}

bool GetFileVersionInfo(const QString& path, VersionRecord& record)
{
    const uint32_t size = GetFileVersionInfoSize(path);
    if (size == 0)
        return false;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoA(AnsiPath(path).constData(), 0, size, block.data()))
        return false;
    record = VersionRecord{};
    record.block = std::move(block);
    return true;
}

bool VerQueryValue(const VersionRecord& record, std::string_view path, VersionValue& value)
{
    if (record.block.empty())
        return VerQueryTable(record, path, value);
    const Query kind = KindOf(path);
    if (kind == Query::Other)
        return false;
    const std::string subBlock(path);
    void* data = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(record.block.data(), subBlock.c_str(), &data, &length) || !data)
        return false;
    if (kind == Query::Translation) {
        value.bytes.assign(static_cast<const char*>(data), length);
    } else {
        // Length in characters, the terminating zero counted; the text is in
        // the system's ANSI code page.
        const char* text = static_cast<const char*>(data);
        value.bytes = QString::fromLocal8Bit(text, int(qstrnlen(text, length))).toStdString();
    }
    value.length = length;
    return true;
}

} // namespace vk410
