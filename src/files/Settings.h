#pragma once
// The two strings the programmer remembers between runs, kept per user through
// QSettings(kSettingsOrganization, kSettingsApplication), "Kelmarix" and
// "ProgVK410N": an INI file in the user's config folder on Linux,
// HKCU\Software\Kelmarix\ProgVK410N on Windows.
//
// Every call opens and closes the store; nothing is cached, so a value written
// by one call is what the next call reads. Tests and the demo move the store
// with QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir)
// or, on Linux, with XDG_CONFIG_HOME; the user's own settings stay untouched.
#include <QString>
#include <QStringList>

#include "files/SettingsIdentity.h"

namespace vk410 {

inline constexpr char kSettingComPortName[] = "comportname";
inline constexpr char kSettingFilePath[] = "filepath";
inline constexpr char kDefaultComPortName[] = "COM1";
// Beside the two, switches of the window: whether it keeps the journal of
// exchanges, whether a write reads the panel first; and the files last opened
// or saved, newest first.
inline constexpr char kSettingJournal[] = "journal";
inline constexpr char kSettingBackup[] = "backupbeforewrite";
inline constexpr char kSettingRecentFiles[] = "recent";
inline constexpr int kRecentFileCount = 8;

// The stored text of `name`, or `def` when it is missing or empty; `def` is
// then stored too. A store that cannot be written still yields `def`.
QString ReadSetting(const QString& name, const QString& def);

// Stores `text` under `name`. False when the store could not be written; the
// program goes on without the remembered value (it is a convenience only).
bool WriteSetting(const QString& name, const QString& text);

// The folder the file dialogs start in: "filepath", defaulting to the
// process's current directory at the moment of the call.
QString ReadFolderSetting();

// Remembers the folder of `filePath` with its trailing separator.
bool WriteFolderSetting(const QString& filePath);

// A switch ("Вести журнал", "Читать прибор перед записью"): on unless the
// user switched it off; a missing value is not stored.
bool ReadSwitchSetting(const char* name);
bool WriteSwitchSetting(const char* name, bool on);
inline bool ReadJournalSetting() { return ReadSwitchSetting(kSettingJournal); }
inline bool WriteJournalSetting(bool on) { return WriteSwitchSetting(kSettingJournal, on); }

// The files last opened or saved, newest first, at most kRecentFileCount.
QStringList ReadRecentFiles();
// Puts `path` first (once); false when the store could not be written.
bool AddRecentFile(const QString& path);
bool RemoveRecentFile(const QString& path);

// The programmer's own folder in the user's data folder, the same for the
// window and the command line whatever their application names
// (~/.local/share/Kelmarix/ProgVK410N on Linux); empty when the system names none.
QString ProgrammerDataFolder();

// The folder of `filePath` with a trailing separator ("/data/a.cf8" -> "/data/").
QString FolderWithSeparator(const QString& filePath);

} // namespace vk410
