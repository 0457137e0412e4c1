#include "IconFile.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include "ui/ProgramIcon.h"

namespace vk410 {
namespace {

void Put16(QByteArray& out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void Put32(QByteArray& out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A DIB as icon files hold it: the header gives twice the height (the colour
// rows, then the mask), rows run bottom-up; the mask stays clear, since the
// alpha channel decides.
QByteArray Dib(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32); // straight alpha
    const int n = image.width();
    QByteArray out;
    Put32(out, 40);
    Put32(out, quint32(n));
    Put32(out, quint32(2 * n));
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
    for (int y = n - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < n; ++x)
            Put32(out, row[x]); // 0xAARRGGBB: B, G, R, A in the file
    }
    const int maskRow = ((n + 31) / 32) * 4;
    out.append(QByteArray(maskRow * n, '\0'));
    return out;
}

} // namespace

QByteArray ProgramIconFile(const QList<int>& sizes)
{
    QList<QByteArray> images;
    for (int size : sizes) {
        const QImage image = ProgramIconImage(size);
        images << (size >= 256 ? Png(image) : Dib(image));
    }
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1); // an icon, not a cursor
    Put16(out, quint16(sizes.size()));
    quint32 offset = 6 + 16 * quint32(sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const char side = char(sizes[i] >= 256 ? 0 : sizes[i]); // 0 stands for 256
        out.append(side).append(side).append('\0').append('\0');
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, quint32(images[i].size()));
        Put32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    return out;
}

} // namespace vk410
