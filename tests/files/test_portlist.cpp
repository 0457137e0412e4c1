#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "files/PortList.h"

namespace vk410 {
namespace {

// A fake /sys/class/tty: serial hardware has a `device` link, consoles and
// ptys have none.
TEST(ListSerialPorts, OffersOnlyEntriesWithADeviceLinkInNameOrder)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("class/tty"));
    const auto entry = [&](const char* name) {
        const QString path = root + QLatin1Char('/') + QString::fromLatin1(name);
        QDir().mkpath(path);
        return path;
    };
    const auto device = [&](const char* name) { return dir.filePath(QStringLiteral("devices/")) + QString::fromLatin1(name); };

    for (const char* name : {"ttyS10", "ttyUSB0", "ttyS2", "ttyS0"}) {
        QDir().mkpath(device(name));
        ASSERT_TRUE(QFile::link(device(name), entry(name) + QStringLiteral("/device")));
    }
    // The entry itself a link into the devices folder, as sysfs lists them.
    QDir().mkpath(device("acm/device"));
    ASSERT_TRUE(QFile::link(device("acm"), root + QStringLiteral("/ttyACM0")));
    // A dangling device link still marks a port.
    ASSERT_TRUE(QFile::link(device("gone"), entry("ttyS1") + QStringLiteral("/device")));
    for (const char* name : {"tty0", "console", "ptmx"})
        QDir().mkpath(entry(name) + QStringLiteral("/power"));

    const QStringList expected = {
        QStringLiteral("ttyACM0"), QStringLiteral("ttyS0"), QStringLiteral("ttyS1"),
        QStringLiteral("ttyS2"),   QStringLiteral("ttyS10"), QStringLiteral("ttyUSB0"),
    };
    EXPECT_EQ(PortNames(ListSerialPortInfo(dir.path())), expected);
    EXPECT_TRUE(ListSerialPortInfo(dir.filePath(QStringLiteral("no/such/folder"))).isEmpty());
    EXPECT_TRUE(ListSerialPortInfo(dir.filePath(QStringLiteral("devices/ttyS0"))).isEmpty());
}

// A fake sysfs as the kernel lays it out: class/tty entries are links into
// devices/, a USB port's device is its interface (ACM) or a child of it
// (usb-serial), and the adapter's own attributes sit on the USB device above.
struct FakeSysfs {
    QTemporaryDir dir;

    QString Path(const QString& relative) const { return dir.filePath(relative); }
    void Write(const QString& relative, const QByteArray& text) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile f(Path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // A tty entry whose `device` is the given folder under devices/.
    void Tty(const QString& name, const QString& device, bool withDriver) const
    {
        const QString ttyFolder = Path(QStringLiteral("devices/") + device + QStringLiteral("/tty/") + name);
        QDir().mkpath(ttyFolder);
        QDir().mkpath(Path(QStringLiteral("class/tty")));
        ASSERT_TRUE(QFile::link(ttyFolder, Path(QStringLiteral("class/tty/") + name)));
        ASSERT_TRUE(QFile::link(Path(QStringLiteral("devices/") + device), ttyFolder + QStringLiteral("/device")));
        if (withDriver) {
            QDir().mkpath(Path(QStringLiteral("bus/drivers/x")));
            ASSERT_TRUE(QFile::link(Path(QStringLiteral("bus/drivers/x")),
                                    Path(QStringLiteral("devices/") + device + QStringLiteral("/driver"))));
        }
    }
    void UsbDevice(const QString& folder, const QByteArray& maker, const QByteArray& product,
                   const QByteArray& serial, const QByteArray& vid, const QByteArray& pid) const
    {
        const QString base = QStringLiteral("devices/") + folder + QLatin1Char('/');
        Write(base + QStringLiteral("idVendor"), vid + '\n');
        Write(base + QStringLiteral("idProduct"), pid + '\n');
        if (!maker.isNull())
            Write(base + QStringLiteral("manufacturer"), maker + '\n');
        if (!product.isNull())
            Write(base + QStringLiteral("product"), product + '\n');
        if (!serial.isNull())
            Write(base + QStringLiteral("serial"), serial + '\n');
    }
};

TEST(ListSerialPortInfo, NamesAdaptersAndBuiltInPortsFromAFakeSysfs)
{
    FakeSysfs fs;
    ASSERT_TRUE(fs.dir.isValid());
    const QString hub = QStringLiteral("pci0000:00/usb1");
    fs.UsbDevice(hub, "Linux Foundation", "xHCI Host Controller", "0000:00:14.0", "1d6b", "0002");
    fs.UsbDevice(hub + QStringLiteral("/1-2"), "FTDI", "FT232R USB UART", "A10K1234", "0403", "6001");
    fs.Tty(QStringLiteral("ttyUSB0"), hub + QStringLiteral("/1-2/1-2:1.0/ttyUSB0"), true);
    // The maker repeated in the product, no serial number.
    fs.UsbDevice(hub + QStringLiteral("/1-3"), "Prolific", "Prolific USB-Serial", {}, "067b", "2303");
    fs.Tty(QStringLiteral("ttyUSB1"), hub + QStringLiteral("/1-3/1-3:1.0/ttyUSB1"), true);
    // Firmware texts with control characters; an adapter that names nothing.
    fs.UsbDevice(hub + QStringLiteral("/1-4"), "Evil\x1b[2J", "Modem\tX\rY", "", "2341", "0043");
    fs.Tty(QStringLiteral("ttyACM0"), hub + QStringLiteral("/1-4/1-4:1.0"), true);
    fs.UsbDevice(hub + QStringLiteral("/1-5"), {}, {}, {}, "1a86", "7523");
    fs.Tty(QStringLiteral("ttyUSB10"), hub + QStringLiteral("/1-5/1-5:1.0/ttyUSB10"), true);
    fs.Tty(QStringLiteral("ttyS0"), QStringLiteral("pnp0/00:05"), true);
    fs.Write(QStringLiteral("devices/pnp0/00:05/tty/ttyS0/type"), "4\n");
    // A device without a driver is still listed, with nothing said of it.
    fs.Tty(QStringLiteral("ttyS4"), QStringLiteral("pci0000:00/0000:00:16.3"), false);
    // A UART the kernel reserved but found no chip for.
    fs.Tty(QStringLiteral("ttyS1"), QStringLiteral("platform/serial8250"), true);
    fs.Write(QStringLiteral("devices/platform/serial8250/tty/ttyS1/type"), "0\n");

    const QList<SerialPortInfo> ports = ListSerialPortInfo(fs.dir.path());
    const std::pair<QString, QString> expected[] = {
        {QStringLiteral("ttyACM0"), QStringLiteral("Evil [2J Modem X Y, 2341:0043")},
        {QStringLiteral("ttyS0"), QStringLiteral("Встроенный порт")},
        {QStringLiteral("ttyS4"), QString()},
        {QStringLiteral("ttyUSB0"), QStringLiteral("FTDI FT232R USB UART, № A10K1234, 0403:6001")},
        {QStringLiteral("ttyUSB1"), QStringLiteral("Prolific USB-Serial, 067b:2303")},
        {QStringLiteral("ttyUSB10"), QStringLiteral("USB-адаптер, 1a86:7523")},
    };
    ASSERT_EQ(ports.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].name, expected[i].first);
        EXPECT_EQ(PortDescription(ports[i]), expected[i].second) << ports[i].name.toStdString();
    }
    EXPECT_EQ(ports[3].serial, QStringLiteral("A10K1234"));
    EXPECT_EQ(ports[3].vendorId + ports[3].productId, QStringLiteral("04036001"));
}

TEST(PortNameLess, SortsAnyShuffleInNaturalOrder)
{
    const QStringList sorted = {
        QStringLiteral("tty"),     QStringLiteral("ttyACM9"), QStringLiteral("ttyS"),
        QStringLiteral("ttyS0"),   QStringLiteral("ttyS00"),  QStringLiteral("ttyS3"),
        QStringLiteral("ttyS30"),  QStringLiteral("ttyS123456789012"),
        QStringLiteral("ttyUSB1"), QStringLiteral("ttyUSB12"),
    };
    std::mt19937 rng(410);
    for (int round = 0; round < 20; ++round) {
        QStringList shuffled = sorted;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        std::sort(shuffled.begin(), shuffled.end(), PortNameLess);
        EXPECT_EQ(shuffled, sorted);
    }
    for (const QString& name : sorted)
        EXPECT_FALSE(PortNameLess(name, name)) << name.toStdString();
}

} // namespace
} // namespace vk410
