// vedu-vk410ctl read and write against vk410-panel-sim, both as processes,
// and the journal they leave.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "CtlLinkFixture.h"
#include "kit/SettingsPaths.h"
#include "ProgramVersion.h"
#include "link/CPDrv.h"
#include "link/ThreadBuff.h"
#include "link/WriteSession.h"

using namespace vk410;
using namespace vk410::test;

TEST_F(CtlLink, ReadPrintsThePanelsJsonAndSavesTheFile)
{
    StartSim({QStringLiteral("--load"), MakeFile(QStringLiteral("panel.cf8"), 44), QStringLiteral("--firmware"),
              QStringLiteral("3"), QStringLiteral("--no-pacing")});
    // Saved as the window's save-as saves: ".cf8" appended.
    const QString out = dir.filePath(QStringLiteral("out"));
    const Result r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link, QStringLiteral("-o"), out,
                             QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.errLines.join('\n').toStdString();
    EXPECT_EQ(Json(r.out.toUtf8()), State());
    EXPECT_EQ(State().value(QStringLiteral("version")).toInt(), 3);
    EXPECT_EQ(r.errLines.value(0), QStringLiteral("Порт %1 -> %2").arg(link, slave));
    EXPECT_EQ(r.errLines.value(1), QStringLiteral("Порт открыт"));
    EXPECT_EQ(r.errLines.back(), QStringLiteral("Настройки прочитаны, версия прибора - 3"));
    Configuration saved = StartupConfiguration();
    GprsTexts texts;
    ASSERT_EQ(OpenConfigFile(out + QStringLiteral(".cf8"), saved, texts), 1);
    EXPECT_EQ(saved.main.at(MainOff::out), 44);
    EXPECT_EQ(texts.apn2, "apn.two");
}

// The same settings give the same JSON, from the panel as from a file, frames included.
TEST_F(CtlLink, ReadAndShowPrintTheSameJson)
{
    const QString file = MakeFile(QStringLiteral("panel.cf8"), 44);
    StartSim({QStringLiteral("--load"), file, QStringLiteral("--no-pacing")});
    for (const QStringList& extra : {QStringList{}, QStringList{QStringLiteral("--frames")}}) {
        const Result read = RunCtl(QStringList{QStringLiteral("read"), QStringLiteral("--port"), link,
                                               QStringLiteral("--json")} + extra);
        const Result show = RunCtl(QStringList{QStringLiteral("show"), QStringLiteral("--json"), file} + extra);
        ASSERT_EQ(read.exitCode, 0) << read.errLines.join('\n').toStdString();
        QJsonObject fromPanel = Json(read.out.toUtf8());
        EXPECT_EQ(fromPanel.take(QStringLiteral("version")).toInt(), 1);
        EXPECT_EQ(fromPanel, Json(show.out.toUtf8())) << read.out.toStdString() << show.out.toStdString();
        EXPECT_FALSE(fromPanel.value(QStringLiteral("gprs")).toString().isEmpty());
    }
}

TEST_F(CtlLink, WriteStoresTheFileInThePanel)
{
    StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
    const Result r = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link,
                             MakeFile(QStringLiteral("in.cf8"), 21)});
    ASSERT_EQ(r.exitCode, 0) << r.errLines.join('\n').toStdString();
    EXPECT_EQ(r.errLines.back(), QStringLiteral("Настройки записаны"));
    const QJsonObject s = State();
    EXPECT_EQ(s.value(QStringLiteral("sim2")).toObject().value(QStringLiteral("apn")).toString(),
              QStringLiteral("apn.two"));
    // The exit delay is payload byte 4: hex digits 8..9 of "main".
    EXPECT_EQ(s.value(QStringLiteral("main")).toString().mid(8, 2), QStringLiteral("15"));
}

TEST_F(CtlLink, DiffWithThePanelReadsAndNeverWrites)
{
    const QString panelFile = MakeFile(QStringLiteral("panel.cf8"), 44);
    StartSim({QStringLiteral("--load"), panelFile, QStringLiteral("--firmware"), QStringLiteral("7"),
              QStringLiteral("--no-pacing")});
    QFile stateFile(state);
    // Written once the panel runs, and again after every accepted write.
    ASSERT_TRUE(test::WaitFor([&] { return !State().isEmpty(); }, 10000));
    ASSERT_TRUE(stateFile.open(QIODevice::ReadOnly));
    const QByteArray before = stateFile.readAll();
    stateFile.close();

    Result r = RunCtl({QStringLiteral("diff"), QStringLiteral("--port"), link, MakeFile(QStringLiteral("b.cf8"), 21)});
    EXPECT_EQ(r.exitCode, 5) << r.errLines.join('\n').toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Шлейфы / Задержка, сек / Выход: \"44\" -> \"21\"\n"));
    EXPECT_EQ(r.errLines.value(1), QStringLiteral("Порт открыт"));
    EXPECT_EQ(r.errLines.back(), QStringLiteral("Настройки прочитаны, версия прибора - 7"));
    r = RunCtl({QStringLiteral("diff"), QStringLiteral("--port"), link, panelFile});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());

    ASSERT_TRUE(stateFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(stateFile.readAll(), before);
}

TEST_F(CtlLink, NulInAGprsTextNeverReachesThePanel)
{
    StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
    QFile file(MakeFile(QStringLiteral("nul.cf8"), 21));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    text.replace("apn.one", QByteArray("apn\0one", 7));
    ASSERT_TRUE(file.resize(0) && file.write(text) == text.size());
    file.close();
    const Result r = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, file.fileName()});
    ASSERT_EQ(r.exitCode, 0) << r.errLines.join('\n').toStdString();
    // Each text as the panel reads it back: none shifted into the next.
    const QJsonObject s = State();
    EXPECT_EQ(s.value(QStringLiteral("sim1")).toObject().value(QStringLiteral("apn")).toString(), "apnone");
    EXPECT_EQ(s.value(QStringLiteral("sim1")).toObject().value(QStringLiteral("user")).toString(), "u1");
    EXPECT_EQ(s.value(QStringLiteral("sim2")).toObject().value(QStringLiteral("apn")).toString(), "apn.two");
}

// The file keeps an over-long GPRS text whole; opening it says what the panel gets.
TEST_F(CtlLink, OverlongGprsTextsAreSaidToBeCut)
{
    StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
    Configuration cfg = StartupConfiguration(1);
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    const std::string apn(200, 'a'), user(40, '\xE6'); // 40 times "ж" in Windows-1251
    const QString file = dir.filePath(QStringLiteral("long.cf8"));
    ASSERT_TRUE(SaveConfigFile(file, cfg, {apn, user, "p", "apn.two", "", ""}, 1));
    const QStringList said = {file + QStringLiteral(": SIM-карта №1: APN обрезан до 31 символа (было 200)"),
                              file + QStringLiteral(": SIM-карта №1: Пользователь обрезан до 31 символа (было 40)")};
    for (const QStringList& args : {QStringList{QStringLiteral("show"), file},
                                    QStringList{QStringLiteral("write"), QStringLiteral("--port"), link, file}}) {
        const Result r = RunCtl(args);
        EXPECT_EQ(r.exitCode, 0) << r.errLines.join('\n').toStdString();
        const QStringList expected{QStringLiteral("vedu-vk410ctl: ") + said[0], QStringLiteral("vedu-vk410ctl: ") + said[1]};
        EXPECT_EQ(r.errLines.mid(0, 2), expected);
    }
    const QJsonObject sim1 = State().value(QStringLiteral("sim1")).toObject();
    EXPECT_EQ(sim1.value(QStringLiteral("apn")).toString(), QString(31, QLatin1Char('a')));
    EXPECT_EQ(sim1.value(QStringLiteral("user")).toString(), QString(31, QChar(0x436)));
}

TEST_F(CtlLink, FailuresGiveTheirExitCodesAndOutcomeTextLast)
{
    StartSim({QStringLiteral("--fault"), QStringLiteral("silent"), QStringLiteral("--no-pacing")});
    Result r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link, QStringLiteral("--json")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.isEmpty());
    const QString noBytes = QStringLiteral("Прибор не ответил ни одним байтом: проверьте порт, кабель и питание прибора");
    EXPECT_EQ(r.errLines.mid(r.errLines.size() - 2),
              (QStringList{QStringLiteral("Нет связи, проверьте соединение или тип прибора"), noBytes}));
    // A write reads the panel first: a panel that does not answer gets nothing.
    const QString w = MakeFile(QStringLiteral("w.cf8"), 5);
    r = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, w});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.errLines.mid(r.errLines.size() - 3),
              (QStringList{QStringLiteral("Нет связи, проверьте соединение или тип прибора"), noBytes,
                           QStringLiteral("Запись не начата: прибор не прочитан")}));
    r = RunCtl({QStringLiteral("write"), QStringLiteral("--no-backup"), QStringLiteral("--port"), link, w});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.errLines.mid(r.errLines.size() - 4),
              (QStringList{QStringLiteral("Есть ошибки записи. Проверьте тип прибора"), noBytes,
                           QStringLiteral("Не удалось записать: основная конфигурация"),
                           QStringLiteral("Не отправлено: настройки GSM, настройки GPRS")}));
    // The device meant, the box's text, then why.
    const QString missing = dir.filePath(QStringLiteral("no-such-port"));
    for (const auto& [port, device] : {std::pair{missing, missing}, std::pair{QStringLiteral("COM99"),
                                                                           QStringLiteral("/dev/ttyS98")}}) {
        r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), port});
        EXPECT_EQ(r.exitCode, 4);
        EXPECT_EQ(r.errLines.value(0), port == device ? QStringLiteral("Порт ") + port
                                                      : QStringLiteral("Порт %1 -> %2").arg(port, device));
        EXPECT_EQ(r.errLines.value(1), QString(StatusText::PortFailedText).replace(QStringLiteral("\r\n"), " "));
        EXPECT_EQ(r.errLines.value(2), QStringLiteral("Устройство %1 не найдено").arg(device));
    }
    TCommPortDriver holder;
    holder.SetPortName(slave);
    holder.SetBaudRateValue(2400);
    ASSERT_TRUE(holder.OpenPort());
    r = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, MakeFile(QStringLiteral("h.cf8"), 5)});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.errLines.back(), QStringLiteral("Порт %1 занят другой программой").arg(link));
    holder.ClosePort();
    r = RunCtl({QStringLiteral("read")});
    EXPECT_EQ(r.exitCode, 1);
    r = RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, dir.filePath(QStringLiteral("missing.cf8"))});
    EXPECT_EQ(r.exitCode, 2);
}

// A terminal used as the port is left as it was found, not at 2400 baud raw.
TEST_F(CtlLink, ThePortsTerminalSettingsComeBackAfterTheExchange)
{
    StartSim({QStringLiteral("--no-pacing")});
    const int fd = ::open(QFile::encodeName(slave).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    tio.c_lflag |= ICANON | ECHO;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
    const Result r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link});
    EXPECT_EQ(r.exitCode, 0) << r.errLines.join('\n').toStdString();
    termios after{};
    ASSERT_EQ(::tcgetattr(fd, &after), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&after), speed_t(B9600));
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO), tcflag_t(ICANON | ECHO));
}

// Every reply as late as the waits allow, at the line rate and without it.
TEST_F(CtlLink, ALatePanelIsReadAndWrittenAsAnyOther)
{
    const QString file = MakeFile(QStringLiteral("late.cf8"), 21);
    for (const bool paced : {true, false}) {
        QStringList args{QStringLiteral("--load"), file, QStringLiteral("--fault"), QStringLiteral("late")};
        if (!paced)
            args << QStringLiteral("--no-pacing");
        StartSim(args);
        for (const QString& command : {QStringLiteral("read"), QStringLiteral("write")}) {
            QStringList ctl{command, QStringLiteral("--port"), link, QStringLiteral("--no-journal")};
            if (command == QLatin1String("write"))
                ctl << file;
            const Result r = RunCtl(ctl);
            EXPECT_EQ(r.exitCode, 0) << (paced ? "paced " : "") << command.toStdString() << "\n"
                                     << r.errLines.join('\n').toStdString();
        }
        StopSim();
    }
}

TEST_F(CtlLink, PanelProcessKilledMidExchangeEndsInFailure)
{
    StartSim({QStringLiteral("--load"), MakeFile(QStringLiteral("panel.cf8"), 9)}); // paced
    QProcess ctl;
    ctl.start(QStringLiteral(VK410_CTL), {QStringLiteral("read"), QStringLiteral("--port"), link});
    ASSERT_TRUE(ctl.waitForStarted());
    // Once the first reply has arrived, the panel goes away.
    QByteArray err;
    ASSERT_TRUE(test::WaitFor(
        [&] {
            err += ctl.readAllStandardError();
            return err.contains("Проверка данных") || ctl.state() == QProcess::NotRunning;
        },
        20000));
    sim.kill();
    sim.waitForFinished();
    ASSERT_TRUE(ctl.waitForFinished(30000));
    EXPECT_EQ(ctl.exitCode(), 3);
}


TEST_F(CtlLink, EachReadAndWriteLeavesOneJournalEntryWithWhatWasReadOrSent)
{
    const QString panelFile = MakeFile(QStringLiteral("panel.cf8"), 44);
    StartSim({QStringLiteral("--load"), panelFile, QStringLiteral("--firmware"), QStringLiteral("3"),
              QStringLiteral("--no-pacing")});
    const QString out = dir.filePath(QStringLiteral("out.cf8"));
    ASSERT_EQ(RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link, QStringLiteral("-o"), out}).exitCode, 0);
    ASSERT_EQ(RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, panelFile}).exitCode, 0);
    ASSERT_EQ(RunCtl({QStringLiteral("diff"), QStringLiteral("--port"), link, panelFile}).exitCode, 0);
    // Switched off, an exchange leaves nothing.
    const QString off = QStringLiteral("--no-journal");
    EXPECT_EQ(RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link, off}).exitCode, 0);
    EXPECT_EQ(RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, off, panelFile}).exitCode, 0);
    EXPECT_EQ(RunCtl({QStringLiteral("diff"), QStringLiteral("--port"), link, off, panelFile}).exitCode, 0);

    const QJsonArray entries = Journal();
    ASSERT_EQ(entries.size(), 4);
    const QStringList keys = {"bytes", "device", "diagnosis", "file", "model", "operation",
                              "outcome", "port", "text", "time", "trace", "version"};
    for (const QJsonValue& v : entries)
        EXPECT_EQ(v.toObject().keys(), keys);
    const QJsonObject compare = entries[0].toObject(), write = entries[1].toObject(),
                      backup = entries[2].toObject(), read = entries[3].toObject();
    EXPECT_EQ(read.value("operation"), "read");
    EXPECT_EQ(backup.value("operation"), "backup");
    EXPECT_EQ(write.value("operation"), "write");
    EXPECT_EQ(compare.value("operation"), "compare");
    EXPECT_EQ(Bytes(backup.value("file").toString()), Bytes(out)) << "what the panel held before the write";
    for (const QJsonObject& e : {read, backup, write, compare}) {
        EXPECT_EQ(e.value("port"), link);
        EXPECT_EQ(e.value("device"), slave); // the device opened, not the link to it
        EXPECT_EQ(e.value("model"), 1);
        EXPECT_EQ(e.value("version"), 3);
        EXPECT_EQ(e.value("outcome"), 0);
        EXPECT_TRUE(QDateTime::fromString(e.value("time").toString(), Qt::ISODate).isValid());
        EXPECT_TRUE(QRegularExpression("[+-]\\d\\d:\\d\\d$").match(e.value("time").toString()).hasMatch());
        EXPECT_TRUE(QFileInfo(e.value("file").toString()).isAbsolute());
    }
    EXPECT_EQ(read.value("text"), "Настройки прочитаны, версия прибора - 3");
    EXPECT_EQ(write.value("text"), "Настройки записаны");
    EXPECT_EQ(Bytes(read.value("file").toString()), Bytes(out));
    EXPECT_EQ(Bytes(write.value("file").toString()), Bytes(panelFile));

    const Result listed = RunCtl({QStringLiteral("journal")});
    const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "2\t" + write.value("time").toString() + "\tзапись\t" + link + "\tVK-410QZ8NL\t3\tНастройки записаны");
    EXPECT_TRUE(lines[0].startsWith("1\t") && lines[0].contains("\tсравнение\t"));
    EXPECT_TRUE(lines[2].contains("\tчтение перед записью\t"));
}

TEST_F(CtlLink, FailedExchangesKeepWhatWasTakenOrSentAndSayWhatThePanelConfirmed)
{
    // No module answers: block 1 goes through, block 2 does not.
    StartSim({QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--no-pacing")});
    const QString sent = MakeFile(QStringLiteral("cxm.cf8"), 12);
    EXPECT_EQ(RunCtl({QStringLiteral("write"), QStringLiteral("--port"), link, sent}).exitCode, 3);
    // The backup, the write, and the rollback that gave the panel back the backup.
    QJsonObject e = Journal().at(1).toObject();
    EXPECT_EQ(e.value("operation"), "write");
    EXPECT_EQ(e.value("outcome"), 4);
    EXPECT_EQ(e.value("text"), "Есть ошибки записи. Проверьте тип прибора. Подтверждено прибором: основная конфигурация");
    EXPECT_EQ(Bytes(e.value("file").toString()), Bytes(sent));
    const QJsonObject backup = Journal().at(2).toObject(), rollback = Journal().at(0).toObject();
    EXPECT_EQ(backup.value("operation"), "backup");
    EXPECT_EQ(rollback.value("operation"), "rollback");
    EXPECT_EQ(rollback.value("outcome"), 0);
    EXPECT_EQ(Bytes(rollback.value("file").toString()), Bytes(backup.value("file").toString()));
    StopSim();

    StartSim({QStringLiteral("--fault"), QStringLiteral("silent"), QStringLiteral("--no-pacing")});
    EXPECT_EQ(RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link}).exitCode, 3);
    e = Journal().at(0).toObject();
    EXPECT_EQ(e.value("outcome"), 3);
    EXPECT_EQ(e.value("text"), "Нет связи, проверьте соединение или тип прибора");
    EXPECT_TRUE(e.value("model").isNull());
    EXPECT_TRUE(e.value("version").isNull());
    EXPECT_EQ(e.value("file"), "");
    StopSim();

    // The hang-up comes in block 2: block 1 is kept, the rest is as a new panel has it.
    StartSim({QStringLiteral("--load"), MakeFile(QStringLiteral("hang.cf8"), 77), QStringLiteral("--fault"),
              QStringLiteral("hangup"), QStringLiteral("--no-pacing")});
    EXPECT_EQ(RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link}).exitCode, 3);
    e = Journal().at(0).toObject();
    EXPECT_EQ(e.value("outcome"), 3);
    EXPECT_EQ(e.value("model"), 1);
    Configuration kept = StartupConfiguration();
    GprsTexts texts;
    ASSERT_EQ(OpenConfigFile(e.value("file").toString(), kept, texts), 1);
    EXPECT_EQ(kept.main.at(MainOff::out), 77);
    EXPECT_EQ(DeviceNum(kept.gsm), DeviceNum(StartupConfiguration().gsm));
    EXPECT_EQ(Journal().size(), 5);
}

namespace {

// Root writes into any folder: the program then runs as nobody.
void AsNobodyWhenRoot()
{
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(99);
}

} // namespace

// Each says why, none hangs or is killed, and the exchange's own outcome stands.
TEST_F(CtlLink, AJournalThatCannotBeWrittenSaysWhyAndNeverFailsTheExchange)
{
    StartSim({QStringLiteral("--model"), QStringLiteral("0"), QStringLiteral("--no-pacing")});
    const QString journal = dir.filePath(QStringLiteral("data/") + vk410::test::JournalFolderName());
    const QString index = journal + QStringLiteral("/index.jsonl");
    const auto fresh = [&] {
        QDir(dir.filePath(QStringLiteral("data"))).removeRecursively();
        return QDir().mkpath(journal);
    };
    const struct {
        const char* name;
        std::function<bool()> prepare;
        std::function<void()> inChild;
        QString said; // after "запись журнала не сохранена: "
    } cases[] = {
        {"a file in the folder's place",
         [&] { return fresh() && QDir(journal).removeRecursively() && QFile(journal).open(QIODevice::WriteOnly); },
         {}, QStringLiteral("не удалось создать папку %1: на этом месте уже есть файл").arg(journal)},
        {"a FIFO as the index", [&] { return fresh() && ::mkfifo(QFile::encodeName(index).constData(), 0600) == 0; },
         {}, QStringLiteral("не удалось дополнить файл %1: не обычный файл").arg(index)},
        {"a file-size limit", fresh,
         [] {
             const rlimit limit{100, 100}; // a cf8 has some hundred bytes
             ::setrlimit(RLIMIT_FSIZE, &limit);
         },
         QStringLiteral("не удалось записать файл %1/").arg(journal)},
        {"a read-only folder",
         [&] {
             // nobody must reach the folder and the port, not write there.
             for (QString d = journal; d.startsWith(dir.path()); d = QFileInfo(d).path())
                 ::chmod(QFile::encodeName(d).constData(), d == journal ? 0555 : 0755);
             return ::chmod(QFile::encodeName(slave).constData(), 0666) == 0 || ::geteuid() != 0;
         },
         AsNobodyWhenRoot, QStringLiteral("не удалось записать в папку %1: нет доступа").arg(journal)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.prepare()) << c.name;
        const Result r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), slave, QStringLiteral("--json")},
                                c.inChild);
        EXPECT_EQ(r.exitCode, 0) << c.name << "\n" << r.errLines.join('\n').toStdString();
        EXPECT_EQ(Json(r.out.toUtf8()).value("model"), 0) << c.name;
        const QString said = QStringLiteral("vedu-vk410ctl: запись журнала не сохранена: ") + c.said;
        EXPECT_TRUE(std::any_of(r.errLines.begin(), r.errLines.end(), [&](const QString& l) { return l.startsWith(said); }))
            << c.name << "\n" << r.errLines.join('\n').toStdString();
    }
    // The FIFO again: listing the journal neither hangs.
    ASSERT_TRUE(fresh() && ::mkfifo(QFile::encodeName(index).constData(), 0600) == 0);
    const Result listed = RunCtl({QStringLiteral("journal")});
    EXPECT_EQ(listed.exitCode, 2);
    EXPECT_TRUE(listed.errLines.value(0).endsWith(QStringLiteral(": не обычный файл")));
    const Result r = RunCtl({QStringLiteral("read"), QStringLiteral("--port"), link, QStringLiteral("--no-journal")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.errLines.back(), QStringLiteral("Настройки прочитаны, версия прибора - 1"));
}

// Twenty programmers reading twenty panels end together: each keeps its entry.
TEST_F(CtlLink, TwentyProgramsFinishingTogetherEachKeepTheirEntry)
{
    constexpr int kCount = 20;
    std::vector<std::unique_ptr<QProcess>> panels, programs;
    for (int i = 0; i < kCount; ++i) {
        panels.push_back(std::make_unique<QProcess>());
        panels.back()->start(QStringLiteral(VK410_SIM), {QStringLiteral("--model"), QStringLiteral("1"),
                                                         QStringLiteral("--cxm"), QStringLiteral("--no-pacing")});
    }
    for (auto& panel : panels) {
        ASSERT_TRUE(test::WaitFor([&] { return panel->canReadLine() || panel->waitForReadyRead(50); }, 10000));
        const QString port = QString::fromUtf8(panel->readLine()).trimmed();
        programs.push_back(std::make_unique<QProcess>());
        programs.back()->start(QStringLiteral(VK410_CTL), {QStringLiteral("read"), QStringLiteral("--port"), port});
    }
    for (auto& p : programs) {
        EXPECT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_FALSE(p->readAllStandardError().contains("журнал"));
    }
    for (auto& panel : panels) {
        panel->terminate();
        panel->waitForFinished();
    }
    EXPECT_EQ(Journal().size(), kCount);
}

// Started with its standard output and error closed, a program never lets
// its messages reach the port in their place.
TEST_F(CtlLink, ClosedStandardDescriptorsNeverBecomeThePort)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString port = QString::fromLocal8Bit(::ptsname(master));
    QProcess p;
    p.setChildProcessModifier([] {
        ::close(1);
        ::close(2);
    });
    p.start(QStringLiteral(VK410_CTL), {QStringLiteral("read"), QStringLiteral("--port"), port});
    QByteArray line;
    while (!p.waitForFinished(20)) {
        char buf[512];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0)
            line.append(buf, qsizetype(n));
    }
    ::close(master);
    uint8_t request[kReqSize];
    BuildReadRequest(request, 1);
    EXPECT_EQ(line, QByteArray(reinterpret_cast<const char*>(request), kReqSize)) << line.toStdString();
    EXPECT_EQ(p.exitCode(), 3);
}

// A write that ends before every block was confirmed says what the panel holds.
TEST_F(CtlLink, AFailedWriteSaysWhichBlocksThePanelConfirmed)
{
    const QString file = MakeFile(QStringLiteral("w.cf8"), 21);
    QFile noApn(dir.filePath(QStringLiteral("no-apn.cf8")));
    {
        QFile source(file);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly) && noApn.open(QIODevice::WriteOnly));
        noApn.write(source.readAll().replace("apn.one", "").replace("apn.two", ""));
    }
    noApn.close();
    const QString refusal = StatusText::NoGprsSettings;
    const QString noBackup = QStringLiteral("--no-backup");
    const QString noModule = QStringLiteral("Прибор ответил, а модуль КСМ — нет: в настройках прибора модуль подключен. "
                                            "Снимите «Модуль КСМ подключен» и запишите прибор");
    const QString badEcho = QStringLiteral("Эхо блока 1 отличается в байте данных 0 («Радиоканал / Число посылок по "
                                           "тревоге»): записано 8, прибор вернул 9");
    const struct {
        const char* name;
        QStringList sim;
        QStringList options;
        QString file;
        QStringList lastLines;
        const char* exitDelay; // the panel's afterwards, hex
    } cases[] = {
        // No module in the panel: block 1 goes in, block 2 finds nobody; the
        // backup goes back in.
        {"partly", {QStringLiteral("--model"), QStringLiteral("1")}, {}, file,
         {StatusText::WriteDone, StatusText::WriteFailed, noModule, QStringLiteral("Не удалось записать: настройки GSM"),
          StatusText::RolledBack},
         "0F"},
        {"partly without backup", {QStringLiteral("--model"), QStringLiteral("1")}, {noBackup}, file,
         {StatusText::GsmWriteFailed, StatusText::WriteFailed, noModule, QStringLiteral("Не удалось записать: настройки GSM"),
          QStringLiteral("Подтверждено прибором: основная конфигурация"),
          QStringLiteral("Не отправлено: настройки GPRS")},
         "15"},
        // The GSM text covers block 3 too: the line after it names the block.
        {"block 3 only",
         {QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm"), QStringLiteral("--fault"),
          QStringLiteral("bad-gprs-echo")},
         {noBackup}, file,
         {StatusText::GsmWriteFailed, StatusText::WriteFailed,
          QStringLiteral("Эхо блока 3 отличается в байте данных 0: записано 14, прибор вернул 15"),
          QStringLiteral("Не удалось записать: настройки GPRS"),
          QStringLiteral("Подтверждено прибором: основная конфигурация, настройки GSM")},
         "15"},
        // The panel takes what it echoes wrongly: the rollback is echoed wrongly too.
        {"bad echo",
         {QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--fault"), QStringLiteral("bad-echo")}, {},
         file,
         {StatusText::WriteFailed, badEcho, QStringLiteral("Не удалось записать: основная конфигурация"),
          StatusText::RollbackFailed, QStringLiteral("Не подтверждено: основная конфигурация")},
         "0F"},
        {"bad echo without backup",
         {QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--fault"), QStringLiteral("bad-echo")},
         {noBackup}, file,
         {StatusText::MainWriteErrors, StatusText::WriteFailed, badEcho,
          QStringLiteral("Не удалось записать: основная конфигурация"),
          QStringLiteral("Не отправлено: настройки GSM, настройки GPRS")},
         "15"},
        // Refused before anything is sent: the refusal is the outcome.
        {"refused", {QStringLiteral("--model"), QStringLiteral("1"), QStringLiteral("--cxm")}, {}, noApn.fileName(),
         {StatusText::PortOpen, refusal}, "0F"},
        // Another model in the panel: nothing is sent.
        {"other model", {QStringLiteral("--model"), QStringLiteral("0")}, {}, file,
         {StatusText::ReadDone + "1", StatusText::ModelRefused(0, 1)}, "0F"},
    };
    for (const auto& c : cases) {
        QFile::remove(state);
        StartSim(c.sim + QStringList{QStringLiteral("--no-pacing")});
        ASSERT_TRUE(test::WaitFor([&] { return !State().isEmpty(); }, 10000));
        const Result r = RunCtl(QStringList{QStringLiteral("write"), QStringLiteral("--port"), link} + c.options +
                                QStringList{c.file});
        EXPECT_EQ(r.exitCode, 3) << c.name;
        EXPECT_EQ(r.errLines.mid(r.errLines.size() - c.lastLines.size()), c.lastLines)
            << c.name << "\n" << r.errLines.join('\n').toStdString();
        EXPECT_EQ(State().value(QStringLiteral("main")).toString().mid(8, 2), QLatin1String(c.exitDelay)) << c.name;
        StopSim();
    }
}

TEST(Programs, VersionIsTheProgramsNameAndVersion)
{
    for (const auto& [program, name] : {std::pair{VK410_CTL, "vedu-vk410ctl"}, std::pair{VK410_SIM, "vk410-panel-sim"}}) {
        QProcess p;
        p.start(QString::fromUtf8(program), {QStringLiteral("--version")});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << name;
        EXPECT_EQ(p.readAllStandardOutput(), QByteArray(name) + ' ' + kProgramVersion + '\n');
        EXPECT_TRUE(p.readAllStandardError().isEmpty()) << name;
    }
}

TEST(PanelSimCommand, HelpOnStandardOutputAndWrongUsageSaid)
{
    const struct {
        QStringList args;
        int code;
        const char* said; // the first line of standard error, or of standard output for help
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "Использование: vk410-panel-sim"},
        {{QStringLiteral("--fault"), QStringLiteral("late"), QStringLiteral("-h")}, 0,
         "Использование: vk410-panel-sim"},
        {{QStringLiteral("--prot")}, 1, "vk410-panel-sim: неизвестный параметр --prot"},
        {{QStringLiteral("--fault"), QStringLiteral("nope")}, 1, "vk410-panel-sim: неверное значение --fault nope"},
        {{QStringLiteral("--model"), QStringLiteral("--cxm")}, 1, "vk410-panel-sim: у параметра --model нет значения"},
        {{QStringLiteral("--load"), QStringLiteral("/dev/zero")}, 2,
         "vk410-panel-sim: Файл поврежден или не найден: /dev/zero"},
        // The firmware is --firmware now; the old spelling is not taken for it.
        {{QStringLiteral("--version"), QStringLiteral("3")}, 1, "vk410-panel-sim: --version даётся без других"},
    };
    for (const auto& c : cases) {
        QProcess p;
        p.start(QStringLiteral(VK410_SIM), c.args);
        ASSERT_TRUE(p.waitForFinished(10000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE((c.code == 0 ? out : err).startsWith(QString::fromUtf8(c.said))) << err.toStdString();
        EXPECT_TRUE((c.code == 0 ? err : out).isEmpty());
    }
}
