// read and write: the exchange with a panel from the command line.
#include <QEventLoop>
#include <QTimer>

#include "Commands.h"
#include "ConsoleOut.h"
#include "app/Termination.h"
#include "files/ConfigJson.h"
#include "link/PanelLink.h"
#include "link/PortName.h"
#include "link/WriteSession.h"

namespace vk410::ctl {
namespace {

struct Outcome {
    int code = -1;
    ExchangeResult result;
    QString openError; // why the port could not be opened
};

// "Порт COM1 -> /dev/ttyS0"; a link is followed, so that the device that
// answers is the one named.
QString PortLine(const QString& port, const QString& device)
{
    const QString shown = OpenedDevice(device);
    return shown == port ? QStringLiteral("Порт %1").arg(port) : QStringLiteral("Порт %1 -> %2").arg(port, shown);
}

// --trace: each exchange's record on standard error as it grows, read off
// the event loop (the exchange's thread never puts it into words).
class TracePrinter {
public:
    TracePrinter(PanelLink& link, bool on)
    {
        if (!on)
            return;
        QObject::connect(&link, &PanelLink::exchangeStarted, &timer_,
                         [this](std::shared_ptr<const ExchangeRecord> record) {
                             Flush();
                             record_ = std::move(record);
                             printed_ = 0;
                             PrintLine(record_->IsWrite() ? QStringLiteral("— запись —") : QStringLiteral("— чтение —"));
                         });
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Flush(); });
        timer_.start(20);
    }
    ~TracePrinter() { Flush(); }
    TracePrinter(const TracePrinter&) = delete;
    TracePrinter& operator=(const TracePrinter&) = delete;

    void Flush()
    {
        if (!record_)
            return;
        const std::vector<RecordEntry> entries = record_->Entries(printed_);
        for (const RecordEntry& e : entries)
            PrintLine(QString::fromStdString(LineOf(e)));
        printed_ += entries.size();
    }

private:
    QTimer timer_;
    std::shared_ptr<const ExchangeRecord> record_;
    std::size_t printed_ = 0;
};

// The rules' outcome text, then why, when the record tells.
void PrintFailure(const QString& outcome, const QString& diagnosis)
{
    PrintLine(outcome);
    if (!diagnosis.isEmpty())
        PrintLine(diagnosis);
}

// Runs one read to its end; cfg receives what it hands back.
// The link on the port named, its progress and (with --trace) its record on
// standard error; the record so far goes out before each progress line, so
// that the two read in order.
struct ConsoleLink {
    ConsoleLink(const QString& port, bool trace) : device(DeviceOf(port)), printer(link, trace)
    {
        PrintLine(PortLine(port, device));
        link.CommPortDriver1().SetPortName(device);
        QObject::connect(&link, &PanelLink::statusText, &loop, [this](const QString& t) { Progress(t); });
    }
    void Progress(const QString& text)
    {
        printer.Flush();
        PrintLine(text);
    }
    QString OpenError() { return PortOpenErrorText(link.CommPortDriver1().LastOpenError()); }
    // Until the exchange (or the write with its steps) has ended.
    void Run()
    {
        loop.exec();
        link.WaitFinished();
        printer.Flush();
    }

    const QString device;
    PanelLink link;
    TracePrinter printer;
    QEventLoop loop;
};

// Runs one read to its end; cfg receives what it hands back.
Outcome RunRead(const QString& port, Configuration& cfg, bool trace)
{
    ConsoleLink console(port, trace);
    Outcome outcome;
    QObject::connect(&console.link, &PanelLink::exchangeReport, &console.loop,
                     [&](int code, int, const ExchangeResult& result) {
                         if (code == kReportReplyArriving) {
                             console.Progress(StatusText::ReplyArriving);
                             return;
                         }
                         ApplyExchangeResult(result, cfg);
                         outcome.code = code;
                         outcome.result = result;
                         if (code == kReportPortFailed)
                             outcome.openError = console.OpenError();
                         console.loop.quit();
                     });
    if (console.link.SendData(false, cfg, GprsTexts{}))
        console.Run();
    return outcome;
}

int PortFailed(const QString& openError)
{
    PrintLine(StatusText::PortFailedText);
    if (!openError.isEmpty())
        PrintLine(openError);
    return kPortFailed;
}

int ExitFor(const Outcome& o)
{
    switch (o.code) {
    case kReportDone:
        return kDone;
    case kReportPortFailed:
        return PortFailed(o.openError);
    default:
        PrintFailure(StatusText::ReadFailed, DiagnosisText(o.code, o.result));
        return kExchangeFailed;
    }
}

// The outcome of a write, after its progress; the exit code.
int ExitForWrite(const WriteOutcome& o, const Configuration& cfg, const QString& openError)
{
    switch (o.code) {
    case kReportDone:
        return kDone;
    case kReportPortFailed:
        return PortFailed(openError);
    case kReportReadFailed:
        PrintFailure(StatusText::ReadFailed, o.DiagnosisText());
        PrintLine(QStringLiteral("Запись не начата: прибор не прочитан"));
        return kExchangeFailed;
    default:
        if (o.modelRefused) {
            PrintLine(StatusText::ModelRefused(unsigned(o.panelModel), cfg.model));
        } else if (!o.write || !o.write->refused) { // a refusal has said why
            PrintFailure(StatusText::WriteFailed, o.DiagnosisText());
            for (const QString& line : o.Lines())
                PrintLine(line);
        }
        return kExchangeFailed;
    }
}

// A signal during a write is announced and waits for the write to end; a
// second Ctrl+C cuts it, and says what that may leave.
class DeferredTermination {
public:
    DeferredTermination()
    {
        signals_.SetUrgentExit(("vedu-vk410ctl: " + kCut + "\n").toUtf8());
        QObject::connect(&signals_, &TerminationSignals::requested, &signals_, [this] {
            if (!std::exchange(announced_, true))
                Message(QStringLiteral("запись будет доведена до конца, затем программа завершится "
                                       "(повторный Ctrl+C прервёт её сразу, ") + kCut + QLatin1Char(')'));
        });
    }

private:
    const QString kCut = QStringLiteral("прибор может остаться записанным не полностью");
    TerminationSignals signals_;
    bool announced_ = false;
};

struct WriteRun {
    WriteOutcome outcome;
    QString openError;
};

// Runs a write with its backup (and rollback) to its end; each exchange is
// kept in the journal as it ends, before the next one starts.
WriteRun RunWrite(const QString& port, const WriteRequest& request, const ExchangeOptions& options)
{
    ConsoleLink console(port, options.trace);
    WriteSession session(console.link);
    WriteRun run;
    QEventLoop& loop = console.loop;
    QObject::connect(&session, &WriteSession::statusText, &loop, [&](const QString& t) { console.Progress(t); });
    QObject::connect(&session, &WriteSession::replyArriving, &loop,
                     [&] { console.Progress(StatusText::ReplyArriving); });
    QObject::connect(&session, &WriteSession::exchangeEnded, &loop,
                     [&](WriteStep step, int code, const ExchangeResult& result) {
                         if (code == kReportPortFailed)
                             run.openError = console.OpenError();
                         console.printer.Flush();
                         if (!options.journalAs)
                             return;
                         KeepInJournal({port, OpenedDevice(console.device), code, result,
                                        StepTexts(step, result, request.texts), run.openError, JournalOpOf(step)});
                     });
    QObject::connect(&session, &WriteSession::finished, &loop, [&](const WriteOutcome& o) {
        run.outcome = o;
        loop.quit();
    });
    const DeferredTermination deferred;
    if (session.Start(request))
        console.Run();
    return run;
}

// What `write` sends: a file, or a journal entry's exact bytes; the exit code.
int WriteSource(const Args& a, WriteRequest& request)
{
    const bool fromJournal = a.Has("--from-journal");
    if (fromJournal == !a.operands.isEmpty())
        return UsageError(QStringLiteral("нужен либо файл IN.cf8, либо --from-journal N"), a.command);
    request.cfg = StartupConfiguration();
    if (fromJournal)
        return JournalEntryToWrite(a, request.cfg, request.texts, request.radioFromPanel);
    return OpenFile(a.operands[0], request.cfg, request.texts) ? kDone : kFileFailed;
}

} // namespace

QString DeviceOf(const QString& port)
{
    const QString device = DeviceForPortText(port);
    if (!device.isEmpty())
        return device;
    return port.contains(QLatin1Char('/')) ? port : QString();
}

bool PortUnderstood(const Args& a)
{
    const QString port = a.Value("--port");
    if (!DeviceOf(port).isEmpty())
        return true;
    UsageError(PortNotUnderstoodText(port), a.command);
    return false;
}

ExchangeOptions OptionsOf(const Args& a, JournalOp op)
{
    return {a.Has("--no-journal") ? std::nullopt : std::optional(op), a.Has("--trace")};
}

int ReadPanel(const QString& port, Configuration& cfg, GprsTexts& texts, int& version, const ExchangeOptions& options)
{
    cfg = StartupConfiguration();
    const Outcome o = RunRead(port, cfg, options.trace);
    if (options.journalAs)
        KeepInJournal({port, OpenedDevice(DeviceOf(port)), o.code, o.result, {}, o.openError, options.journalAs});
    const int rc = ExitFor(o);
    if (rc != kDone)
        return rc;
    texts = {};
    LoadGprsTexts(cfg.gprs, texts);
    version = o.result.version;
    return kDone;
}

int CmdRead(const Args& a)
{
    if (!PortUnderstood(a) || !FramesWithJson(a))
        return kUsage;
    Configuration cfg;
    GprsTexts texts;
    int version = -1;
    const int rc = ReadPanel(a.Value("--port"), cfg, texts, version, OptionsOf(a, JournalOp::Read));
    if (rc != kDone)
        return rc;
    if (a.Has("-o") && SaveFile(a.Value("-o"), cfg, texts) != kDone)
        return kFileFailed;
    if (a.Has("--json"))
        WriteText(stdout, ConfigJson(cfg, texts, version, a.Has("--frames")) + '\n');
    return kDone;
}

int CmdWrite(const Args& a)
{
    if (!PortUnderstood(a))
        return kUsage;
    WriteRequest request;
    if (const int rc = WriteSource(a, request); rc != kDone)
        return rc;
    request.backup = !a.Has("--no-backup");
    const WriteRun run = RunWrite(a.Value("--port"), request, OptionsOf(a, JournalOp::Write));
    return ExitForWrite(run.outcome, request.cfg, run.openError);
}

} // namespace vk410::ctl
