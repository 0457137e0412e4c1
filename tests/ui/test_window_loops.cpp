// Loops page: types, events, power reset, the entry delay's dependence, expanders.
#include "WindowFixture.h"

namespace vk410::test {
namespace {

TEST_F(WindowTest, FireLoopStartsWithPowerResetAndLosesItWhenChangedBack)
{
    PickText(TypeBox(2), QStringLiteral("Пожарный"));
    EXPECT_EQ(Byte(MainOff::type(2)), 0x83);
    EXPECT_EQ(Byte(MainOff::cid(2)), 4);
    EXPECT_EQ(EventBox(2)->currentText(), QStringLiteral("110 - ПОЖАР"));
    EXPECT_TRUE(FireBox(2)->isEnabled());
    EXPECT_TRUE(FireBox(2)->isChecked());

    QTest::mouseClick(FireBox(2), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::type(2)), 0x03);
    QTest::mouseClick(FireBox(2), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::type(2)), 0x83);

    PickText(TypeBox(2), QStringLiteral("Охранный"));
    EXPECT_EQ(Byte(MainOff::type(2)), 0x05);
    EXPECT_EQ(Byte(MainOff::cid(2)), 20);
    EXPECT_EQ(EventBox(2)->currentText(), QStringLiteral("131 - ПЕРИМЕТР"));
    EXPECT_FALSE(FireBox(2)->isEnabled());
    EXPECT_FALSE(FireBox(2)->isChecked());
}

TEST_F(WindowTest, EachTypeBringsItsDefaultEvent)
{
    const struct {
        const char* type;
        uint8_t typeByte;
        uint8_t event;
        const char* eventText;
    } cases[] = {
        {"Тревожный", 0x01, 16, "123 - Т.К.ГРОМКАЯ"}, {"Тихий тревожный", 0x02, 15, "122 - Т.К.ТИХАЯ"},
        {"Пожарный", 0x83, 4, "110 - ПОЖАР"},         {"Служебный", 0x04, 37, "150 - НЕ ОХР.ЗОНА"},
        {"Охранный", 0x05, 20, "131 - ПЕРИМЕТР"},     {"Внутренний", 0x06, 21, "132 - ВНУТРЕННЯЯ"},
        {"Дверной", 0x07, 23, "134 - ВХОД/ВЫХОД"},
    };
    for (const auto& c : cases) {
        PickText(TypeBox(4), QString::fromUtf8(c.type));
        EXPECT_EQ(Byte(MainOff::type(4)), c.typeByte) << c.type;
        EXPECT_EQ(Byte(MainOff::cid(4)), c.event) << c.type;
        EXPECT_EQ(EventBox(4)->currentText(), QString::fromUtf8(c.eventText)) << c.type;
        EXPECT_TRUE(EventBox(4)->isEnabled());
    }
    // Only loop 4 was touched.
    EXPECT_EQ(Byte(MainOff::type(5)), 0x05);
    EXPECT_EQ(Byte(MainOff::cid(5)), 20);
}

TEST_F(WindowTest, SwitchedOffLoopKeepsItsEventByte)
{
    PickText(TypeBox(3), QStringLiteral("Отключен"));
    EXPECT_EQ(Byte(MainOff::type(3)), 0x00);
    EXPECT_EQ(Byte(MainOff::cid(3)), 21);
    EXPECT_FALSE(EventBox(3)->isEnabled());
    PickText(TypeBox(3), QStringLiteral("Тревожный"));
    EXPECT_TRUE(EventBox(3)->isEnabled());
    EXPECT_EQ(Byte(MainOff::cid(3)), 16);
}

TEST_F(WindowTest, EntryDelayFollowsTheDoorLoops)
{
    QLineEdit* in = Edit(QStringLiteral("fldDelayIn"));
    const QColor enabledBase = in->palette().color(QPalette::Base);
    PickText(TypeBox(1), QStringLiteral("Охранный"));
    EXPECT_FALSE(in->isEnabled());
    EXPECT_NE(in->palette().color(QPalette::Base), enabledBase);

    PickText(TypeBox(5), QStringLiteral("Дверной"));
    EXPECT_EQ(Byte(MainOff::type(5)), 0x07);
    EXPECT_EQ(Byte(MainOff::cid(5)), 23);
    EXPECT_EQ(EventBox(5)->currentText(), QStringLiteral("134 - ВХОД/ВЫХОД"));
    EXPECT_TRUE(in->isEnabled());
    EXPECT_EQ(in->palette().color(QPalette::Base), enabledBase);

    PickText(TypeBox(5), QStringLiteral("Охранный"));
    EXPECT_EQ(EventBox(5)->currentText(), QStringLiteral("131 - ПЕРИМЕТР"));
    EXPECT_FALSE(in->isEnabled());
}

TEST_F(WindowTest, PickedEventStoresItsCodeByte)
{
    const struct {
        int item;
        uint8_t byte;
    } cases[] = {{0, 1}, {13, 15}, {122, 156}, {177, 225}};
    for (const auto& c : cases) {
        PickItem(EventBox(6), c.item);
        EXPECT_EQ(Byte(MainOff::cid(6)), c.byte) << c.item;
    }
    EXPECT_EQ(Byte(MainOff::type(6)), 0x02);
}

TEST_F(WindowTest, ExpandersSetTheirMaskBits)
{
    ShowPage(QStringLiteral("PageRazd"));
    QTest::mouseClick(Check(QStringLiteral("ExpBox1")), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::mask), 0x80);
    QTest::mouseClick(Check(QStringLiteral("ExpBox8")), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::mask), 0x81);
    QTest::mouseClick(Check(QStringLiteral("ExpBox1")), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::mask), 0x01);
    QTest::mouseClick(Check(QStringLiteral("ExpBox3")), Qt::LeftButton);
    EXPECT_EQ(Byte(MainOff::mask), 0x21);
}

TEST_F(WindowTest, KeypadControlsStoreTheirBytes)
{
    ShowPage(QStringLiteral("PageKey"));
    PickText(Combo(QStringLiteral("bxKeyBeep")), QStringLiteral("Выключен"));
    EXPECT_EQ(Byte(MainOff::KeyBeep), 0x00);
    PickText(Combo(QStringLiteral("bxKeyBeep")), QStringLiteral("Включён"));
    EXPECT_EQ(Byte(MainOff::KeyBeep), 0xFF);
    PickText(Combo(QStringLiteral("bxKeyBLMode")), QStringLiteral("Выключена"));
    EXPECT_EQ(Byte(MainOff::BLMode), 0);
    PickText(Combo(QStringLiteral("bxKeyBLMode")), QStringLiteral("Включена"));
    EXPECT_EQ(Byte(MainOff::BLMode), 2);

    QWidget* spin = Find<QWidget>(QStringLiteral("udKeyBLLevel"));
    QWidget* down = spin->findChild<QWidget*>(QStringLiteral("down"));
    QWidget* up = spin->findChild<QWidget*>(QStringLiteral("up"));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Edit(QStringLiteral("fldKeyBright"))->text(), QStringLiteral("8"));
    EXPECT_EQ(Byte(MainOff::BLLevel), 8);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Edit(QStringLiteral("fldKeyBright"))->text(), QStringLiteral("9"));
    EXPECT_EQ(Byte(MainOff::BLLevel), 9);
}

} // namespace
} // namespace vk410::test
