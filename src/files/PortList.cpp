#include "PortList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace vk410 {
namespace {

// Splits "ttyUSB12" into "ttyUSB" and 12; a name without trailing digits has
// no number (-1). A run of more than nine digits keeps the whole name as the
// stem, so that such names still sort, by text.
struct NameKey {
    QString stem;
    long long number = -1;
};

NameKey KeyOf(const QString& name)
{
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && name.at(digitsFrom - 1).isDigit()
           && name.at(digitsFrom - 1).unicode() < 128)
        --digitsFrom;
    const qsizetype digits = name.size() - digitsFrom;
    if (digits == 0 || digits > 9)
        return {name, -1};
    return {name.left(digitsFrom), name.mid(digitsFrom).toLongLong()};
}

// A dangling link still marks an entry, so look at the link itself.
bool LinkOrFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() || info.exists();
}

// What a device says of itself comes from its firmware.
QString Attribute(const QString& folder, const char* name)
{
    constexpr qint64 kMaxRead = 256;
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DeviceText(QString::fromUtf8(file.read(kMaxRead)));
}

// The USB device above a tty's device: the nearest folder with idVendor and
// idProduct, no higher than the sysfs root and a few levels (a port's device
// is its interface or a child of it).
QString UsbDeviceFolder(const QString& deviceLink, const QString& sysfsRoot)
{
    constexpr int kMaxLevels = 4;
    const QString stop = QFileInfo(sysfsRoot).canonicalFilePath() + QLatin1Char('/');
    QString folder = QFileInfo(deviceLink).canonicalFilePath();
    for (int level = 0; level < kMaxLevels && folder.startsWith(stop); ++level) {
        if (QFileInfo::exists(folder + QStringLiteral("/idVendor")) &&
            QFileInfo::exists(folder + QStringLiteral("/idProduct")))
            return folder;
        folder = QFileInfo(folder).path();
    }
    return {};
}

SerialPortInfo DescribeTty(const QString& entryPath, const QString& name, const QString& sysfsRoot)
{
    SerialPortInfo port;
    port.name = name;
    const QString device = entryPath + QStringLiteral("/device");
    const QString usb = UsbDeviceFolder(device, sysfsRoot);
    if (usb.isEmpty()) {
        port.builtIn = LinkOrFile(device + QStringLiteral("/driver"));
        return port;
    }
    port.usb = true;
    port.manufacturer = Attribute(usb, "manufacturer");
    port.product = Attribute(usb, "product");
    port.serial = Attribute(usb, "serial");
    port.vendorId = Attribute(usb, "idVendor");
    port.productId = Attribute(usb, "idProduct");
    return port;
}


} // namespace

QString DeviceText(QString text)
{
    constexpr qsizetype kMaxShown = 64;
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QLatin1Char(' ');
    }
    return text.simplified().left(kMaxShown);
}

bool PortNameLess(const QString& a, const QString& b)
{
    const NameKey ka = KeyOf(a);
    const NameKey kb = KeyOf(b);
    if (ka.stem != kb.stem)
        return ka.stem < kb.stem;
    if (ka.number != kb.number)
        return ka.number < kb.number;
    return a < b; // "ttyS01" and "ttyS1": still a strict order
}

QList<SerialPortInfo> ListSerialPortInfo(const QString& sysfsRoot)
{
    const QDir ttys(sysfsRoot + QStringLiteral("/class/tty"));
    if (!ttys.exists())
        return {};
    QList<SerialPortInfo> ports;
    const QStringList entries = ttys.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QString path = ttys.filePath(entry);
        if (!LinkOrFile(path + QStringLiteral("/device")) || Attribute(path, "type") == QLatin1String("0"))
            continue;
        ports << DescribeTty(path, entry, sysfsRoot);
    }
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortInfo& a, const SerialPortInfo& b) { return PortNameLess(a.name, b.name); });
    return ports;
}

#ifndef _WIN32 // Windows lists its ports in PortListWin32.cpp
QList<SerialPortInfo> ListSerialPortInfo() { return ListSerialPortInfo(QStringLiteral("/sys")); }
#endif

QStringList ListSerialPorts() { return PortNames(ListSerialPortInfo()); }

QStringList PortNames(const QList<SerialPortInfo>& ports)
{
    QStringList names;
    for (const SerialPortInfo& port : ports)
        names << port.name;
    return names;
}

QString PortDescription(const SerialPortInfo& port)
{
    if (!port.usb)
        return port.builtIn ? QStringLiteral("Встроенный порт") : QString();
    // Many adapters repeat the maker in the product name.
    QString name = port.product.startsWith(port.manufacturer)
                       ? port.product
                       : (port.manufacturer + QLatin1Char(' ') + port.product).trimmed();
    QStringList parts{name.isEmpty() ? QStringLiteral("USB-адаптер") : name};
    if (!port.serial.isEmpty())
        parts << QStringLiteral("№ ") + port.serial;
    if (!port.vendorId.isEmpty())
        parts << port.vendorId + QLatin1Char(':') + port.productId;
    return parts.join(QStringLiteral(", "));
}

QStringList PortDescriptions(const QList<SerialPortInfo>& ports)
{
    QStringList texts;
    for (const SerialPortInfo& port : ports)
        texts << PortDescription(port);
    return texts;
}

} // namespace vk410
