#pragma once
#include <QDialog>

#include "model/Configuration.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace vk410 {

class FileDialogs;

// One side of a comparison: the column's title and what it holds.
struct CompareSide {
    QString title; // "В окне", the file's name, "Прибор COM1", "Журнал <time>"
    Configuration cfg;
    GprsTexts texts;
    bool keepsRadio = true; // false: a file or a journal entry, which keep no radio settings
};

// "Различия": the fields whose values differ between two configurations, in
// the order of the pages (a click on a column's title sorts by it), or one
// line saying that they agree. Ctrl+C copies the selected rows, "Сохранить..."
// writes all of them, as tab-separated text under the titles. It holds
// copies, so neither side is touched while it is shown.
class TfrmCompare : public QDialog {
    Q_OBJECT
public:
    TfrmCompare(const CompareSide& a, const CompareSide& b, FileDialogs& files, QWidget* parent = nullptr);

    // The number of fields that differ.
    int Differences() const;
    // The titles and the rows as shown (or only the selected ones), a line
    // each, the columns separated by tabs.
    QString RowsText(bool selectedOnly) const;

    QTableWidget* grdDiff = nullptr; // place, field, value in a, value in b
    QLabel* lblSame = nullptr;       // "Совпадает: ...", shown when nothing differs
    QLabel* lblNote = nullptr;       // a save that failed
    QPushButton* btnSave = nullptr;  // "Сохранить..."

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btnSaveClick();

    FileDialogs& files_;
};

} // namespace vk410
