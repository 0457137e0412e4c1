#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace vk410 {
namespace {

// A fresh handle on every access: the store is opened here and closed when
// the handle goes, so no value outlives the call.
QSettings OpenStore()
{
    return QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication));
}

bool Store(QSettings& store, const QString& name, const QString& text)
{
    store.setValue(name, text);
    store.sync();
    return store.status() == QSettings::NoError;
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

QString FolderWithSeparator(const QString& filePath)
{
    QString folder = QDir::toNativeSeparators(QFileInfo(filePath).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

} // namespace vk410
