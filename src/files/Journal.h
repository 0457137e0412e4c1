#pragma once
// The journal of exchanges: every read and write of a panel, from the window
// and from the command line, with the configuration it read or sent, so that
// an earlier state of any panel can be opened, compared and written again.
//
// It lives in the user's data folder, beside the settings and never among
// them: journal/index.jsonl holds one JSON object per entry, oldest first,
// appended after each exchange; each entry's configuration is a .cf8 of its
// own, saved as the file menu saves. The folder is the user's alone (0700,
// files 0600): the files hold APN passwords. A journal that cannot be
// written never changes the outcome of the exchange it records.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

#include "link/ThreadBuff.h"

namespace vk410 {

enum class WriteStep;

inline constexpr int kJournalLimit = 1000; // newest entries kept

// What an exchange was for. A comparison reads as a read does but changes
// nothing in the window; a backup is the read a write begins with, a
// rollback the write that gives a panel back what the backup read.
enum class JournalOp { Read, Write, Compare, Backup, Rollback };

// "read", "write", "compare", "backup", "rollback": the operation as the
// index and `journal --json` name it.
QString JournalOpKey(JournalOp op);

// The entry a step of a write leaves.
JournalOp JournalOpOf(WriteStep step);
// "Чтение", "Запись", "Сравнение", "Чтение перед записью", ...: as the
// journal dialog names it.
QString JournalOpTitle(JournalOp op);

struct JournalEntry {
    QDateTime time;
    JournalOp op = JournalOp::Read;
    bool isWrite() const { return op == JournalOp::Write; }
    QString port;               // as the user named it
    QString device;             // the device it stood for
    std::optional<int> model;   // none: a read that got no block-1 reply
    std::optional<int> version; // none: no block-1 reply or echo came
    int outcome = kReportDone;  // the final report code: 0, 1, 3 or 4
    QString text;               // the outcome's status text
    QString file;               // absolute path of the entry's .cf8, or empty
    // Absolute path of the block payloads exactly as read or sent (the JSON
    // of `show --json`, beside the .cf8), or empty: older entries keep none.
    QString bytes;
    QString trace;     // absolute path of the exchange's record as text, or empty
    QString diagnosis; // why a failed exchange failed, in words; empty otherwise
};

// One finished exchange, as its caller saw it.
struct FinishedExchange {
    QString port, device;
    int code = kReportDone;
    ExchangeResult result;
    GprsTexts sentTexts; // a write: the texts its block 3 was built from
    QString openError;   // code 1: why the port could not be opened
    std::optional<JournalOp> op; // none: a read or a write, as the result says
};

// The operation an exchange is kept as.
JournalOp OpOf(const FinishedExchange& x);

// The programmer's data folder + "journal": the one both programs share,
// whatever their application names (~/.local/share/Kelmarix/ProgVK410N/journal
// on Linux). Empty when the system names no data folder.
QString JournalFolder();

// Adds the exchange's entry, and its .cf8 when it keeps one, then removes the
// entries beyond the newest kJournalLimit with their files. Empty when the
// entry was written; otherwise why not, in words for the user.
QString AddToJournal(const FinishedExchange& x, const QString& folder = JournalFolder());

struct JournalContents {
    std::vector<JournalEntry> entries; // newest first
    int damaged = 0;                   // index lines skipped
    bool readable = true;              // false: an index exists but cannot be read
    QString why;                       // and why not, in words
};
JournalContents ReadJournal(const QString& folder = JournalFolder());

// The outcome's status text as the entry keeps it; a failed write's says
// which blocks the panel confirmed.
QString JournalOutcomeText(const FinishedExchange& x);


// What the entry keeps: for a read, what the panel held (the blocks it gave;
// the others at their defaults), for a write, what was sent. False when
// there is nothing: a read without block 1, a write that sent nothing.
bool JournalConfiguration(const FinishedExchange& x, Configuration& cfg, GprsTexts& texts);

// The configuration of an entry's bytes file: every byte as it was read or
// sent, the radio settings included. False, with why in words, when the
// file is missing or damaged; cfg and texts are then untouched.
bool LoadJournalBytes(const QString& path, Configuration& cfg, GprsTexts& texts, QString& why);

// The bytes file kept beside an entry's .cf8, or empty when it keeps none.
QString JournalBytesOf(const QString& entryFile);

// Creates the folder, the user's alone. False when it cannot be made.
bool MakeJournalFolder(const QString& folder);

// The catalogue name of the entry's model, or "—".
QString JournalModelName(const JournalEntry& e);

// The entry as the command line prints it: time (ISO 8601 with the UTC
// offset), operation, port, device, model, version, outcome, text, file,
// bytes, trace, diagnosis.
QJsonObject JournalJson(const JournalEntry& e);

} // namespace vk410
