// vedu-vk410ctl's file commands, run as the user runs them.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "files/FileOps.h"

using namespace vk410;

namespace {

struct CtlRun {
    int code = -1;
    QString out, err;
};

CtlRun Ctl(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VK410_CTL), args);
    CtlRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
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

TEST(CtlFiles, WrongUsageGivesOneAndTheUsageText)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("show")},
        {QStringLiteral("show"), QStringLiteral("--bogus"), QStringLiteral("a.cf8")},
        {QStringLiteral("show"), QStringLiteral("a.cf8"), QStringLiteral("b.cf8")},
        {QStringLiteral("new"), QStringLiteral("out.cf8")},
        {QStringLiteral("new"), QStringLiteral("--model"), QStringLiteral("2"), QStringLiteral("out.cf8")},
        {QStringLiteral("new"), QStringLiteral("--model"), QStringLiteral("x"), QStringLiteral("out.cf8")},
        {QStringLiteral("convert"), QStringLiteral("in.cf8")},
    };
    for (const QStringList& args : cases) {
        const CtlRun r = Ctl(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("convert IN.cf8 OUT.cf8"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("write --port PORT IN.cf8")));
    }
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
    const CtlRun failed = Ctl({QStringLiteral("new"), QStringLiteral("--model"), QStringLiteral("0"),
                            dir.filePath(QStringLiteral("no/such/dir.cf8"))});
    EXPECT_EQ(failed.code, 2);
    EXPECT_FALSE(failed.err.isEmpty());
}

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
    EXPECT_TRUE(o[QStringLiteral("gprs")].toString().startsWith(QStringLiteral("7E")));
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
    for (const char* expected : {"VK-410QZ8NL", "7: Пожарный, сброс питания: да, событие: 110 - ПОЖАР (4)",
                                 "Задержка на вход: 30", "Датчики Meridian: 12", "номер прибора 0001",
                                 "2: попыток 3, SIM 1,2, протокол Voice, адрес +7(903)-123-45-67",
                                 "3: выкл.\n", "SMS:\n  1: Выключено\n", "GPRS SIM2"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(expected))) << expected << "\n" << r.out.toStdString();
}

TEST(CtlFiles, RejectedFilesGiveTwoAndTheProgramsMessage)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.cf8"));
    std::string text = BuildConfigText(StartupConfiguration(), {}, 0);
    text.replace(text.find("<in>30"), 6, "<in>3x");
    WriteAll(bad, text);
    const struct { QString path; const char* message; } cases[] = {
        {dir.filePath(QStringLiteral("none.cf8")), "Файл поврежден или не найден"},
        {bad, "'3x' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        for (const char* command : {"show", "convert"}) {
            QStringList args{QString::fromLatin1(command), c.path};
            if (args[0] == QLatin1String("convert"))
                args << dir.filePath(QStringLiteral("out.cf8"));
            const CtlRun r = Ctl(args);
            EXPECT_EQ(r.code, 2) << command;
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.cf8"))));
}

TEST(CtlFiles, ConvertRewritesAFileInTheProgramsOwnForm)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.cf8"));
    const QString out = dir.filePath(QStringLiteral("out.cf8"));
    WriteAll(in, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<cfg FileID=\"6\"><device ID=\"0\">"
                 "<loops><zone ID=\"2\" type=\"3\" CID=\"4\"/></loops></device></cfg>");
    ASSERT_EQ(Ctl({QStringLiteral("convert"), in, out}).code, 0);
    Configuration cfg = StartupConfiguration();
    cfg.main.at(MainOff::type(2)) = 3;
    cfg.main.at(MainOff::cid(2)) = 4;
    EXPECT_EQ(ReadAll(out).toStdString(), BuildConfigText(cfg, {}, 0));
}
