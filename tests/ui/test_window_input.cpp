// Routes by which keys and the wheel reach the window's controls.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
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

TEST_F(WindowTest, CtrlTabChangesThePageAlsoFromADropDownList)
{
    auto* pages = Find<QTabWidget>(QStringLiteral("PageMain"));
    for (QWidget* from : std::initializer_list<QWidget*>{TypeBox(2), EventBox(5), Combo("DeviceTypeList"), PortBox()}) {
        SCOPED_TRACE(from->objectName().toStdString());
        pages->setCurrentIndex(0);
        from->setFocus();
        ASSERT_TRUE(WaitFor([from] { return from->hasFocus(); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("PageRazd"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("PageShlf"));
    }
}

// Every command has its underlined letter; none of them, and no single key,
// writes to a panel.
TEST_F(WindowTest, MenuCommandsHaveLettersAndWritingTakesMoreThanOneKey)
{
    for (const QMenu* menu : window->menuBar()->findChildren<QMenu*>()) {
        QSet<QChar> letters;
        for (const QAction* command : menu->actions()) {
            if (command->isSeparator() || !command->isVisible())
                continue;
            const QString text = command->text();
            const qsizetype amp = text.indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0) << text.toStdString();
            EXPECT_FALSE(letters.contains(text.at(amp + 1).toLower())) << "letter used twice: " << text.toStdString();
            letters.insert(text.at(amp + 1).toLower());
        }
    }
    EXPECT_EQ(Action("N8")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QPushButton* write = Button("ButtonWrite");
    EXPECT_FALSE(write->isDefault() || write->autoDefault());
    // Tab never stops at "Записать", so no Space or Enter can press it.
    Combo("DeviceTypeList")->setFocus();
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), write);
    }
}

} // namespace
} // namespace vk410::test
