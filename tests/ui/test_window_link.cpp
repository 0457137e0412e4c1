// The main window against the simulated panel: the real serial component
// over a pty, the exchange thread and the window's reports, offscreen.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QStatusBar>
#include <QElapsedTimer>
#include <QTimer>

#include "WindowLinkFixture.h"
#include "link/PanelLink.h"
#include "model/CXMGSM.h"
#include "model/Loops.h"
#include "ui/FormCompare.h"
#include "ui/FormGprs.h"
#include "ui/GsmGrid.h"

namespace vk410::test {
namespace {

using sim::Fault;

TEST_F(WindowLink, ReadOfAModelOnePanelWithModuleAndGprsWhileModelZeroIsShown)
{
    StartPanel(GprsPanel(1), true);
    ASSERT_EQ(window->ModelCode(), 0);
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    const std::vector<QString> expected = {StatusText::PortOpen,     StatusText::ReplyArriving,
                                           StatusText::CheckingData, StatusText::ReadingGsm,
                                           StatusText::ReplyArriving, StatusText::ReplyArriving,
                                           StatusText::ReadDone + "12"};
    EXPECT_EQ(seen.texts, expected);
    EXPECT_EQ(window->StatusText(), StatusText::ReadDone + "12");
    EXPECT_TRUE(seen.exchangeControlsDisabled);
    EXPECT_TRUE(seen.replacingCommandsDisabled);
    EXPECT_TRUE(seen.exitEnabled);
    ExpectIdle();
    ExpectBlinkOf(kGreen);

    // Switched to model 1 without its defaults: the panel's values are shown.
    const Configuration panel = server->State().cfg;
    EXPECT_EQ(window->ModelCode(), 1);
    EXPECT_EQ(Combo("DeviceTypeList")->currentIndex(), 1);
    EXPECT_EQ(MainPayload(window->Config()), MainPayload(panel));
    EXPECT_EQ(GsmPayload(window->Config()), GsmPayload(panel));
    EXPECT_EQ(Edit("fldDelayOut")->text(), "33");
    EXPECT_TRUE(Check("chkMRD")->isVisible());
    EXPECT_EQ(Edit("edtMRD")->text(), "4");
    EXPECT_TRUE(Check("chkCXMExist")->isChecked());
    EXPECT_TRUE(Check("chkUseGPRScfg")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("medtDevNumber")->text(), "1234");
    EXPECT_EQ(gprs->Texts(), kPanelTexts);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowLink, WriteAfterEditingALoopAndADestinationLeavesThePanelWithThoseBlocks)
{
    StartPanel(GprsPanel(0));
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);

    const int newType = TypeBox(3)->currentIndex() == 2 ? 4 : 2;
    PickItem(TypeBox(3), newType);
    ShowPage(QStringLiteral("PageCXM"));
    auto* grid = Find<TGsmGrid>(QStringLiteral("grdG1"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(2, 2)).center());
    QComboBox* tries = Combo(QStringLiteral("bxGrTryCnt"));
    ASSERT_TRUE(WaitFor([tries] { return tries->isVisible(); }));
    PickItem(tries, tries->findText(QStringLiteral("3")));
    // The list's close-up stores the choice a moment after the list closes.
    ASSERT_TRUE(WaitFor([this] { return DestinationTries(window->Config().gsm, 2) == 3; }));
    ASSERT_NE(MainPayload(window->Config()), MainPayload(server->State().cfg));

    Exchange(Button("ButtonWrite"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_TRUE(boxes.shown.empty()) << "a destination is on: no question";
    EXPECT_EQ(window->StatusText(), StatusText::WriteDone);
    ExpectBlinkOf(kGreen);
    const sim::PanelConfig panel = server->State();
    EXPECT_EQ(MainPayload(panel.cfg), MainPayload(window->Config()));
    EXPECT_EQ(GsmPayload(panel.cfg), GsmPayload(window->Config()));
    EXPECT_EQ(panel.cfg.main.at(MainOff::type(3)), newType);
    EXPECT_EQ(DestinationTries(panel.cfg.gsm, 2), 3);
    EXPECT_EQ(sim::PanelSim(panel).Texts(), kPanelTexts);
}

TEST_F(WindowLink, NoToTheQuestionStartsNothing)
{
    StartPanel(sim::DefaultPanel(0, true));
    RawByte(MainOff::state) = 1;
    window->RefreshControls();
    ASSERT_TRUE(Check("chkCXMExist")->isChecked());
    ASSERT_FALSE(AnyDestinationEnabled(window->Config().gsm));
    boxes.answers = {MsgResult::No};
    QTest::mouseClick(Button("ButtonWrite"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Программатор"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Ни одно направление не включено,\r\nсохранять настройки?"));
    EXPECT_FALSE(window->Link().Busy());
    ExpectIdle();
    QTest::qWait(700);
    EXPECT_EQ(server->RepliesSent(), 0);
    EXPECT_TRUE(window->StatusText().isEmpty());

    // Yes goes on to the write.
    boxes.answers = {MsgResult::Yes};
    Exchange(Button("ButtonWrite"));
    EXPECT_EQ(seen.codes.back(), kReportDone);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(WindowLink, PortThatCannotBeOpenedShowsTheBoxThenWhyAndNoBlink)
{
    UsePort(QStringLiteral("/nonexistent/ttyVK410"));
    Exchange(Button("ButtonRead"));
    EXPECT_EQ(seen.codes, std::vector<int>{kReportPortFailed});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(boxes.shown[0].title, StatusText::PortFailedCaption);
    EXPECT_EQ(boxes.shown[0].text, StatusText::PortFailedText);
    EXPECT_FALSE(seen.blinking);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Устройство /nonexistent/ttyVK410 не найдено"));
    ExpectIdle();
}

// The device stays the panel's, but the box names another: nothing reaches the panel.
TEST_F(WindowLink, APortTextThatNamesNoDeviceIsRefusedByEveryExchange)
{
    StartPanel(GprsPanel(0));
    for (const char* text : {"p1", "CO", "", "COM0"}) {
        PortBox()->setEditText(QString::fromLatin1(text));
        const auto click = [this](const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); };
        for (const auto& start : std::vector<std::function<void()>>{
                 [&] { click("ButtonRead"); }, [&] { click("ButtonWrite"); },
                 [this] { Action("mnuCompareDevice")->trigger(); }}) {
            boxes.shown.clear();
            start();
            ASSERT_EQ(boxes.shown.size(), 1u) << text;
            EXPECT_EQ(boxes.shown[0].title, StatusText::PortFailedCaption);
            EXPECT_EQ(boxes.shown[0].text, StatusText::PortFailedText);
            EXPECT_TRUE(window->StatusText().contains(QStringLiteral("«%1»").arg(text))) << text;
            EXPECT_FALSE(window->Link().Busy());
            ExpectIdle();
        }
    }
    EXPECT_EQ(server->RepliesSent(), 0);
}

TEST_F(WindowLink, SilentPanelEndsInTheFailureTextAndARedBlink)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults.insert(Fault::Silent);
    StartPanel(p);
    const auto before = window->Config().main.buf;
    // A write reads the panel first: without an answer nothing is sent, and
    // the outcome is the read's. Without that read it is the write's own.
    const struct {
        const char* button;
        bool backup;
        int code;
        QString text;
    } rows[] = {{"ButtonRead", true, kReportReadFailed, StatusText::ReadFailed},
                {"ButtonWrite", true, kReportReadFailed, StatusText::ReadFailed},
                {"ButtonWrite", false, kReportWriteFailed, StatusText::WriteFailed}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.button) + (row.backup ? "" : " without backup"));
        SetBackup(row.backup);
        Exchange(Button(row.button));
        EXPECT_EQ(seen.codes.back(), row.code);
        EXPECT_EQ(window->StatusText(), row.text);
        ExpectBlinkOf(kRed);
        ExpectIdle();
    }
    // Only the frame header and check byte that the write stamped may differ.
    EXPECT_TRUE(std::equal(before.begin() + 4, before.begin() + 4 + 27, window->Config().main.buf.begin() + 4));
}

TEST_F(WindowLink, ComparisonWithThePanelSaysHowManyFieldsDifferAndLeavesTheWindowAsItWas)
{
    StartPanel(GprsPanel(0));
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    const std::vector<QString> readTexts = seen.texts;
    EXPECT_EQ(window->PanelVersion(), 12);
    PickItem(TypeBox(3), ltFire);
    const Configuration before = window->Config();
    const GprsTexts textsBefore = gprs->Texts();

    ExchangeBy([this] { Action("mnuCompareDevice")->trigger(); });
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_EQ(seen.texts, readTexts);
    // It was no read: the status bar says what it was and what came of it.
    EXPECT_TRUE(seen.exchangeControlsDisabled);
    ExpectIdle();
    ExpectBlinkOf(kGreen);
    EXPECT_EQ(window->Config().main.buf, before.main.buf);
    EXPECT_EQ(window->Config().gsm.buf, before.gsm.buf);
    EXPECT_EQ(window->Config().gprs.buf, before.gprs.buf);
    EXPECT_EQ(window->ModelCode(), before.model);
    EXPECT_EQ(gprs->Texts(), textsBefore);

    TfrmCompare* dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = window->findChild<TfrmCompare*>()) && dialog->isVisible(); }));
    const QTableWidget* table = dialog->grdDiff;
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QStringLiteral("Прибор ") + PortBox()->currentText());
    ASSERT_GE(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("Внутренний"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("Пожарный"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Сравнение с прибором: различий - %1").arg(table->rowCount()));
    dialog->accept();

    ASSERT_TRUE(WaitFor([this] { return !window->findChild<TfrmCompare*>(); }));
    Exchange(Button("ButtonRead"));
    ExchangeBy([this] { Action("mnuCompareDevice")->trigger(); });
    EXPECT_EQ(window->StatusText(), QStringLiteral("Сравнение с прибором: совпадает"));
}

TEST_F(WindowLink, APanelMatchesTheFileSavedFromItThoughFilesKeepNoRadioSettings)
{
    sim::PanelConfig p = GprsPanel(0);
    SetControlTime(p.cfg.main, 300);
    p.cfg.main.at(MainOff::alarmsends) = 2;
    p.cfg.main.at(MainOff::restoresends) = 9;
    StartPanel(p);
    Exchange(Button("ButtonRead"));
    ASSERT_EQ(seen.codes.back(), kReportDone);
    QTemporaryDir folder;
    ScriptedFileDialogs dialogs;
    window->SetFileDialogs(&dialogs);
    const QString path = QDir(folder.path()).filePath(QStringLiteral("panel.cf8"));
    dialogs.paths = {path, path};
    Action("N3")->trigger();
    ASSERT_TRUE(QFileInfo::exists(path));
    Action("mnuCompareFile")->trigger();
    TfrmCompare* dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = window->findChild<TfrmCompare*>()) && dialog->isVisible(); }));
    EXPECT_TRUE(dialog->lblSame->isVisible());
    EXPECT_EQ(dialog->grdDiff->rowCount(), 0);
    dialog->accept();
    window->SetFileDialogs(nullptr);
}

TEST_F(WindowLink, AComparisonThatCannotReadThePanelReportsAsAReadAndShowsNoDialog)
{
    // The hang-up comes after block 1: a read would keep that block, a comparison nothing.
    sim::PanelConfig p = GprsPanel(0);
    p.faults.insert(Fault::Hangup);
    StartPanel(p);
    const Configuration before = window->Config();
    ExchangeBy([this] { Action("mnuCompareDevice")->trigger(); });
    EXPECT_EQ(seen.codes.back(), kReportReadFailed);
    EXPECT_EQ(window->StatusText(), StatusText::ReadFailed);
    ExpectBlinkOf(kRed);
    ExpectIdle();
    EXPECT_EQ(window->Config().main.buf, before.main.buf);
    QTest::qWait(100);
    EXPECT_EQ(window->findChild<TfrmCompare*>(), nullptr);
}

TEST_F(WindowLink, ABlinkStartedDuringABlinkStillEndsOnTheBarsOwnColour)
{
    window->StartIndicator(kGreen, 3);
    std::vector<qint64> steps;
    QElapsedTimer clock;
    QObject::connect(IndTimer(), &QTimer::timeout, &context, [&] { steps.push_back(clock.elapsed()); });
    clock.start();
    window->StartIndicator(kRed, 3);
    EXPECT_EQ(window->StatusBarColor(), kRed);
    ASSERT_TRUE(WaitFor([this] { return !IndTimer()->isActive(); }));
    EXPECT_EQ(window->StatusBarColor(), ownColour);
    // Each colour stands its 400 ms, never less.
    ASSERT_EQ(steps.size(), 3u);
    for (std::size_t k = 0; k < steps.size(); ++k)
        EXPECT_GE(steps[k], qint64(400 * (k + 1))) << "step " << k + 1;
}

TEST_F(WindowLink, RefusedWriteShowsWhyNothingWasWritten)
{
    StartPanel(sim::DefaultPanel(0, true));
    RawByte(MainOff::state) = 1;
    window->Config().gsm.at(GsmOff::useGPRScfg) = 1;
    SetDestinationTries(window->Config().gsm, 1, 1); // no question before the write
    window->RefreshControls();
    gprs->SetTexts({}); // no access point for either SIM card
    Exchange(Button("ButtonWrite"));
    EXPECT_EQ(seen.codes.back(), kReportWriteFailed);
    EXPECT_EQ(window->StatusText(), StatusText::NoGprsSettings);
    ExpectBlinkOf(kRed);
    ExpectIdle();
    EXPECT_EQ(server->RepliesSent(), 0);
}

TEST_F(WindowLink, ModelSwitchUndoneDuringAWriteStaysWithItsOwnBlock)
{
    StartPanel(sim::DefaultPanel(0, false), true);
    SelectModel(1);
    SelectModel(0);
    QTest::mouseClick(Button("ButtonWrite"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return window->StatusText() == StatusText::WritingMain; }));
    EXPECT_FALSE(Combo("DeviceTypeList")->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(window->ModelCode(), 1);
    ASSERT_TRUE(WaitFor([this] { return FinalReport(); }, 30000)) << "no final report";
    window->Link().WaitFinished();
    EXPECT_EQ(seen.codes.back(), kReportDone) << "model 0 was written";
    EXPECT_EQ(window->ModelCode(), 1);
    EXPECT_EQ(Combo("DeviceTypeList")->currentIndex(), 1);
    EXPECT_TRUE(Check("chkMRD")->isVisible());
    // Model 0's check byte sits where model 1 keeps its Meridian count.
    EXPECT_EQ(Byte(MainOff::qnt), 0);
    EXPECT_EQ(Edit("edtMRD")->text(), "0");
}

TEST_F(WindowLink, AReadAsksBeforeItReplacesChangesAndCanBeUndone)
{
    StartPanel(GprsPanel(1), true);
    ScriptedFileDialogs dialogs;
    window->SetFileDialogs(&dialogs);
    TypeOver(Edit("fldDelayOut"), QStringLiteral("12"));
    TabAway(Edit("fldDelayOut"));
    const Configuration edited = window->Config();
    boxes.answers = {MsgResult::Cancel};
    QTest::mouseClick(Button("ButtonRead"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::SaveDiscardCancel);
    EXPECT_FALSE(window->Link().Busy()) << "Отмена reads nothing";

    // Не сохранять: the read runs, and nothing else may replace the window's configuration meanwhile.
    ExchangeBy([this] {
        QTest::mouseClick(Button("ButtonRead"), Qt::LeftButton);
        Combo("DeviceTypeList")->setFocus();
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    });
    ASSERT_EQ(seen.codes.back(), kReportDone);
    EXPECT_TRUE(dialogs.titles.empty()) << "\"Открыть\" ran during the read";
    EXPECT_TRUE(seen.replacingCommandsDisabled);
    EXPECT_TRUE(Button("ButtonRead")->hasFocus()) << "the focus goes back to the button, never to \"Выход\"";
    EXPECT_FALSE(window->isWindowModified());

    // A read is no file: "Сохранить" asks for a name.
    dialogs.paths = {QString()};
    Action("N2")->trigger();
    EXPECT_EQ(dialogs.titles, std::vector<QString>{QStringLiteral("Сохранить настройки панели как")});

    // Undo gives the edited blocks back, redo the panel's; nothing is sent.
    const Configuration read = window->Config();
    Combo("DeviceTypeList")->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->ModelCode(), 0);
    EXPECT_EQ(window->Config().main.buf, edited.main.buf);
    EXPECT_TRUE(window->isWindowModified());
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window->ModelCode(), 1);
    EXPECT_EQ(window->Config().main.buf, read.main.buf);
    EXPECT_EQ(window->Config().gsm.buf, read.gsm.buf);
    EXPECT_EQ(gprs->Texts(), kPanelTexts);
    EXPECT_FALSE(window->Link().Busy());
}

TEST_F(WindowLink, ExitDuringAnExchangeWaitsForItsEndThenCloses)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults.insert(Fault::Silent);
    StartPanel(p);
    QTest::mouseClick(Button("ButtonRead"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return window->StatusText() == StatusText::PortOpen; }));
    QTest::mouseClick(Button("BtnClose"), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->StatusText(), QStringLiteral("Окно закроется, когда закончится обмен с прибором"));
    ASSERT_TRUE(WaitFor([this] { return !window->isVisible(); }, 10000));
    EXPECT_EQ(seen.codes, std::vector<int>{kReportReadFailed});
    EXPECT_FALSE(window->Link().CommPortDriver1().IsOpen());
    EXPECT_EQ(window->ExitStatus(), 1) << "the exchange it waited for failed";
}

TEST_F(WindowLink, DestroyingTheWindowDuringAnExchangeIsSafe)
{
    StartPanel(GprsPanel(1), true);
    QTest::mouseClick(Button("ButtonRead"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return seen.texts.size() >= 2; }, 10000));
    window.reset();
    QTest::qWait(2500);
    EXPECT_TRUE(std::none_of(seen.codes.begin(), seen.codes.end(),
                             [](int c) { return c != kReportReplyArriving; }));
}

} // namespace
} // namespace vk410::test
