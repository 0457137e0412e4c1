#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "files/PortBox.h"
#include "files/Settings.h"
#include "link/PortName.h"

namespace vk410 {
namespace {

// Points the programmer's settings at a fresh folder for one test and reads
// the INI file behind them directly, to see what really reached the store.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }

    QString IniPath() const { return dir_.filePath(QStringLiteral("Kelmarix/ProgVK410N.conf")); }

    QString Stored(const QString& name) const
    {
        return QSettings(IniPath(), QSettings::IniFormat).value(name).toString();
    }

    bool HasStored(const QString& name) const
    {
        return QSettings(IniPath(), QSettings::IniFormat).contains(name);
    }

    void Preset(const QString& name, const QString& text) const
    {
        QSettings ini(IniPath(), QSettings::IniFormat);
        ini.setValue(name, text);
        ini.sync();
        ASSERT_EQ(ini.status(), QSettings::NoError);
    }

    QTemporaryDir dir_;
};

const QString kPort = QStringLiteral("comportname");
const QString kFolder = QStringLiteral("filepath");

TEST_F(SettingsTest, FirstStartStoresTheDefaultPort)
{
    ASSERT_FALSE(QFile::exists(IniPath()));
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    ASSERT_TRUE(QFile::exists(IniPath())) << "the store lives in the moved folder";
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM1"));
}

TEST_F(SettingsTest, MissingOrEmptyValuesAreReplacedByTheDefault)
{
    Preset(kPort, QString());
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM3")), QStringLiteral("COM3"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM3"));

    // A stored text wins over the default and is left as it was.
    Preset(kPort, QStringLiteral("ttyUSB0"));
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("ttyUSB0"));
}

TEST_F(SettingsTest, WrittenTextsComeBackUnchanged)
{
    // Texts that an INI file has to escape must not be mangled on the way.
    const QStringList texts = {
        QStringLiteral("/dev/serial/by-id/usb-FTDI_A1; x=y"),
        QStringLiteral("@Variant(junk)"),
        QStringLiteral("C:\\Конфиги\\"),
        QStringLiteral("  spaced  "),
        QStringLiteral("a,b,c"),
    };
    for (const QString& text : texts) {
        ASSERT_TRUE(WriteSetting(kFolder, text));
        EXPECT_EQ(ReadSetting(kFolder, QStringLiteral("default")), text);
    }
}

TEST_F(SettingsTest, NothingIsCachedBetweenCalls)
{
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    Preset(kPort, QStringLiteral("COM9")); // changed behind the program's back
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM9"));
}

TEST_F(SettingsTest, AnUnwritableStoreStillGivesUsableTexts)
{
    // A regular file where the folder should be: not writable even for root.
    QFile blocker(dir_.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker.fileName());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker.fileName());

    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    EXPECT_FALSE(WriteSetting(kPort, QStringLiteral("COM2")));
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
}

TEST_F(SettingsTest, AGarbledStoreFileFallsBackToDefaults)
{
    QDir().mkpath(QFileInfo(IniPath()).path());
    QFile ini(IniPath());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray("[General\n\x01\xff\xfe=\n=\n[[[\ncomportname\n", 30));
    ini.close();
    EXPECT_FALSE(ReadSetting(kPort, QStringLiteral("COM1")).isEmpty());
}

TEST_F(SettingsTest, FolderSettingDefaultsToTheCurrentDirectory)
{
    EXPECT_EQ(ReadFolderSetting(), QDir::currentPath());
    EXPECT_EQ(Stored(kFolder), QDir::currentPath());

    ASSERT_TRUE(WriteFolderSetting(QStringLiteral("/data/panels/shop.cf8")));
    EXPECT_EQ(ReadFolderSetting(), QStringLiteral("/data/panels/"));
}

TEST(FolderWithSeparator, KeepsExactlyOneTrailingSeparator)
{
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("/data/a.cf8")), QStringLiteral("/data/"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("/a.cf8")), QStringLiteral("/"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("/x/y/z/file")), QStringLiteral("/x/y/z/"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("rel.cf8")), QDir::currentPath() + QStringLiteral("/"));
}

// The port box rule: each change of the text is stored, and the device
// follows only texts that name one.
TEST_F(SettingsTest, TypingAPortNameStoresEveryKeystroke)
{
    const QString initial = QStringLiteral("/dev/ttyS0");
    const QString com12 = DeviceForPortText(QStringLiteral("COM12"));
    struct Step {
        const char* text;
        QString device;
    };
    const Step steps[] = {
        {"C", initial},
        {"CO", initial},
        {"COM", DeviceForPortText(QStringLiteral("COM"))},
        {"COM1", DeviceForPortText(QStringLiteral("COM1"))},
        {"COM12", com12},
    };
    ASSERT_FALSE(steps[2].device.isEmpty()) << "the device follows from \"COM\" on";
    ASSERT_NE(com12, initial);

    QString device = initial;
    for (const Step& step : steps) {
        device = PortNameBoxChange(QString::fromLatin1(step.text), device);
        EXPECT_EQ(Stored(kPort), QString::fromLatin1(step.text));
        EXPECT_EQ(device, step.device) << step.text;
    }
}

TEST_F(SettingsTest, TextsThatNameNoDeviceAreStoredButKeepTheDevice)
{
    const QString device = QStringLiteral("/dev/ttyUSB3");
    for (const char* text : {"com5", "", "  COM2", "USB0", "Com1"}) {
        EXPECT_EQ(PortNameBoxChange(QString::fromLatin1(text), device), device) << text;
        EXPECT_EQ(Stored(kPort), QString::fromLatin1(text));
    }
}

TEST_F(SettingsTest, StartUpShowsTheRememberedPortEvenWhenNotListed)
{
    const QString initial = DeviceForPortText(QStringLiteral("COM1"));

    const PortBoxStart first = PortBoxAtStartup(QStringList{QStringLiteral("ttyS0")}, initial);
    EXPECT_EQ(first.text, QStringLiteral("COM1"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM1"));
    EXPECT_EQ(first.device, initial);

    Preset(kPort, QStringLiteral("COM7"));
    const QStringList listed = {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    const PortBoxStart later = PortBoxAtStartup(listed, initial);
    EXPECT_EQ(later.items, listed);
    EXPECT_EQ(later.text, QStringLiteral("COM7"));
    EXPECT_EQ(later.device, DeviceForPortText(QStringLiteral("COM7")));

    Preset(kPort, QStringLiteral("com7"));
    const PortBoxStart lower = PortBoxAtStartup(QStringList{}, initial);
    EXPECT_TRUE(lower.items.isEmpty());
    EXPECT_EQ(lower.text, QStringLiteral("com7"));
    EXPECT_EQ(lower.device, initial);
}

TEST_F(SettingsTest, APathInThePortBoxIsUsedAsTheDevice)
{
    // How the demo reaches the simulated panel: its pty path remembered as the port.
    Preset(kPort, QStringLiteral("/tmp/demo/panel"));
    const PortBoxStart start = PortBoxAtStartup(QStringList{}, QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(start.device, QStringLiteral("/tmp/demo/panel"));
}

} // namespace
} // namespace vk410
