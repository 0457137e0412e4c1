// Renders the program's icon into a hicolor tree, <out>/<N>x<N>/apps/<name>.png,
// or with --ico into one Windows icon file (the Windows build's resource).
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <cstdio>

#include "IconFile.h"
#include "ui/ProgramIcon.h"

namespace {

QList<int> Sizes(int argc, char** argv, int from)
{
    QList<int> sizes;
    for (int i = from; i < argc; ++i)
        sizes << std::atoi(argv[i]);
    return sizes;
}

int WriteIconFile(const QString& path, const QList<int>& sizes)
{
    const QByteArray bytes = vk410::ProgramIconFile(sizes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "vk410-render-icons: cannot write %s\n", qPrintable(path));
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: vk410-render-icons OUT NAME SIZE...\n"
                   "       vk410-render-icons --ico OUT.ico SIZE...\n",
                   stderr);
        return 1;
    }
    const QList<int> sizes = Sizes(argc, argv, 3);
    for (int size : sizes) {
        if (size <= 0 || size > 256) {
            std::fprintf(stderr, "vk410-render-icons: no icon of %d px\n", size);
            return 1;
        }
    }
    if (QByteArray(argv[1]) == "--ico")
        return WriteIconFile(QString::fromLocal8Bit(argv[2]), sizes);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : sizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder) ||
            !vk410::ProgramIconImage(size).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "vk410-render-icons: cannot write the %d px icon\n", size);
            return 2;
        }
    }
    return 0;
}
