#include "JournalLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <cerrno>

#ifdef _WIN32
#include <QLockFile>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "SystemError.h"

namespace vk410 {
namespace {

const QString kLockName = QStringLiteral("index.lock");

// Long enough that a holder (a few milliseconds) is done, short and random
// enough that waiters spread out.
void PauseWithJitter() { QThread::msleep(2 + QRandomGenerator::global()->bounded(20)); }

QString Busy() { return QStringLiteral("журнал занят другой программой"); }

QString FolderWords(const QString& folder, int error)
{
    return QStringLiteral("не удалось записать в папку %1: %2")
        .arg(QDir::toNativeSeparators(folder), QString::fromStdString(ErrorWords(error, FileAccess::Write)));
}

} // namespace

#ifdef _WIN32

struct JournalLock::Handle {
    explicit Handle(const QString& path) : file(path) {}
    QLockFile file;
};

JournalLock::JournalLock(const QString& folder, int waitMs)
    : handle_(std::make_unique<Handle>(QDir(folder).filePath(kLockName)))
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (handle_->file.tryLock(0))
            return;
        if (handle_->file.error() == QLockFile::PermissionError) {
            why_ = FolderWords(folder, EACCES);
            return;
        }
        if (handle_->file.error() == QLockFile::UnknownError) {
            why_ = QStringLiteral("не удалось записать в папку %1").arg(QDir::toNativeSeparators(folder));
            return;
        }
        if (deadline.hasExpired()) {
            why_ = Busy();
            return;
        }
        PauseWithJitter();
    }
}

JournalLock::~JournalLock() = default;

#else

// A lock file that stays: flock goes with the descriptor, so a holder that
// dies leaves no stale lock behind.
struct JournalLock::Handle {
    int fd = -1;
    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

JournalLock::JournalLock(const QString& folder, int waitMs) : handle_(std::make_unique<Handle>())
{
    const QString path = QDir(folder).filePath(kLockName);
    handle_->fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat st{};
    if (handle_->fd < 0) {
        why_ = FolderWords(folder, errno);
        return;
    }
    if (::fstat(handle_->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why_ = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), QString::fromUtf8(kNotRegularFile));
        return;
    }
    const QDeadlineTimer deadline(waitMs);
    while (::flock(handle_->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            why_ = FolderWords(folder, errno);
            return;
        }
        if (deadline.hasExpired()) {
            why_ = Busy();
            return;
        }
        PauseWithJitter();
    }
}

JournalLock::~JournalLock() = default; // closing the descriptor releases the lock

#endif

} // namespace vk410
