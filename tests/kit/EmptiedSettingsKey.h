#pragma once
// Windows keeps the settings in the registry, which a test cannot move
// elsewhere: the program's key is emptied for the test and gets its values
// back afterwards.
#include <QSettings>
#include <QVariantMap>

#include "files/SettingsIdentity.h"

namespace vk410::test {

class EmptiedSettingsKey {
public:
    EmptiedSettingsKey()
    {
        QSettings store = Store();
        for (const QString& key : store.allKeys())
            saved_.insert(key, store.value(key));
        store.clear();
    }
    ~EmptiedSettingsKey()
    {
        QSettings store = Store();
        store.clear();
        for (auto it = saved_.cbegin(); it != saved_.cend(); ++it)
            store.setValue(it.key(), it.value());
    }
    EmptiedSettingsKey(const EmptiedSettingsKey&) = delete;
    EmptiedSettingsKey& operator=(const EmptiedSettingsKey&) = delete;

    static QSettings Store()
    {
        return QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication));
    }

private:
    QVariantMap saved_;
};

} // namespace vk410::test
