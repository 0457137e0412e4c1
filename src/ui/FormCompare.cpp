#include "FormCompare.h"

#include <QClipboard>
#include <algorithm>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "files/FileTexts.h"
#include "files/Settings.h"
#include "model/Description.h"
#include "Dialogs.h"

namespace vk410 {

namespace {

QString Shown(const std::optional<std::string>& value)
{
    // A field that one side does not use at all (no module, another model).
    return value ? QString::fromStdString(*value) : QStringLiteral("—");
}

// The place sorts in the order of the pages, not of the alphabet.
class PlaceItem : public QTableWidgetItem {
public:
    PlaceItem(const QString& text, int order) : QTableWidgetItem(text) { setData(Qt::UserRole, order); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole).toInt() < other.data(Qt::UserRole).toInt();
    }
};

void FillTable(QTableWidget* table, const std::vector<Difference>& diffs)
{
    table->setRowCount(int(diffs.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const Difference& d = diffs[std::size_t(row)];
        const QString texts[] = {QString::fromStdString(PlaceText(d.page, d.item)),
                                 QString::fromStdString(d.field), Shown(d.a), Shown(d.b)};
        for (int col = 0; col < 4; ++col) {
            auto* cell = col == 0 ? new PlaceItem(texts[col], row) : new QTableWidgetItem(texts[col]);
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(row, col, cell);
        }
    }
}

QString Line(const QStringList& cells) { return cells.join(QLatin1Char('\t')) + QLatin1Char('\n'); }

} // namespace

TfrmCompare::TfrmCompare(const CompareSide& a, const CompareSide& b, FileDialogs& files, QWidget* parent)
    : QDialog(parent), files_(files)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Различия"));
    const std::vector<Difference> diffs = Compare(Describe(a.cfg, a.texts, DescribeScope::Used, a.keepsRadio),
                                                  Describe(b.cfg, b.texts, DescribeScope::Used, b.keepsRadio));

    auto* layout = new QVBoxLayout(this);
    lblSame = new QLabel(QStringLiteral("Совпадает: «%1» и «%2»").arg(a.title, b.title), this);
    lblSame->setObjectName(QStringLiteral("lblSame"));
    layout->addWidget(lblSame);
    grdDiff = new QTableWidget(0, 4, this);
    grdDiff->setObjectName(QStringLiteral("grdDiff"));
    grdDiff->setHorizontalHeaderLabels({QStringLiteral("Раздел"), QStringLiteral("Параметр"), a.title, b.title});
    grdDiff->verticalHeader()->hide();
    grdDiff->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDiff->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDiff->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdDiff->setWordWrap(false);
    FillTable(grdDiff, diffs);
    // In the order of the pages until a title is clicked.
    grdDiff->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grdDiff->setSortingEnabled(true);
    // Every column as wide as its text: a value is never cut, the table scrolls instead.
    grdDiff->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdDiff->horizontalHeader()->setStretchLastSection(false);
    grdDiff->installEventFilter(this);
    layout->addWidget(grdDiff);
    lblSame->setVisible(diffs.empty());
    grdDiff->setVisible(!diffs.empty());

    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->hide();
    layout->addWidget(lblNote);

    auto* buttons = new QHBoxLayout;
    btnSave = new QPushButton(QStringLiteral("Сохранить..."), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setAutoDefault(false);
    btnSave->setVisible(!diffs.empty());
    connect(btnSave, &QPushButton::clicked, this, &TfrmCompare::btnSaveClick);
    buttons->addWidget(btnSave);
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    if (diffs.empty())
        return;
    // As wide as the columns need, as far as the screen allows.
    int width = grdDiff->frameWidth() * 2 + 24;
    for (int col = 0; col < grdDiff->columnCount(); ++col)
        width += grdDiff->horizontalHeader()->sectionSizeHint(col);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() - 40 : width;
    resize(std::clamp(width, 560, std::max(room, 560)), 420);
}

int TfrmCompare::Differences() const { return grdDiff->rowCount(); }

QString TfrmCompare::RowsText(bool selectedOnly) const
{
    QStringList titles;
    for (int col = 0; col < grdDiff->columnCount(); ++col)
        titles << grdDiff->horizontalHeaderItem(col)->text();
    QString text = Line(titles);
    for (int row = 0; row < grdDiff->rowCount(); ++row) {
        if (selectedOnly && !grdDiff->selectionModel()->isRowSelected(row, {}))
            continue;
        QStringList cells;
        for (int col = 0; col < grdDiff->columnCount(); ++col)
            cells << grdDiff->item(row, col)->text();
        text += Line(cells);
    }
    return text;
}

bool TfrmCompare::eventFilter(QObject* watched, QEvent* event)
{
    // The table's own copy takes the current cell alone.
    if (watched == grdDiff && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(RowsText(true));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmCompare::btnSaveClick()
{
    const QString suggested = QDir(ReadFolderSetting()).filePath(QStringLiteral("Различия.txt"));
    const QString path = files_.GetSaveFileName(this, QStringLiteral("Сохранить различия"), suggested,
                                                QStringLiteral("Текстовые файлы|*.txt"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray text = RowsText(false).toUtf8();
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text) == text.size() && file.commit()) {
        lblNote->hide();
        return;
    }
    lblNote->setText(QString::fromUtf8(kFileNotSaved) + QLatin1Char(' ') + QDir::toNativeSeparators(path));
    lblNote->show();
}

} // namespace vk410
