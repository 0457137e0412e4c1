#pragma once
// The cf8 file on disk (Qt Core). It goes through QSaveFile, so a failed save
// never destroys the previous file. Where a function gives why, it is the
// reason of a failure in words ("нет такой папки"), from the system's error.
#include <QString>
#include <cstdint>
#include <string_view>

#include "FileMapping.h"

class QFile;
class QFileDevice;

namespace vk410 {

bool SaveConfigFile(const QString& path, const Configuration& cfg, const GprsTexts& texts,
                    unsigned modelCode, QString* why = nullptr);
// Replaces path with bytes only once all of them are on disk; false, and the
// old file untouched, when they could not be written.
bool SaveFileAtomically(const QString& path, std::string_view bytes, QString* why = nullptr);
// Only a regular file is read, and no more of it than a cf8 can be: anything
// else (a device, a pipe, a folder) is rejected at once, as an unreadable file
// is. The result and fault are ReadConfigText's; why is set when the file
// could not be read at all (missing, not a file, no access, too large) and
// stays empty when it was read and rejected.
uint8_t OpenConfigFile(const QString& path, Configuration& cfg, GprsTexts& texts,
                       TsdParseResult* fault = nullptr, QString* why = nullptr);

// Open path only when it is a regular file: a FIFO or a device is refused at
// once instead of blocking or never ending. Appending creates the file (0600).
bool OpenRegularForReading(QFile& file, const QString& path, QString* why = nullptr);
bool OpenRegularForAppending(QFile& file, const QString& path, QString* why = nullptr);

// The reason of the call that just failed on file: errno in words where the
// system set it (it is cleared before the call), otherwise Qt's own text.
QString FailureWords(const QFileDevice& file, int error, bool writing);

// How this system compares file names: Windows takes "X.CF8" for "x.cf8".
#ifdef _WIN32
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

// The save-as rule: a name that holds ".cf8" nowhere gets it appended.
QString WithCf8Extension(const QString& path, Qt::CaseSensitivity nameCase = kFileNameCase);

} // namespace vk410
