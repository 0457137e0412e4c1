#include "WriteSession.h"

#include "Diagnosis.h"
#include "model/Devices.h"
#include "model/Gprs.h"

namespace vk410 {

namespace StatusText {
const QString BackupReading = QStringLiteral("Чтение прибора перед записью");
const QString RollingBack = QStringLiteral("Возврат прибора к прежним настройкам");
const QString RolledBack = QStringLiteral("Прибор возвращён к прежним настройкам");
const QString RollbackFailed = QStringLiteral("Вернуть прибор к прежним настройкам не удалось");

QString ModelRefused(unsigned panelModel, unsigned configModel)
{
    const auto name = [](unsigned model) {
        const TDevices* row = DeviceRow(model);
        return row ? QString::fromUtf8(row->name) : QString::number(model);
    };
    return QStringLiteral("В приборе %1, в конфигурации %2: запись отменена").arg(name(panelModel), name(configModel));
}
} // namespace StatusText

GprsTexts StepTexts(WriteStep step, const ExchangeResult& result, const GprsTexts& requested)
{
    if (!result.isWrite)
        return {};
    if (step != WriteStep::Rollback)
        return requested;
    GprsTexts read;
    LoadGprsTexts(result.blocks.gprs, read);
    return read;
}

namespace {

BlockSet Sent(const ExchangeResult& r) { return {r.mainTaken, r.gsmTaken, r.gprsTaken}; }

BlockSet Minus(BlockSet a, BlockSet b) { return {a.main && !b.main, a.gsm && !b.gsm, a.gprs && !b.gprs}; }

BlockSet Union(BlockSet a, BlockSet b) { return {a.main || b.main, a.gsm || b.gsm, a.gprs || b.gprs}; }

void AddNamed(QStringList& lines, const QString& words, BlockSet blocks)
{
    const QStringList names = BlockNames(blocks);
    if (!names.isEmpty())
        lines << words + names.join(QStringLiteral(", "));
}

// The first planned block the panel did not confirm: the write stops there,
// so those behind it were never sent.
void SplitUnconfirmed(BlockSet unconfirmed, BlockSet& failed, BlockSet& unsent)
{
    bool* const failedSlot[] = {&failed.main, &failed.gsm, &failed.gprs};
    bool* const unsentSlot[] = {&unsent.main, &unsent.gsm, &unsent.gprs};
    const bool missing[] = {unconfirmed.main, unconfirmed.gsm, unconfirmed.gprs};
    bool after = false;
    for (int i = 0; i < 3; ++i) {
        if (!missing[i])
            continue;
        *(after ? unsentSlot[i] : failedSlot[i]) = true;
        after = true;
    }
}

} // namespace

QStringList WriteOutcome::Lines() const
{
    QStringList lines;
    if (code != kReportWriteFailed || modelRefused || !write || write->refused)
        return lines;
    // The rules' text says "настройки GSM" for a failure of block 2 or 3
    // alike; the block named first says which it was.
    BlockSet failed, unsent;
    SplitUnconfirmed(Minus(planned, ConfirmedBlocks(*write)), failed, unsent);
    AddNamed(lines, QStringLiteral("Не удалось записать: "), failed);
    switch (rollback) {
    case Rollback::Done:
        lines << StatusText::RolledBack;
        break;
    case Rollback::Failed:
        lines << StatusText::RollbackFailed;
        AddNamed(lines, QStringLiteral("Новые настройки в приборе: "), nowNew);
        AddNamed(lines, QStringLiteral("Прежние настройки в приборе: "), nowOld);
        AddNamed(lines, QStringLiteral("Не подтверждено: "), unconfirmed);
        break;
    case Rollback::None:
        AddNamed(lines, StatusText::Confirmed, ConfirmedBlocks(*write));
        AddNamed(lines, QStringLiteral("Не отправлено: "), unsent);
        break;
    }
    return lines;
}

QString WriteOutcome::DiagnosisText() const
{
    if (!failedRecord)
        return {};
    return QString::fromStdString(Diagnose(failedRecord->Entries(), true).text);
}

WriteSession::WriteSession(PanelLink& link, QObject* parent) : QObject(parent), link_(link) {}

bool WriteSession::Start(const WriteRequest& request)
{
    if (Running() || link_.Busy())
        return false;
    request_ = request;
    backup_.reset();
    outcome_ = {};
    const bool gsm = request.cfg.main.at(MainOff::state) != 0;
    outcome_.planned = {true, gsm, gsm && request.cfg.gsm.at(GsmOff::useGPRScfg) != 0};
    // A write the exchange refuses before sending needs no backup either.
    if (request.backup && !GprsSettingsMissing(request.cfg, request.texts)) {
        emit statusText(StatusText::BackupReading);
        return Send(WriteStep::Backup, false, StartupConfiguration(request.cfg.model), {});
    }
    return Send(WriteStep::Write, true, request_.cfg, request_.texts);
}

bool WriteSession::Send(WriteStep step, bool isWrite, const Configuration& cfg, const GprsTexts& texts)
{
    step_ = step;
    const bool started =
        link_.SendData(isWrite, cfg, texts, [this](int code, int, const ExchangeResult& r) { OnReport(code, r); });
    if (!started)
        step_.reset();
    return started;
}

void WriteSession::OnReport(int code, const ExchangeResult& result)
{
    if (code == kReportReplyArriving) {
        emit replyArriving();
        return;
    }
    const WriteStep step = *step_;
    emit exchangeEnded(step, code, result);
    switch (step) {
    case WriteStep::Backup:
        AfterBackup(code, result);
        break;
    case WriteStep::Write:
        AfterWrite(code, result);
        break;
    case WriteStep::Rollback:
        AfterRollback(code, result);
        break;
    }
}

void WriteSession::AfterBackup(int code, const ExchangeResult& result)
{
    if (code == kReportPortFailed)
        return Finish(kReportPortFailed);
    // Without block 1 the panel cannot be reached: nothing is sent.
    if (!result.mainTaken) {
        outcome_.failedRecord = result.record;
        return Finish(kReportReadFailed);
    }
    const uint8_t model = result.blocks.model;
    backup_ = StartupConfiguration(model);
    ApplyExchangeResult(result, *backup_);
    backup_->model = model; // also when a later block failed
    outcome_.panelModel = model;
    if (model != request_.cfg.model) {
        outcome_.modelRefused = true;
        return Finish(kReportWriteFailed);
    }
    if (!request_.radioFromPanel)
        CopyRadioSettings(backup_->main, request_.cfg.main);
    StartWrite();
}

void WriteSession::StartWrite()
{
    if (!Send(WriteStep::Write, true, request_.cfg, request_.texts))
        Finish(kReportWriteFailed);
}

void WriteSession::AfterWrite(int code, const ExchangeResult& result)
{
    outcome_.write = result;
    if (code != kReportWriteFailed)
        return Finish(code);
    if (!result.refused)
        outcome_.failedRecord = result.record;
    // A block after the first that fails leaves the panel half new, so it gets
    // back what the backup read. So does a first block echoed otherwise than
    // sent: a panel that answers a write frame has taken it, whatever it
    // echoes. Only a first block that got no answer at all changed nothing.
    const bool blockOneAnswered = result.version >= 0;
    if (!blockOneAnswered || !backup_)
        return Finish(kReportWriteFailed);
    emit statusText(StatusText::RollingBack);
    GprsTexts texts;
    LoadGprsTexts(backup_->gprs, texts);
    if (!Send(WriteStep::Rollback, true, *backup_, texts)) {
        outcome_.rollback = WriteOutcome::Rollback::Failed;
        outcome_.nowNew = ConfirmedBlocks(result);
        outcome_.unconfirmed = Minus(Sent(result), outcome_.nowNew);
        Finish(kReportWriteFailed);
    }
}

void WriteSession::AfterRollback(int code, const ExchangeResult& result)
{
    if (code == kReportDone) {
        outcome_.rollback = WriteOutcome::Rollback::Done;
        return Finish(kReportWriteFailed);
    }
    const ExchangeResult& written = *outcome_.write;
    outcome_.rollback = WriteOutcome::Rollback::Failed;
    outcome_.nowOld = ConfirmedBlocks(result);
    outcome_.nowNew = Minus(ConfirmedBlocks(written), outcome_.nowOld);
    outcome_.unconfirmed = Minus(Union(Sent(written), Sent(result)), Union(outcome_.nowOld, outcome_.nowNew));
    Finish(kReportWriteFailed);
}

void WriteSession::Finish(int code)
{
    outcome_.code = code;
    step_.reset();
    emit finished(outcome_);
}

} // namespace vk410
