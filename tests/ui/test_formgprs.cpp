#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "model/Gprs.h"
#include "GsmPageFixture.h"
#include "ui/FormGprs.h"

namespace vk410 {
namespace {

// Types characters the test keyboard map does not know (Cyrillic letters).
void TypeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

class FormGprsTest : public testing::Test {
protected:
    void SetUp() override
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* Box(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    QComboBox* List(const char* name) { return dialog.findChild<QComboBox*>(name); }
    void Save() { QTest::mouseClick(dialog.findChild<QPushButton*>("btnSaveExit"), Qt::LeftButton); }

    TGprsBlock block;
    TfrmGPRS dialog{block};
};

const char* const kBoxes[] = {"edtAPN1", "edtUser1", "edtPass1", "edtAPN2", "edtUser2", "edtPass2"};

TEST_F(FormGprsTest, PresetsFillTheirSimInTheDescribedForms)
{
    struct Preset {
        QString name, apn, user, pass;
    };
    const Preset presets[] = {
        {"Билайн", "internet.beeline.ru", "beeline", "beeline"},
        {"МТС", "internet.mts.ru", "mts", "mts"},
        {"Tele2", "internet.tele2.ru", "", ""},
        {"Megafon", "internet", "", ""},
    };
    const int apnLengths[] = {19, 15, 17, 8};
    // Created with empty boxes and no preset chosen.
    EXPECT_EQ(List("bxOper1")->currentIndex(), -1);
    EXPECT_EQ(List("bxOper2")->currentIndex(), -1);
    EXPECT_TRUE(Box("edtAPN1")->text().isEmpty());
    for (int row = 0; row < 4; ++row) {
        const Preset& p = presets[row];
        SCOPED_TRACE(p.name.toStdString());
        EXPECT_EQ(List("bxOper1")->itemText(row), p.name);
        EXPECT_EQ(p.apn.size(), apnLengths[row]);
        // SIM 2 first, so that the SIM 1 boxes show they are left alone.
        Box("edtUser2")->setText("someone");
        test::PickItem(List("bxOper2"), row);
        EXPECT_EQ(Box("edtAPN2")->text(), p.apn);
        EXPECT_EQ(Box("edtUser2")->text(), p.user);
        EXPECT_EQ(Box("edtPass2")->text(), p.pass);
        test::PickItem(List("bxOper1"), row);
        EXPECT_EQ(Box("edtAPN1")->text(), p.apn);
        EXPECT_EQ(Box("edtUser1")->text(), p.user);
        EXPECT_EQ(Box("edtPass1")->text(), p.pass);
    }
}

TEST_F(FormGprsTest, KeyFilterLetsOnlyTheAllowedCharactersThrough)
{
    for (const char* name : kBoxes) {
        SCOPED_TRACE(name);
        QLineEdit* box = Box(name);
        box->setFocus();
        TypeText(box, "aZ09-._");
        for (const QString refused : {" ", "ж", ",", "@", "!", "/"})
            TypeText(box, refused);
        EXPECT_EQ(box->text(), "aZ09-._");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "aZ09-.");
    }
}

TEST_F(FormGprsTest, RefusedInputOverASelectionLeavesTextAndSelection)
{
    dialog.SelectFirstPresets();
    QLineEdit* apn = Box("edtAPN1");
    const QString preset = apn->text();
    // Tab into the box selects its text; the keyboard is still in the Cyrillic layout.
    dialog.findChild<QPushButton*>("btnSaveExit")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(apn->hasFocus());
    ASSERT_EQ(apn->selectedText(), preset);
    TypeText(apn, "ин");
    QApplication::clipboard()->setText(" ,ж");
    QTest::keyClick(apn, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(apn->text(), preset);
    EXPECT_EQ(apn->selectedText(), preset);
    // An accepted key replaces the selection as usual.
    apn->selectAll();
    TypeText(apn, "жx");
    EXPECT_EQ(apn->text(), "x");
}

TEST_F(FormGprsTest, BoxesStopAtThirtyOneCharacters)
{
    QLineEdit* box = Box("edtAPN1");
    box->setFocus();
    QTest::keyClicks(box, QString(40, QLatin1Char('a')));
    EXPECT_EQ(box->text().size(), 31);
    // A character typed in the middle of a full box is refused, not pushed
    // past the end.
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClicks(box, "b");
    EXPECT_EQ(box->text(), QString(31, QLatin1Char('a')));
}

TEST_F(FormGprsTest, PastedTextPassesTheSameFilter)
{
    QLineEdit* box = Box("edtUser1");
    box->setFocus();
    QTest::keyClicks(box, "ab");
    QTest::keyClick(box, Qt::Key_Left);
    QApplication::clipboard()->setText("x y,ж-1");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "axy-1b");
    EXPECT_EQ(box->cursorPosition(), 5);
    // Paths other than the keys (context menu, drop) go through the filter as well.
    box->insert("  z z");
    EXPECT_EQ(box->text(), "axy-1zzb");
    // A long paste fills the box up to 31 characters and keeps what follows the cursor.
    QApplication::clipboard()->setText(QString(50, QLatin1Char('q')));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text().size(), 31);
    EXPECT_TRUE(box->text().startsWith("axy-1zzq"));
    EXPECT_TRUE(box->text().endsWith("qb"));
}

TEST_F(FormGprsTest, BlockStaysWithin199BytesWhateverIsPasted)
{
    QApplication::clipboard()->setText(QString(200, QLatin1Char('w')));
    for (const char* name : kBoxes) {
        Box(name)->setFocus();
        QTest::keyClick(Box(name), Qt::Key_V, Qt::ControlModifier);
    }
    Save();
    EXPECT_EQ(block.buf[1], 199);
    EXPECT_EQ(block.frameLength(), 199u);
    EXPECT_EQ(block.buf[4], 96);
}

TEST_F(FormGprsTest, SavingWithEmptySim1ApnStoresItsSectionAsZero)
{
    Box("edtUser1")->setText("user");
    Box("edtPass1")->setText("pass");
    Box("edtAPN2")->setText("x");
    Save();
    EXPECT_FALSE(dialog.isVisible());
    const uint8_t expected[] = {0x7E, 0x0B, 0x57, 0x03, 0x00, 0x04, 'x', 0x00, 0x00, 0x00};
    for (std::size_t i = 0; i < sizeof expected; ++i)
        EXPECT_EQ(block.buf[i], expected[i]) << "byte " << i;
}

TEST_F(FormGprsTest, SavingWithBothApnsEmptyLeavesTheBlockEmpty)
{
    block.buf.fill(0x55);
    block.buf[0] = 0;
    Box("edtUser1")->setText("user");
    Save();
    EXPECT_EQ(block.buf[0], 0);
    EXPECT_EQ(block.buf[1], 0x55);
}

TEST_F(FormGprsTest, LoadingFallsBackToTheFirstPresetWithoutSettings)
{
    for (const char* name : kBoxes)
        Box(name)->setText("old");
    dialog.LoadGprsTexts();
    EXPECT_EQ(Box("edtAPN1")->text(), "internet.beeline.ru");
    EXPECT_EQ(Box("edtPass2")->text(), "beeline");
    EXPECT_EQ(List("bxOper1")->currentIndex(), 0);
    EXPECT_EQ(List("bxOper2")->currentIndex(), 0);

    // A frame with another block number holds no settings either.
    BuildGprsBlock(block, {"abc", "", "", "", "", ""});
    block.buf[3] = 2;
    Box("edtAPN1")->setText("old");
    dialog.LoadGprsTexts();
    EXPECT_EQ(Box("edtAPN1")->text(), "internet.beeline.ru");
}

TEST_F(FormGprsTest, LoadingDecodesTheBlockAndLeavesThePresetListsAlone)
{
    test::PickItem(List("bxOper1"), 2);
    BuildGprsBlock(block, {"", "u1", "p1", "apn.two", "u2", ""});
    dialog.LoadGprsTexts();
    const GprsTexts expected{"", "", "", "apn.two", "u2", ""};
    EXPECT_EQ(dialog.Texts(), expected);
    EXPECT_EQ(List("bxOper1")->currentIndex(), 2);
}

TEST_F(FormGprsTest, TextsFromAFileAreShownAsTheyAreWithinTheBlocksLimits)
{
    const std::string cyrillic = Utf8ToCp1251("точка доступа");
    GprsTexts texts{cyrillic, std::string("a\0b", 3), std::string(40, 'p'), "apn2", "", "pw"};
    dialog.SetTexts(texts);
    EXPECT_EQ(Box("edtAPN1")->text(), "точка доступа");
    EXPECT_EQ(Box("edtUser1")->text(), "ab");
    EXPECT_EQ(Box("edtPass1")->text().size(), 31);
    const GprsTexts back = dialog.Texts();
    EXPECT_EQ(back.apn1, cyrillic);
    EXPECT_EQ(back.user1, "ab");
    EXPECT_EQ(back.pass1, std::string(31, 'p'));
    EXPECT_EQ(back.apn2, "apn2");
    // Typing into such a box filters only what is typed.
    Box("edtAPN1")->setFocus();
    QTest::keyClick(Box("edtAPN1"), Qt::Key_End);
    TypeText(Box("edtAPN1"), " 1");
    EXPECT_EQ(Box("edtAPN1")->text(), "точка доступа1");
}

TEST_F(FormGprsTest, EscapeDoesNotCloseAndACloseRequestSaves)
{
    Box("edtAPN1")->setText("abc");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(block.empty());
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(block.buf[0], 0x7E);
    EXPECT_EQ(block.buf[5], 'a');
}

} // namespace
} // namespace vk410
