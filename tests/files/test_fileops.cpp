// cf8 files on disk: a failed save never touches the previous file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifndef _WIN32 // a full disk is played with a file size limit
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "files/FileOps.h"
#include "files/ShortPath.h"
#include "model/Errors.h"

using namespace vk410;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

Configuration CxmConfiguration()
{
    Configuration cfg = StartupConfiguration();
    LoadDefaults(cfg.main, 1);
    cfg.model = 1;
    cfg.main.at(MainOff::state) = 1;
    cfg.main.at(MainOff::qnt) = 7;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    return cfg;
}

#ifndef _WIN32
// Writes beyond the limit fail as on a full disk while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
#endif

} // namespace

TEST(FileOps, SavedFileOpensToTheSameConfiguration)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("конфиг.cf8"));
    const Configuration cfg = CxmConfiguration();
    const GprsTexts texts{"apn", "user", "pass", "", "", ""};
    ASSERT_TRUE(SaveConfigFile(path, cfg, texts, 1));
    EXPECT_EQ(ReadAll(path).toStdString(), BuildConfigText(cfg, texts, 1));

    Configuration read = StartupConfiguration();
    GprsTexts readTexts;
    ASSERT_EQ(OpenConfigFile(path, read, readTexts), 1);
    EXPECT_EQ(read.model, 1);
    EXPECT_EQ(read.main.at(MainOff::qnt), 7);
    EXPECT_EQ(read.gsm.buf, cfg.gsm.buf);
    EXPECT_EQ(readTexts, texts);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

TEST(FileOps, FailedSavesReturnFalseAndLeaveTheOldFile)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.cf8"));
    WriteAll(old, "previous contents");
    WriteAll(dir.filePath(QStringLiteral("plain")), "x");
    const QString cases[] = {
        dir.filePath(QStringLiteral("missing/dir/a.cf8")),
        dir.filePath(QStringLiteral("plain/a.cf8")), // parent is a regular file
        dir.path(),                                   // a directory
#ifdef _WIN32
        QStringLiteral("NUL"),                        // a device is not replaced
#else
        QStringLiteral("/proc/vk410-test.cf8"),       // a file system that takes no files
        QStringLiteral("/dev/full"),                  // a device is not replaced
#endif
    };
    const Configuration cfg = CxmConfiguration();
    for (const QString& path : cases) {
        EXPECT_FALSE(SaveConfigFile(path, cfg, {}, 1)) << path.toStdString();
        EXPECT_FALSE(QFile::exists(path) && QFileInfo(path).isFile()) << path.toStdString();
    }
#ifndef _WIN32
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile());
    {
        FileSizeLimit full(64); // the disk fills up during the write
        EXPECT_FALSE(SaveConfigFile(old, cfg, {}, 1));
    }
    EXPECT_EQ(ReadAll(old), "previous contents");
    const bool readOnlyHolds = geteuid() != 0; // root writes read-only files anyway
#else
    const bool readOnlyHolds = true;
#endif
    if (readOnlyHolds) {
        QFile::setPermissions(old, QFileDevice::ReadOwner);
        EXPECT_FALSE(SaveConfigFile(old, cfg, {}, 1));
        EXPECT_EQ(ReadAll(old), "previous contents");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(FileOps, UnknownModelThrowsAndWritesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.cf8"));
    EXPECT_THROW(SaveConfigFile(path, CxmConfiguration(), {}, 2), Error);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(FileOps, UnreadableFilesAreRejectedWithoutChanges)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.cf8"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(17 * 1024 * 1024));
    }
    const QString cases[] = {dir.filePath(QStringLiteral("none.cf8")), dir.path(), big};
    for (const QString& path : cases) {
        Configuration cfg = CxmConfiguration();
        const Configuration before = cfg;
        GprsTexts texts{"keep", "", "", "", "", ""};
        EXPECT_EQ(OpenConfigFile(path, cfg, texts), 255) << path.toStdString();
        EXPECT_EQ(cfg.main.buf, before.main.buf);
        EXPECT_EQ(texts.apn1, "keep");
    }
}

TEST(FileOps, SaveAsAppendsTheExtensionOnlyWhenTheNameLacksIt)
{
    // Linux names are case-sensitive, Windows names are not: there X.CF8 is a cf8 already.
    const struct { const char* chosen; const char* onLinux; const char* onWindows; } cases[] = {
        {"/tmp/panel", "/tmp/panel.cf8", "/tmp/panel.cf8"},
        {"/tmp/panel.cf8", "/tmp/panel.cf8", "/tmp/panel.cf8"},
        {"/tmp/panel.cf8.bak", "/tmp/panel.cf8.bak", "/tmp/panel.cf8.bak"},
        {"/tmp/panel.CF8", "/tmp/panel.CF8.cf8", "/tmp/panel.CF8"},
        {"C:/Склад/СКЛАД3.Cf8", "C:/Склад/СКЛАД3.Cf8.cf8", "C:/Склад/СКЛАД3.Cf8"},
    };
    for (const auto& c : cases) {
        const QString chosen = QString::fromUtf8(c.chosen);
        EXPECT_EQ(WithCf8Extension(chosen, Qt::CaseSensitive), QString::fromUtf8(c.onLinux)) << c.chosen;
        EXPECT_EQ(WithCf8Extension(chosen, Qt::CaseInsensitive), QString::fromUtf8(c.onWindows)) << c.chosen;
#ifdef _WIN32
        EXPECT_EQ(WithCf8Extension(chosen), QString::fromUtf8(c.onWindows)) << c.chosen;
#else
        EXPECT_EQ(WithCf8Extension(chosen), QString::fromUtf8(c.onLinux)) << c.chosen;
#endif
    }
}

TEST(ShortPathName, NamesTheSameFileInEightDotThreeParts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Configuration of site number 12.cf8"));
    WriteAll(path, "the long-named file");
    const QString cyrillic = dir.filePath(QStringLiteral("Конфигурация объекта номер 12.cf8"));
    WriteAll(cyrillic, "the Cyrillic file");
    const QString missing = dir.filePath(QStringLiteral("нет такого файла.cf8"));
#ifdef _WIN32
    const QString shortPath = ShortPathName(path);
    EXPECT_NE(shortPath, QDir::toNativeSeparators(path));
    const QString name = shortPath.section(QLatin1Char('\\'), -1);
    EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral("^[^.]{1,8}\\.[^.]{1,3}$")))) << name.toStdString();
    EXPECT_EQ(ReadAll(shortPath), "the long-named file");
    // Where the OEM code page lacks the letters (wine, a Latin system) the caption keeps the long name.
    const QString shortCyrillic = ShortPathName(cyrillic);
    EXPECT_TRUE(shortCyrillic == QDir::toNativeSeparators(cyrillic) ||
                !shortCyrillic.section(QLatin1Char('\\'), -1).contains(QLatin1Char('_')))
        << shortCyrillic.toStdString();
    EXPECT_EQ(ReadAll(shortCyrillic), "the Cyrillic file");
    EXPECT_EQ(ShortPathName(missing), QDir::toNativeSeparators(missing));
#else
    EXPECT_EQ(ShortPathName(path), path);
    EXPECT_EQ(ShortPathName(cyrillic), cyrillic);
    EXPECT_EQ(ShortPathName(missing), missing);
#endif
}

TEST(ShortPathName, FallsBackToTheLongPathWhenLettersBecameUnderscores)
{
    const struct { const char* longPath; const char* shortPath; bool keepsShort; } cases[] = {
        {"C:\\Program Files\\panel one.cf8", "C:\\PROGRA~1\\PANELO~1.CF8", true},
        {"C:\\Склад\\СКЛАД3 отдел.cf8", "C:\\Склад\\СКЛАД3~1.CF8", true}, // a Cyrillic OEM code page
        {"C:\\Users\\Әлия\\ВК410\\a.cf8", "C:\\Users\\____~1\\___410\\a.cf8", false},
        {"C:\\old_files\\my_panel_long.cf8", "C:\\OLD_FI~1\\MY_PAN~1.CF8", true},
        {"C:\\dir\\Обмен.cf8", "C:\\dir\\_____~1.CF8", false},
        {"C:\\a\\b.cf8", "C:\\b.cf8", false}, // not the same path
    };
    for (const auto& c : cases) {
        const QString longPath = QString::fromUtf8(c.longPath), shortPath = QString::fromUtf8(c.shortPath);
        EXPECT_EQ(ShortFormOrLong(longPath, shortPath), c.keepsShort ? shortPath : longPath) << c.longPath;
    }
}
