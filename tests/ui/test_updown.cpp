// The spin bound to an edit.
#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "ui/widgets/UpDown.h"

namespace vk410 {
namespace {

struct Bound {
    QWidget parent;
    QLineEdit* edit = new QLineEdit(&parent);
    TUpDown* spin = new TUpDown(&parent);
    Bound(int min, int max)
    {
        spin->SetRange(min, max);
        spin->SetAssociate(edit);
    }
};

TEST(TUpDown, PositionOutsideTheRangeTakesTheNearestBoundAndWritesTheEdit)
{
    Bound b(1, 15);
    const struct {
        int value;
        int position;
    } cases[] = {{0, 1}, {-300, 1}, {16, 15}, {255, 15}, {7, 7}};
    for (const auto& c : cases) {
        b.spin->SetPosition(c.value);
        EXPECT_EQ(b.spin->Position(), c.position) << c.value;
        EXPECT_EQ(b.edit->text(), QString::number(c.position)) << c.value;
    }
}

TEST(TUpDown, StepsFromTheTypedNumberAndStopsAtTheBounds)
{
    Bound b(0, 99);
    QSignalSpy stepped(b.spin, &TUpDown::Stepped);
    b.spin->SetPosition(5);
    b.edit->setText(QStringLiteral("50"));
    b.spin->Step(+1);
    EXPECT_EQ(b.edit->text(), QStringLiteral("51"));
    b.edit->setText(QStringLiteral("99"));
    b.spin->Step(+1);
    EXPECT_EQ(b.edit->text(), QStringLiteral("99"));
    b.edit->setText(QStringLiteral("junk"));
    b.spin->Step(-1);
    EXPECT_EQ(b.edit->text(), QStringLiteral("98"));
    b.edit->setText(QStringLiteral("0"));
    b.spin->Step(-1);
    EXPECT_EQ(b.edit->text(), QStringLiteral("0"));
    ASSERT_EQ(stepped.count(), 4);
    EXPECT_EQ(stepped.at(1).at(0).toInt(), 99);
    EXPECT_EQ(stepped.at(3).at(0).toInt(), 0);
}

} // namespace
} // namespace vk410
