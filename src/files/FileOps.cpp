// The disk side of the cf8 reader and writer.
#include "FileOps.h"

#include <QFile>
#include <QSaveFile>

#include "../model/Errors.h"

namespace vk410 {

bool SaveConfigFile(const QString& path, const Configuration& cfg, const GprsTexts& texts,
                    unsigned modelCode)
{
    // Built first: a bad model code throws before any file is touched.
    const std::string text = BuildConfigText(cfg, texts, modelCode);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 size = qint64(text.size());
    if (file.write(text.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

uint8_t OpenConfigFile(const QString& path, Configuration& cfg, GprsTexts& texts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 255;
    // cf8 files are a few kilobytes; a much larger file is not one of ours.
    constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
    if (file.size() > kMaxFileSize)
        return 255;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return 255;
    return ReadConfigText(std::string_view(bytes.constData(), std::size_t(bytes.size())), cfg, texts);
}

} // namespace vk410
