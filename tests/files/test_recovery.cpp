// The recovery copy of unsaved changes: its text and the copies on disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include "files/Recovery.h"
#include "files/RecoveryText.h"

using namespace vk410;

namespace {

DocumentCopy SampleCopy()
{
    DocumentCopy copy;
    copy.content.cfg = StartupConfiguration(1);
    copy.content.cfg.main.at(MainOff::alarmsends) = 0; // a radio byte no file keeps
    copy.content.cfg.gprs.buf[7] = 0xFF;
    copy.content.texts = {"inet", std::string("u\0\xE9", 3), "", "apn 2", "", "p\n"};
    copy.baseline.cfg = StartupConfiguration(0);
    copy.origin = {OriginKind::JournalEntry, "/дом/entry\n1.cf8", true};
    copy.radioFromPanel = true;
    copy.panelVersion = 12;
    return copy;
}

void ExpectSame(const DocumentContent& x, const DocumentContent& y)
{
    EXPECT_EQ(x.cfg.model, y.cfg.model);
    EXPECT_EQ(x.cfg.main.buf, y.cfg.main.buf);
    EXPECT_EQ(x.cfg.gsm.buf, y.cfg.gsm.buf);
    EXPECT_EQ(x.cfg.gprs.buf, y.cfg.gprs.buf);
    EXPECT_EQ(x.texts, y.texts);
}

void ExpectSame(const DocumentCopy& a, const DocumentCopy& b)
{
    ExpectSame(a.content, b.content);
    ExpectSame(a.baseline, b.baseline);
    EXPECT_EQ(a.origin.kind, b.origin.kind);
    EXPECT_EQ(a.origin.path, b.origin.path);
    EXPECT_EQ(a.origin.exactBytes, b.origin.exactBytes);
    EXPECT_EQ(a.radioFromPanel, b.radioFromPanel);
    EXPECT_EQ(a.panelVersion, b.panelVersion);
}

TEST(RecoveryText, GivesBackExactlyWhatWasKept)
{
    const DocumentCopy copy = SampleCopy();
    DocumentCopy back;
    ASSERT_TRUE(ReadRecoveryText(RecoveryText(copy), back));
    ExpectSame(copy, back);
}

TEST(RecoveryText, ADamagedTextIsRefusedAndChangesNothing)
{
    const std::string good = RecoveryText(SampleCopy());
    std::string padded = good;
    for (int n = 0; n < 100; ++n)
        padded += "x" + std::to_string(n) + " 1\n";
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"cut short", good.substr(0, good.size() / 2)},
        {"another first line", replaced("vk410-recovery 1", "vk410-recovery 2")},
        {"unknown model", replaced("\nmodel 1\n", "\nmodel 5\n")},
        {"block of another length", replaced("\ngsm ", "\ngsm 00")},
        {"no hex", replaced("\nmain ", "\nmain G")},
        {"unknown origin", replaced("origin journal", "origin mail")},
        {"version out of range", replaced("version 12", "version 256")},
        {"line without a value", good + "junk\n"},
        {"too many lines", padded},
    };
    for (const auto& c : cases) {
        DocumentCopy copy;
        copy.panelVersion = 77;
        EXPECT_FALSE(ReadRecoveryText(c.text, copy)) << c.what;
        EXPECT_EQ(copy.panelVersion, 77) << c.what;
    }
}

class RecoveryFolderTest : public ::testing::Test {
protected:
    QString Folder() const { return QDir(dir.path()).filePath(QStringLiteral("recovery")); }
    QTemporaryDir dir;
};

TEST_F(RecoveryFolderTest, ACopyIsTheUsersAloneAndNotOfferedWhileItsWindowRuns)
{
    RecoveryCopy mine(Folder());
    ASSERT_TRUE(mine.Keep(SampleCopy()));
#ifdef Q_OS_UNIX
    const auto modeOf = [](const QString& path) { return QFile::permissions(path) & 0x7077; };
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    EXPECT_EQ(modeOf(Folder()), owner | QFileDevice::ExeOwner);
    EXPECT_EQ(modeOf(mine.Path()), owner);
#endif
    EXPECT_TRUE(LeftCopies(Folder()).empty());
    mine.Drop();
    EXPECT_FALSE(QFile::exists(mine.Path()));
}

TEST_F(RecoveryFolderTest, CopiesLeftBehindAreOfferedNewestFirstDamagedOnesNot)
{
    DocumentCopy older = SampleCopy();
    older.panelVersion = 1;
    QString damaged;
    {
        RecoveryCopy first(Folder());
        ASSERT_TRUE(first.Keep(older));
        RecoveryCopy broken(Folder());
        ASSERT_TRUE(broken.Keep(older));
        damaged = broken.Path();
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QThread::msleep(1100); // file times have a second's grain on some systems
        RecoveryCopy second(Folder());
        ASSERT_TRUE(second.Keep(SampleCopy()));
    } // the windows went without dropping their copies
    const std::vector<LeftCopy> left = LeftCopies(Folder());
    ASSERT_EQ(left.size(), 2u);
    ExpectSame(left[0].copy, SampleCopy());
    EXPECT_EQ(left[1].copy.panelVersion, 1);
    EXPECT_TRUE(QFile::exists(damaged));
    ASSERT_TRUE(RemoveLeftCopy(left[0].path));
    EXPECT_EQ(LeftCopies(Folder()).size(), 1u);
}

} // namespace
