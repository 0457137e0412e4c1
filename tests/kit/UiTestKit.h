#pragma once
// Helpers that drive the controls the way a user does.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "kit/Wait.h"

namespace vk410::test {

// Opens the drop-down list (unless it is open) and walks to the item with
// the keyboard, as a user picks it; the choice counts only at Return. A mouse
// release right after the popup opened is ignored by the toolkit, which makes
// mouse picks depend on timing.
inline void PickItem(QComboBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    ASSERT_LT(index, box->count());
    QAbstractItemView* view = box->view();
    if (!view->window()->isVisible())
        box->showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    ASSERT_EQ(view->currentIndex().row(), index);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EVENTUALLY(!view->window()->isVisible());
}

// Opens the list and clicks the item with the mouse.
inline void ClickItem(QComboBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    box->showPopup();
    QAbstractItemView* view = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, box->modelColumn(), view->rootIndex());
    const QPoint at = view->visualRect(item).center();
    ASSERT_TRUE(view->viewport()->rect().contains(at)) << "item " << index << " not in view";
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(WaitFor([view] { return !view->window()->isVisible(); }));
}

inline void PickText(QComboBox* box, const QString& text)
{
    ASSERT_NE(box, nullptr);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    PickItem(box, index);
}

// Gives the edit the focus, selects what it holds and types over it; an
// empty text deletes the selection.
inline void TypeOver(QLineEdit* edit, const QString& text)
{
    ASSERT_NE(edit, nullptr);
    edit->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(WaitFor([edit] { return edit->hasFocus(); }));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

// One notch of the mouse wheel over the middle of the widget; up when positive.
inline void WheelNotch(QWidget* w, int direction)
{
    const QPoint at = w->rect().center();
    QWheelEvent notch(at, w->mapToGlobal(at), QPoint(), QPoint(0, direction > 0 ? 120 : -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &notch);
}

// Leaves the focused control with the Tab key.
inline void TabAway(QWidget* from)
{
    QTest::keyClick(from, Qt::Key_Tab);
    ASSERT_TRUE(WaitFor([from] { return !from->hasFocus(); }));
}

} // namespace vk410::test
