#include "GsmGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

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
    if (col == 0 && row > 0 && m_rowMoving) {
        if (Accept(col, row))
            m_dragFrom = row;
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

void TGsmGrid::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

void TGsmGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_dragFrom == 0)
        return;
    const int from = m_dragFrom;
    m_dragFrom = 0;
    const int y = e->position().toPoint().y();
    int to = rowAt(y);
    if (to < 0)
        to = y < 0 ? 1 : rowCount() - 1;
    to = std::max(to, 1);
    if (to == from)
        return;
    MoveRow(from, to);
    emit rowMoved(from, to);
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
