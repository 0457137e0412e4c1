// Renders the program's icon into a hicolor tree: <out>/<N>x<N>/apps/<name>.png.
#include <QDir>
#include <cstdlib>
#include <cstdio>

#include "ui/ProgramIcon.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: vk410-render-icons OUT NAME SIZE...\n", stderr);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !vk410::ProgramIconImage(size).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "vk410-render-icons: cannot write the %s px icon\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
