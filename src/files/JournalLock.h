#pragma once
// The journal's lock: one writer at a time among every programmer of the
// machine, however many finish their exchanges together.
#include <QString>
#include <memory>

namespace vk410 {

inline constexpr int kJournalLockWaitMs = 30000;

class JournalLock {
public:
    // Waits for the lock of folder up to waitMs. Writers that find it taken
    // retry after a random few milliseconds each, never in step, so that
    // every one gets its turn while the others write.
    explicit JournalLock(const QString& folder, int waitMs = kJournalLockWaitMs);
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    bool Held() const { return why_.isEmpty(); }
    // Why it is not held, in words ("журнал занят другой программой" only
    // when another program really held it the whole time).
    const QString& Why() const { return why_; }

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    QString why_;
};

} // namespace vk410
