// The file commands of vedu-vk410ctl: show, new, convert; and the usage text.
#include <cstdio>
#include <string>

#include "Commands.h"
#include "files/ConfigJson.h"
#include "files/FileOps.h"
#include "model/CXMGSM.h"
#include "model/Cp1251.h"
#include "model/Devices.h"
#include "model/Errors.h"
#include "model/Loops.h"

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

// Opens as the window's "Open" does; on failure prints the message and gives false.
bool Open(const QString& path, Configuration& cfg, GprsTexts& texts)
{
    try {
        if (OpenConfigFile(path, cfg, texts) != 255)
            return true;
        Err(std::string(kFileRejected) + ": " + path.toStdString());
    } catch (const Error& e) {
        Err(e.what());
    }
    return false;
}

int Save(const QString& path, const Configuration& cfg, const GprsTexts& texts)
{
    if (SaveConfigFile(path, cfg, texts, cfg.model))
        return kDone;
    Err("не удалось записать файл: " + path.toStdString());
    return kFileFailed;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string EventText(uint8_t code)
{
    const int row = EventRowByCode(code);
    const std::vector<std::string> events = GetEventList();
    return row > 0 ? Trimmed(events[std::size_t(row - 1)]) : "нет в списке";
}

std::string OnOff(bool on) { return on ? "вкл." : "выкл."; }

std::string MainText(const Configuration& cfg)
{
    const TMainBlock& m = cfg.main;
    const std::vector<std::string> types = GetLoopTypeList();
    std::string out = "Модель: " + std::to_string(cfg.model) + " " + DeviceDisplayText(cfg.model) + "\n";
    out += "Шлейфы:\n";
    for (int n = 1; n <= kLoopCount; ++n) {
        const uint8_t type = m.at(MainOff::type(n));
        const uint8_t code = m.at(MainOff::cid(n));
        out += "  " + std::to_string(n) + ": " + types[type & kLoopTypeMask] + ", сброс питания: " +
               (type & 0x80 ? "да" : "нет") + ", событие: " + EventText(code) + " (" + std::to_string(code) + ")\n";
    }
    out += "Задержка на вход: " + std::to_string(m.at(MainOff::in)) + " с\n";
    out += "Задержка на выход: " + std::to_string(m.at(MainOff::out)) + " с\n";
    out += "Расширители:";
    for (int k = 1; k <= 8; ++k)
        out += " " + std::to_string(k) + " " + OnOff(m.at(MainOff::mask) & (0x80 >> (k - 1)));
    static const char* const kBacklight[] = {"выкл.", "автоматически", "вкл."};
    const uint8_t mode = m.at(MainOff::BLMode);
    out += "\nКлавиатура: звук " + OnOff(m.at(MainOff::KeyBeep) != 0) + ", подсветка " +
           (mode < 3 ? kBacklight[mode] : std::to_string(mode)) + ", яркость " +
           std::to_string(m.at(MainOff::BLLevel)) + "\n";
    if (cfg.model == 1)
        out += "Датчики Meridian: " + std::to_string(m.at(MainOff::qnt)) + "\n";
    return out;
}

std::string CxmText(const Configuration& cfg, const GprsTexts& t)
{
    const TGsmBlock& g = cfg.gsm;
    static const char* const kSim[] = {"1,2", "1", "2"};
    static const char* const kProtocol[] = {"Voice", "CSD", "Telvex", "SIA-IP"};
    static const char* const kSms[] = {"Выключено", "Только тревоги", "Тревоги, взятия\\снятия"};
    char number[8];
    std::snprintf(number, sizeof number, "%04u", DeviceNum(g));
    std::string out = std::string("Модуль CXM: установлен, номер прибора ") + number + "\n";
    out += "Направления:\n";
    for (int n = 1; n <= kDestinationCount; ++n) {
        // As the GSM page shows it: an off destination has no SIM, protocol or address.
        const int tries = DestinationTries(g, n);
        out += "  " + std::to_string(n) + ": ";
        if (tries == 0) {
            out += "выкл.\n";
            continue;
        }
        out += "попыток " + std::to_string(tries) + ", SIM " + kSim[DestinationSim(g, n)] + ", протокол " +
               kProtocol[DestinationProtocol(g, n)] + ", адрес " + DestinationAddressText(g, n) + "\n";
    }
    out += "SMS:\n";
    for (int m = 1; m <= kSmsCount; ++m) {
        const uint8_t type = g.at(GsmOff::smsCfg(m));
        out += "  " + std::to_string(m) + ": " + (type < 3 ? kSms[type] : "(" + std::to_string(type) + ")") +
               (type != 0 ? ", " + SmsPhoneText(g, m) : std::string()) + "\n";
    }
    out += "Управление по SMS: " + OnOff(g.at(GsmOff::RXE) != 0) + ", передача по GSM: " +
           OnOff(g.at(GsmOff::TXE) != 0) + ", настройки GPRS: " + OnOff(g.at(GsmOff::useGPRScfg) != 0) + "\n";
    const auto sim = [](int k, const std::string& apn, const std::string& user, const std::string& pass) {
        return "GPRS SIM" + std::to_string(k) + ": APN \"" + Cp1251ToUtf8(apn) + "\", пользователь \"" +
               Cp1251ToUtf8(user) + "\", пароль \"" + Cp1251ToUtf8(pass) + "\"\n";
    };
    return out + sim(1, t.apn1, t.user1, t.pass1) + sim(2, t.apn2, t.user2, t.pass2);
}

} // namespace

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
               "exit codes: 0 done, 1 wrong usage, 2 file rejected or not readable/writable,\n"
               "            3 exchange failed, 4 port cannot be opened\n",
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
    if (!Open(a.positional[0], cfg, texts))
        return kFileFailed;
    const std::string text = a.json ? ConfigJson(cfg, texts) + "\n"
                                    : MainText(cfg) + (cfg.main.at(MainOff::state) ? CxmText(cfg, texts)
                                                                                   : "Модуль CXM: нет\n");
    std::fputs(text.c_str(), stdout);
    return kDone;
}

int CmdNew(const QStringList& args)
{
    ParsedArgs a;
    if (!ParseArgs(args, a) || a.json || a.positional.size() != 1 || a.model.isEmpty()) {
        PrintUsage();
        return kUsage;
    }
    bool numeric = false;
    const unsigned code = a.model.toUInt(&numeric);
    if (!numeric || !IsKnownModel(code)) {
        Err(kDeviceNotFound);
        PrintUsage();
        return kUsage;
    }
    Configuration cfg = StartupConfiguration(uint8_t(code));
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
    if (!Open(a.positional[0], cfg, texts))
        return kFileFailed;
    return Save(a.positional[1], cfg, texts);
}

} // namespace vk410::ctl
