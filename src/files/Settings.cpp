#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vk410 {
namespace {

// A fresh handle on every access: the store is opened here and closed when
// the handle goes, so no value outlives the call.
QSettings OpenStore()
{
    return QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication));
}

bool Store(QSettings& store, const QString& name, const QVariant& value)
{
    store.setValue(name, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool StoreRecentFiles(const QStringList& files)
{
    QSettings store = OpenStore();
    return Store(store, QString::fromLatin1(kSettingRecentFiles), files);
}

} // namespace

QString ReadSetting(const QString& name, const QString& def)
{
    QSettings store = OpenStore();
    const QString stored = store.value(name).toString();
    if (!stored.isEmpty())
        return stored;
    // An unwritable store is not fatal: the default still serves this run.
    Store(store, name, def);
    return def;
}

bool WriteSetting(const QString& name, const QString& text)
{
    QSettings store = OpenStore();
    return Store(store, name, text);
}

QString ReadFolderSetting()
{
    return ReadSetting(QString::fromLatin1(kSettingFilePath), QDir::toNativeSeparators(QDir::currentPath()));
}

bool WriteFolderSetting(const QString& filePath)
{
    return WriteSetting(QString::fromLatin1(kSettingFilePath), FolderWithSeparator(filePath));
}

bool ReadSwitchSetting(const char* name)
{
    return OpenStore().value(QString::fromLatin1(name), true).toBool();
}

bool WriteSwitchSetting(const char* name, bool on)
{
    QSettings store = OpenStore();
    return Store(store, QString::fromLatin1(name), on ? QStringLiteral("true") : QStringLiteral("false"));
}

QStringList ReadRecentFiles()
{
    QStringList files = OpenStore().value(QString::fromLatin1(kSettingRecentFiles)).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kRecentFileCount);
}

bool AddRecentFile(const QString& path)
{
    QStringList files = ReadRecentFiles();
    files.removeAll(path);
    files.prepend(path);
    return StoreRecentFiles(files.mid(0, kRecentFileCount));
}

bool RemoveRecentFile(const QString& path)
{
    QStringList files = ReadRecentFiles();
    return files.removeAll(path) == 0 || StoreRecentFiles(files);
}

QString ProgrammerDataFolder()
{
    // Not AppDataLocation itself: that follows the application's name.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString()
                          : QStringLiteral("%1/%2/%3").arg(data, QString::fromLatin1(kSettingsOrganization),
                                                           QString::fromLatin1(kSettingsApplication));
}

QString FolderWithSeparator(const QString& filePath)
{
    QString folder = QDir::toNativeSeparators(QFileInfo(filePath).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

} // namespace vk410
