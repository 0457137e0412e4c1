#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "files/PortBox.h"
#include "files/Settings.h"
#include "kit/SettingsPaths.h"
#include "link/PortName.h"

#ifdef _WIN32
#include <windows.h>

#include "kit/EmptiedSettingsKey.h"
#endif

namespace vk410 {
namespace {

const QString kPort = QStringLiteral("comportname");

// Moves the settings store into a fresh folder and reads the INI file behind
// it directly, to see what really reached the store. The registry cannot be
// moved: on Windows the key is emptied for the test and given back its values
// afterwards, and values are read as the registry holds them.
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
#ifdef _WIN32
    static bool StoreIsEmpty() { return test::EmptiedSettingsKey::Store().allKeys().isEmpty(); }
    // Only a registry string counts: the program's values are REG_SZ.
    static QString Stored(const QString& name)
    {
        wchar_t data[512];
        DWORD size = sizeof data;
        if (RegGetValueW(HKEY_CURRENT_USER, Key().c_str(), reinterpret_cast<const wchar_t*>(name.utf16()),
                         RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
            return QStringLiteral("<no string>");
        return QString::fromWCharArray(data);
    }
    static void Preset(const QString& name, const QString& text)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Key().c_str(), reinterpret_cast<const wchar_t*>(name.utf16()), REG_SZ,
                                  text.utf16(), DWORD((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    static std::wstring Key() { return test::SettingsRegistryKey().toStdWString(); }
    test::EmptiedSettingsKey key_;
#else
    QString Ini() const { return dir_.filePath(test::SettingsFileName()); }
    bool StoreIsEmpty() const { return !QFile::exists(Ini()); }
    QString Stored(const QString& name) const
    {
        return QSettings(Ini(), QSettings::IniFormat).value(name).toString();
    }
    void Preset(const QString& name, const QString& text) const
    {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(name, text);
    }
#endif

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, MissingOrEmptyValuesAreReplacedByTheDefault)
{
    ASSERT_TRUE(StoreIsEmpty());
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("COM1"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM1")) << "first start stores the default";

    Preset(kPort, QString());
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM3")), QStringLiteral("COM3"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("COM3"));

    Preset(kPort, QStringLiteral("ttyUSB0")); // behind the program's back: nothing is cached
    EXPECT_EQ(ReadSetting(kPort, QStringLiteral("COM1")), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(Stored(kPort), QStringLiteral("ttyUSB0"));
}

#ifndef _WIN32
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
#endif

TEST_F(SettingsTest, RecentFilesKeepTheNewestEightOnce)
{
    EXPECT_TRUE(ReadRecentFiles().isEmpty());
    for (int n = 1; n <= 10; ++n)
        ASSERT_TRUE(AddRecentFile(QStringLiteral("/f/%1, of ten.cf8").arg(n)));
    ASSERT_TRUE(AddRecentFile(QStringLiteral("/f/5, of ten.cf8")));
    ASSERT_TRUE(RemoveRecentFile(QStringLiteral("/f/9, of ten.cf8")));
    QStringList expected;
    for (const int n : {5, 10, 8, 7, 6, 4, 3})
        expected << QStringLiteral("/f/%1, of ten.cf8").arg(n);
    EXPECT_EQ(ReadRecentFiles(), expected);
}

TEST_F(SettingsTest, TheFolderSettingKeepsATrailingSeparator)
{
    const QString here = QDir::toNativeSeparators(QDir::currentPath());
    EXPECT_EQ(ReadFolderSetting(), here) << "defaults to the current directory";
    EXPECT_EQ(Stored(QStringLiteral("filepath")), here);
#ifdef _WIN32
    ASSERT_TRUE(WriteFolderSetting(QStringLiteral("C:/data/panels/shop.cf8")));
    EXPECT_EQ(Stored(QStringLiteral("filepath")), QStringLiteral("C:\\data\\panels\\"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("C:\\a.cf8")), QStringLiteral("C:\\"));
#else
    ASSERT_TRUE(WriteFolderSetting(QStringLiteral("/data/panels/shop.cf8")));
    EXPECT_EQ(ReadFolderSetting(), QStringLiteral("/data/panels/"));
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("/a.cf8")), QStringLiteral("/"));
#endif
    EXPECT_EQ(FolderWithSeparator(QStringLiteral("rel.cf8")), here + QDir::separator());
}

TEST_F(SettingsTest, TypingAPortNameStoresEveryKeystroke)
{
    const QString initial = QStringLiteral("initial device");
    const struct {
        const char* text;
        bool namesDevice;
    } steps[] = {{"C", false}, {"CO", false}, {"COM", true}, {"COM1", true}, {"COM12", true}};
    QString device = initial;
    for (const auto& step : steps) {
        const QString text = QString::fromLatin1(step.text);
        device = PortNameBoxChange(text, device);
        EXPECT_EQ(Stored(kPort), text);
        EXPECT_EQ(device, step.namesDevice ? DeviceForPortText(text) : initial) << step.text;
    }
}

TEST_F(SettingsTest, TextsThatNameNoDeviceAreStoredButKeepTheDevice)
{
    const QString device = QStringLiteral("/dev/ttyUSB3");
    for (const char* text : {"p1", "", "  COM2", "COM0"}) {
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
        {"com7", QStringLiteral("com7"), DeviceForPortText(QStringLiteral("COM7"))},
        {"p1", QStringLiteral("p1"), initial},
#ifndef _WIN32
        {"/tmp/demo/panel", QStringLiteral("/tmp/demo/panel"), QStringLiteral("/tmp/demo/panel")},
#endif
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
