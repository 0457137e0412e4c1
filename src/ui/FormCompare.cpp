#include "FormCompare.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/Description.h"

namespace vk410 {

namespace {

QString Shown(const std::optional<std::string>& value)
{
    // A field that one side does not use at all (no module, another model).
    return value ? QString::fromStdString(*value) : QStringLiteral("—");
}

void FillTable(QTableWidget* table, const std::vector<Difference>& diffs)
{
    table->setRowCount(int(diffs.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const Difference& d = diffs[std::size_t(row)];
        const QString texts[] = {QString::fromStdString(PlaceText(d.page, d.item)),
                                 QString::fromStdString(d.field), Shown(d.a), Shown(d.b)};
        for (int col = 0; col < 4; ++col) {
            auto* cell = new QTableWidgetItem(texts[col]);
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(row, col, cell);
        }
    }
}

} // namespace

TfrmCompare::TfrmCompare(const CompareSide& a, const CompareSide& b, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Различия"));
    const std::vector<Difference> diffs =
        Compare(Describe(a.cfg, a.texts, DescribeScope::Used, a.keepsRadio),
                Describe(b.cfg, b.texts, DescribeScope::Used, b.keepsRadio));

    auto* layout = new QVBoxLayout(this);
    lblSame = new QLabel(QStringLiteral("Совпадает"), this);
    lblSame->setObjectName(QStringLiteral("lblSame"));
    layout->addWidget(lblSame);
    grdDiff = new QTableWidget(0, 4, this);
    grdDiff->setObjectName(QStringLiteral("grdDiff"));
    grdDiff->setHorizontalHeaderLabels({QStringLiteral("Раздел"), QStringLiteral("Параметр"), a.title, b.title});
    grdDiff->verticalHeader()->hide();
    grdDiff->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDiff->setSelectionBehavior(QAbstractItemView::SelectRows);
    FillTable(grdDiff, diffs);
    // The place and the field as wide as they need, the two values sharing the rest.
    QHeaderView* header = grdDiff->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::Stretch);
    layout->addWidget(grdDiff);
    lblSame->setVisible(diffs.empty());
    grdDiff->setVisible(!diffs.empty());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    if (!diffs.empty())
        resize(720, 420);
}

int TfrmCompare::Differences() const { return grdDiff->rowCount(); }

} // namespace vk410
