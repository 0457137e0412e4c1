// The file commands of vedu-vk410ctl: show, new, convert; and the usage text.
#include <cstdio>
#include <string>

#include "Commands.h"
#include "files/ConfigJson.h"
#include "files/FileOps.h"
#include "model/Devices.h"
#include "model/Errors.h"

namespace vk410::ctl {

namespace {

const char* const kFileRejected = "Файл поврежден или не найден";

void Err(const std::string& text) { std::fprintf(stderr, "vedu-vk410ctl: %s\n", text.c_str()); }

// Options given before or after the positional arguments; false on an unknown
// option or a missing value.
struct ParsedArgs {
    QStringList positional;
    bool json = false, cxm = false;
    QString model;
};

bool ParseArgs(const QStringList& args, ParsedArgs& out)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--json"))
            out.json = true;
        else if (a == QLatin1String("--cxm"))
            out.cxm = true;
        else if (a == QLatin1String("--model") && i + 1 < args.size())
            out.model = args[++i];
        else if (a.startsWith(QLatin1String("--")))
            return false;
        else
            out.positional << a;
    }
    return true;
}

int Save(const QString& path, const Configuration& cfg, const GprsTexts& texts)
{
    if (SaveConfigFile(path, cfg, texts, cfg.model))
        return kDone;
    Err("не удалось записать файл: " + path.toStdString());
    return kFileFailed;
}

} // namespace

bool OpenFile(const QString& path, Configuration& cfg, GprsTexts& texts)
{
    try {
        TsdParseResult fault;
        if (OpenConfigFile(path, cfg, texts, &fault) != 255)
            return true;
        Err(std::string(kFileRejected) + ": " + path.toStdString() +
            (fault.ok() ? std::string() : ": " + ParseFaultText(fault)));
    } catch (const Error& e) {
        Err(e.what());
    }
    return false;
}

void PrintUsage()
{
    std::fputs("usage: vedu-vk410ctl COMMAND ...\n"
               "  show [--json] FILE.cf8             print the configuration of a file\n"
               "  new --model N [--cxm] OUT.cf8      save the start-up configuration of model N (0 or 1);\n"
               "                                     --cxm marks the CXM module as fitted;\n"
               "                                     \".cf8\" is appended when OUT lacks it\n"
               "  convert IN.cf8 OUT.cf8             open a file and save it again\n"
               "  read --port PORT [-o OUT.cf8] [--json]\n"
               "                                     read the panel's configuration\n"
               "  write --port PORT IN.cf8           write a file's configuration to the panel\n"
               "  diff [--json] A.cf8 B.cf8          print the fields that differ: place, value in A, in B\n"
               "  diff --port PORT [--json] B.cf8    the same with the panel as A (reads, never writes)\n"
               "  report FILE.cf8 -o OUT.pdf|OUT.html\n"
               "                                     a programming sheet of the configuration\n"
               "  ports [--json]                     list the serial ports with their descriptions\n"
               "  journal [--json]                   журнал обмена: чтения и записи, новые первыми;\n"
               "                                     read, write и diff --port с --no-journal\n"
               "                                     не оставляют в нем записи\n"
               "exit codes: 0 done (diff: the same), 1 wrong usage, 2 file rejected or not\n"
               "            readable/writable, 3 exchange failed, 4 port cannot be opened,\n"
               "            5 diff: the configurations differ\n",
               stderr);
}

int CmdShow(const QStringList& args)
{
    ParsedArgs a;
    if (!ParseArgs(args, a) || a.cxm || !a.model.isEmpty() || a.positional.size() != 1) {
        PrintUsage();
        return kUsage;
    }
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.positional[0], cfg, texts))
        return kFileFailed;
    const std::string text = a.json ? ConfigJson(cfg, texts) + "\n" : PersonText(Describe(cfg, texts));
    std::fputs(text.c_str(), stdout);
    return kDone;
}

int CmdNew(const QStringList& args)
{
    ParsedArgs a;
    // An empty name would save the hidden file ".cf8".
    if (!ParseArgs(args, a) || a.json || a.positional.size() != 1 || a.positional[0].isEmpty() ||
        a.model.isEmpty()) {
        PrintUsage();
        return kUsage;
    }
    // Exactly the catalogue's codes: " 1", "+1" or "01" are not model codes.
    if (a.model != QLatin1String("0") && a.model != QLatin1String("1")) {
        Err(kDeviceNotFound);
        PrintUsage();
        return kUsage;
    }
    const uint8_t code = a.model == QLatin1String("1") ? 1 : 0;
    Configuration cfg = StartupConfiguration(code);
    if (a.cxm)
        cfg.main.at(MainOff::state) = 1;
    return Save(WithCf8Extension(a.positional[0]), cfg, {});
}

int CmdConvert(const QStringList& args)
{
    ParsedArgs a;
    if (!ParseArgs(args, a) || a.json || a.cxm || !a.model.isEmpty() || a.positional.size() != 2) {
        PrintUsage();
        return kUsage;
    }
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.positional[0], cfg, texts))
        return kFileFailed;
    return Save(a.positional[1], cfg, texts);
}

} // namespace vk410::ctl
