#pragma once
#include <QString>

namespace vk410 {

// The short (8.3) form of a path, for the window caption. On Windows the
// system's short name of an existing path, in native separators, or the path
// itself where there is none (a missing file, a volume without short names)
// or where the short form lost letters of the names; on Linux always the path
// itself.
QString ShortPathName(const QString& path);

// shortPath when it keeps the names' letters, else longPath. The system puts
// '_' for a letter its OEM code page lacks ("ВК410" on a Latin system), so a
// part of shortPath with more '_' than its long part lost letters.
QString ShortFormOrLong(const QString& longPath, const QString& shortPath);

} // namespace vk410
