// Routes by which keys and the wheel reach the window's controls.
#include <QPushButton>
#include <QTabBar>

#include "WindowFixture.h"
#include "ui/FormGprs.h"

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

TEST_F(WindowTest, WheelOverAListWithoutTheFocusChangesNothing)
{
    auto* gprs = new TfrmGPRS(window->Config().gprs, window.get());
    gprs->setModal(false);
    gprs->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gprs));
    const Configuration before = window->Config();
    for (const char* page : {"PageShlf", "PageKey"}) {
        ShowPage(QString::fromLatin1(page));
        Button("BtnClose")->setFocus();
        for (QComboBox* list : window->findChildren<QComboBox*>()) {
            // A real notch first gives the focus to a list that takes it from the wheel.
            EXPECT_NE(list->focusPolicy(), Qt::WheelFocus) << list->objectName().toStdString();
            const int index = list->currentIndex();
            for (int direction : {-1, +1, -1})
                WheelNotch(list, direction);
            EXPECT_EQ(list->currentIndex(), index) << list->objectName().toStdString();
        }
    }
    EXPECT_EQ(window->Config().main.buf, before.main.buf);

    // A list the user works with follows the wheel as before.
    QComboBox* beep = Combo(QStringLiteral("bxKeyBeep"));
    window->activateWindow();
    beep->setFocus();
    ASSERT_TRUE(WaitFor([beep] { return beep->hasFocus(); }));
    WheelNotch(beep, -1);
    EXPECT_EQ(Byte(MainOff::KeyBeep), 0x00);
}

} // namespace
} // namespace vk410::test
