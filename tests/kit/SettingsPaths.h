#pragma once
// Where the programmer files its settings and journal below a config or data
// folder (Linux), for tests that look at the files themselves.
#include <QString>

#include "files/SettingsIdentity.h"

namespace vk410::test {

// <organisation>/<application>.conf
inline QString SettingsFileName()
{
    return QStringLiteral("%1/%2.conf").arg(QString::fromLatin1(kSettingsOrganization),
                                            QString::fromLatin1(kSettingsApplication));
}

// <organisation>/<application>/journal
inline QString JournalFolderName()
{
    return QStringLiteral("%1/%2/journal").arg(QString::fromLatin1(kSettingsOrganization),
                                               QString::fromLatin1(kSettingsApplication));
}

// Software\<organisation>\<application>, the key below HKEY_CURRENT_USER.
inline QString SettingsRegistryKey()
{
    return QStringLiteral("Software\\%1\\%2").arg(QString::fromLatin1(kSettingsOrganization),
                                                  QString::fromLatin1(kSettingsApplication));
}

} // namespace vk410::test
