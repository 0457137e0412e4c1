// "Записать" as a whole: the panel read first and kept, its radio settings
// kept, another model refused, a half-done write given back, and a window
// that waits for a write to end however it is closed.
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <csignal>

#include "WindowLinkFixture.h"
#include "app/Termination.h"
#include "files/Journal.h"
#include "link/WriteSession.h"
#include "ui/FormMonitor.h"

namespace vk410::test {
namespace {

std::vector<uint8_t> Radio(const Configuration& c)
{
    return {c.main.payload(), c.main.payload() + kRadioSettingsSize};
}

// A panel whose radio settings are not the defaults a file or a start brings.
sim::PanelConfig RadioPanel(uint8_t model, bool cxm)
{
    sim::PanelConfig p = sim::DefaultPanel(model, cxm);
    p.cfg.main.at(MainOff::alarmsends) = 3;
    SetControlTime(p.cfg.main, 120);
    p.cfg.main.at(MainOff::out) = 44;
    return p;
}

TEST_F(WindowLink, AWriteRightAfterStartKeepsWhatThePanelHeldAndItsRadioSettings)
{
    StartPanel(RadioPanel(0, false));
    const Configuration before = server->State().cfg;
    Exchange(Button("ButtonWrite"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_EQ(seen.texts.front(), StatusText::BackupReading);
    const Configuration after = server->State().cfg;
    EXPECT_EQ(Radio(after), Radio(before)) << "the start-up configuration brings no radio settings of its own";
    EXPECT_EQ(after.main.at(MainOff::out), 15);

    const std::vector<JournalEntry> entries = ReadJournal().entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].op, JournalOp::Backup);
    Configuration held;
    GprsTexts texts;
    QString why;
    ASSERT_TRUE(LoadJournalBytes(entries[1].bytes, held, texts, why)) << why.toStdString();
    EXPECT_EQ(MainPayload(held), MainPayload(before));
}

TEST_F(WindowLink, AFailureAfterBlockOneGivesThePanelBackWhatItHeld)
{
    // A configuration with the module, a panel without one: block 2 finds nobody.
    StartPanel(RadioPanel(1, false));
    const Configuration before = server->State().cfg;
    SelectModel(1);
    RawByte(MainOff::state) = 1;
    SetDestinationTries(window->Config().gsm, 1, 1); // no question before the write
    window->RefreshControls();
    Exchange(Button("ButtonWrite"));
    EXPECT_EQ(seen.codes.back(), kReportWriteFailed);
    EXPECT_EQ(window->StatusText(),
              StatusText::WriteFailed + ". Не удалось записать: настройки GSM. " + StatusText::RolledBack);
    ExpectBlinkOf(kRed);
    EXPECT_EQ(MainPayload(server->State().cfg), MainPayload(before));
    const std::vector<JournalEntry> entries = ReadJournal().entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].op, JournalOp::Rollback);
    EXPECT_EQ(entries[1].op, JournalOp::Write);
}

TEST_F(WindowLink, APanelOfAnotherModelGetsNoWriteFrame)
{
    StartPanel(sim::DefaultPanel(1, false));
    Exchange(Button("ButtonWrite"));
    EXPECT_EQ(seen.codes.back(), kReportWriteFailed);
    EXPECT_EQ(window->StatusText(), QStringLiteral("В приборе VK-410QZ8NL, в конфигурации VK-410QZ8N: запись отменена"));
    EXPECT_EQ(server->RepliesSent(), 1) << "the backup's block 1, nothing after it";
    ExpectIdle();
}

// A termination signal reaches the window as it does in the program.
TEST_F(WindowLink, ATerminationSignalDuringAWriteClosesTheWindowOnlyOnceTheWriteHasEnded)
{
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &context, &QApplication::closeAllWindows);
    for (const QString& moment : {StatusText::BackupReading, StatusText::WritingMain, StatusText::WritingGsm}) {
        SCOPED_TRACE(moment.toStdString());
        if (!window)
            WindowLink::SetUp();
        if (server)
            server->Stop();
        StartPanel(GprsPanel(1), true);
        window->Config() = server->State().cfg;
        window->Config().main.at(MainOff::out) = 21;
        gprs->SetTexts(kPanelTexts);
        seen = {};
        QTest::mouseClick(Button("ButtonWrite"), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return window->StatusText() == moment; }, 20000));
        ::raise(SIGTERM);
        // Closed only with the write over: never while it runs.
        bool closedWhileRunning = false;
        ASSERT_TRUE(WaitFor([&] {
            if (window->isVisible())
                return false;
            closedWhileRunning = window->ExchangeRunning();
            return true;
        }, 30000));
        EXPECT_FALSE(closedWhileRunning);
        EXPECT_EQ(seen.codes.back(), kReportDone) << "the write ran to its end";
        EXPECT_EQ(server->State().cfg.main.at(MainOff::out), 21);
        EXPECT_EQ(ReadJournal().entries.front().op, JournalOp::Write);
        EXPECT_EQ(window->ExitStatus(), 0);
        window.reset();
    }
}

TEST_F(WindowLink, TheMonitorShowsTheExchangeAndWhyItFailed)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults.insert(sim::Fault::BadCrc);
    StartPanel(p);
    Action("mnuMonitor")->trigger();
    TfrmMonitor* monitor = window->Monitor();
    ASSERT_TRUE(WaitFor([monitor] { return monitor->isVisible(); }));
    EXPECT_FALSE(monitor->isModal());
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportReadFailed);
    const QString why = window->Diagnosis();
    EXPECT_TRUE(why.contains(QStringLiteral("контрольным байтом"))) << why.toStdString();
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("StatusPanel"))->toolTip(), why);
    // Live: the rows come as the exchange goes, the request first.
    ASSERT_TRUE(WaitFor([monitor] { return monitor->grdMonitor->rowCount() >= 4; }));
    const QTableWidget* table = monitor->grdMonitor;
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("Чтение"));
    EXPECT_EQ(table->item(2, 1)->text(), QStringLiteral("→"));
    EXPECT_EQ(table->item(2, 2)->text(), QStringLiteral("7E 0A 52 01 00 00 00 00 00 E3"));
    EXPECT_EQ(monitor->lblDiagnosis->text(), why);
    EXPECT_TRUE(monitor->Text().endsWith(why + "\n"));

    // The next exchange starts a page of its own.
    server->Stop();
    StartPanel(sim::DefaultPanel(0, false));
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_TRUE(window->Diagnosis().isEmpty());
    EXPECT_TRUE(monitor->lblDiagnosis->text().isEmpty());
    EXPECT_FALSE(monitor->Text().contains(QStringLiteral("неверный контрольный байт")));
}

} // namespace
} // namespace vk410::test
