// The programmer as a process: it starts offscreen and a termination signal
// closes it as "Выход" does, with a clean exit.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "kit/SettingsPaths.h"

namespace {

TEST(Programmer, TerminationSignalClosesTheWindowCleanly)
{
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        QTemporaryDir config;
        ASSERT_TRUE(config.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VK410_GUI), {});
        ASSERT_TRUE(p.waitForStarted());
        // The window stores the port setting while it is created: then it is up.
        const QString settings = config.filePath(vk410::test::SettingsFileName());
        for (int i = 0; i < 300 && !QFileInfo::exists(settings) && p.state() == QProcess::Running; ++i)
            QThread::msleep(50);
        ASSERT_TRUE(QFileInfo::exists(settings)) << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(20000)) << "signal " << sig;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "signal " << sig;
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
