#pragma once
#include <QString>

namespace vk410 {

// The short (8.3) form of a path, for the window caption. On Windows the
// system's short name of an existing path, in native separators, or the path
// itself where there is none (a missing file, a volume without short names);
// on Linux always the path itself.
QString ShortPathName(const QString& path);

} // namespace vk410
