// The version record of a program file on Windows: its VERSIONINFO resource,
// read and queried by the system through the wide calls, so that a folder
// named outside the ANSI code page and the record's Cyrillic texts both hold.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>
#include <string>
#include <string_view>

#include "VersionRecord.h"

namespace vk410 {
namespace {

std::wstring WidePath(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

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
    return ::GetFileVersionInfoSizeW(WidePath(path).c_str(), &handle);
}

bool GetFileVersionInfo(const QString& path, VersionRecord& record)
{
    const uint32_t size = GetFileVersionInfoSize(path);
    if (size == 0)
        return false;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoW(WidePath(path).c_str(), 0, size, block.data()))
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
    const std::wstring subBlock = QString::fromUtf8(path.data(), qsizetype(path.size())).toStdWString();
    void* data = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(record.block.data(), subBlock.c_str(), &data, &length) || !data)
        return false;
    if (kind == Query::Translation) {
        value.bytes.assign(static_cast<const char*>(data), length);
    } else {
        // Length in characters, the terminating zero counted.
        std::wstring_view text(static_cast<const wchar_t*>(data), length);
        text = text.substr(0, text.find(L'\0'));
        value.bytes = QString::fromWCharArray(text.data(), qsizetype(text.size())).toStdString();
    }
    value.length = length;
    return true;
}

} // namespace vk410
