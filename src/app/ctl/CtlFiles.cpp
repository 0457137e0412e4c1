// The file commands of vedu-vk410ctl: show, new, convert.
#include "Commands.h"
#include "ConsoleOut.h"
#include "files/ConfigJson.h"
#include "files/FileOps.h"
#include "files/FileTexts.h"
#include "model/Devices.h"
#include "model/Errors.h"

namespace vk410::ctl {

namespace {

QString RejectedText(const QString& path) { return QString::fromUtf8(kFileRejected) + QStringLiteral(": ") + path; }

} // namespace

bool OpenFile(const QString& path, Configuration& cfg, GprsTexts& texts)
{
    try {
        TsdParseResult fault;
        QString why;
        if (OpenConfigFile(path, cfg, texts, &fault, &why) != kFailureCode) {
            // The file keeps such a text whole; the panel will not.
            for (const CutGprsText& cut : OverlongGprsTexts(texts))
                Message(path + QStringLiteral(": ") + QString::fromStdString(CutGprsTextWords(cut)));
            return true;
        }
        // A file that is not there, one that is no file, one that is broken: each says which.
        if (why.isEmpty())
            why = fault.ok() ? QStringLiteral("содержимое не распознано") : QString::fromStdString(ParseFaultText(fault));
        Message(RejectedText(path) + QStringLiteral(": ") + why);
    } catch (const Error& e) {
        // The conversion message as the window's error box shows it, with the file it came from.
        Message(RejectedText(path) + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    }
    return false;
}

int SaveFile(const QString& path, const Configuration& cfg, const GprsTexts& texts)
{
    const QString target = WithCf8Extension(path);
    QString why;
    if (SaveConfigFile(target, cfg, texts, cfg.model, &why))
        return kDone;
    FileNotSaved(target, why);
    return kFileFailed;
}

void FileNotSaved(const QString& path, const QString& why)
{
    Message(QString::fromUtf8(kFileNotSaved) + QLatin1Char(' ') + path +
            (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
}

bool FramesWithJson(const Args& a)
{
    if (!a.Has("--frames") || a.Has("--json"))
        return true;
    UsageError(QStringLiteral("параметр --frames — только вместе с --json"), a.command);
    return false;
}

int CmdShow(const Args& a)
{
    if (!FramesWithJson(a))
        return kUsage;
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.operands[0], cfg, texts))
        return kFileFailed;
    const std::string text = a.Has("--json") ? ConfigJson(cfg, texts, std::nullopt, a.Has("--frames")) + "\n"
                                             : PersonText(Describe(cfg, texts, DescribeScope::Used, false));
    WriteText(stdout, text);
    return kDone;
}

int CmdNew(const Args& a)
{
    // Exactly the catalogue's codes: " 1", "+1" or "01" are not model codes.
    const QString model = a.Value("--model");
    if (model != QLatin1String("0") && model != QLatin1String("1"))
        return UsageError(QStringLiteral("%1: %2 (модели 0 и 1)").arg(QString::fromUtf8(kDeviceNotFound), model),
                          a.command);
    const uint8_t code = model == QLatin1String("1") ? 1 : 0;
    Configuration cfg = StartupConfiguration(code);
    if (a.Has("--cxm"))
        cfg.main.at(MainOff::state) = 1;
    return SaveFile(a.operands[0], cfg, {});
}

int CmdConvert(const Args& a)
{
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.operands[0], cfg, texts))
        return kFileFailed;
    return SaveFile(a.operands[1], cfg, texts);
}

} // namespace vk410::ctl
