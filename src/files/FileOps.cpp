// The disk side of the cf8 reader and writer.
#include "FileOps.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "model/Errors.h"

namespace vk410 {

bool SaveConfigFile(const QString& path, const Configuration& cfg, const GprsTexts& texts,
                    unsigned modelCode)
{
    // Built first: a bad model code throws before any file is touched.
    return SaveFileAtomically(path, BuildConfigText(cfg, texts, modelCode));
}

bool SaveFileAtomically(const QString& path, std::string_view bytes)
{
    // A device or a folder is never replaced by a renamed temporary.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
    QSaveFile file(path);
    // Unbuffered, so that a short or failed write (a full disk) shows at once:
    // Qt's buffered path can lose the error of its final flush and commit a
    // truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    constexpr std::size_t kPiece = 256;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const qint64 size = qint64(std::min(kPiece, bytes.size() - at));
        if (file.write(bytes.data() + at, size) != size || file.error() != QFileDevice::NoError) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

uint8_t OpenConfigFile(const QString& path, Configuration& cfg, GprsTexts& texts, TsdParseResult* fault)
{
    // A device or a pipe would be read without end or block the window for
    // good: asked before it is opened.
    if (!QFileInfo(path).isFile())
        return kFailureCode;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return kFailureCode;
    // cf8 files are a few kilobytes; a much larger file is not one of ours.
    // Read in pieces up to the limit, whatever size the file reports.
    constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
    if (file.size() > kMaxFileSize)
        return kFailureCode;
    QByteArray bytes;
    char piece[16 * 1024];
    for (qint64 n; (n = file.read(piece, sizeof piece)) != 0;) {
        if (n < 0 || bytes.size() + n > kMaxFileSize)
            return kFailureCode;
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
