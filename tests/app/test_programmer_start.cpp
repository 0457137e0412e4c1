// The programmer as a process: it starts offscreen, opens a file named on its
// command line, a termination signal closes it as "Выход" does with a clean
// exit, and unsaved changes of a killed window are offered at the next start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "ProgramVersion.h"
#include "kit/SettingsPaths.h"

namespace {

// A user of their own: settings and data in a temporary folder.
class Home {
public:
    Home() { EXPECT_TRUE(dir_.isValid()); }
    QString Settings() const { return QDir(dir_.path()).filePath(vk410::test::SettingsFileName()); }
    void Start(QProcess& p, const QString& program, const QStringList& arguments) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(dir_.path()).filePath(QStringLiteral("data")));
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        ASSERT_TRUE(p.waitForStarted());
    }
    // Waits until the window has stored what `stored` looks for in its settings.
    bool WaitForSetting(QProcess& p, const std::function<bool(QSettings&)>& stored) const
    {
        for (int i = 0; i < 300 && p.state() == QProcess::Running; ++i) {
            QSettings ini(Settings(), QSettings::IniFormat);
            if (QFileInfo::exists(Settings()) && stored(ini))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

private:
    QTemporaryDir dir_;
};

void ExpectCleanExit(QProcess& p)
{
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

TEST(Programmer, TerminationSignalClosesTheWindowCleanly)
{
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        Home home;
        QProcess p;
        home.Start(p, QStringLiteral(VK410_GUI), {});
        // The window stores the port setting while it is created: then it is up.
        ASSERT_TRUE(home.WaitForSetting(p, [](QSettings&) { return true; })) << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), sig);
        ExpectCleanExit(p);
    }
}

TEST(Programmer, OpensTheFileNamedOnItsCommandLine)
{
    Home home;
    QTemporaryDir files;
    const QString file = QDir(files.path()).filePath(QStringLiteral("панель 1.cf8"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VK410_TEST_DATA "/model1_cxm.cf8"), file));
    QProcess p;
    p.setWorkingDirectory(files.path());
    home.Start(p, QStringLiteral(VK410_GUI), {QStringLiteral("панель 1.cf8")});
    // An opened file heads the recent files.
    EXPECT_TRUE(home.WaitForSetting(p, [&file](QSettings& ini) {
        return ini.value(QStringLiteral("recent")).toStringList().value(0) == file;
    })) << p.readAllStandardError().toStdString();
    ::kill(pid_t(p.processId()), SIGTERM);
    ExpectCleanExit(p);
}

// What a window started afterwards offers.
QString Offered(const Home& home)
{
    QProcess p;
    home.Start(p, QStringLiteral(VK410_RECOVERY_WINDOW), {QStringLiteral("offer")});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(Programmer, UnsavedChangesAreOfferedAfterAKillButNotAfterAnExitOrASave)
{
    {
        Home home;
        QProcess p;
        home.Start(p, QStringLiteral(VK410_RECOVERY_WINDOW), {QStringLiteral("edit")});
        ASSERT_TRUE(p.waitForReadyRead(30000)) << p.readAllStandardError().toStdString();
        ASSERT_EQ(p.readAllStandardOutput().trimmed(), "ready");
        ::kill(pid_t(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished(20000));
        const QString offered = Offered(home);
        EXPECT_TRUE(offered.contains(QRegularExpression(QStringLiteral(
            "^asked: Найдены несохранённые изменения от \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d\\. Восстановить\\?\n"))))
            << offered.toStdString();
        EXPECT_TRUE(offered.endsWith(QStringLiteral("modified: 1\nexit delay: 12\n"))) << offered.toStdString();
        EXPECT_EQ(offered.count(QStringLiteral("asked:")), 1);
    }
    QTemporaryDir files;
    for (const QStringList& ending :
         {QStringList{QStringLiteral("discard")}, QStringList{QStringLiteral("save"), files.filePath("s.cf8")}}) {
        SCOPED_TRACE(ending.join(' ').toStdString());
        Home home;
        QProcess p;
        home.Start(p, QStringLiteral(VK410_RECOVERY_WINDOW), ending);
        ExpectCleanExit(p);
        EXPECT_EQ(Offered(home), QStringLiteral("modified: 0\nexit delay: 15\n"));
    }
}

// Asked where there is no display at all, the version still comes.
TEST(Programmer, VersionNeedsNoDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VK410_GUI), {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("vedu-vk410 ") + vk410::kProgramVersion + '\n');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
