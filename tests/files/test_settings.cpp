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

const QString kPort = QStringLiteral("comportname");

// Moves the settings store into a fresh folder and reads the INI file behind
// it directly, to see what really reached the store.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        MoveStoreTo(dir_.path());
    }
    static void MoveStoreTo(const QString& folder)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }
    QString Ini() const { return dir_.filePath(QStringLiteral("Kelmarix/ProgVK410N.conf")); }
    QString Stored(const QString& name) const
    {
        return QSettings(Ini(), QSettings::IniFormat).value(name).toString();
    }
    void Preset(const QString& name, const QString& text) const
    {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(name, text);
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, MissingOrEmptyValuesAreReplacedByTheDefault)
{
    ASSERT_FALSE(QFile::exists(Ini()));
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM1")) << "first start stores the default";

    Preset(kPort, QString());
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM3")), QStringLiteral("COM3"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM3"));

    Preset(kPort, QStringLiteral("ttyUSB0")); // behind the program's back: nothing is cached
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("ttyUSB0"));
}

TEST_F(SettingsTest, AnUnwritableStoreStillGivesUsableTexts)
{
    // A regular file where the folder should be: not writable even for root.
    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    MoveStoreTo(blocker);

    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    EXPECT_FALSE(WriteSetting(kPort, QStringLiteral("COM2")));
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
}

TEST_F(SettingsTest, TheFolderSettingKeepsATrailingSeparator)
{
    EXPECT_EQ(ReadFolderSetting(), QDir::currentPath()) << "defaults to the current directory";
    ASSERT_TRUE(WriteFolderSetting(QStringLiteral("/data/panels/shop.cf8")));
    EXPECT_EQ(ReadFolderSetting(), QStringLiteral("/data/panels/"));

    EXPECT_EQ(FolderWithSeparator(QStringLiteral("/a.cf8")), QStringLiteral("/"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("rel.cf8")), QDir::currentPath() + QStringLiteral("/"));
}

TEST_F(SettingsTest, TypingAPortNameStoresEveryKeystroke)
{
    const QString initial = QStringLiteral("/dev/ttyS0");
    const struct {
        const char* text;
        QString device;
    } steps[] = {
        {"C", initial},
        {"CO", initial},
        {"COM", QStringLiteral("/dev/COM")},
        {"COM1", QStringLiteral("/dev/ttyS0")},
        {"COM12", QStringLiteral("/dev/ttyS11")},
    };
    QString device = initial;
    for (const auto& step : steps) {
        device = PortNameBoxChange(QString::fromLatin1(step.text), device);
        EXPECT_EQ(Stored(kPort), QString::fromLatin1(step.text));
        EXPECT_EQ(device, step.device) << step.text;
    }
}

TEST_F(SettingsTest, TextsThatNameNoDeviceAreStoredButKeepTheDevice)
{
    const QString device = QStringLiteral("/dev/ttyUSB3");
    for (const char* text : {"com5", "", "  COM2", "Com1"}) {
        EXPECT_EQ(PortNameBoxChange(QString::fromLatin1(text), device), device) << text;
        EXPECT_EQ(Stored(kPort), QString::fromLatin1(text));
    }
}

TEST_F(SettingsTest, StartUpShowsTheRememberedPortEvenWhenNotListed)
{
    const QString initial = DeviceForPortText(QStringLiteral("COM1"));
    const QStringList listed = {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    const struct {
        const char* stored; // nullptr: first start
        QString text, device;
    } cases[] = {
        {nullptr, QStringLiteral("COM1"), initial},
        {"COM7", QStringLiteral("COM7"), DeviceForPortText(QStringLiteral("COM7"))},
        {"com7", QStringLiteral("com7"), initial},
        {"/tmp/demo/panel", QStringLiteral("/tmp/demo/panel"), QStringLiteral("/tmp/demo/panel")},
    };
    for (const auto& c : cases) {
        if (c.stored)
            Preset(kPort, QString::fromLatin1(c.stored));
        const PortBoxStart start = PortBoxAtStartup(listed, initial);
        EXPECT_EQ(start.items, listed);
        EXPECT_EQ(start.text, c.text);
        EXPECT_EQ(start.device, c.device) << start.text.toStdString();
        EXPECT_EQ(Stored(kPort), c.text);
    }
}

} // namespace
} // namespace vk410
