#include "PortName.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace vk410 {
namespace {

bool StartsWithCom(const QString& text) { return text.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive); }

bool AllDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// "COM" and a port number as Windows writes it: 1 or more, no leading zero.
std::optional<int> ComNumber(const QString& text)
{
    const QString digits = text.mid(3);
    bool ok = false;
    const int n = digits.toInt(&ok);
    if (ok && n >= 1 && digits == QString::number(n))
        return n;
    return std::nullopt;
}

} // namespace

QString DeviceForPortText(const QString& text)
{
    if (StartsWithCom(text)) {
        const std::optional<int> n = ComNumber(text);
        // "COM0" or "COM01" is no port number, and no device name either.
        if (!n && AllDigits(text.mid(3)))
            return {};
#ifdef _WIN32
        return QStringLiteral("\\\\.\\") + (n ? QStringLiteral("COM%1").arg(*n) : text);
#else
        return n ? QStringLiteral("/dev/ttyS%1").arg(*n - 1) : QStringLiteral("/dev/") + text;
#endif
    }
#ifndef _WIN32
    if (text.startsWith(QLatin1Char('/')))
        return text;
    // A bare "tty" would be the controlling terminal, not a port.
    if (text.startsWith(QStringLiteral("tty")) && text.size() > 3)
        return QStringLiteral("/dev/") + text;
#endif
    return {};
}

QString PortNotUnderstoodText(const QString& text)
{
#ifdef _WIN32
    const QString wanted = QStringLiteral("нужен COM1, COM2, ...");
#else
    const QString wanted = QStringLiteral("нужен COM1, ttyUSB0 или путь к устройству");
#endif
    return QStringLiteral("Порт «%1» не распознан: %2").arg(text, wanted);
}

QString OpenedDevice(const QString& device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    return target.isEmpty() ? device : target;
}

} // namespace vk410
