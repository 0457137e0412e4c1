// vedu-vk410ctl: the command-line programmer (no widgets); its commands and their help.
#include <QGuiApplication>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>

#include "Commands.h"
#include "ConsoleOut.h"
#include "files/ProgramProcess.h"
#include "report/OffscreenFonts.h"

namespace {

using namespace vk410::ctl;

#ifdef _WIN32
const std::string kPortRule = "PORT — как в поле «Порт» окна: COM1, COM2, ...; какие порты есть,\n"
                              "покажет vedu-vk410ctl ports.\n";
#else
const std::string kPortRule = "PORT — как в поле «Порт» окна: COM1 — /dev/ttyS0, COM2 — /dev/ttyS1, ...;\n"
                              "ttyUSB0, ttyACM0, ... — /dev/ttyUSB0, ...; путь с «/» — само устройство.\n";
#endif
const std::string kCf8Rule = "К имени сохраняемого файла без «.cf8» это расширение добавляется,\n"
                             "как при «Сохранить как...» в окне.\n";

std::string Footer()
{
    return "Справка по команде: vedu-vk410ctl КОМАНДА --help; версия: vedu-vk410ctl --version\n\n" + kPortRule +
           "Команды, которые сохраняют конфигурацию (new, convert, read -o), добавляют\n"
           "«.cf8» к имени без него, как «Сохранить как...» в окне.\n"
           "Сообщения и ход обмена идут в стандартный поток ошибок, результаты — в стандартный вывод.\n"
           "\n"
           "Коды выхода:\n"
           "  0  готово (diff: конфигурации одинаковы)\n"
           "  1  неверный вызов\n"
           "  2  файл отвергнут, не читается или не записывается\n"
           "  3  обмен с прибором не удался; запись могла пройти частично (см. последние строки)\n"
           "  4  порт не открывается\n"
           "  5  diff: конфигурации различаются\n";
}

const OptionSpec kJson{"--json", nullptr, "одним объектом JSON: model, main, gsm, gprs (байты данных\n"
                                          "блоков в шестнадцатеричном виде), sim1, sim2"};
const OptionSpec kFrames{"--frames", nullptr, "с --json: и frames — кадры записи блоков, как их отправит write"};
const OptionSpec kPort{"--port", "PORT", "порт прибора", true};
const OptionSpec kNoJournal{"--no-journal", nullptr, "не оставлять записи в журнале обмена"};
const OptionSpec kTrace{"--trace", nullptr, "показывать ход обмена в стандартном потоке ошибок: кадры\n"
                                            "и куски с временем, байты, разбор каждого ответа"};

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = {
        {"show", "[--json] [--frames] FILE.cf8", "показать конфигурацию из файла",
         {kJson, kFrames}, {"FILE.cf8"}, 1,
         "Каждое поле по страницам окна, с его подписью и значением, как их показывает окно.\n",
         CmdShow},
        {"new", "--model 0|1 [--cxm] OUT.cf8", "сохранить начальную конфигурацию модели",
         {{"--model", "0|1", "код модели: 0 — VK-410QZ8N, 1 — VK-410QZ8NL", true},
          {"--cxm", nullptr, "модуль КСМ подключен"}},
         {"OUT.cf8"}, 1, "Конфигурация та, что в окне после запуска.\n" + kCf8Rule, CmdNew},
        {"convert", "IN.cf8 OUT.cf8", "открыть файл и сохранить его заново", {}, {"IN.cf8", "OUT.cf8"}, 2,
         "Файл читается, как «Открыть...» окна, и пишется, как «Сохранить как...».\n" + kCf8Rule, CmdConvert},
        {"read", "--port PORT [-o OUT.cf8] [--json] [--frames] [--no-journal] [--trace]",
         "прочитать конфигурацию прибора",
         {kPort,
          {"-o", "OUT.cf8", "сохранить в файл"},
          {"--json", nullptr, "напечатать, как show --json, и version — версию прибора"},
          kFrames,
          kNoJournal,
          kTrace},
         {}, 0,
         "Ход обмена (тексты строки состояния окна) идёт в стандартный поток ошибок, итог последним;\n"
         "после неудачи — строка о её причине.\n" + kPortRule +
             kCf8Rule,
         CmdRead},
        {"write", "--port PORT [--no-backup] [--no-journal] [--trace] IN.cf8 | --from-journal N",
         "записать конфигурацию файла в прибор",
         {kPort,
          {"--from-journal", "N", "записать запись N журнала (1 — последняя) байт в байт:\n"
                                  "то, что прибор хранил или получил"},
          {"--no-backup", nullptr, "не читать прибор перед записью"},
          kNoJournal,
          kTrace},
         {"IN.cf8"}, 0,
         "Сначала прибор читается и прочитанное остаётся в журнале: так ему можно вернуть\n"
         "прежние настройки (write --from-journal N). Прибор другой модели не записывается.\n"
         "Настройки радиоканала, которых файл не хранит, остаются те, что в приборе.\n"
         "Каждый блок сверяется с ответом прибора; если прибор не подтвердил блок после\n"
         "первого, ему записываются прежние настройки, и последние строки говорят, удалось\n"
         "ли это (код выхода 3). Сигнал во время записи откладывается до её конца.\n" +
             kPortRule,
         CmdWrite},
        {"diff", "[--json] A.cf8 B.cf8 | --port PORT [--json] [--no-journal] [--trace] B.cf8",
         "поля, значения которых различаются",
         {{"--json", nullptr, "массивом JSON объектов page, item, field, a, b"},
          {"--port", "PORT", "A — прибор: он читается, как в read, и ничего в него не пишется"},
          kNoJournal,
          kTrace},
         {"A.cf8", "B.cf8"}, 1,
         "Строка на поле: место / поле: значение в A -> значение в B; «—» у поля, которого\n"
         "у одной стороны нет. Код выхода 0 — одинаковы, 5 — различаются.\n" +
             kPortRule,
         CmdDiff},
        {"report", "FILE.cf8 -o OUT.pdf|OUT.html [--passwords] [--object ТЕКСТ] [--address ТЕКСТ] ...",
         "карта программирования конфигурации",
         {{"-o", "OUT.pdf|OUT.html", "файл отчёта: PDF или одна страница HTML", true},
          {"--passwords", nullptr, "печатать пароли APN (без него они скрыты)"},
          {"--object", "ТЕКСТ", "объект"},
          {"--address", "ТЕКСТ", "адрес объекта"},
          {"--installer", "ТЕКСТ", "монтажник"},
          {"--date", "ТЕКСТ", "дата (без него — сегодняшняя)"}},
         {"FILE.cf8"}, 1,
         "Все поля по страницам; значения, отличные от начальных для модели, помечены «*».\n"
         "Вверху строки объекта, адреса, монтажника, даты и подписи; не заданные остаются пустыми,\n"
         "чтобы заполнить их на бумаге.\n",
         CmdReport},
        {"ports", "[--json]", "последовательные порты, как их предлагает поле «Порт»",
         {{"--json", nullptr, "массивом JSON объектов name, device, description, usb и, у адаптеров\n"
                              "USB, manufacturer, product, serial, vendorId, productId"}},
         {}, 0, "", CmdPorts},
        {"journal", "[--json]", "журнал обмена: чтения и записи, новые первыми",
         {{"--json", nullptr, "массивом JSON"}}, {}, 0,
         "read, write и diff --port оставляют в журнале запись о каждом обмене, если не дан --no-journal.\n"
         "Записи пронумерованы, 1 — последняя: write --from-journal N записывает запись N в прибор.\n",
         CmdJournal},
    };
    return commands;
}

const CommandSpec* FindCommand(const QString& name)
{
    const std::vector<CommandSpec>& all = Commands();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const CommandSpec& c) { return name == QLatin1String(c.name); });
    return it == all.end() ? nullptr : &*it;
}

// Qt's own warnings (no XDG_RUNTIME_DIR for the offscreen platform, say) are
// not this program's messages; only the critical ones get through.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        WriteText(stderr, text + QLatin1Char('\n'));
}

// The report lays out its PDF with Qt Gui, on the offscreen platform: the
// command line never needs a display (and on Windows its PDF needs the
// system's fonts pointed out).
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        vk410::UseSystemFontsOffscreen();
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

int Run(QStringList args)
{
    if (args.isEmpty()) {
        PrintOverview(Commands(), Footer(), stderr);
        return kUsage;
    }
    QString name = args.takeFirst();
    // "help read" is "read --help".
    if (name == QLatin1String("help") && !args.isEmpty()) {
        name = args.takeFirst();
        args = {QStringLiteral("--help")};
    } else if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        PrintOverview(Commands(), Footer(), stdout);
        return kDone;
    }
    const CommandSpec* command = FindCommand(name);
    if (!command)
        return UsageError(QStringLiteral("неизвестная команда %1").arg(name));
    Args a;
    int code = kDone;
    if (!ParseArgs(*command, args, a, code))
        return code;
    return command->run(a);
}

} // namespace

int main(int argc, char* argv[])
{
    // Before anything is opened: a port must never become standard error.
    vk410::OpenClosedStandardDescriptors();
    vk410::IgnoreFileSizeSignal();
    if (vk410::VersionAsked(argc, argv))
        return vk410::PrintVersion("vedu-vk410ctl");
#ifndef _WIN32
    // A reader of the output that goes away (`| head`) must not end a write
    // between blocks: the lost lines are the only loss.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    qInstallMessageHandler(QtMessages);
    const auto app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vedu-vk410ctl"));
    // A result that never reached its file (a full disk) is no success.
    return vk410::FinishOutput("vedu-vk410ctl", Run(QCoreApplication::arguments().mid(1)));
}
