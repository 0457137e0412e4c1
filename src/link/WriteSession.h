#pragma once
// One write as the installer needs it: the panel read first (the backup),
// the model checked, the write, and the backup written back when the write
// fails after the panel answered its first block. Each step is an ordinary exchange of PanelLink with
// the rules' own frames and texts; the window and the command line both run
// their writes through this, so the two can never differ.
#include <QObject>
#include <QStringList>
#include <optional>

#include "PanelLink.h"

namespace vk410 {

struct WriteRequest {
    Configuration cfg;
    GprsTexts texts;
    bool backup = true;          // read the panel before anything is sent
    bool radioFromPanel = false; // cfg's radio bytes came from a panel: write them as they are
};

// The exchanges of a write, as the journal keeps them.
enum class WriteStep { Backup, Write, Rollback };

// The GPRS texts a step sent, for its journal entry: the request's for the
// write, the backup's for a rollback, none for a read.
GprsTexts StepTexts(WriteStep step, const ExchangeResult& result, const GprsTexts& requested);

struct WriteOutcome {
    // The report code the write ends with: kReportDone; kReportPortFailed;
    // kReportReadFailed when the backup could not reach the panel (nothing
    // was sent); kReportWriteFailed.
    int code = kReportWriteFailed;
    std::optional<ExchangeResult> write; // the write exchange's result, when one ran
    bool modelRefused = false;           // the backup showed another model: nothing sent
    int panelModel = -1;                 // the backup's model, when block 1 came
    BlockSet planned;                    // the blocks the write was to send
    // The exchange that failed (the backup read, or the write), for the
    // diagnosis; null when nothing failed on the line.
    std::shared_ptr<const ExchangeRecord> failedRecord;
    enum class Rollback { None, Done, Failed } rollback = Rollback::None;
    // After a rollback that failed: where each block stands.
    BlockSet nowNew, nowOld, unconfirmed;

    // The lines that follow the rules' outcome text and the diagnosis.
    QStringList Lines() const;
    // Why the exchange that failed failed; empty when none failed on the line.
    QString DiagnosisText() const;
};

namespace StatusText {
extern const QString BackupReading;   // before the backup read
extern const QString RollingBack;     // before the rollback
extern const QString RolledBack;      // the rollback was confirmed
extern const QString RollbackFailed;
QString ModelRefused(unsigned panelModel, unsigned configModel);
} // namespace StatusText

class WriteSession : public QObject {
    Q_OBJECT
public:
    explicit WriteSession(PanelLink& link, QObject* parent = nullptr);

    // False, and nothing started, while the link is busy or a session runs.
    bool Start(const WriteRequest& request);
    bool Running() const { return step_.has_value(); }

signals:
    // The session's own steps ("Чтение прибора перед записью", ...); the
    // exchanges' texts come from the link as ever.
    void statusText(const QString& text);
    void replyArriving();
    // Each exchange as it ends, before the next one starts: a backup is in
    // the journal before anything is sent.
    void exchangeEnded(vk410::WriteStep step, int code, const vk410::ExchangeResult& result);
    void finished(const vk410::WriteOutcome& outcome);

private:
    bool Send(WriteStep step, bool isWrite, const Configuration& cfg, const GprsTexts& texts);
    void OnReport(int code, const ExchangeResult& result);
    void AfterBackup(int code, const ExchangeResult& result);
    void AfterWrite(int code, const ExchangeResult& result);
    void AfterRollback(int code, const ExchangeResult& result);
    void StartWrite();
    void Finish(int code);

    PanelLink& link_;
    std::optional<WriteStep> step_;
    WriteRequest request_;
    std::optional<Configuration> backup_; // what the panel held, as far as it was read
    WriteOutcome outcome_;
};

} // namespace vk410
