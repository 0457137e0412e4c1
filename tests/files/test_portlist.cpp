#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "files/PortList.h"

namespace vk410 {
namespace {

// A fake /sys/class/tty: entries with a `device` link are serial hardware;
// consoles and ptys have none.
class FakeSysfs {
public:
    FakeSysfs() { root_ = dir_.filePath(QStringLiteral("class/tty")); QDir().mkpath(root_); }

    const QString& Root() const { return root_; }

    // A device link that points at a real folder, as sysfs has it.
    void AddPort(const QString& name)
    {
        const QString target = dir_.filePath(QStringLiteral("devices/") + name);
        QDir().mkpath(target);
        QDir().mkpath(root_ + QLatin1Char('/') + name);
        ASSERT_TRUE(QFile::link(target, root_ + QLatin1Char('/') + name + QStringLiteral("/device")));
    }

    // The entry itself is a link into the devices folder (how sysfs lists them).
    void AddLinkedPort(const QString& name)
    {
        const QString target = dir_.filePath(QStringLiteral("devices/virtual-") + name);
        QDir().mkpath(target + QStringLiteral("/device"));
        ASSERT_TRUE(QFile::link(target, root_ + QLatin1Char('/') + name));
    }

    void AddDanglingPort(const QString& name)
    {
        QDir().mkpath(root_ + QLatin1Char('/') + name);
        ASSERT_TRUE(QFile::link(dir_.filePath(QStringLiteral("gone")),
                                root_ + QLatin1Char('/') + name + QStringLiteral("/device")));
    }

    void AddNonPort(const QString& name)
    {
        QDir().mkpath(root_ + QLatin1Char('/') + name + QStringLiteral("/power"));
        QFile dev(root_ + QLatin1Char('/') + name + QStringLiteral("/dev"));
        ASSERT_TRUE(dev.open(QIODevice::WriteOnly));
    }

private:
    QTemporaryDir dir_;
    QString root_;
};

TEST(ListSerialPorts, OffersOnlyEntriesWithADeviceLinkInNameOrder)
{
    FakeSysfs sys;
    for (const char* name : {"ttyS10", "ttyUSB0", "ttyS2", "ttyS0"})
        sys.AddPort(QString::fromLatin1(name));
    sys.AddLinkedPort(QStringLiteral("ttyACM0"));
    sys.AddDanglingPort(QStringLiteral("ttyS1"));
    for (const char* name : {"tty0", "console", "ptmx", "tty63"})
        sys.AddNonPort(QString::fromLatin1(name));

    const QStringList expected = {
        QStringLiteral("ttyACM0"), QStringLiteral("ttyS0"), QStringLiteral("ttyS1"),
        QStringLiteral("ttyS2"),   QStringLiteral("ttyS10"), QStringLiteral("ttyUSB0"),
    };
    EXPECT_EQ(ListSerialPorts(sys.Root()), expected);
}

TEST(ListSerialPorts, IsEmptyWithoutASource)
{
    QTemporaryDir dir;
    EXPECT_TRUE(ListSerialPorts(dir.filePath(QStringLiteral("no/such/folder"))).isEmpty());
    EXPECT_TRUE(ListSerialPorts(dir.path()).isEmpty());

    FakeSysfs onlyConsoles;
    onlyConsoles.AddNonPort(QStringLiteral("tty1"));
    EXPECT_TRUE(ListSerialPorts(onlyConsoles.Root()).isEmpty());
}

TEST(ListSerialPorts, TheMachinesListHasOnlyPlainNames)
{
    // Whatever this machine has, every entry must be usable as a port box text.
    for (const QString& name : ListSerialPorts()) {
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(name.contains(QLatin1Char('/'))) << name.toStdString();
    }
}

TEST(PortNameLess, NumbersCountAsNumbers)
{
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"ttyS2", "ttyS10", true},  {"ttyS10", "ttyS2", false}, {"ttyS1", "ttyS1", false},
        {"ttyS", "ttyS0", true},    {"ttyS0", "ttyS", false},   {"ttyACM9", "ttyS0", true},
        {"ttyS01", "ttyS1", true},  {"ttyS1", "ttyS01", false}, {"ttyUSB0", "ttyS99", false},
        {"ttyS99999999999999999", "ttyS5", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortNameLess(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.less)
            << c.a << " < " << c.b;
}

TEST(PortNameLess, SortsAnyShuffleTheSameWay)
{
    const QStringList sorted = {
        QStringLiteral("tty"),     QStringLiteral("ttyACM0"), QStringLiteral("ttyS"),
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
}

} // namespace
} // namespace vk410
