// The journal's index as it is found on disk: damaged lines, the entry limit
// and the modes of what it writes. The exchanges themselves are in the e2e
// and window tests.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <functional>

#include "files/Journal.h"

using namespace vk410;

namespace {

// A read that took block 1 from a model 0 panel of version 5.
FinishedExchange ReadOfBlockOne()
{
    FinishedExchange x;
    x.port = QStringLiteral("COM1");
    x.device = QStringLiteral("/dev/ttyS0");
    x.result.blocks = StartupConfiguration(0);
    x.result.mainTaken = x.result.succeeded = true;
    x.result.version = 5;
    return x;
}

// One index line as the journal writes it, changed by edit.
QByteArray Line(const QString& file, const std::function<void(QJsonObject&)>& edit = {})
{
    JournalEntry e;
    e.time = QDateTime::fromString(QStringLiteral("2024-03-01T10:00:00+03:00"), Qt::ISODate);
    e.port = e.device = QStringLiteral("/dev/ttyUSB0");
    e.model = 0;
    e.text = QStringLiteral("Настройки прочитаны, версия прибора - 1");
    e.file = file;
    QJsonObject o = JournalJson(e);
    if (edit)
        edit(o);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

struct JournalFolderTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(root.isValid()); }
    QString Path(const QString& name) const { return QDir(folder).filePath(name); }
    void WriteIndex(const QByteArray& text) const
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile f(Path(QStringLiteral("index.jsonl")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(text), text.size());
    }
    static void Touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QTemporaryDir root;
    QString folder = QDir(root.path()).filePath(QStringLiteral("journal"));
};

} // namespace

TEST_F(JournalFolderTest, DamagedLinesAreSkippedAndAShortLastLineDoesNotSwallowTheNext)
{
    const std::pair<const char*, std::function<void(QJsonObject&)>> damaged[] = {
        {"no time", [](QJsonObject& o) { o.remove("time"); }},
        {"bad time", [](QJsonObject& o) { o["time"] = "gestern"; }},
        {"operation", [](QJsonObject& o) { o["operation"] = "erase"; }},
        {"model 2", [](QJsonObject& o) { o["model"] = 2; }},
        {"version text", [](QJsonObject& o) { o["version"] = "7"; }},
        {"outcome 2", [](QJsonObject& o) { o["outcome"] = 2; }},
        {"outcome 1.5", [](QJsonObject& o) { o["outcome"] = 1.5; }},
        {"port number", [](QJsonObject& o) { o["port"] = 1; }},
        {"file outside", [](QJsonObject& o) { o["file"] = "../outside.cf8"; }},
        {"file absolute", [](QJsonObject& o) { o["file"] = "/etc/passwd"; }},
        {"file not cf8", [](QJsonObject& o) { o["file"] = "index.jsonl"; }},
    };
    QByteArray index = Line(QString()) + "not json\n[1, 2]\n\n" + QByteArray(100000, 'x') + '\n';
    for (const auto& [name, edit] : damaged)
        index += Line(QString(), edit);
    index += R"({"time":"2024-03-01T10:00:00+03:00","operation":"re)"; // the disk filled up here
    WriteIndex(index);

    ASSERT_EQ(AddToJournal(ReadOfBlockOne(), folder), QString());
    const JournalContents journal = ReadJournal(folder);
    EXPECT_TRUE(journal.readable);
    EXPECT_EQ(journal.damaged, int(std::size(damaged)) + 4); // + not json, array, overlong, cut short
    ASSERT_EQ(journal.entries.size(), 2u);
    const JournalEntry& newest = journal.entries[0];
    EXPECT_EQ(newest.port, QStringLiteral("COM1"));
    EXPECT_EQ(newest.device, QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(newest.version, 5);
    EXPECT_EQ(newest.text, QStringLiteral("Настройки прочитаны, версия прибора - 5"));
    EXPECT_EQ(QFileInfo(newest.file).absolutePath(), QFileInfo(folder).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(newest.file).isFile());
    EXPECT_EQ(journal.entries[1].port, QStringLiteral("/dev/ttyUSB0"));
}

TEST_F(JournalFolderTest, TheNewestThousandStayAndOnlyTheRemovedEntriesLoseTheirFiles)
{
    // The oldest line names a file outside: damaged, it is dropped, never followed.
    const QString outside = QDir(root.path()).filePath(QStringLiteral("outside.cf8"));
    Touch(outside);
    QByteArray index = Line(QString(), [](QJsonObject& o) { o["file"] = "../outside.cf8"; });
    for (int n = 0; n < kJournalLimit; ++n)
        index += Line(QStringLiteral("old-%1.cf8").arg(n));
    WriteIndex(index);
    for (int n = 0; n < kJournalLimit; ++n)
        Touch(Path(QStringLiteral("old-%1.cf8").arg(n)));

    ASSERT_EQ(AddToJournal(ReadOfBlockOne(), folder), QString());
    const JournalContents journal = ReadJournal(folder);
    ASSERT_EQ(journal.entries.size(), std::size_t(kJournalLimit));
    EXPECT_EQ(journal.damaged, 0) << "the rewritten index keeps entries only";
    EXPECT_EQ(journal.entries.front().port, QStringLiteral("COM1"));
    EXPECT_EQ(QFileInfo(journal.entries.back().file).fileName(), QStringLiteral("old-1.cf8"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("old-0.cf8"))));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("old-1.cf8"))));
    EXPECT_TRUE(QFileInfo::exists(outside));

#ifdef Q_OS_UNIX
    // The user's alone, the rewritten index and a new entry's file included.
    const auto modeOf = [](const QString& path) { return QFile::permissions(path) & 0x7077; };
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    EXPECT_EQ(modeOf(folder), owner | QFileDevice::ExeOwner);
    for (const QString& file : {Path(QStringLiteral("index.jsonl")), journal.entries.front().file})
        EXPECT_EQ(modeOf(file), owner) << file.toStdString();
#endif
}
