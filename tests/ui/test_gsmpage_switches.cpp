#include <QLabel>
#include <QLineEdit>

#include "GsmPageFixture.h"

namespace vk410 {
namespace {

using test::Vec;

class GsmSwitches : public test::GsmPageFixture {
protected:
    QPushButton* BtnGprs() { return Find<QPushButton>("btnGPRS"); }
    QLineEdit* DialogBox(const char* name) { return dialog->findChild<QLineEdit*>(name); }

    // Answers the modal GPRS dialog with "Сохранить" once it shows; counts showings.
    void SaveDialogWhenShown()
    {
        auto* timer = new QTimer(&window);
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            if (!dialog->isVisible())
                return;
            ++dialogShown;
            timer->deleteLater();
            QTest::mouseClick(dialog->findChild<QPushButton*>("btnSaveExit"), Qt::LeftButton);
        });
        timer->start();
    }

    int dialogShown = 0;
};

const char* const kModuleControls[] = {"medtDevNumber", "lbl7", "grdG1", "lbl11", "grdSMS",
                                       "lbl4", "chkUseGPRScfg", "chkGSM_TXON", "chkGSM_ContrlEnbl"};

TEST_F(GsmSwitches, ModuleBoxShowsAndHidesThePageAndWritesState)
{
    page->RefreshFromBlocks();
    EXPECT_EQ(cfg.main.at(MainOff::state), 0);
    EXPECT_FALSE(Check("chkCXMExist")->isChecked());
    EXPECT_TRUE(Check("chkCXMExist")->isVisible());
    for (const char* name : kModuleControls)
        EXPECT_TRUE(page->findChild<QWidget*>(name)->isHidden()) << name;
    EXPECT_TRUE(BtnGprs()->isHidden());

    ClickBox(Check("chkCXMExist"));
    EXPECT_EQ(cfg.main.at(MainOff::state), 1);
    for (const char* name : kModuleControls)
        EXPECT_TRUE(page->findChild<QWidget*>(name)->isVisible()) << name;
    EXPECT_TRUE(BtnGprs()->isHidden()) << "GPRS configuration not in use";

    // A refresh with the state clear hides them even when the box was already clear.
    ClickBox(Check("chkCXMExist"));
    cfg.main.at(MainOff::state) = 0;
    page->findChild<QWidget*>("grdG1")->show();
    page->RefreshFromBlocks();
    EXPECT_TRUE(page->findChild<QWidget*>("grdG1")->isHidden());
}

TEST_F(GsmSwitches, TabFollowsThePageFromTopToBottom)
{
    ModuleOn();
    Check("chkCXMExist")->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 6; ++i) {
        test::TabAway(QApplication::focusWidget());
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, QStringList({"chkCXMExist", "medtDevNumber", "chkGSM_TXON", "chkGSM_ContrlEnbl", "grdG1", "grdSMS",
                                  "chkUseGPRScfg"}));
}

TEST_F(GsmSwitches, RefreshShowsTheBlocksSwitches)
{
    cfg.gsm.at(GsmOff::TXE) = 1;
    cfg.gsm.at(GsmOff::RXE) = 0;
    SetDeviceNum(cfg.gsm, 7);
    ModuleOn();
    EXPECT_TRUE(Check("chkCXMExist")->isChecked());
    EXPECT_TRUE(Check("chkGSM_TXON")->isChecked());
    EXPECT_FALSE(Check("chkGSM_ContrlEnbl")->isChecked());
    EXPECT_EQ(Edit("medtDevNumber")->text(), "0007");

    ClickBox(Check("chkGSM_TXON"));
    ClickBox(Check("chkGSM_ContrlEnbl"));
    EXPECT_EQ(cfg.gsm.at(GsmOff::TXE), 0);
    EXPECT_EQ(cfg.gsm.at(GsmOff::RXE), 1);
}

TEST_F(GsmSwitches, DeviceNumberIsStoredOnExit)
{
    ModuleOn();
    TMaskEdit* edit = Edit("medtDevNumber");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, "1234");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(Bytes(GsmOff::DeviceNum, 2), Vec({0x04, 0xD2}));

    // Incomplete: refused, nothing stored.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(msgs.beeps, 1);
    ASSERT_EVENTUALLY(msgs.errors.size() == std::size_t(1));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "1234");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(DeviceNum(cfg.gsm), 1234u);
}

TEST_F(GsmSwitches, RefusingDeviceNumberHoldsTheFocusAndThePage)
{
    ModuleOn();
    SetDestinationTries(cfg.gsm, 2, 1);
    page->GridGSMUpdate();
    TMaskEdit* edit = Edit("medtDevNumber");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    ASSERT_EQ(edit->text(), "000_");
    const Configuration before = cfg;
    // One box for each attempt to get past the field.
    const auto refused = [&](const char* what, auto action) {
        SCOPED_TRACE(what);
        const std::size_t boxes = msgs.errors.size();
        action();
        QTest::qWait(50);
        EXPECT_EQ(msgs.errors.size(), boxes + 1);
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_EQ(edit->text(), "000_");
    };
    refused("cell", [&] { test::ClickCell(grdG1, 2, 1); });
    refused("row drag", [&] {
        QTest::mousePress(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 1));
        QTest::mouseRelease(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 3));
    });
    for (const char* name : {"chkGSM_TXON", "chkGSM_ContrlEnbl", "chkUseGPRScfg", "chkCXMExist"})
        refused(name, [&] { ClickBox(Check(name)); });
    EXPECT_EQ(grdG1->currentColumn(), 1);
    EXPECT_EQ(cfg.gsm.buf, before.gsm.buf);
    EXPECT_EQ(cfg.main.buf, before.main.buf);

    // Esc gives the old number back; the page works again.
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "0001");
    ClickBox(Check("chkGSM_TXON"));
    EXPECT_EQ(cfg.gsm.at(GsmOff::TXE), 1);

    // A refusal on the way out of a closing window leaves no box behind.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Backspace);
    const std::size_t boxes = msgs.errors.size();
    ClickBox(Check("chkGSM_TXON"));
    window.close();
    QTest::qWait(50);
    EXPECT_EQ(msgs.errors.size(), boxes);
}

TEST_F(GsmSwitches, DeviceNumberAbove9999SurvivesAPassThroughTheField)
{
    SetDeviceNum(cfg.gsm, 65535);
    ModuleOn();
    TMaskEdit* edit = Edit("medtDevNumber");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(DeviceNum(cfg.gsm), 65535u);
}

TEST_F(GsmSwitches, CheckingUseGprsAppliesPresetsAndOpensTheDialog)
{
    ModuleOn();
    SaveDialogWhenShown();
    ClickBox(Check("chkUseGPRScfg"));
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(cfg.gsm.at(GsmOff::useGPRScfg), 1);
    EXPECT_TRUE(BtnGprs()->isVisible());
    GprsTexts texts;
    ASSERT_TRUE(LoadGprsTexts(cfg.gprs, texts));
    EXPECT_EQ(texts.apn1, "internet.beeline.ru");
    EXPECT_EQ(texts.apn2, "internet.beeline.ru");

    // Unchecking only clears the byte and hides the button; the texts stay.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    DialogBox("edtAPN2")->setText("mine");
    ClickBox(Check("chkUseGPRScfg"));
    EXPECT_EQ(cfg.gsm.at(GsmOff::useGPRScfg), 0);
    EXPECT_TRUE(BtnGprs()->isHidden());
    EXPECT_EQ(DialogBox("edtAPN2")->text(), "mine");
    EXPECT_EQ(dialogShown, 1);

    // Checking again brings the presets back; "Изменить" then shows the
    // dialog with the texts as they stand.
    SaveDialogWhenShown();
    ClickBox(Check("chkUseGPRScfg"));
    EXPECT_EQ(DialogBox("edtAPN2")->text(), "internet.beeline.ru");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    SaveDialogWhenShown();
    QTest::mouseClick(BtnGprs(), Qt::LeftButton);
    EXPECT_EQ(dialogShown, 3);
}

TEST_F(GsmSwitches, RedrawLoadsTheDialogFromTheBlockOrFallsBackToPresets)
{
    BuildGprsBlock(cfg.gprs, {"apn.one", "u", "p", "", "", ""});
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    ModuleOn();
    EXPECT_TRUE(Check("chkUseGPRScfg")->isChecked());
    EXPECT_TRUE(BtnGprs()->isVisible());
    EXPECT_FALSE(dialog->isVisible()) << "a redraw never opens the dialog";
    EXPECT_EQ(DialogBox("edtAPN1")->text(), "apn.one");
    EXPECT_EQ(DialogBox("edtAPN2")->text(), "");

    cfg.gprs.buf.fill(0);
    page->GridGSMUpdate();
    EXPECT_EQ(DialogBox("edtAPN1")->text(), "internet.beeline.ru");
    EXPECT_EQ(DialogBox("edtUser2")->text(), "beeline");
}

} // namespace
} // namespace vk410
