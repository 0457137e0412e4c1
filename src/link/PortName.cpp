#include "PortName.h"

namespace vk410 {

QString DeviceForPortText(const QString& text)
{
#ifdef _WIN32
    if (text.startsWith(QStringLiteral("COM")))
        return QStringLiteral("\\\\.\\") + text;
    return {};
#else
    if (text.startsWith(QStringLiteral("COM"))) {
        bool ok = false;
        const int n = text.mid(3).toInt(&ok);
        if (ok && n >= 1 && text.mid(3) == QString::number(n))
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
        return QStringLiteral("/dev/") + text;
    }
    if (text.startsWith(QLatin1Char('/')))
        return text;
    if (text.startsWith(QStringLiteral("tty")))
        return QStringLiteral("/dev/") + text;
    return {};
#endif
}

} // namespace vk410
