// The disk side of the cf8 reader and writer.
#include "FileOps.h"

#include <algorithm>
#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "model/Errors.h"
#include "SystemError.h"

namespace vk410 {
namespace {

bool Fail(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

QString Words(const char* text) { return QString::fromUtf8(text); }

// A device or a folder in the target's place is never replaced.
QString NotAFileWords(const QFileInfo& info)
{
    return info.isDir() ? QString::fromStdString(ErrorWords(EISDIR)) : Words(kNotRegularFile);
}

bool OpenRegular(QFile& file, const QString& path, bool append, QString* why)
{
#ifdef _WIN32
    // Win32 sets no errno: the common reasons are asked of the name.
    const QFileInfo info(path);
    if (!append && !info.exists())
        return Fail(why, QString::fromStdString(ErrorWords(ENOENT)));
    if (info.exists() && !info.isFile())
        return Fail(why, NotAFileWords(info));
    file.setFileName(path);
    const QIODevice::OpenMode mode = append ? QIODevice::ReadWrite | QIODevice::Append : QIODevice::ReadOnly;
    return file.open(mode | QIODevice::Unbuffered) || Fail(why, file.errorString());
#else
    // Non-blocking, so that opening a FIFO never waits for its other end;
    // what it is is asked of the open descriptor, not of the name.
    const int flags = (append ? O_RDWR | O_APPEND | O_CREAT : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0600);
    if (fd < 0)
        return Fail(why, QString::fromStdString(ErrorWords(errno, append ? FileAccess::Write : FileAccess::Read)));
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(why, NotAFileWords(QFileInfo(path)));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const QIODevice::OpenMode mode = append ? QIODevice::ReadWrite | QIODevice::Append : QIODevice::ReadOnly;
    if (file.open(fd, mode | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return Fail(why, file.errorString());
#endif
}

} // namespace

bool SaveConfigFile(const QString& path, const Configuration& cfg, const GprsTexts& texts,
                    unsigned modelCode, QString* why)
{
    // Built first: a bad model code throws before any file is touched.
    return SaveFileAtomically(path, BuildConfigText(cfg, texts, modelCode), why);
}

QString FailureWords(const QFileDevice& file, int error, bool writing)
{
    if (error == 0)
        return file.errorString();
    return QString::fromStdString(ErrorWords(error, writing ? FileAccess::Write : FileAccess::Read));
}

bool SaveFileAtomically(const QString& path, std::string_view bytes, QString* why)
{
    // A device or a folder is never replaced by a renamed temporary.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return Fail(why, NotAFileWords(target));
    QSaveFile file(path);
    // Unbuffered, so that a short or failed write (a full disk) shows at once:
    // Qt's buffered path can lose the error of its final flush and commit a
    // truncated file over the old one.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // Win32 sets no errno; a missing folder is the common reason there.
        const int error = errno != 0 || target.dir().exists() ? errno : ENOENT;
        return Fail(why, FailureWords(file, error, true));
    }
    constexpr std::size_t kPiece = 256;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const qint64 size = qint64(std::min(kPiece, bytes.size() - at));
        errno = 0;
        if (file.write(bytes.data() + at, size) != size || file.error() != QFileDevice::NoError) {
            const QString words = FailureWords(file, errno, true);
            file.cancelWriting();
            return Fail(why, words);
        }
    }
    errno = 0;
    return file.commit() || Fail(why, FailureWords(file, errno, true));
}

bool OpenRegularForReading(QFile& file, const QString& path, QString* why)
{
    return OpenRegular(file, path, false, why);
}

bool OpenRegularForAppending(QFile& file, const QString& path, QString* why)
{
    return OpenRegular(file, path, true, why);
}

uint8_t OpenConfigFile(const QString& path, Configuration& cfg, GprsTexts& texts, TsdParseResult* fault,
                       QString* why)
{
    // A device or a pipe would be read without end or block the window for
    // good: refused before anything is read.
    QFile file;
    if (!OpenRegularForReading(file, path, why))
        return kFailureCode;
    // cf8 files are a few kilobytes; a much larger file is not one of ours.
    // Read in pieces up to the limit, whatever size the file reports.
    constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
    const QString tooLarge = QStringLiteral("слишком большой файл");
    if (file.size() > kMaxFileSize) {
        Fail(why, tooLarge);
        return kFailureCode;
    }
    QByteArray bytes;
    char piece[16 * 1024];
    for (qint64 n; (n = file.read(piece, sizeof piece)) != 0;) {
        if (n < 0 || bytes.size() + n > kMaxFileSize) {
            Fail(why, n < 0 ? file.errorString() : tooLarge);
            return kFailureCode;
        }
        bytes.append(piece, qsizetype(n));
    }
    return ReadConfigText(std::string_view(bytes.constData(), std::size_t(bytes.size())), cfg, texts, fault);
}

QString WithCf8Extension(const QString& path, Qt::CaseSensitivity nameCase)
{
    const QString extension = QStringLiteral(".cf8");
    return path.contains(extension, nameCase) ? path : path + extension;
}

} // namespace vk410
