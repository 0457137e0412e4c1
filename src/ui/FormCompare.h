#pragma once
#include <QDialog>

#include "model/Configuration.h"

class QLabel;
class QTableWidget;

namespace vk410 {

// One side of a comparison: the column's title and what it holds.
struct CompareSide {
    QString title; // "В приборе", "В файле", "В окне", ...
    Configuration cfg;
    GprsTexts texts;
    bool keepsRadio = true; // false: a file or a journal entry, which keep no radio settings
};

// "Различия": the fields whose values differ between two configurations, in
// the order of the pages, or the single line "Совпадает". It holds copies, so
// neither side is touched while it is shown.
class TfrmCompare : public QDialog {
    Q_OBJECT
public:
    TfrmCompare(const CompareSide& a, const CompareSide& b, QWidget* parent = nullptr);

    // The number of fields that differ.
    int Differences() const;

    QTableWidget* grdDiff = nullptr; // place, field, value in a, value in b
    QLabel* lblSame = nullptr;       // "Совпадает", shown when nothing differs
};

} // namespace vk410
