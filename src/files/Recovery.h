#pragma once
// The recovery copies of unsaved changes on disk (Qt Core). Each running
// window keeps a copy of its own in the programmer's data folder, recovery/
// (0700, files 0600: the texts hold APN passwords), replaced through the
// atomic save and held by a lock file while the window runs. A copy whose
// window is gone (the program or the machine stopped) is left for the next
// start to offer.
#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

#include "model/Document.h"

class QLockFile;

namespace vk410 {

// …/ProgVK410N/recovery; empty when the system names no data folder.
QString RecoveryFolder();

// This window's copy.
class RecoveryCopy {
public:
    explicit RecoveryCopy(const QString& folder = RecoveryFolder());
    ~RecoveryCopy(); // the copy stays on disk: only Drop removes it
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Replaces the copy; false when it could not be written.
    bool Keep(const DocumentCopy& copy);
    void Drop();
    const QString& Path() const { return path_; }

private:
    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

struct LeftCopy {
    QString path;
    QDateTime time; // when it was written
    DocumentCopy copy;
};

// The copies no running window holds, newest first. A damaged one is not
// offered and stays where it is.
std::vector<LeftCopy> LeftCopies(const QString& folder = RecoveryFolder());
bool RemoveLeftCopy(const QString& path);

} // namespace vk410
