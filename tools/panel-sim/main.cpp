// vk410-panel-sim: a Varko-410 panel on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pthread.h>
#include <sstream>
#include <string>

#include "SimServer.h"
#include "files/FileTexts.h"
#include "files/ProgramProcess.h"

namespace {

using namespace vk410::sim;

constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

struct Options {
    int model = 0;
    int firmware = 1;
    bool cxm = false;
    bool pacing = true;
    std::string load, link, stateFile;
    std::set<Fault> faults;
};

const char* const kHelp =
    "Использование: vk410-panel-sim [--model 0|1] [--firmware N] [--load FILE.cf8] [--cxm]\n"
    "                       [--link PATH] [--state-file PATH] [--no-pacing] [--fault KIND]...\n"
    "Прибор Varko-410 на псевдотерминале: первая строка вывода — путь к нему;\n"
    "работает до SIGTERM, SIGINT (Ctrl+C) или SIGHUP.\n"
    "\n"
    "  --model 0|1        модель: 0 — VK-410QZ8N (по умолчанию), 1 — VK-410QZ8NL\n"
    "  --firmware N       версия прибора, 0..255 (по умолчанию 1)\n"
    "  --load FILE.cf8    начальная конфигурация из файла, с моделью\n"
    "  --cxm              модуль КСМ подключен: прибор отвечает и за блоки GSM и GPRS\n"
    "  --link PATH        символьная ссылка на псевдотерминал, постоянное имя\n"
    "  --state-file PATH  конфигурация прибора в JSON (как show --json) после запуска\n"
    "                     и после каждой принятой записи\n"
    "  --no-pacing        отвечать сразу, а не со скоростью линии 2400 бод\n"
    "  --fault KIND       неисправность, можно несколько раз:\n"
    "      silent         не отвечает\n"
    "      bad-crc        неверный контрольный байт в ответах\n"
    "      extra-byte     лишний байт за каждым ответом\n"
    "      flood          300 байт шума вместо ответа\n"
    "      split          ответ двумя частями с промежутком 300 мс\n"
    "      late           первые два байта ответа через 1 с после запроса, остальное\n"
    "                     через 0,45 с: так поздно, как ещё принимает программатор\n"
    "      one-byte       только первый байт ответа\n"
    "      wrong-model    код модели 5 в ответах на блок 1\n"
    "      bad-echo       эхо записи с одним изменённым байтом данных\n"
    "      bad-gprs-echo  то же только для блока GPRS: блоки 1 и 2 подтверждаются\n"
    "      hangup         закрывает линию посреди второго ответа и завершается\n"
    "      module-silent  блок 1 говорит, что модуль КСМ подключен, а модуль не отвечает\n"
    "  -h, --help         эта справка\n"
    "  --version          версия программы (единственным параметром)\n";

int UsageError(const std::string& text)
{
    std::fprintf(stderr, "vk410-panel-sim: %s\nСправка: vk410-panel-sim --help\n", text.c_str());
    return 1;
}

bool ParseInt(const char* text, int lo, int hi, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < lo || v > hi)
        return false;
    out = int(v);
    return true;
}

bool IsOption(const std::string& a)
{
    for (const char* o : {"--model", "--firmware", "--load", "--link", "--state-file", "--fault", "--cxm",
                          "--no-pacing", "--help", "-h"})
        if (a == o)
            return true;
    return false;
}

// On a wrong option or value says so and gives false.
bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--cxm") {
            o.cxm = true;
            continue;
        }
        if (a == "--no-pacing") {
            o.pacing = false;
            continue;
        }
        if (a == "--version") {
            UsageError("--version даётся без других параметров; версия прибора задаётся --firmware N");
            return false;
        }
        if (!IsOption(a)) {
            UsageError((a.rfind('-', 0) == 0 ? "неизвестный параметр " : "лишний аргумент ") + a);
            return false;
        }
        if (i + 1 >= argc || IsOption(argv[i + 1])) {
            UsageError("у параметра " + a + " нет значения");
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (a == "--model")
            ok = ParseInt(value.c_str(), 0, 1, o.model);
        else if (a == "--firmware")
            ok = ParseInt(value.c_str(), 0, 255, o.firmware);
        else if (a == "--load")
            o.load = value;
        else if (a == "--link")
            o.link = value;
        else if (a == "--state-file")
            o.stateFile = value;
        else {
            Fault f{};
            ok = ParseFault(value, f);
            if (ok)
                o.faults.insert(f);
        }
        if (!ok || value.empty()) {
            UsageError("неверное значение " + a + " " + value);
            return false;
        }
    }
    return true;
}

bool BuildPanel(const Options& o, PanelConfig& panel)
{
    panel = DefaultPanel(uint8_t(o.model), o.cxm);
    panel.version = uint8_t(o.firmware);
    panel.faults = o.faults;
    if (o.load.empty())
        return true;
    // A device or a pipe would be read without end: only a regular file of a cf8's size.
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(o.load, ec) && std::filesystem::file_size(o.load, ec) <= kMaxFileSize)
        in.open(o.load, std::ios::binary);
    std::string bytes, error;
    if (in.is_open())
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.is_open() && LoadPanel(bytes, panel, error))
        return true;
    std::fprintf(stderr, "vk410-panel-sim: %s: %s%s%s\n", vk410::kFileRejected, o.load.c_str(),
                 error.empty() ? "" : ": ", error.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    vk410::OpenClosedStandardDescriptors();
    vk410::IgnoreFileSizeSignal();
    if (argc == 2 && vk410::VersionAsked(argc, argv))
        return vk410::PrintVersion("vk410-panel-sim");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return vk410::FinishOutput("vk410-panel-sim", 0);
        }
    }
    Options o;
    if (!ParseArgs(argc, argv, o))
        return 1;
    PanelConfig panel;
    if (!BuildPanel(o, panel))
        return 2;

    // Termination signals are taken synchronously by this thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimServer server(panel, o.pacing);
    std::string error;
    if (!server.Open(o.link, error)) {
        std::fprintf(stderr, "vk410-panel-sim: %s\n", error.c_str());
        return 2;
    }
    server.SetStateFile(o.stateFile);
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);
    server.Start();

    const timespec tick{0, 200'000'000};
    while (!server.HungUp() && sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
    }
    if (server.HungUp())
        std::fputs("vk410-panel-sim: линия закрыта (hangup)\n", stderr);
    server.Stop();
    return 0;
}
