// vedu-vk410ctl write as an installer relies on it: the panel read first and
// kept, given back byte for byte, and a write that runs to its end whatever
// signal comes or reader goes.
#include <QThread>
#include <algorithm>
#include <csignal>

#include "CtlLinkFixture.h"
#include "link/ThreadBuff.h"

using namespace vk410;
using namespace vk410::test;

namespace {

// Radio settings other than the defaults, which a file written by the
// programmer never keeps but a panel loaded from it does.
QString WithRadio(const QString& file)
{
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray text = f.readAll();
    text.replace("<keyboard>", "<radioTX><alarmsends>3</alarmsends><restoresends>2</restoresends>"
                               "<controlTime hi=\"0\" lo=\"120\"/></radioTX><keyboard>");
    f.resize(0);
    f.write(text);
    return file;
}

QJsonObject Blocks(const QJsonObject& state)
{
    QJsonObject o = state;
    o.remove(QStringLiteral("version"));
    return o;
}

QString RadioHex(const QJsonObject& state) { return state.value(QStringLiteral("main")).toString().left(8); }

} // namespace

TEST_F(CtlLink, TheBackupGivesThePanelBackEveryByteItHeldRadioIncluded)
{
    StartSim({QStringLiteral("--load"), WithRadio(MakeFile(QStringLiteral("panel.cf8"), 44)),
              QStringLiteral("--no-pacing")});
    ASSERT_TRUE(WaitFor([&] { return !State().isEmpty(); }, 10000));
    const QJsonObject before = State();
    ASSERT_EQ(RadioHex(before), QStringLiteral("0302") + QStringLiteral("7800"));

    // A file keeps no radio settings: the panel keeps its own.
    const Result w = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link,
                             MakeFile(QStringLiteral("other.cf8"), 21)});
    ASSERT_EQ(w.exitCode, 0) << w.errLines.join('\n').toStdString();
    EXPECT_EQ(w.errLines.value(1), QStringLiteral("Чтение прибора перед записью"));
    EXPECT_EQ(RadioHex(State()), RadioHex(before));
    EXPECT_EQ(State().value(QStringLiteral("main")).toString().mid(8, 2), QStringLiteral("15"));

    // Entry 1 is the write, 2 the read before it.
    const QJsonObject backup = Journal().at(1).toObject();
    ASSERT_EQ(backup.value("operation"), "backup");
    EXPECT_EQ(Blocks(Json(Bytes(backup.value("bytes").toString()))), Blocks(before));
    const Result back = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, QStringLiteral("--from-journal"),
                                QStringLiteral("2")});
    ASSERT_EQ(back.exitCode, 0) << back.errLines.join('\n').toStdString();
    EXPECT_EQ(Blocks(State()), Blocks(before));

    // Without the backup the write is the rules' own: the file's radio bytes go out.
    ASSERT_EQ(RunCtl({QStringLiteral("write"), QStringLiteral("--no-backup"), QStringLiteral("--port"), link,
                      MakeFile(QStringLiteral("third.cf8"), 21)})
                  .exitCode,
              0);
    EXPECT_NE(RadioHex(State()), RadioHex(before));
    EXPECT_EQ(RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, QStringLiteral("--from-journal"),
                      QStringLiteral("99")})
                  .exitCode,
              2);
}

TEST_F(CtlLink, ASignalDuringAWriteWaitsForItsEndAndASecondInterruptCutsIt)
{
    const QString file = MakeFile(QStringLiteral("new.cf8"), 33);
    const struct {
        const char* name;
        std::vector<int> sent; // the signals
        const char* after; // the progress line they follow
        int exitCode;
    } rows[] = {
        {"TERM in the backup", {SIGTERM}, "Чтение прибора перед записью", 0},
        {"INT in block 1", {SIGINT}, "Запись основной конфигурации", 0},
        {"HUP in block 2", {SIGHUP}, "Запись настроек GSM", 0},
        {"INT twice", {SIGINT, SIGINT}, "Запись основной конфигурации", 130},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(state);
        StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
        const int entries = int(Journal().size());
        QProcess ctl;
        // The second interrupt leaves the exchange's thread behind on purpose.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TSAN_OPTIONS"),
                   env.value(QStringLiteral("TSAN_OPTIONS")) + QStringLiteral(" report_thread_leaks=0"));
        ctl.setProcessEnvironment(env);
        ctl.start(QStringLiteral(VK410_CTL), {QStringLiteral("write"), QStringLiteral("--port"), link, file});
        QString err;
        ASSERT_TRUE(WaitFor([&] {
            err += QString::fromUtf8(ctl.readAllStandardError());
            return err.contains(QString::fromUtf8(row.after)) || ctl.state() == QProcess::NotRunning;
        }, 20000));
        for (const int sig : row.sent) {
            ::kill(pid_t(ctl.processId()), sig);
            QThread::msleep(50);
        }
        ASSERT_TRUE(ctl.waitForFinished(30000));
        err += QString::fromUtf8(ctl.readAllStandardError());
        EXPECT_EQ(ctl.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(ctl.exitCode(), row.exitCode) << err.toStdString();
        if (row.exitCode == 0) {
            EXPECT_TRUE(err.contains(QStringLiteral("запись будет доведена до конца"))) << err.toStdString();
            EXPECT_TRUE(err.endsWith(QStringLiteral("Настройки записаны\n")));
            EXPECT_EQ(State().value(QStringLiteral("main")).toString().mid(8, 2), QStringLiteral("21"));
            EXPECT_EQ(Journal().size(), entries + 2) << "the backup and the write";
        } else {
            EXPECT_TRUE(err.endsWith(QStringLiteral("прибор может остаться записанным не полностью\n")));
        }
        StopSim();
    }
}

TEST_F(CtlLink, AReaderThatGoesAwayNeverCutsAWrite)
{
    StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
    const QString script = QStringLiteral("'%1' write --port '%2' '%3' 2>&1 | head -n 2")
                               .arg(QStringLiteral(VK410_CTL), link, MakeFile(QStringLiteral("new.cf8"), 33));
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    ASSERT_TRUE(sh.waitForFinished(30000));
    // head is gone long before the write ends; the write is not.
    ASSERT_TRUE(WaitFor([&] { return Journal().size() == 2; }, 20000));
    EXPECT_EQ(Journal().at(0).toObject().value("outcome"), 0);
    EXPECT_EQ(State().value(QStringLiteral("main")).toString().mid(8, 2), QStringLiteral("21"));
}

// Each fault of the panel is named, on the line after the rules' outcome text.
TEST_F(CtlLink, EveryFailureSaysWhyInTheLineAfterTheOutcome)
{
    const QString file = MakeFile(QStringLiteral("new.cf8"), 33);
    const struct {
        const char* fault;
        const char* command;
        const char* said;
    } rows[] = {
        {"silent", "read", "не ответил ни одним байтом"},
        {"bad-crc", "read", "неверным контрольным байтом"},
        {"extra-byte", "read", "длиннее, чем говорит его байт длины"},
        {"flood", "read", "кадра в них нет"},
        {"one-byte", "read", "оборвался"},
        {"wrong-model", "read", "код модели 5"},
        {"bad-echo", "write", "Эхо блока 1 отличается в байте данных 0 («Радиоканал / "},
        {"hangup", "read", "Порт пропал"},
        {"module-silent", "read", "модуль КСМ — нет"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fault);
        StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing"),
                  QStringLiteral("--fault"), QString::fromLatin1(row.fault)});
        const bool write = QLatin1String(row.command) == QLatin1String("write");
        QStringList args = {QString::fromLatin1(row.command), QStringLiteral("--port"), link, QStringLiteral("--trace")};
        if (write)
            args << file;
        const Result r = RunCtl(args);
        EXPECT_EQ(r.exitCode, 3);
        const qsizetype outcome = r.errLines.lastIndexOf(write ? StatusText::WriteFailed : StatusText::ReadFailed);
        ASSERT_GE(outcome, 0) << r.errLines.join('\n').toStdString();
        EXPECT_TRUE(r.errLines.value(outcome + 1).contains(QString::fromUtf8(row.said)))
            << r.errLines.value(outcome + 1).toStdString();
        const QString request = QStringLiteral("мс  →  длина 10, чтение, блок 1, контрольный байт верный: "
                                               "7E 0A 52 01 00 00 00 00 00 E3");
        EXPECT_TRUE(std::any_of(r.errLines.begin(), r.errLines.end(),
                                [&](const QString& l) { return l.endsWith(request); }));
        // The journal keeps the same words, and the record beside the entry.
        const QJsonObject e = Journal().at(write ? 1 : 0).toObject();
        EXPECT_EQ(e.value("diagnosis").toString(), r.errLines.value(outcome + 1));
        EXPECT_TRUE(Bytes(e.value("trace").toString()).contains(write ? "→  длина 33, запись, блок 1" : "7E 0A 52 01"));
        StopSim();
    }
}
