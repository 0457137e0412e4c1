// read and write: the exchange with a panel from the command line.
#include <QEventLoop>
#include <QFileInfo>

#include "Commands.h"
#include "files/ConfigJson.h"
#include "link/PanelLink.h"
#include "link/PortName.h"

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
    const QString target = QFileInfo(device).canonicalFilePath();
    const QString shown = target.isEmpty() ? device : target;
    return shown == port ? QStringLiteral("Порт %1").arg(port) : QStringLiteral("Порт %1 -> %2").arg(port, shown);
}

// Runs one exchange to its end; cfg receives what it hands back.
Outcome RunExchange(const QString& port, bool isWrite, Configuration& cfg, const GprsTexts& texts)
{
    const QString device = DeviceOf(port);
    PrintLine(PortLine(port, device));
    PanelLink link;
    link.CommPortDriver1().SetPortName(device);
    Outcome outcome;
    QEventLoop loop;
    QObject::connect(&link, &PanelLink::statusText, &loop, [](const QString& t) { PrintLine(t); });
    QObject::connect(&link, &PanelLink::exchangeReport, &loop,
                     [&](int code, int, const ExchangeResult& result) {
                         if (code == kReportReplyArriving) {
                             PrintLine(StatusText::ReplyArriving);
                             return;
                         }
                         ApplyExchangeResult(result, cfg);
                         outcome.code = code;
                         outcome.result = result;
                         if (code == kReportPortFailed)
                             outcome.openError = PortOpenErrorText(link.CommPortDriver1().LastOpenError());
                         loop.quit();
                     });
    if (!link.SendData(isWrite, cfg, texts))
        return outcome;
    loop.exec();
    link.WaitFinished();
    return outcome;
}

// The blocks a write of cfg sends.
BlockSet BlocksWritten(const Configuration& cfg)
{
    const bool gsm = cfg.main.at(MainOff::state) != 0;
    return {true, gsm, gsm && cfg.gsm.at(GsmOff::useGPRScfg) != 0};
}

// After a failed write: what the panel holds now, as far as it said so.
void PrintConfirmed(const Configuration& cfg, const ExchangeResult& r)
{
    const BlockSet sent = BlocksWritten(cfg), confirmed = ConfirmedBlocks(r);
    const QStringList yes = BlockNames(confirmed);
    const QStringList no =
        BlockNames({sent.main && !confirmed.main, sent.gsm && !confirmed.gsm, sent.gprs && !confirmed.gprs});
    if (!yes.isEmpty())
        PrintLine(StatusText::Confirmed + yes.join(QStringLiteral(", ")));
    PrintLine(QStringLiteral("Не подтверждено: ") + no.join(QStringLiteral(", ")));
}

int ExitFor(const Outcome& o, bool isWrite, const Configuration& cfg)
{
    switch (o.code) {
    case kReportDone:
        return kDone;
    case kReportPortFailed:
        PrintLine(StatusText::PortFailedText);
        if (!o.openError.isEmpty())
            PrintLine(o.openError);
        return kPortFailed;
    default:
        // A refusal sends nothing: its status text is the outcome.
        if (isWrite && o.result.refused)
            return kExchangeFailed;
        PrintLine(isWrite ? StatusText::WriteFailed : StatusText::ReadFailed);
        if (isWrite)
            PrintConfirmed(cfg, o.result);
        return kExchangeFailed;
    }
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
    UsageError(QStringLiteral("порт «%1» не распознан: нужен COM1, ttyUSB0 или путь к устройству").arg(port),
               a.command);
    return false;
}

std::optional<JournalOp> JournalAs(const Args& a, JournalOp op)
{
    return a.Has("--no-journal") ? std::nullopt : std::optional(op);
}

int ReadPanel(const QString& port, Configuration& cfg, GprsTexts& texts, int& version,
              std::optional<JournalOp> journalAs)
{
    cfg = StartupConfiguration();
    const Outcome o = RunExchange(port, false, cfg, GprsTexts{});
    if (journalAs)
        KeepInJournal({port, DeviceOf(port), o.code, o.result, {}, o.openError, journalAs});
    const int rc = ExitFor(o, false, cfg);
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
    const int rc = ReadPanel(a.Value("--port"), cfg, texts, version, JournalAs(a, JournalOp::Read));
    if (rc != kDone)
        return rc;
    if (a.Has("-o") && SaveFile(a.Value("-o"), cfg, texts) != kDone)
        return kFileFailed;
    if (a.Has("--json"))
        std::printf("%s\n", ConfigJson(cfg, texts, version, a.Has("--frames")).c_str());
    return kDone;
}

int CmdWrite(const Args& a)
{
    if (!PortUnderstood(a))
        return kUsage;
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.operands[0], cfg, texts))
        return kFileFailed;
    const Outcome o = RunExchange(a.Value("--port"), true, cfg, texts);
    if (!a.Has("--no-journal"))
        KeepInJournal({a.Value("--port"), DeviceOf(a.Value("--port")), o.code, o.result, texts, o.openError, {}});
    return ExitFor(o, true, cfg);
}

} // namespace vk410::ctl
