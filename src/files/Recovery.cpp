#include "Recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

#include "FileOps.h"
#include "RecoveryText.h"
#include "Settings.h"

namespace vk410 {

namespace {

constexpr QFileDevice::Permissions kFolderMode =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kFileMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kMaxCopySize = 64 * 1024; // a copy is about 3 KB
const QString kPrefix = QStringLiteral("copy-");
const QString kSuffix = QStringLiteral(".txt");

QString LockPath(const QString& copyPath) { return copyPath.chopped(kSuffix.size()) + QStringLiteral(".lock"); }

// Only the age of a lock must never make it stale: a window may run for days.
std::unique_ptr<QLockFile> LockFor(const QString& copyPath)
{
    auto lock = std::make_unique<QLockFile>(LockPath(copyPath));
    lock->setStaleLockTime(0);
    return lock;
}

bool ReadCopy(const QString& path, DocumentCopy& copy)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxCopySize)
        return false;
    const QByteArray bytes = file.read(kMaxCopySize);
    return ReadRecoveryText(std::string_view(bytes.constData(), std::size_t(bytes.size())), copy);
}

} // namespace

QString RecoveryFolder()
{
    const QString data = ProgrammerDataFolder();
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

RecoveryCopy::RecoveryCopy(const QString& folder) : folder_(folder)
{
    if (!folder_.isEmpty())
        path_ = QDir(folder_).filePath(kPrefix + QUuid::createUuid().toString(QUuid::Id128) + kSuffix);
}

RecoveryCopy::~RecoveryCopy() = default;

bool RecoveryCopy::Keep(const DocumentCopy& copy)
{
    if (path_.isEmpty() || !QDir().mkpath(folder_))
        return false;
    QFile::setPermissions(folder_, kFolderMode);
    if (!lock_) {
        auto lock = LockFor(path_);
        if (!lock->tryLock(0))
            return false;
        lock_ = std::move(lock);
    }
    return SaveFileAtomically(path_, RecoveryText(copy)) && QFile::setPermissions(path_, kFileMode);
}

void RecoveryCopy::Drop()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}

std::vector<LeftCopy> LeftCopies(const QString& folder)
{
    std::vector<LeftCopy> copies;
    if (folder.isEmpty())
        return copies;
    const QFileInfoList files =
        QDir(folder).entryInfoList({kPrefix + QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        const auto lock = LockFor(file.filePath());
        LeftCopy left{file.filePath(), file.lastModified(), {}};
        if (lock->tryLock(0) && ReadCopy(left.path, left.copy))
            copies.push_back(std::move(left));
    }
    return copies;
}

bool RemoveLeftCopy(const QString& path) { return QFile::remove(path); }

} // namespace vk410
