// vedu-vk410ctl's file commands, run as the user runs them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "files/ConfigJson.h"
#include "files/FileOps.h"
#include "model/Description.h"
#include "model/Loops.h"
#include "report/ReportHtml.h"
#include "files/PortList.h"
#include "link/PortName.h"

using namespace vk410;

namespace {

struct CtlRun {
    int code = -1;
    QString out, err;
};

CtlRun Ctl(const QStringList& args, const QString& workDir = {})
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(VK410_CTL), args);
    CtlRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitCode();
    // Windows writes text-mode line ends.
    r.out = QString::fromUtf8(p.readAllStandardOutput()).remove(QLatin1Char('\r'));
    r.err = QString::fromUtf8(p.readAllStandardError()).remove(QLatin1Char('\r'));
    return r;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const std::string& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), qint64(text.size()));
}

} // namespace

// Each wrong invocation says first what was wrong, then where the help is.
TEST(CtlFiles, WrongUsageSaysWhatWasWrong)
{
    QTemporaryDir dir;
    const struct {
        QStringList args;
        const char* said;
    } cases[] = {
        {{"frobnicate"}, "неизвестная команда frobnicate"},
        {{"show"}, "не хватает аргумента FILE.cf8"},
        {{"show", "--bogus", "a.cf8"}, "неизвестный параметр --bogus"},
        {{"show", "a.cf8", "b.cf8"}, "лишний аргумент b.cf8"},
        {{"show", "--frames", "a.cf8"}, "--frames — только вместе с --json"},
        {{"show", "--json", "--json", "a.cf8"}, "параметр --json указан дважды"},
        {{"show", "--json=yes", "a.cf8"}, "у параметра --json не бывает значения"},
        {{"show", ""}, "пустой аргумент"},
        {{"new", "out.cf8"}, "не указан параметр --model 0|1"},
        {{"new", "--model"}, "у параметра --model нет значения 0|1"},
        {{"new", "--model", "--cxm", "out.cf8"}, "у параметра --model нет значения"},
        {{"new", "--model=", "out.cf8"}, "пустое значение параметра --model"},
        {{"new", "--model", "2", "out.cf8"}, "Тип прибора не найден: 2"},
        {{"new", "--model", "x", "out.cf8"}, "Тип прибора не найден: x"},
        {{"new", "--model", "01", "out.cf8"}, "Тип прибора не найден: 01"},
        {{"new", "--model", "+1", "out.cf8"}, "Тип прибора не найден: +1"},
        {{"new", "--model", " 1", "out.cf8"}, "Тип прибора не найден:  1"},
        {{"new", "--model", "1", ""}, "пустой аргумент"},
        {{"convert", "in.cf8"}, "не хватает аргумента OUT.cf8"},
        {{"diff", "a.cf8"}, "не хватает аргумента B.cf8"},
        {{"diff", "--port", "ttyS0", "a.cf8", "b.cf8"}, "с --port сравнивается один файл"},
        {{"diff", "--port", "COM0", "a.cf8"}, "Порт «COM0» не распознан"},
        {{"report", "a.cf8"}, "не указан параметр -o"},
        {{"report", "a.cf8", "-o="}, "пустое значение параметра -o"},
        {{"show", "-"}, "стандартный ввод не читается"},
        {{"diff", "-", "b.cf8"}, "стандартный ввод не читается"},
        {{"report", "a.cf8", "-o", "a.txt"}, "в .pdf или .html, а не в a.txt"},
        {{"ports", "ttyS0"}, "лишний аргумент ttyS0"},
        {{"journal", "--no-journal"}, "неизвестный параметр --no-journal"},
        {{"read"}, "не указан параметр --port PORT"},
        {{"read", "--prot", "COM1"}, "неизвестный параметр --prot"},
        {{"read", "--port", "p1"}, "Порт «p1» не распознан"},
        {{"read", "--port", "COM01", "--json"}, "Порт «COM01» не распознан"},
        {{"write", "--port", "tty", "a.cf8"}, "Порт «tty» не распознан"},
        {{"write", "--port", "COM1"}, "нужен либо файл IN.cf8, либо --from-journal N"},
        {{"write", "--port", "COM1", "--from-journal", "1", "a.cf8"}, "нужен либо файл IN.cf8, либо --from-journal N"},
        {{"write", "--port", "COM1", "--from-journal", "01"}, "номер записи журнала — целое число от 1: 01"},
        {{"write", "--port", "COM1", "--", "--json"}, "Файл поврежден или не найден: --json"},
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(c.args, dir.path());
        const std::string line = c.args.join(' ').toStdString();
        const bool fileFault = r.err.contains(QStringLiteral("Файл поврежден"));
        EXPECT_EQ(r.code, fileFault ? 2 : 1) << line;
        const QString first = r.err.section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(first.startsWith(QStringLiteral("vedu-vk410ctl: ")) && first.contains(QString::fromUtf8(c.said)))
            << line << "\n" << r.err.toStdString();
        const QString help = c.args[0] == QLatin1String("frobnicate") ? QString() : QLatin1Char(' ') + c.args[0];
        if (!fileFault) {
            EXPECT_TRUE(r.err.endsWith(QStringLiteral("Справка: vedu-vk410ctl%1 --help\n").arg(help))) << line;
        }
        EXPECT_TRUE(r.out.isEmpty()) << line;
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        << "nothing written";
}

TEST(CtlFiles, HelpIsPrintedOnStandardOutput)
{
    const QStringList commands{"show", "new", "convert", "read", "write", "diff", "report", "ports", "journal"};
    QList<QStringList> cases{{"--help"}, {"-h"}, {"help"}};
    for (const QString& c : commands)
        cases << QStringList{c, "--help"} << QStringList{"help", c} << QStringList{c, "--bogus", "-h"};
    for (const QStringList& args : cases) {
        const CtlRun r = Ctl(args);
        const QString command = args.size() == 1 ? QStringLiteral("КОМАНДА")
                                                 : args[args[0] == QLatin1String("help") ? 1 : 0];
        EXPECT_EQ(r.code, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Использование: vedu-vk410ctl ") + command))
            << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
    // Without a command: the overview, as a wrong usage.
    const CtlRun bare = Ctl({});
    EXPECT_EQ(bare.code, 1);
    EXPECT_TRUE(bare.out.isEmpty());
    EXPECT_TRUE(bare.err.contains(QStringLiteral("convert IN.cf8 OUT.cf8")));
}

TEST(CtlFiles, NewSavesTheStartupConfigurationAsTheWindowWould)
{
    QTemporaryDir dir;
    for (int model : {0, 1}) {
        for (bool cxm : {false, true}) {
            const QString out = dir.filePath(QStringLiteral("n%1%2.cf8").arg(model).arg(cxm));
            QStringList args{QStringLiteral("new"), QStringLiteral("--model"), QString::number(model), out};
            if (cxm)
                args.insert(1, QStringLiteral("--cxm"));
            ASSERT_EQ(Ctl(args).code, 0);
            Configuration cfg = StartupConfiguration();
            LoadDefaults(cfg.main, unsigned(model));
            cfg.main.at(MainOff::state) = cxm;
            EXPECT_EQ(ReadAll(out).toStdString(), BuildConfigText(cfg, {}, unsigned(model)));
        }
    }
    ASSERT_EQ(Ctl({QStringLiteral("new"), QStringLiteral("--model"), QStringLiteral("0"),
                   dir.filePath(QStringLiteral("bare"))})
                  .code,
              0);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("bare.cf8"))));
}

// Every command that writes a file says which one it could not write, in the
// window's words, and why, in the system's.
TEST(CtlFiles, FailedSavesNameTheFileAndWhy)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.cf8"));
    WriteAll(in, BuildConfigText(StartupConfiguration(), {}, 0));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("adir.cf8")));
    const QString folder = dir.filePath(QStringLiteral("adir"));
    const QString missing = dir.filePath(QStringLiteral("no/such/dir.pdf"));
    const struct {
        QStringList args;
        QString file;
        const char* why;
    } cases[] = {
        {{"new", "--model", "0", folder}, folder + ".cf8", "это папка"},
        {{"convert", in, folder}, folder + ".cf8", "это папка"},
        {{"report", in, "-o", missing}, missing, "нет такой папки"},
        {{"report", in, "-o", missing.chopped(3) + "html"}, missing.chopped(3) + "html", "нет такой папки"},
#ifndef _WIN32
        {{"new", "--model", "0", in + "/x.cf8"}, in + "/x.cf8", "в пути файл вместо папки"},
#endif
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, QStringLiteral("vedu-vk410ctl: Не удалось сохранить файл: %1: %2\n").arg(c.file, c.why));
    }
}

#ifndef _WIN32
// A result that never reached standard output (a full disk) is no success.
TEST(CtlFiles, OutputThatCannotBeWrittenIsAFailure)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cf8"));
    WriteAll(file, BuildConfigText(StartupConfiguration(), {}, 0));
    for (const QStringList& args : QList<QStringList>{{"show", file}, {"show", "--json", file}, {"--help"}, {"--version"}}) {
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(VK410_CTL), args);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                  QStringLiteral("vedu-vk410ctl: не удалось вывести результат: нет места на диске\n"));
    }
}
#endif

TEST(CtlFiles, ShowPrintsJsonWithExactlyTheAgreedKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("g.cf8"));
    Configuration cfg = StartupConfiguration();
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    const GprsTexts texts{"\xE8\xED\xF2", "u", "p", "", "", ""}; // "инт" in Windows-1251
    WriteAll(path, BuildConfigText(cfg, texts, 0));

    const CtlRun r = Ctl({QStringLiteral("show"), QStringLiteral("--json"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o.keys(), (QStringList{"gprs", "gsm", "main", "model", "sim1", "sim2"}));
    EXPECT_EQ(o[QStringLiteral("model")].toInt(), 0);
    EXPECT_EQ(o[QStringLiteral("main")].toString(), QStringLiteral("08052D000F1E07170615061505140514020F8304830400FF010901"));
    EXPECT_EQ(o[QStringLiteral("gsm")].toString().size(), 154);
    // Block 3 by its payload, as main and gsm: the same for a file and a panel.
    TGprsBlock gprs;
    BuildGprsBlock(gprs, texts);
    EXPECT_EQ(o[QStringLiteral("gprs")].toString(),
              QString::fromStdString(HexString(gprs.buf.data() + 4, gprs.frameLength() - 5)));
    EXPECT_EQ(o[QStringLiteral("sim1")].toObject()[QStringLiteral("apn")].toString(), QStringLiteral("инт"));
    EXPECT_EQ(o[QStringLiteral("sim2")].toObject()[QStringLiteral("password")].toString(), QString());
}

TEST(CtlFiles, ShowPrintsTheConfigurationForAPerson)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.cf8"));
    Configuration cfg = StartupConfiguration();
    LoadDefaults(cfg.main, 1);
    cfg.main.at(MainOff::state) = 1;
    cfg.main.at(MainOff::qnt) = 12;
    SetDestinationTries(cfg.gsm, 3, 2);
    WriteAll(path, BuildConfigText(cfg, {}, 1));
    const CtlRun r = Ctl({QStringLiteral("show"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    for (const char* expected :
         {"Прибор\n  Тип прибора: VK-410QZ8NL 8 шлейфов, LCD, шина Meridian\n",
          "  ШС7\n    Тип шлейфа: Пожарный\n    Код события: 110 - ПОЖАР\n    Сброс питания: да\n",
          "  Задержка, сек\n    Вход: 30\n", "  Количество датчиков: 12\n", "  Номер прибора: 0001\n",
          "  Направление 2\n    Попытки: 3\n    SIM: 1,2\n    Протокол: Voice\n    Телефон\\Хост: +7(903)-123-45-67\n",
          "  Направление 3\n    Попытки: Выкл.\n    SIM: —\n", "  SMS 1\n    Передача SMS: Выключено\n"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(expected))) << expected << "\n" << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("SIM-карта"))); // GPRS unused
}

TEST(CtlFiles, RejectedFilesGiveTwoAndTheProgramsMessage)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.cf8"));
    const std::string good = BuildConfigText(StartupConfiguration(), {}, 0);
    std::string text = good;
    text.replace(text.find("<in>30"), 6, "<in>3x");
    WriteAll(bad, text);
    const QString truncated = dir.filePath(QStringLiteral("truncated.cf8"));
    WriteAll(truncated, good.substr(0, good.find("<delays>") + 3));
    Configuration cxm = StartupConfiguration();
    cxm.main.at(MainOff::state) = 1;
    text = BuildConfigText(cxm, {}, 0);
    const QString letters = dir.filePath(QStringLiteral("letters.cf8"));
    WriteAll(letters, text.replace(text.find("9730214365F7FFFF"), 16, "97302143\xD0\xAF\xD0\xAF" "5F7FFF"));
#ifndef _WIN32
    const QString fifo = dir.filePath(QStringLiteral("fifo.cf8"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    const QString alien = dir.filePath(QStringLiteral("alien.cf8"));
    WriteAll(alien, "<?xml version=\"1.0\"?><a/>");
    // A missing file, one that is none and a damaged one are told apart.
    const struct { QString path; QString message; } cases[] = {
        {dir.filePath(QStringLiteral("none.cf8")), QStringLiteral(": нет такого файла")},
        {bad, QStringLiteral("Файл поврежден или не найден: ") + bad +
                  QStringLiteral(": '3x' is not a valid integer value")},
        {truncated, QStringLiteral("Файл поврежден или не найден: ") + truncated +
                        QStringLiteral(": строка 19, столбец 6: файл обрывается")},
        {letters, QStringLiteral("'$ЯЯ' is not a valid integer value")},
#ifndef _WIN32 // neither read without end nor waited on
        {QStringLiteral("/dev/zero"), QStringLiteral(": не обычный файл")},
        {fifo, QStringLiteral(": не обычный файл")},
#endif
        {dir.path(), QStringLiteral(": это папка")},
        {alien, QStringLiteral(": содержимое не распознано")},
    };
    for (const auto& c : cases) {
        // write looks at its file before the port, which need not exist.
        const QList<QStringList> commands = {{"show", c.path},
                                             {"convert", c.path, dir.filePath(QStringLiteral("out.cf8"))},
                                             {"write", "--port", dir.filePath(QStringLiteral("none")), c.path}};
        for (const QStringList& args : commands) {
            const CtlRun r = Ctl(args);
            EXPECT_EQ(r.code, 2) << args[0].toStdString();
            EXPECT_TRUE(r.err.startsWith(QStringLiteral("vedu-vk410ctl: Файл поврежден или не найден: ") + c.path))
                << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.cf8"))));
}

TEST(CtlFiles, ConvertRewritesAFileInTheProgramsOwnForm)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.cf8"));
    WriteAll(in, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<cfg FileID=\"6\"><device ID=\"0\">"
                 "<loops><zone ID=\"2\" type=\"3\" CID=\"4\"/></loops></device></cfg>");
    Configuration cfg = StartupConfiguration();
    cfg.main.at(MainOff::type(2)) = 3;
    cfg.main.at(MainOff::cid(2)) = 4;
    // The window's save-as rule: ".cf8" anywhere in the name is enough; in
    // any case on Windows, whose names are case-blind.
    const struct { const char* given; const char* saved; } names[] = {
        {"out.cf8", "out.cf8"}, {"bare", "bare.cf8"}, {"out.cf8.bak", "out.cf8.bak"},
#ifdef _WIN32
        {"СКЛАД3.CF8", "СКЛАД3.CF8"},
#else
        {"out.CF8", "out.CF8.cf8"},
#endif
    };
    for (const auto& n : names) {
        ASSERT_EQ(Ctl({QStringLiteral("convert"), in, dir.filePath(QString::fromUtf8(n.given))}).code, 0);
        EXPECT_EQ(ReadAll(dir.filePath(QString::fromUtf8(n.saved))).toStdString(), BuildConfigText(cfg, {}, 0))
            << n.given;
    }
}

namespace {

QString SaveCfg(const QTemporaryDir& dir, const QString& name, const Configuration& cfg, const GprsTexts& texts = {})
{
    const QString path = dir.filePath(name);
    WriteAll(path, BuildConfigText(cfg, texts, cfg.model));
    return path;
}

Configuration WithDestination()
{
    Configuration cfg = StartupConfiguration();
    cfg.main.at(MainOff::state) = 1;
    SetDestinationTries(cfg.gsm, 3, 1);
    return cfg;
}

} // namespace

TEST(CtlFiles, DiffPrintsExactlyTheFieldsThatDiffer)
{
    QTemporaryDir dir;
    const QString a = SaveCfg(dir, QStringLiteral("a.cf8"), WithDestination());
    Configuration other = WithDestination();
    other.main.at(MainOff::type(3)) = 5;
    SetDestinationPhone(other.gsm, "79161234567", 1);
    const QString b = SaveCfg(dir, QStringLiteral("b.cf8"), other);

    CtlRun r = Ctl({QStringLiteral("diff"), a, a});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();

    r = Ctl({QStringLiteral("diff"), a, b});
    EXPECT_EQ(r.code, 5);
    EXPECT_EQ(r.out, QStringLiteral("Шлейфы / ШС3 / Тип шлейфа: \"Внутренний\" -> \"Охранный\"\n"
                                    "КСМ-GSM / Направление 1 / Телефон\\Хост: \"+7(903)-123-45-67\" -> "
                                    "\"+7(916)-123-45-67\"\n"));

    r = Ctl({QStringLiteral("diff"), QStringLiteral("--json"), a, b});
    EXPECT_EQ(r.code, 5);
    const QJsonArray diffs = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(diffs.size(), 2);
    const QJsonObject first = diffs[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"a", "b", "field", "item", "page"}));
    EXPECT_EQ(first[QStringLiteral("item")].toString(), QStringLiteral("ШС3"));
    EXPECT_EQ(first[QStringLiteral("b")].toString(), QStringLiteral("Охранный"));

    EXPECT_EQ(Ctl({QStringLiteral("diff"), a, dir.filePath(QStringLiteral("none.cf8"))}).code, 2);
}

TEST(CtlFiles, ReportPdfHoldsTheConfigurationAsText)
{
    QTemporaryDir dir;
    Configuration cfg = StartupConfiguration(1);
    const int events[] = {1, 26, 23, 4, 37, 20, 21, 225}; // 26: "137 - ТАМПЕР " with its blank
    for (int n = 1; n <= kLoopCount; ++n) {
        cfg.main.at(MainOff::type(n)) = uint8_t(n - 1);
        cfg.main.at(MainOff::cid(n)) = uint8_t(events[n - 1]);
    }
    cfg.main.at(MainOff::in) = 17;
    cfg.main.at(MainOff::out) = 42;
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    SetDeviceNum(cfg.gsm, 4321);
    const GprsTexts texts{"apn.first", "<o'k&>", "pw.first", "apn.second", "", ""};
    const QString in = SaveCfg(dir, QStringLiteral("r.cf8"), cfg, texts);
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    const CtlRun r = Ctl({QStringLiteral("report"), in, QStringLiteral("-o"), pdf, QStringLiteral("--object"),
                          QStringLiteral("Склад №3"), QStringLiteral("--installer"), QStringLiteral("Иванов И.И.")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

#ifdef _WIN32 // pdftotext is no Windows program: scripts/test-windows reads the text back
    EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF-"));
#else
    const auto pdfText = [](const QString& file) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(60000)) << "pdftotext (poppler-utils, scripts/setup) did not run";
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    const QString out = pdfText(pdf);
    QStringList expected{QStringLiteral("Карта программирования VK-410QZ8NL"), QStringLiteral("Задержка, сек"),
                         QStringLiteral("17"), QStringLiteral("42"), QStringLiteral("4321"),
                         QStringLiteral("apn.first"), QStringLiteral("apn.second"), QStringLiteral("<o'k&>"),
                         QStringLiteral("Склад №3"), QStringLiteral("Иванов И.И."), QStringLiteral("Подпись"),
                         QString::fromUtf8(kMaskedPassword), QString::fromUtf8(kNotStoredText)};
    for (const std::string& type : GetLoopTypeList())
        expected << QString::fromStdString(type);
    for (int code : events)
        expected << QString::fromStdString(GetEventList()[std::size_t(EventRowByCode(uint8_t(code)) - 1)]).trimmed();
    for (const QString& e : expected)
        EXPECT_TRUE(out.contains(e)) << e.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("pw.first"))) << "a password printed unasked";
    ASSERT_EQ(Ctl({QStringLiteral("report"), in, QStringLiteral("-o"), pdf, QStringLiteral("--passwords")}).code, 0);
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("pw.first")));
#endif

    const QString html = dir.filePath(QStringLiteral("r.html"));
    ASSERT_EQ(Ctl({QStringLiteral("report"), in, QStringLiteral("-o"), html}).code, 0);
    const QByteArray page = ReadAll(html);
    EXPECT_TRUE(page.contains("apn.second"));
    EXPECT_TRUE(page.contains("&lt;o&apos;k&amp;&gt;"));
    EXPECT_FALSE(page.contains("src=") || page.contains("href=")); // one self-contained file
    // A configuration read from a panel names its firmware.
    EXPECT_NE(ReportHtml(cfg, texts, {"01.02.2025", 12, true, false, {}, {}, {}}).find("Версия прибора: 12<br>"),
              std::string::npos);
}

// As getopt takes them: "-oFILE" and "-o=FILE" are "-o FILE".
TEST(CtlFiles, AOneLetterOptionTakesItsValueJoined)
{
    QTemporaryDir dir;
    const QString in = SaveCfg(dir, QStringLiteral("in.cf8"), StartupConfiguration());
    for (const QString& joint : {QString(), QStringLiteral("=")}) {
        const QString out = dir.filePath(QStringLiteral("r%1.html").arg(joint.size()));
        const CtlRun r = Ctl({QStringLiteral("report"), in, QStringLiteral("-o") + joint + out});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(QFile::exists(out)) << out.toStdString();
    }
}

// The machine's own ports: whatever it has, the command lists what the port box would.
TEST(CtlFiles, PortsListsWhatThePortBoxOffers)
{
    const QList<SerialPortInfo> ports = ListSerialPortInfo();
    const CtlRun json = Ctl({QStringLiteral("ports"), QStringLiteral("--json")});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(list.size(), ports.size()) << json.out.toStdString();
    const CtlRun text = Ctl({QStringLiteral("ports")});
    ASSERT_EQ(text.code, 0);
    const QStringList lines = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), ports.size());
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const QJsonObject o = list[i].toObject();
        EXPECT_EQ(o.value(QStringLiteral("name")).toString(), ports[i].name);
        EXPECT_EQ(o.value(QStringLiteral("description")).toString(), PortDescription(ports[i]));
        EXPECT_EQ(o.value(QStringLiteral("device")).toString(), DeviceForPortText(ports[i].name));
        EXPECT_TRUE(lines[i].startsWith(ports[i].name));
        EXPECT_TRUE(lines[i].endsWith(PortDescription(ports[i])));
    }
}

TEST(CtlFiles, ConvertWritesTheGprsTextsAsTheBlockCarriesThem)
{
    QTemporaryDir dir;
    Configuration cfg = StartupConfiguration();
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    const std::string utf8 = BuildConfigText(cfg, {"abXXcd", "u", "p", "apn.two", "", ""}, 0);
    const auto with = [&](const std::string& middle) {
        std::string t = utf8;
        return t.replace(t.find("XX"), 2, middle);
    };
    std::string utf16 = "\xFF\xFE"; // a NUL as U+0000
    for (char c : with(std::string(1, '\0')))
        utf16 += std::string{c, '\0'};
    std::string koi8 = with("\xC9\xCE\xD4"); // "инт"
    koi8.replace(koi8.find("utf-8"), 5, "koi8-r");
    const struct { const char* name; std::string bytes; const char* apn; } cases[] = {
        {"raw NUL", with(std::string(1, '\0')), "abcd"},
        {"U+0000", utf16, "abcd"},
        {"overlong C0 80", with("\xC0\x80"), "ab??cd"},
        {"koi8-r", koi8, "ab\xD0\xB8\xD0\xBD\xD1\x82" "cd"},
    };
    for (const auto& c : cases) {
        const QString in = dir.filePath(QStringLiteral("in.cf8"));
        const QString out = dir.filePath(QStringLiteral("out.cf8"));
        WriteAll(in, c.bytes);
        const CtlRun r = Ctl({QStringLiteral("convert"), in, out});
        ASSERT_EQ(r.code, 0) << c.name << r.err.toStdString();
        const QByteArray written = ReadAll(out);
        EXPECT_FALSE(written.contains('\0')) << c.name;
        EXPECT_TRUE(written.contains("<SIM1 APN=\"" + QByteArray(c.apn) + "\"")) << c.name;
        EXPECT_TRUE(written.contains("<SIM2 APN=\"apn.two\"")) << c.name;
    }
}
