// Routes by which keys and the wheel reach the window's controls.
#include <QTabBar>

#include "WindowFixture.h"

namespace vk410::test {
namespace {

TEST_F(WindowTest, NoKeyOrWheelReachesTheHiddenRadioPage)
{
    auto* pages = Find<QTabWidget>(QStringLiteral("PageMain"));
    QWidget* radio = Find<QWidget>(QStringLiteral("PageRadio"));
    QTabBar* bar = pages->tabBar();
    const auto route = [&](const char* name, QWidget* target, auto step) {
        pages->setCurrentIndex(0);
        for (int i = 0; i < pages->count(); ++i) {
            step(target);
            EXPECT_NE(pages->currentWidget(), radio) << name << " step " << i;
        }
    };
    FireBox(7)->setFocus();
    route("Ctrl+Tab", FireBox(7), [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab, Qt::ControlModifier); });
    route("Ctrl+Shift+Tab", FireBox(7),
          [](QWidget* w) { QTest::keyClick(w, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); });
    bar->setFocus();
    route("Right", bar, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Right); });
    route("Left", bar, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Left); });
    route("wheel down", bar, [](QWidget* w) { WheelNotch(w, -1); });
    route("wheel up", bar, [](QWidget* w) { WheelNotch(w, +1); });
    // The routes themselves work: they reach the other pages.
    pages->setCurrentIndex(0);
    QTest::keyClick(FireBox(7), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("PageRazd"));
}

} // namespace
} // namespace vk410::test
