#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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
    EXPECT_EQ(ListSerialPorts(root), expected);
    EXPECT_TRUE(ListSerialPorts(dir.filePath(QStringLiteral("no/such/folder"))).isEmpty());
    EXPECT_TRUE(ListSerialPorts(dir.filePath(QStringLiteral("devices/ttyS0"))).isEmpty());
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
