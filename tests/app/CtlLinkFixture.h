#pragma once
// vedu-vk410ctl and vk410-panel-sim as processes on a pty: running the one,
// starting and reading the other, and what the journal then holds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "kit/LinkTestKit.h"
#include "files/FileOps.h"
#include "model/CXMGSM.h"

namespace vk410::test {

struct Result {
    int exitCode = -1;
    QString out;
    QStringList errLines;
};

// inChild runs in the child before the program starts (limits, descriptors, user).
inline Result RunCtl(const QStringList& args, const std::function<void()>& inChild = {}, int timeoutMs = 30000)
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
    p.start(QStringLiteral(VK410_CTL), args);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "vedu-vk410ctl did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.errLines = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return r;
}

inline QJsonObject Json(const QByteArray& text) { return QJsonDocument::fromJson(text).object(); }

struct CtlLink : ::testing::Test {
    void SetUp() override
    {
        App();
        ASSERT_TRUE(dir.isValid());
        state = dir.filePath(QStringLiteral("state.json"));
        link = dir.filePath(QStringLiteral("panel"));
        // The programs started here inherit it: the user's journal is never touched.
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    }
    void TearDown() override
    {
        StopSim();
        qputenv("XDG_DATA_HOME", oldData);
    }
    void StopSim()
    {
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            if (!sim.waitForFinished(5000))
                sim.kill();
            sim.waitForFinished();
        }
    }

    // Starts the simulator; the first line of its output is the slave path.
    void StartSim(QStringList args)
    {
        args << QStringLiteral("--state-file") << state << QStringLiteral("--link") << link;
        sim.start(QStringLiteral(VK410_SIM), args);
        ASSERT_TRUE(sim.waitForStarted());
        ASSERT_TRUE(WaitFor([&] { return sim.canReadLine() || sim.waitForReadyRead(50); }, 10000));
        slave = QString::fromUtf8(sim.readLine()).trimmed();
        ASSERT_TRUE(slave.startsWith(QStringLiteral("/dev/"))) << slave.toStdString();
    }

    QJsonObject State() const
    {
        QFile f(state);
        return f.open(QIODevice::ReadOnly) ? Json(f.readAll()) : QJsonObject{};
    }

    // A cf8 with a model 1 panel, a CXM module and GPRS settings.
    QString MakeFile(const QString& name, uint8_t exitDelay)
    {
        Configuration cfg = StartupConfiguration();
        cfg.model = 1;
        LoadDefaults(cfg.main, 1);
        cfg.main.at(MainOff::state) = 1;
        cfg.main.at(MainOff::out) = exitDelay;
        cfg.gsm.at(GsmOff::useGPRScfg) = 1;
        SetDeviceNum(cfg.gsm, 5150);
        const GprsTexts texts{"apn.one", "u1", "p1", "apn.two", "u2", "p2"};
        BuildGprsBlock(cfg.gprs, texts);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SaveConfigFile(path, cfg, texts, 1));
        return path;
    }

    QTemporaryDir dir;
    QString state, link, slave;
    QProcess sim;
    QByteArray oldData;
};


inline QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QJsonArray Journal()
{
    const Result r = RunCtl({QStringLiteral("journal"), QStringLiteral("--json")});
    EXPECT_EQ(r.exitCode, 0);
    return QJsonDocument::fromJson(r.out.toUtf8()).array();
}


} // namespace vk410::test
