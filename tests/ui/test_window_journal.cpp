// The journal from the window: what a read and a write against the simulated
// panel leave, the dialog "Журнал обмена", and "Вести журнал".
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QUrl>

#include "WindowLinkFixture.h"
#include "files/FileOps.h"
#include "files/Journal.h"
#include "model/Description.h"
#include "model/Loops.h"
#include "ui/FormCompare.h"
#include "ui/FormJournal.h"

namespace vk410::test {
namespace {

class WindowJournal : public WindowLink {
protected:
    std::vector<JournalEntry> Entries() const { return ReadJournal().entries; }

    // The file holds what the window holds, field by field.
    void ExpectFileAsWindow(const QString& file) const
    {
        Configuration cfg = StartupConfiguration();
        GprsTexts texts;
        ASSERT_NE(OpenConfigFile(file, cfg, texts), 255) << file.toStdString();
        const std::vector<Difference> diffs = Compare(Describe(cfg, texts), Describe(window->Config(), gprs->Texts()));
        EXPECT_TRUE(diffs.empty()) << diffs.front().page << " / " << diffs.front().field;
    }

    template <class T> T* Shown(QObject* parent, const char* name) const
    {
        T* found = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            for (T* w : parent->findChildren<T*>(QString::fromLatin1(name)))
                if (w->isVisible())
                    found = w;
            return found != nullptr;
        }));
        return found;
    }
};

TEST_F(WindowJournal, ReadWriteAndFailedReadEachLeaveOneEntryThatOpensAgain)
{
    StartPanel(GprsPanel(1));
    const QString port = PortBox()->currentText();
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    std::vector<JournalEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].op, JournalOp::Read);
    EXPECT_EQ(entries[0].port, port);
    EXPECT_EQ(entries[0].device, port);
    EXPECT_EQ(entries[0].model, 1);
    EXPECT_EQ(entries[0].version, 12);
    EXPECT_EQ(entries[0].outcome, kReportDone);
    EXPECT_EQ(entries[0].text, StatusText::ReadDone + "12");
    ExpectFileAsWindow(entries[0].file);

    PickItem(TypeBox(3), ltFire);
    Exchange(Button("ButtonWrite"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    entries = Entries();
    ASSERT_EQ(entries.size(), 3u) << "the write and the read before it";
    EXPECT_EQ(entries[1].op, JournalOp::Backup);
    EXPECT_FALSE(entries[1].bytes.isEmpty());
    EXPECT_EQ(entries[0].op, JournalOp::Write);
    EXPECT_EQ(entries[0].version, 12) << "the echo of block 1 names it too";
    EXPECT_EQ(entries[0].text, StatusText::WriteDone);
    ExpectFileAsWindow(entries[0].file);

    ExchangeBy([this] { Action("mnuCompareDevice")->trigger(); });
    ASSERT_EQ(seen.codes.back(), kReportDone);
    entries = Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].op, JournalOp::Compare);
    if (TfrmCompare* compare = Shown<TfrmCompare>(window.get(), "frmCompare"))
        compare->accept();

    server->Stop();
    sim::PanelConfig silent = sim::DefaultPanel(0, false);
    silent.faults.insert(sim::Fault::Silent);
    StartPanel(silent);
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportReadFailed);
    entries = Entries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].outcome, kReportReadFailed);
    EXPECT_EQ(entries[0].text, StatusText::ReadFailed);
    EXPECT_FALSE(entries[0].model || entries[0].version);
    EXPECT_TRUE(entries[0].file.isEmpty());

    Action("mnuJournal")->trigger();
    TfrmJournal* journal = Shown<TfrmJournal>(window.get(), "frmJournal");
    ASSERT_NE(journal, nullptr);
    QTableWidget* table = journal->grdJournal;
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_TRUE(table->item(0, 0)->isSelected());
    EXPECT_FALSE(journal->btnOpen->isEnabled()) << "the failed read kept no file";
    EXPECT_EQ(table->item(1, 1)->text(), "Сравнение");
    const QString writeRow[] = {"Запись", port, entries[2].device, "VK-410QZ8NL", "12", StatusText::WriteDone};
    for (int col = 1; col < 7; ++col)
        EXPECT_EQ(table->item(2, col)->text(), writeRow[col - 1]);
    for (int row = 0; row < table->rowCount(); ++row)
        EXPECT_EQ(table->item(row, 6)->toolTip(), entries[std::size_t(row)].text);

    std::vector<QUrl> shown;
    journal->openUrl = [&](const QUrl& url) {
        shown.push_back(url);
        return true;
    };
    journal->btnFolder->click();
    EXPECT_EQ(shown, std::vector<QUrl>{QUrl::fromLocalFile(JournalFolder())});

    // The read: loop 3 as the panel had it before the write. With its exact
    // bytes the entry keeps the radio settings; with its .cf8 alone it does not.
    ++RawByte(MainOff::alarmsends);
    table->selectRow(4);
    for (const bool exact : {true, false}) {
        if (!exact) {
            ASSERT_TRUE(QFile::rename(entries[4].bytes, entries[4].bytes + ".aside"));
        }
        journal->btnCompare->click();
        TfrmCompare* compare = Shown<TfrmCompare>(journal, "frmCompare");
        ASSERT_NE(compare, nullptr);
        ASSERT_GE(compare->grdDiff->rowCount(), 1);
        EXPECT_EQ(compare->grdDiff->horizontalHeaderItem(2)->text(), QStringLiteral("Журнал ") + table->item(4, 0)->text());
        EXPECT_EQ(compare->grdDiff->item(0, 1)->text(), QStringLiteral("Тип шлейфа"));
        EXPECT_EQ(compare->RowsText(false).contains(QStringLiteral("Число посылок по тревоге")), exact);
        compare->accept();
    }
    --RawByte(MainOff::alarmsends);
    ASSERT_TRUE(QFile::rename(entries[4].bytes + ".aside", entries[4].bytes));

    const QString readFile = entries[4].file;
    QTest::keyClick(table, Qt::Key_Return); // "Открыть" is the default
    EXPECT_TRUE(WaitFor([journal] { return !journal->isVisible(); }));
    EXPECT_EQ(Byte(MainOff::type(3)), GprsPanel(1).cfg.main.at(MainOff::type(3)));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Файл открыт"));
    EXPECT_TRUE(window->windowTitle().startsWith(readFile + " : "));
    EXPECT_TRUE(window->FileName().isEmpty()) << "\"Сохранить\" never writes into the journal";
    EXPECT_TRUE(window->RadioFromPanel()) << "opened from the exact bytes";
    for (const auto& box : boxes.shown)
        EXPECT_NE(box.icon, MsgIcon::Error) << box.text.toStdString();
}

TEST_F(WindowJournal, SwitchedOffItKeepsNothingAndAnUnwritableOneNeverFailsTheRead)
{
    ASSERT_TRUE(Action("mnuKeepJournal")->isCheckable());
    EXPECT_TRUE(Action("mnuKeepJournal")->isChecked());
    Action("mnuKeepJournal")->trigger();
    EXPECT_EQ(SettingsSandbox::Value(QStringLiteral("journal")), QStringLiteral("false"));
    EXPECT_FALSE(Named<QAction>(TForm1(boxes), "mnuKeepJournal")->isChecked()) << "remembered";
    StartPanel(GprsPanel(0));
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_TRUE(Entries().empty());

    Action("mnuKeepJournal")->trigger();
    EXPECT_EQ(SettingsSandbox::Value(QStringLiteral("journal")), QStringLiteral("true"));
    // Where the journal's folder would be there is a file.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(JournalFolder()).path()));
    QFile blocker(JournalFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    ExpectBlinkOf(kGreen);
    EXPECT_TRUE(window->StatusText().startsWith(StatusText::ReadDone + "12. Запись журнала не сохранена"))
        << window->StatusText().toStdString();
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace vk410::test
