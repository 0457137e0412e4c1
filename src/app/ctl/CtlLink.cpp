// read and write: the exchange with a panel from the command line.
#include <QEventLoop>
#include <cstdio>

#include "Commands.h"
#include "files/ConfigJson.h"
#include "files/FileOps.h"
#include "link/PanelLink.h"
#include "link/PortName.h"
#include "model/Errors.h"

namespace vk410::ctl {
namespace {

struct LinkArgs {
    QString port;
    QString out;
    QString in;
    bool json = false;
    bool journal = true;
};

void PrintLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// --port PORT plus, for read, -o FILE and --json; for write, one input file.
bool ParseLinkArgs(const QStringList& args, bool isWrite, LinkArgs& a)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& s = args[i];
        const bool hasValue = i + 1 < args.size();
        if (s == QLatin1String("--port") && hasValue)
            a.port = args[++i];
        else if (!isWrite && s == QLatin1String("-o") && hasValue)
            a.out = args[++i];
        else if (!isWrite && s == QLatin1String("--json"))
            a.json = true;
        else if (s == QLatin1String("--no-journal"))
            a.journal = false;
        else if (isWrite && a.in.isEmpty() && !s.startsWith(QLatin1Char('-')))
            a.in = s;
        else
            return false;
    }
    return !a.port.isEmpty() && (!isWrite || !a.in.isEmpty());
}

// The port box rule, and a relative path for convenience on the command line.
QString DeviceOf(const QString& port)
{
    const QString device = DeviceForPortText(port);
    if (!device.isEmpty())
        return device;
    return port.contains(QLatin1Char('/')) ? port : QString();
}

struct Outcome {
    int code = -1;
    int version = -1;
    QString openError; // why the port could not be opened
    ExchangeResult result;
};

// Runs one exchange to its end; cfg receives what it hands back.
Outcome RunExchange(const QString& device, bool isWrite, Configuration& cfg, const GprsTexts& texts)
{
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
                         outcome.version = result.version;
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

int ExitFor(const Outcome& o, bool isWrite)
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
        PrintLine(isWrite ? StatusText::WriteFailed : StatusText::ReadFailed);
        return kExchangeFailed;
    }
}

} // namespace

int ReadPanel(const QString& port, Configuration& cfg, GprsTexts& texts, int& version, bool keepJournal)
{
    if (DeviceOf(port).isEmpty()) {
        PrintUsage();
        return kUsage;
    }
    cfg = StartupConfiguration();
    const Outcome o = RunExchange(DeviceOf(port), false, cfg, GprsTexts{});
    if (keepJournal)
        KeepInJournal({port, DeviceOf(port), o.code, o.result, {}, o.openError});
    const int rc = ExitFor(o, false);
    if (rc != kDone)
        return rc;
    texts = {};
    LoadGprsTexts(cfg.gprs, texts);
    version = o.version;
    return kDone;
}

int CmdRead(const QStringList& args)
{
    LinkArgs a;
    if (!ParseLinkArgs(args, false, a)) {
        PrintUsage();
        return kUsage;
    }
    Configuration cfg;
    GprsTexts texts;
    int version = -1;
    const int rc = ReadPanel(a.port, cfg, texts, version, a.journal);
    if (rc != kDone)
        return rc;
    if (!a.out.isEmpty() && !SaveConfigFile(a.out, cfg, texts, cfg.model)) {
        std::fprintf(stderr, "vedu-vk410ctl: cannot save %s\n", a.out.toUtf8().constData());
        return kFileFailed;
    }
    if (a.json)
        std::printf("%s\n", ConfigJson(cfg, texts, version).c_str());
    return kDone;
}

int CmdWrite(const QStringList& args)
{
    LinkArgs a;
    if (!ParseLinkArgs(args, true, a) || DeviceOf(a.port).isEmpty()) {
        PrintUsage();
        return kUsage;
    }
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    try {
        TsdParseResult fault;
        if (OpenConfigFile(a.in, cfg, texts, &fault) == 255) {
            std::fprintf(stderr, "vedu-vk410ctl: %s is not a configuration file%s\n", a.in.toUtf8().constData(),
                         fault.ok() ? "" : (": " + ParseFaultText(fault)).c_str());
            return kFileFailed;
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "vedu-vk410ctl: %s: %s\n", a.in.toUtf8().constData(), e.what());
        return kFileFailed;
    }
    const Outcome o = RunExchange(DeviceOf(a.port), true, cfg, texts);
    if (a.journal)
        KeepInJournal({a.port, DeviceOf(a.port), o.code, o.result, texts, o.openError});
    return ExitFor(o, true);
}

} // namespace vk410::ctl
