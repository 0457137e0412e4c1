// Number edits, their spins, the control period's exit rule and the Meridian count.
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

#include "WindowFixture.h"
#include "model/MainBlock.h"

namespace vk410::test {
namespace {

// Text typed over a number edit, what the edit then shows and the byte it stored.
struct EditCase {
    const char* edit;
    const char* typed;
    const char* shown;
    std::size_t offset;
    uint8_t stored;
};

class NumberEditTest : public WindowTest {
protected:
    template <std::size_t N> void TypeEach(const EditCase (&cases)[N])
    {
        for (const EditCase& c : cases) {
            QLineEdit* edit = Edit(QString::fromLatin1(c.edit));
            if (!edit->isVisible()) { // its page to the front
                QWidget* page = edit;
                while (page->parentWidget() && !qobject_cast<QStackedWidget*>(page->parentWidget()))
                    page = page->parentWidget();
                ShowPage(page->objectName());
            }
            TypeOver(edit, QString::fromLatin1(c.typed));
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.edit << " '" << c.typed << "'";
            EXPECT_EQ(Byte(c.offset), c.stored) << c.edit << " '" << c.typed << "'";
        }
    }
};

TEST_F(NumberEditTest, NumberEditsKeepTheirBoundsAndFallBackOnEmptyText)
{
    // The delays on the first page, the sends on the hidden radio page.
    const EditCase cases[] = {
        {"fldDelayOut", "", "15", MainOff::out, 15},
        {"fldDelayOut", "150", "99", MainOff::out, 99},
        {"fldDelayOut", "0", "0", MainOff::out, 0},
        {"fldDelayIn", "", "30", MainOff::in, 30},
        {"fldDelayIn", "45", "45", MainOff::in, 45},
        {"fldDelayIn", "x", "30", MainOff::in, 30},
        {"AlarmTxQuant", "", "8", MainOff::alarmsends, 8},
        {"AlarmTxQuant", "20", "15", MainOff::alarmsends, 15},
        {"AlarmTxQuant", "0", "1", MainOff::alarmsends, 1},
        {"AlarmTxQuant", "12", "12", MainOff::alarmsends, 12},
        {"ChangeTxQuant", "", "5", MainOff::restoresends, 5},
        {"ChangeTxQuant", "3", "3", MainOff::restoresends, 3},
        // "-" alone is no number and falls back to 5 at once; "4" then makes "54".
        {"ChangeTxQuant", "-4", "15", MainOff::restoresends, 15},
    };
    TypeEach(cases);
    // The restore-sends edit leaves the alarm-sends byte alone.
    TypeOver(Edit(QStringLiteral("AlarmTxQuant")), QStringLiteral("9"));
    TypeOver(Edit(QStringLiteral("ChangeTxQuant")), QStringLiteral("7"));
    EXPECT_EQ(Byte(MainOff::alarmsends), 9);
    EXPECT_EQ(Byte(MainOff::restoresends), 7);
}

TEST_F(WindowTest, ControlPeriodBelowThirtyIsRaisedOnLeaving)
{
    ShowPage(QStringLiteral("PageRadio"));
    QLineEdit* period = Edit(QStringLiteral("RadioCheckBox"));
    TypeOver(period, QStringLiteral("5"));
    EXPECT_EQ(Byte(2), 0x05);
    EXPECT_EQ(Byte(3), 0x00);
    TabAway(period);
    EXPECT_EQ(period->text(), QStringLiteral("30"));
    EXPECT_EQ(Byte(2), 0x1E);
    EXPECT_EQ(Byte(3), 0x00);

    TypeOver(period, QStringLiteral("400"));
    EXPECT_EQ(period->text(), QStringLiteral("300"));
    EXPECT_EQ(Byte(2), 0x2C);
    EXPECT_EQ(Byte(3), 0x01);
    TabAway(period);
    EXPECT_EQ(period->text(), QStringLiteral("300"));

    TypeOver(period, QString());
    EXPECT_EQ(period->text(), QStringLiteral("45"));
    EXPECT_EQ(Byte(2), 0x2D);
}

TEST_F(WindowTest, SpinsStepWithinTheirRangeAndWriteThroughTheEdit)
{
    ShowPage(QStringLiteral("PageRadio"));
    auto click = [this](const char* spin, const char* arrow, int times) {
        auto* button = Find<QWidget>(QString::fromLatin1(spin))->findChild<QToolButton*>(QString::fromLatin1(arrow));
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(button, Qt::LeftButton);
    };
    click("AlarmTxQuantSpin", "up", 9);
    EXPECT_EQ(Edit(QStringLiteral("AlarmTxQuant"))->text(), QStringLiteral("15"));
    EXPECT_EQ(Byte(MainOff::alarmsends), 15);
    click("ChangeTxQuantSpin", "down", 6);
    EXPECT_EQ(Byte(MainOff::restoresends), 1);
    click("RadioCheckSpin", "down", 20);
    EXPECT_EQ(ControlTime(window->Config().main), 30);

    // The radio spins ignore the arrow keys; the delay spins follow them.
    QLineEdit* alarms = Edit(QStringLiteral("AlarmTxQuant"));
    alarms->setFocus();
    QTest::keyClick(alarms, Qt::Key_Down);
    EXPECT_EQ(Byte(MainOff::alarmsends), 15);

    ShowPage(QStringLiteral("PageShlf"));
    TypeOver(Edit(QStringLiteral("fldDelayOut")), QStringLiteral("20"));
    QTest::keyClick(Edit(QStringLiteral("fldDelayOut")), Qt::Key_Up);
    EXPECT_EQ(Edit(QStringLiteral("fldDelayOut"))->text(), QStringLiteral("21"));
    EXPECT_EQ(Byte(MainOff::out), 21);
}

class MeridianTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        SelectModel(1);
        mrd = Check(QStringLiteral("chkMRD"));
        count = Edit(QStringLiteral("edtMRD"));
    }
    QCheckBox* mrd = nullptr;
    QLineEdit* count = nullptr;
};

TEST_F(MeridianTest, CountIsCappedAtNinetyNineOnLeaving)
{
    QTest::mouseClick(mrd, Qt::LeftButton);
    EXPECT_EQ(count->text(), QStringLiteral("1"));
    EXPECT_EQ(Byte(MainOff::qnt), 1);
    ASSERT_TRUE(count->isEnabled());

    // A click selects the whole count, so typing replaces it.
    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(3, count->height() / 2));
    EXPECT_TRUE(count->hasFocus());
    EXPECT_EQ(count->selectedText(), QStringLiteral("1"));
    QTest::keyClicks(count, QStringLiteral("1a5-0"));
    EXPECT_EQ(count->text(), QStringLiteral("150"));
    QTest::keyClick(count, Qt::Key_Backspace);
    EXPECT_EQ(count->text(), QStringLiteral("150"));
    TabAway(count);
    EXPECT_EQ(count->text(), QStringLiteral("99"));
    EXPECT_EQ(Byte(MainOff::qnt), 99);

    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(3, count->height() / 2));
    QTest::keyClicks(count, QStringLiteral("42"));
    TabAway(count);
    EXPECT_EQ(Byte(MainOff::qnt), 42);

    QTest::mouseClick(mrd, Qt::LeftButton);
    EXPECT_EQ(count->text(), QStringLiteral("0"));
    EXPECT_FALSE(count->isEnabled());
    EXPECT_EQ(Byte(MainOff::qnt), 0);
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(MeridianTest, EmptiedCountIsReportedAndNotStored)
{
    QTest::mouseClick(mrd, Qt::LeftButton);
    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(3, count->height() / 2));
    QTest::keyClicks(count, QStringLiteral("17"));
    TabAway(count);
    ASSERT_EQ(Byte(MainOff::qnt), 17);

    count->setFocus();
    ASSERT_TRUE(WaitFor([this] { return count->hasFocus(); }));
    QTest::keyClick(count, Qt::Key_End);
    QTest::keyClick(count, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(count, Qt::Key_Delete);
    EXPECT_TRUE(count->text().isEmpty());
    TabAway(count);
    ASSERT_TRUE(WaitFor([this] { return !boxes.errors.empty(); }));
    EXPECT_EQ(boxes.errors.size(), 1u);
    EXPECT_EQ(boxes.errors[0], QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(Byte(MainOff::qnt), 17);
}

TEST_F(MeridianTest, ExitWithAnEmptiedCountLeavesNoBoxBehind)
{
    QTest::mouseClick(mrd, Qt::LeftButton);
    TypeOver(count, QString());
    QTest::mouseClick(Button("BtnClose"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return !window->isVisible(); }));
    QTest::qWait(50);
    EXPECT_TRUE(boxes.errors.empty());
}

} // namespace
} // namespace vk410::test
