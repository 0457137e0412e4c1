#pragma once
// The cf8 file on disk (Qt Core). It goes through QSaveFile, so a failed save
// never destroys the previous file.
#include <QString>
#include <cstdint>
#include <string_view>

#include "FileMapping.h"

namespace vk410 {

bool SaveConfigFile(const QString& path, const Configuration& cfg, const GprsTexts& texts,
                    unsigned modelCode);
// Replaces path with bytes only once all of them are on disk; false, and the
// old file untouched, when they could not be written.
bool SaveFileAtomically(const QString& path, std::string_view bytes);
// Only a regular file is read, and no more of it than a cf8 can be: anything
// else (a device, a pipe, a folder) is rejected at once, as an unreadable file
// is. The result and fault are ReadConfigText's.
uint8_t OpenConfigFile(const QString& path, Configuration& cfg, GprsTexts& texts,
                       TsdParseResult* fault = nullptr);

// How this system compares file names: Windows takes "X.CF8" for "x.cf8".
#ifdef _WIN32
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

// The save-as rule: a name that holds ".cf8" nowhere gets it appended.
QString WithCf8Extension(const QString& path, Qt::CaseSensitivity nameCase = kFileNameCase);

} // namespace vk410
