// Blocks with bytes out of the controls' ranges, shown by the refresh.
#include "WindowFixture.h"
#include "model/MainBlock.h"

namespace vk410::test {
namespace {

TEST_F(WindowTest, RefreshNormalisesWhatTheControlsCannotShow)
{
    RawByte(MainOff::alarmsends) = 0;
    RawByte(MainOff::restoresends) = 40;
    SetControlTime(window->Config().main, 1000);
    RawByte(MainOff::out) = 200;
    RawByte(MainOff::type(2)) = 0x86; // interior with a reset bit
    RawByte(MainOff::type(7)) = 0x03; // fire without reset
    RawByte(MainOff::cid(3)) = 14;    // no row
    RawByte(MainOff::cid(4)) = 222;
    RawByte(MainOff::mask) = 0x41;
    RawByte(MainOff::KeyBeep) = 0x01;
    RawByte(MainOff::BLMode) = 3;
    RawByte(MainOff::BLLevel) = 12;
    window->RefreshControls();

    EXPECT_EQ(Edit(QStringLiteral("AlarmTxQuant"))->text(), QStringLiteral("1"));
    EXPECT_EQ(Byte(MainOff::alarmsends), 1);
    EXPECT_EQ(Byte(MainOff::restoresends), 15);
    EXPECT_EQ(ControlTime(window->Config().main), 300);
    EXPECT_EQ(Edit(QStringLiteral("fldDelayOut"))->text(), QStringLiteral("99"));
    EXPECT_EQ(Byte(MainOff::out), 99);

    EXPECT_EQ(Byte(MainOff::type(2)), 0x06);
    EXPECT_FALSE(FireBox(2)->isChecked());
    EXPECT_EQ(Byte(MainOff::type(7)), 0x03);
    EXPECT_FALSE(FireBox(7)->isChecked());
    EXPECT_TRUE(FireBox(7)->isEnabled());

    EXPECT_EQ(EventBox(3)->currentIndex(), -1);
    EXPECT_EQ(Byte(MainOff::cid(3)), 14);
    EXPECT_EQ(EventBox(4)->currentText(), QStringLiteral("651 - РЕЗЕРВ"));

    EXPECT_TRUE(Check(QStringLiteral("ExpBox2"))->isChecked());
    EXPECT_TRUE(Check(QStringLiteral("ExpBox8"))->isChecked());
    EXPECT_FALSE(Check(QStringLiteral("ExpBox1"))->isChecked());
    EXPECT_EQ(Byte(MainOff::mask), 0x41);

    EXPECT_EQ(Combo(QStringLiteral("bxKeyBeep"))->currentText(), QStringLiteral("Включён"));
    EXPECT_EQ(Byte(MainOff::KeyBeep), 0x01);
    EXPECT_EQ(Combo(QStringLiteral("bxKeyBLMode"))->currentText(), QStringLiteral("Авто"));
    EXPECT_EQ(Byte(MainOff::BLMode), 3);
    EXPECT_EQ(Edit(QStringLiteral("fldKeyBright"))->text(), QStringLiteral("9"));
    EXPECT_EQ(Byte(MainOff::BLLevel), 12);
}

TEST_F(WindowTest, RepeatedRefreshOfTheSameOutOfRangeByteStillStoresTheBound)
{
    // The second refresh finds the edit already showing "1": the byte must
    // still come out as 1, not stay 0.
    RawByte(MainOff::alarmsends) = 0;
    window->RefreshControls();
    ASSERT_EQ(Byte(MainOff::alarmsends), 1);
    RawByte(MainOff::alarmsends) = 0;
    window->RefreshControls();
    EXPECT_EQ(Edit(QStringLiteral("AlarmTxQuant"))->text(), QStringLiteral("1"));
    EXPECT_EQ(Byte(MainOff::alarmsends), 1);
}

TEST_F(WindowTest, RefreshShowsLoopTypesAndTheirDependants)
{
    for (int n = 1; n <= kLoopCount; ++n)
        RawByte(MainOff::type(n)) = 0x05;
    RawByte(MainOff::type(8)) = 0x00;
    window->RefreshControls();
    EXPECT_FALSE(Edit(QStringLiteral("fldDelayIn"))->isEnabled());
    EXPECT_EQ(TypeBox(8)->currentText(), QStringLiteral("Отключен"));
    EXPECT_FALSE(EventBox(8)->isEnabled());
    EXPECT_TRUE(EventBox(7)->isEnabled());
    for (int n = 1; n <= kLoopCount; ++n)
        EXPECT_FALSE(FireBox(n)->isEnabled()) << n;

    // A door loop with stray high bits is not a door loop for the entry delay.
    RawByte(MainOff::type(3)) = 0x0F;
    window->RefreshControls();
    EXPECT_EQ(TypeBox(3)->currentText(), QStringLiteral("Дверной"));
    EXPECT_FALSE(Edit(QStringLiteral("fldDelayIn"))->isEnabled());
    RawByte(MainOff::type(3)) = 0x07;
    window->RefreshControls();
    EXPECT_TRUE(Edit(QStringLiteral("fldDelayIn"))->isEnabled());
}

TEST_F(WindowTest, ModelZeroRefreshLeavesTheMeridianByteAlone)
{
    RawByte(MainOff::qnt) = 55;
    window->RefreshControls();
    EXPECT_EQ(Byte(MainOff::qnt), 55);
}

} // namespace
} // namespace vk410::test
