#include "GsmGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace vk410 {

TGsmGrid::TGsmGrid(int columns, int rows, QWidget* parent) : QTableWidget(rows, columns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setShowGrid(true);
    setTextElideMode(Qt::ElideNone); // a narrow column clips its text, as the fixed layout expects
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < columns; ++col) {
            auto* item = new QTableWidgetItem;
            if (Fixed(col, row)) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(palette().button());
                // Centred across the cell, at its top, as the fixed cells have always looked.
                item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            setItem(row, col, item);
        }
    }
}

QString TGsmGrid::Cell(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TGsmGrid::SetCell(int col, int row, const QString& text)
{
    if (QTableWidgetItem* it = item(row, col))
        it->setText(text);
}

QRect TGsmGrid::CellRect(int col, int row, const QWidget* target) const
{
    const QRect r = visualRect(model()->index(row, col));
    const QPoint topLeft = target->mapFrom(window(), viewport()->mapTo(window(), r.topLeft()));
    return {topLeft, r.size()};
}

void TGsmGrid::SetCurrent(int col, int row) { setCurrentCell(row, col); }

void TGsmGrid::MoveRow(int from, int to)
{
    if (from < 1 || to < 1 || from >= rowCount() || to >= rowCount() || from == to)
        return;
    std::vector<QStringList> rows;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < columnCount(); ++c)
            texts << Cell(c, r);
        rows.push_back(texts);
    }
    QStringList moving = rows[std::size_t(from)];
    rows.erase(rows.begin() + from);
    rows.insert(rows.begin() + to, moving);
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            SetCell(c, r, rows[std::size_t(r)][c]);
}

bool TGsmGrid::Accept(int col, int row) { return !onSelectCell || onSelectCell(col, row); }

void TGsmGrid::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (!idx.isValid())
        return;
    const int col = idx.column();
    const int row = idx.row();
    if (col == 0 && row > 0 && rowMoving_) {
        if (Accept(col, row)) {
            dragFrom_ = row;
            FollowDrag(e->position().toPoint());
        }
        return;
    }
    if (Fixed(col, row) || idx == currentIndex())
        return;
    const QWidget* focusBefore = QApplication::focusWidget();
    if (!Accept(col, row))
        return;
    // Closing the other grid's editor parks the focus over there; a cell
    // without an editor brings it back here.
    if (!hasFocus() && QApplication::focusWidget() == focusBefore)
        setFocus(Qt::MouseFocusReason);
    setCurrentCell(row, col);
}

void TGsmGrid::mouseMoveEvent(QMouseEvent* e)
{
    if (dragFrom_ != 0)
        FollowDrag(e->position().toPoint());
    e->accept();
}

void TGsmGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (dragFrom_ == 0)
        return;
    const int from = dragFrom_;
    const int to = DropTarget(e->position().toPoint());
    EndDrag();
    if (to < 1 || to == from)
        return;
    MoveRow(from, to);
    emit rowMoved(from, to);
}

// Inside the grid a row lands on the row under the pointer; above the first
// or below the last it lands first or last.
int TGsmGrid::DropTarget(QPoint at) const
{
    if (!viewport()->rect().contains(at))
        return -1;
    const int row = rowAt(at.y());
    return row < 0 ? rowCount() - 1 : std::max(row, 1);
}

void TGsmGrid::FollowDrag(QPoint at)
{
    const int target = DropTarget(at);
    viewport()->setCursor(target < 0 ? Qt::ForbiddenCursor : Qt::ClosedHandCursor);
    if (target != dropRow_) {
        dropRow_ = target;
        viewport()->update();
    }
}

void TGsmGrid::EndDrag()
{
    dragFrom_ = 0;
    dropRow_ = -1;
    viewport()->unsetCursor();
    viewport()->update();
}

void TGsmGrid::keyPressEvent(QKeyEvent* e)
{
    if (dragFrom_ != 0 && e->key() == Qt::Key_Escape) {
        EndDrag();
        return;
    }
    QTableWidget::keyPressEvent(e);
}

void TGsmGrid::focusOutEvent(QFocusEvent* e)
{
    if (dragFrom_ != 0)
        EndDrag();
    QTableWidget::focusOutEvent(e);
}

void TGsmGrid::paintEvent(QPaintEvent* e)
{
    QTableWidget::paintEvent(e);
    if (dragFrom_ == 0 || dropRow_ < 1 || dropRow_ == dragFrom_)
        return;
    // A line where the row will go: under its new neighbour when it moves
    // down, above it when it moves up.
    const QRect cells =
        visualRect(model()->index(dropRow_, 0)) | visualRect(model()->index(dropRow_, columnCount() - 1));
    const int y = dropRow_ > dragFrom_ ? cells.bottom() : cells.top();
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawLine(cells.left(), y, cells.right(), y);
}

void TGsmGrid::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

QModelIndex TGsmGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || next == currentIndex())
        return next;
    if (Fixed(next.column(), next.row()) || !Accept(next.column(), next.row()))
        return currentIndex();
    return next;
}

} // namespace vk410
