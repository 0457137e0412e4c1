#pragma once
// Helpers that drive the controls the way a user does.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace vk410::test {

// Opens the drop-down list and clicks the item, as a user picks it.
inline void PickItem(QComboBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    box->showPopup();
    QAbstractItemView* view = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, box->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!view->window()->isVisible());
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
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

// Leaves the focused control with the Tab key.
inline void TabAway(QWidget* from)
{
    QTest::keyClick(from, Qt::Key_Tab);
    QTRY_VERIFY(!from->hasFocus());
}

} // namespace vk410::test
