// The version record of a program file on Linux: only the running program has
// one, generated at build time.
#include <QCoreApplication>
#include <QFileInfo>

#include "VersionRecord.h"

namespace vk410 {
namespace {

bool IsRunningProgram(const QString& path)
{
    if (path.isEmpty() || !QCoreApplication::instance())
        return false;
    const QFileInfo asked(path);
    const QFileInfo own(QCoreApplication::applicationFilePath());
    return asked.exists() && asked.canonicalFilePath() == own.canonicalFilePath();
}

uint32_t RecordSize(const VersionRecord& record)
{
    // A rough byte count of the record; only "none" (0) matters to callers.
    uint32_t size = 4 * uint32_t(record.translations.size()) + 16;
    for (const auto& [key, value] : record.strings)
        size += uint32_t(key.size() + value.size() + 2);
    return size;
}

} // namespace

uint32_t GetFileVersionInfoSize(const QString& path)
{
    return IsRunningProgram(path) ? RecordSize(ProgramVersionRecord()) : 0;
}

bool GetFileVersionInfo(const QString& path, VersionRecord& record)
{
    if (!IsRunningProgram(path))
        return false;
    record = ProgramVersionRecord();
    return true;
}

bool VerQueryValue(const VersionRecord& record, std::string_view path, VersionValue& value)
{
    return VerQueryTable(record, path, value);
}

} // namespace vk410
