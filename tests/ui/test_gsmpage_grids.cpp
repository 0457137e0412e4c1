#include "GsmPageFixture.h"

namespace vk410 {
namespace {

using test::ClickCell;
using test::Vec;

const std::vector<uint8_t> kPlaceholder = Vec({0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF});
const QString kPlaceholderText = "+7(903)-123-45-67";

class GsmGrids : public test::GsmPageFixture {
protected:
    void SetUp() override
    {
        GsmPageFixture::SetUp();
        ModuleOn();
    }
    uint8_t DestByte(int n) const { return cfg.gsm.at(GsmOff::destByte(n)); }
    std::vector<uint8_t> Address(int n) const { return Bytes(GsmOff::destAddr(n), kAddressSize); }
    // Destination n on SIA-IP, its address editor open.
    TMaskEdit* OpenIpEditor(int n)
    {
        Choose(grdG1, 2, n, "bxGrTryCnt", "1");
        Choose(grdG1, 4, n, "bxGrType", "SIA-IP");
        ClickCell(grdG1, 5, n);
        return Edit("medtGrPhHst");
    }
};

TEST_F(GsmGrids, StartShowsTitlesAndTheDefaultBlock)
{
    EXPECT_EQ(grdG1->Cell(0, 0), "№");
    EXPECT_EQ(grdG1->Cell(5, 0), "Телефон\\Хост");
    EXPECT_EQ(grdSMS->Cell(2, 0), "Передача SMS");
    EXPECT_EQ(grdG1->columnWidth(1), 1);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(grdG1->Cell(0, n), QString::number(n));
        EXPECT_EQ(Row(grdG1, n), QStringList({"Выкл.", "", "", ""}));
    }
    for (int m = 1; m <= 3; ++m)
        EXPECT_EQ(Row(grdSMS, m), QStringList({"Выключено", ""}));
    EXPECT_EQ(Edit("medtDevNumber")->text(), "0001");
}

TEST_F(GsmGrids, TriesOnAnOffDestinationSwitchesItOnWithThePlaceholder)
{
    Choose(grdG1, 2, 2, "bxGrTryCnt", "3");
    EXPECT_EQ(DestByte(2), 0x60);
    EXPECT_EQ(Address(2), kPlaceholder);
    EXPECT_EQ(Row(grdG1, 2), QStringList({"3", "1,2", "Voice", kPlaceholderText}));
    // The selection is parked in column 1 of the row, on the grid.
    EXPECT_EQ(grdG1->currentColumn(), 1);
    EXPECT_EQ(grdG1->currentRow(), 2);
    EXPECT_TRUE(grdG1->hasFocus());
}

TEST_F(GsmGrids, OffEmptiesTheRowAndRefusesItsCells)
{
    Choose(grdG1, 2, 1, "bxGrTryCnt", "2");
    Choose(grdG1, 3, 1, "bxGrSIM", "2");
    Choose(grdG1, 4, 1, "bxGrType", "CSD");
    EXPECT_EQ(DestByte(1), 0x40 | 0x10 | 0x01);
    Choose(grdG1, 2, 1, "bxGrTryCnt", "Выкл.");
    EXPECT_EQ(DestByte(1), 0x00);
    EXPECT_EQ(Row(grdG1, 1), QStringList({"Выкл.", "", "", ""}));
    for (int col : {3, 4, 5}) {
        ClickCell(grdG1, col, 1);
        EXPECT_EQ(grdG1->currentColumn(), 1) << col;
        for (const char* editor : {"bxGrSIM", "bxGrType", "medtGrPhHst"})
            EXPECT_TRUE(page->findChild<QWidget*>(editor)->isHidden()) << editor;
    }
    // Keyboard movement into a refused cell is refused as well.
    grdG1->setFocus();
    QTest::keyClick(grdG1, Qt::Key_Right);
    QTest::keyClick(grdG1, Qt::Key_Right);
    EXPECT_EQ(grdG1->currentColumn(), 2);
    EXPECT_TRUE(List("bxGrTryCnt")->isVisible());
    QTest::keyClick(List("bxGrTryCnt")->view(), Qt::Key_Escape);
    ASSERT_EVENTUALLY(List("bxGrTryCnt")->isHidden());
    EXPECT_EQ(DestByte(1), 0x00);
}

TEST_F(GsmGrids, ProtocolChangesSwapTheAddressForm)
{
    Choose(grdG1, 2, 4, "bxGrTryCnt", "1");
    Choose(grdG1, 4, 4, "bxGrType", "SIA-IP");
    EXPECT_EQ(grdG1->Cell(5, 4), "127.000.000.001:24333");
    EXPECT_EQ(Bytes(GsmOff::destAddr(4), 6), Vec({0x7F, 0, 0, 1, 0x5F, 0x0D}));
    ClickCell(grdG1, 5, 4);
    TMaskEdit* editor = Edit("medtGrPhHst");
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->EditMaskText(), "!000.000.000.000:00000;1;_");
    EXPECT_EQ(editor->text(), "127.000.000.001:24333");
    QTest::keyClick(editor, Qt::Key_Escape);
    ASSERT_EVENTUALLY(editor->isHidden());

    Choose(grdG1, 4, 4, "bxGrType", "Telvex");
    EXPECT_EQ(grdG1->Cell(5, 4), "127.000.000.001:24333");
    Choose(grdG1, 4, 4, "bxGrType", "CSD");
    EXPECT_EQ(Address(4), kPlaceholder);
    ClickCell(grdG1, 5, 4);
    EXPECT_EQ(editor->EditMaskText(), "999999999999;1; ");
    EXPECT_EQ(editor->Text(), "79031234567 ");
}

TEST_F(GsmGrids, CompleteIpIsStoredAndIncompleteNeverReachesTheBlock)
{
    Choose(grdG1, 2, 3, "bxGrTryCnt", "5");
    Choose(grdG1, 4, 3, "bxGrType", "Telvex");
    TypeInto(grdG1, 5, 3, "medtGrPhHst", "010000000001" "40000");
    TMaskEdit* editor = Edit("medtGrPhHst");
    ASSERT_EVENTUALLY(editor->isHidden());
    EXPECT_EQ(Bytes(GsmOff::destAddr(3), 6), Vec({0x0A, 0x00, 0x00, 0x01, 0x9C, 0x40}));
    EXPECT_EQ(grdG1->Cell(5, 3), "010.000.000.001:40000");

    const std::vector<uint8_t> before = Address(3);
    struct Bad {
        const char* keys;
        const char* why;
    } const bad[] = {{"1921680010", "incomplete"}, {"300000000001" "24333", "octet above 255"},
                     {"001000000001" "70000", "port above 65535"}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.why);
        const int beeps = msgs.beeps;
        const std::size_t boxes = msgs.errors.size();
        TypeInto(grdG1, 5, 3, "medtGrPhHst", b.keys);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_EQ(msgs.beeps, beeps + 1);
        ASSERT_EVENTUALLY(msgs.errors.size() == boxes + 1);
        EXPECT_EQ(msgs.errors.back(), TMaskEdit::kInvalidInputMessage);
        // Clicking another cell does not get past the editor either.
        ClickCell(grdG1, 2, 1);
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_TRUE(List("bxGrTryCnt")->isHidden());
        // Nor does a row drag.
        QTest::mousePress(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 3));
        QTest::mouseRelease(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 1));
        EXPECT_EQ(grdG1->Cell(2, 3), "5");
        EXPECT_EQ(Address(3), before);
        ASSERT_EVENTUALLY(msgs.errors.size() == boxes + 2);
        // Esc abandons the change and ends the edit.
        QTest::keyClick(editor, Qt::Key_Escape);
        ASSERT_EVENTUALLY(editor->isHidden());
        EXPECT_EQ(Address(3), before);
        EXPECT_EQ(grdG1->Cell(5, 3), "010.000.000.001:40000");
    }
}

// A box that took the activation and closed again: nothing activates the
// window after it (offscreen, as on desktops that leave it to the user).
void LoseActivation()
{
    QWidget box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
}

TEST_F(GsmGrids, EscEndsTheEditAndTheCellShowsTheBlock)
{
    SetDestinationTries(cfg.gsm, 1, 2);
    SetDestinationProtocol(cfg.gsm, dpSIAIP, 2);
    SetDestinationIp(cfg.gsm, "192.168.001.002:24333", 2);
    page->GridGSMUpdate();
    const std::vector<uint8_t> held = Address(2);
    TMaskEdit* editor = Edit("medtGrPhHst");
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "after a refusal" : "typed, then Esc");
        ClickCell(grdG1, 5, 2);
        ASSERT_TRUE(editor->isVisible());
        QTest::keyClicks(editor, "1921");
        if (refused) {
            ClickBox(Check("chkCXMExist"));
            ASSERT_EVENTUALLY(!msgs.errors.empty());
            EXPECT_TRUE(Check("chkCXMExist")->isChecked());
        }
        LoseActivation();
        QTest::keyClick(editor, Qt::Key_Escape);
        EXPECT_TRUE(editor->isHidden());
        EXPECT_EQ(grdG1->Cell(5, 2), "192.168.001.002:24333");
        EXPECT_EQ(Address(2), held);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
}

TEST_F(GsmGrids, ModuleBoxWaitsForTheEditorAndClosesIt)
{
    TMaskEdit* editor = OpenIpEditor(2);
    QTest::keyClicks(editor, "01");
    // Half an address: the module box does not act.
    ClickBox(Check("chkCXMExist"));
    EXPECT_TRUE(Check("chkCXMExist")->isChecked());
    EXPECT_TRUE(editor->hasFocus());
    // A complete one is stored before the page's controls go.
    QTest::keyClicks(editor, "0000000001" "08080");
    ClickBox(Check("chkCXMExist"));
    EXPECT_FALSE(Check("chkCXMExist")->isChecked());
    EXPECT_TRUE(editor->isHidden());
    const std::vector<uint8_t> stored = Vec({10, 0, 0, 1, 0x1F, 0x90, 0, 0});
    EXPECT_EQ(Address(2), stored);
    // A refresh that hides the page drops a half-typed address with the editor.
    ModuleOn();
    ClickCell(grdG1, 5, 2);
    QTest::keyClicks(editor, "1");
    cfg.main.at(MainOff::state) = 0;
    page->RefreshFromBlocks();
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(Address(2), stored);
}

TEST_F(GsmGrids, AddressTypedAsWrittenIsStored)
{
    TMaskEdit* editor = OpenIpEditor(1);
    QTest::keyClicks(editor, "192.168.1.2:24333");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Bytes(GsmOff::destAddr(1), 6), Vec({192, 168, 1, 2, 0x5F, 0x0D}));
    EXPECT_EQ(grdG1->Cell(5, 1), "192.168.001.002:24333");
}

TEST_F(GsmGrids, PhoneOfElevenDigitsIsStoredAndFourDigitsAreRefused)
{
    Choose(grdG1, 2, 5, "bxGrTryCnt", "1");
    // The editor opens with its text selected: typing replaces the number.
    ClickCell(grdG1, 5, 5);
    QTest::keyClicks(Edit("medtGrPhHst"), "79161112233");
    QTest::keyClick(Edit("medtGrPhHst"), Qt::Key_Return);
    ASSERT_EVENTUALLY(Edit("medtGrPhHst")->isHidden());
    EXPECT_EQ(grdG1->Cell(5, 5), "+7(916)-111-22-33");
    EXPECT_EQ(Address(5), Vec({0x97, 0x61, 0x11, 0x21, 0x32, 0xF3, 0xFF, 0xFF}));
    TypeInto(grdG1, 5, 5, "medtGrPhHst", "1234");
    ASSERT_EVENTUALLY(Edit("medtGrPhHst")->isHidden());
    EXPECT_EQ(grdG1->Cell(5, 5), "+7(916)-111-22-33");
    EXPECT_EQ(msgs.beeps, 0);
}

TEST_F(GsmGrids, ClickOnTheOtherGridLeavesTheEditorAndOpensThatCell)
{
    Choose(grdG1, 2, 1, "bxGrTryCnt", "1");
    ClickCell(grdG1, 5, 1);
    TMaskEdit* editor = Edit("medtGrPhHst");
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClicks(editor, "88005553535");
    ClickCell(grdSMS, 2, 1);
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(grdG1->Cell(5, 1), "+8(800)-555-35-35");
    EXPECT_TRUE(List("bxSMSType")->isVisible());
    test::PickItem(List("bxSMSType"), 1);
    ASSERT_EVENTUALLY(List("bxSMSType")->isHidden());
    EXPECT_EQ(cfg.gsm.at(GsmOff::smsCfg(1)), 1);
}

TEST_F(GsmGrids, UntouchedEditorKeepsANumberLongerThanItsPositions)
{
    // Fifteen digits from the panel; the editor has twelve positions.
    SetDestinationTries(cfg.gsm, 1, 1);
    SetDestinationPhone(cfg.gsm, "123456789012345", 1);
    page->GridGSMUpdate();
    const std::vector<uint8_t> before = Address(1);
    ClickCell(grdG1, 5, 1);
    QTest::keyClick(Edit("medtGrPhHst"), Qt::Key_Return);
    ASSERT_EVENTUALLY(Edit("medtGrPhHst")->isHidden());
    EXPECT_EQ(Address(1), before);
}

TEST_F(GsmGrids, ListClosedWithoutAChoiceChangesNothing)
{
    Choose(grdG1, 2, 2, "bxGrTryCnt", "4");
    ClickCell(grdG1, 3, 2);
    QComboBox* box = List("bxGrSIM");
    ASSERT_EVENTUALLY(box->view()->window()->isVisible());
    QTest::keyClick(box->view(), Qt::Key_Escape);
    ASSERT_EVENTUALLY(box->isHidden());
    EXPECT_EQ(DestByte(2), 0x80);
    EXPECT_EQ(grdG1->currentColumn(), 1);
}

TEST_F(GsmGrids, DraggingRow1BelowRow3ReordersTheDestinations)
{
    // Destination 1: Voice, 3 tries; 2: SIA-IP; 3: CSD on SIM 2 with its own number.
    SetDestinationTries(cfg.gsm, 3, 1);
    SetDestinationTries(cfg.gsm, 1, 2);
    SetDestinationProtocol(cfg.gsm, dpSIAIP, 2);
    SetDestinationIp(cfg.gsm, "010.001.002.003:00080", 2);
    SetDestinationTries(cfg.gsm, 2, 3);
    SetDestinationSim(cfg.gsm, 2, 3);
    SetDestinationProtocol(cfg.gsm, dpCSD, 3);
    SetDestinationPhone(cfg.gsm, "88005553535", 3);
    page->GridGSMUpdate();
    const TGsmBlock old = cfg.gsm;
    const auto dest = [](const TGsmBlock& b, int n) {
        return std::vector<uint8_t>(b.payload() + GsmOff::destByte(n), b.payload() + GsmOff::destByte(n) + 7);
    };

    grdG1->setFocus();
    QTest::mousePress(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 1));
    QTest::mouseMove(grdG1->viewport(), test::CellCentre(grdG1, 0, 2));
    QTest::mouseRelease(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 3));

    EXPECT_EQ(dest(cfg.gsm, 1), dest(old, 2));
    EXPECT_EQ(dest(cfg.gsm, 2), dest(old, 3));
    EXPECT_EQ(dest(cfg.gsm, 3), dest(old, 1));
    EXPECT_EQ(Bytes(GsmOff::destAddr(2), 8), std::vector<uint8_t>(old.payload() + GsmOff::destAddr(3),
                                                                   old.payload() + GsmOff::destAddr(3) + 8));
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(grdG1->Cell(0, n), QString::number(n));
    EXPECT_EQ(Row(grdG1, 1), QStringList({"1", "1,2", "SIA-IP", "010.001.002.003:00080"}));
    EXPECT_EQ(Row(grdG1, 3), QStringList({"3", "1,2", "Voice", kPlaceholderText}));
    EXPECT_EQ(grdG1->currentRow(), 1);
    EXPECT_EQ(grdG1->currentColumn(), 1);
}

TEST_F(GsmGrids, DraggedRowShowsWhereItLandsAndCanBeCancelled)
{
    SetDestinationTries(cfg.gsm, 3, 2);
    page->GridGSMUpdate();
    const TGsmBlock before = cfg.gsm;
    QWidget* view = grdG1->viewport();
    const QPoint outside = view->mapFrom(page, QPoint(300, 20));
    grdG1->setFocus();
    QTest::mousePress(view, Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 2));
    QTest::mouseMove(view, test::CellCentre(grdG1, 0, 4));
    EXPECT_EQ(grdG1->DropRow(), 4);
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    // Outside the grid there is nowhere to land, and a release there moves nothing.
    QTest::mouseMove(view, outside);
    EXPECT_EQ(grdG1->DropRow(), -1);
    EXPECT_EQ(view->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(view, Qt::LeftButton, {}, outside);
    EXPECT_EQ(cfg.gsm.buf, before.buf);
    // Esc cancels a drag under way.
    QTest::mousePress(view, Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 2));
    QTest::mouseMove(view, test::CellCentre(grdG1, 0, 4));
    QTest::keyClick(grdG1, Qt::Key_Escape);
    EXPECT_EQ(grdG1->DropRow(), -1);
    QTest::mouseRelease(view, Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 4));
    EXPECT_EQ(cfg.gsm.buf, before.buf);
}

TEST_F(GsmGrids, DraggedNumberTooShortForItsTextKeepsItsBytes)
{
    // A four-digit number a panel may hold: its text cannot be stored again.
    const uint8_t shortNumber[kAddressSize] = {0x21, 0x43, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    SetDestinationTries(cfg.gsm, 2, 1);
    std::copy(shortNumber, shortNumber + kAddressSize, cfg.gsm.payload() + GsmOff::destAddr(1));
    page->GridGSMUpdate();
    grdG1->setFocus();
    QTest::mousePress(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 1));
    QTest::mouseRelease(grdG1->viewport(), Qt::LeftButton, {}, test::CellCentre(grdG1, 0, 2));
    EXPECT_EQ(DestByte(2), 0x40);
    EXPECT_EQ(Address(2), std::vector<uint8_t>(shortNumber, shortNumber + kAddressSize));
    EXPECT_EQ(DestByte(1), 0x00);
}

TEST_F(GsmGrids, SmsRecipientTypeAndPhone)
{
    ClickCell(grdSMS, 3, 2);
    EXPECT_TRUE(Edit("medtSMSPhone")->isHidden()) << "recipient off";
    Choose(grdSMS, 2, 2, "bxSMSType", "Тревоги, взятия\\снятия");
    EXPECT_EQ(cfg.gsm.at(GsmOff::smsCfg(2)), 2);
    EXPECT_EQ(grdSMS->Cell(3, 2), kPlaceholderText);
    TypeInto(grdSMS, 3, 2, "medtSMSPhone", "123456789012");
    ASSERT_EVENTUALLY(Edit("medtSMSPhone")->isHidden());
    EXPECT_EQ(grdSMS->Cell(3, 2), "+1(234)-567-89-012");
    EXPECT_EQ(Bytes(GsmOff::smsAddr(2), 8), Vec({0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x0F, 0xFF}));
    // A type above 2 from the panel shows no text.
    cfg.gsm.at(GsmOff::smsCfg(3)) = 7;
    page->GridGSMUpdate();
    EXPECT_EQ(grdSMS->Cell(2, 3), "");
    EXPECT_EQ(grdSMS->Cell(3, 3), kPlaceholderText);
}

TEST_F(GsmGrids, DisplayReadsOutOfRangeDestinationBytes)
{
    cfg.gsm.at(GsmOff::destByte(1)) = 0xFF;
    page->GridGSMUpdate();
    EXPECT_EQ(Row(grdG1, 1), QStringList({"5", "1,2", "Voice", kPlaceholderText}));
}

} // namespace
} // namespace vk410
