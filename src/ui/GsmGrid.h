#pragma once
#include <QTableWidget>
#include <functional>

namespace vk410 {

// A string grid with one fixed row and one fixed column as the GSM page uses
// it: cells are addressed (column, row) including the fixed ones, the page is
// asked before a cell becomes current and may refuse it, and rows can be
// dragged by their fixed cell.
class TGsmGrid : public QTableWidget {
    Q_OBJECT
public:
    TGsmGrid(int columns, int rows, QWidget* parent = nullptr);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // The cell's rectangle in the coordinates of `target`.
    QRect CellRect(int col, int row, const QWidget* target) const;
    void SetRowMoving(bool on) { rowMoving_ = on; }
    // Makes (col, row) current without asking the page.
    void SetCurrent(int col, int row);
    // Moves the texts of row `from` to row `to` as a drag does.
    void MoveRow(int from, int to);
    // Where the dragged row would land if released now; -1 when no row is
    // dragged or the pointer is outside the grid (a release there cancels).
    int DropRow() const { return dragFrom_ != 0 ? dropRow_ : -1; }

    // Asked before (col, row) becomes current, and with col 0 before a row
    // drag starts; false refuses it.
    std::function<bool(int col, int row)> onSelectCell;

signals:
    void rowMoved(int from, int to);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    bool Fixed(int col, int row) const { return col == 0 || row == 0; }
    bool Accept(int col, int row);
    int DropTarget(QPoint at) const;
    void FollowDrag(QPoint at);
    void EndDrag();
    int dragFrom_ = 0;
    int dropRow_ = -1;
    bool rowMoving_ = false;
};

} // namespace vk410
