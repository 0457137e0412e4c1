#include "FormMonitor.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "files/FileOps.h"
#include "files/FileTexts.h"
#include "files/Settings.h"
#include "Dialogs.h"

namespace vk410 {

namespace {

constexpr int kRefreshMs = 100;
// Rows taken in one look: a flood of pieces never holds the event loop long.
constexpr std::size_t kRowsPerLook = 100;

enum Column { kTime, kDirection, kHex, kReading, kColumns };

QString Heading(const ExchangeRecord& record)
{
    return record.IsWrite() ? QStringLiteral("Запись") : QStringLiteral("Чтение");
}

} // namespace

TfrmMonitor::TfrmMonitor(FileDialogs* files, MessageBoxes& msgs, QWidget* parent)
    : QDialog(parent, Qt::Window), files_(files), msgs_(msgs)
{
    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(QStringLiteral("Монитор обмена"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    grdMonitor = new QTableWidget(0, kColumns, this);
    grdMonitor->setObjectName(QStringLiteral("grdMonitor"));
    grdMonitor->setHorizontalHeaderLabels(
        {QStringLiteral("Время"), QString(), QStringLiteral("Байты"), QStringLiteral("Разбор")});
    grdMonitor->verticalHeader()->hide();
    grdMonitor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdMonitor->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdMonitor->setWordWrap(false);
    QHeaderView* header = grdMonitor->horizontalHeader();
    // Widths set once: sizing columns to their contents would measure every
    // row again on every row added.
    header->setSectionResizeMode(QHeaderView::Interactive);
    const QFontMetrics metrics(grdMonitor->font());
    header->resizeSection(kTime, metrics.horizontalAdvance(QStringLiteral("000000 мс")) + 12);
    header->resizeSection(kDirection, metrics.horizontalAdvance(QStringLiteral("←")) + 16);
    header->resizeSection(kHex, 320);
    header->setStretchLastSection(true);
    layout->addWidget(grdMonitor);

    lblDiagnosis = new QLabel(this);
    lblDiagnosis->setObjectName(QStringLiteral("lblDiagnosis"));
    lblDiagnosis->setWordWrap(true);
    lblDiagnosis->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblDiagnosis);

    auto* buttons = new QHBoxLayout;
    btnCopy = AddRowButton(buttons, QStringLiteral("Копировать"), "btnCopy", this);
    btnSave = AddRowButton(buttons, QStringLiteral("Сохранить..."), "btnSave", this);
    buttons->addStretch();
    btnClose = AddRowButton(buttons, QStringLiteral("Закрыть"), "btnClose", this);
    layout->addLayout(buttons);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmMonitor::btnCopyClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmMonitor::btnSaveClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &TfrmMonitor::Refresh);
    resize(860, 480);
}

void TfrmMonitor::BeginOperation()
{
    records_.clear();
    grdMonitor->setRowCount(0);
    SetDiagnosis({});
}

void TfrmMonitor::AddRecord(std::shared_ptr<const ExchangeRecord> record)
{
    if (!record)
        return;
    records_.push_back({std::move(record), 0});
    if (isVisible())
        Refresh();
}

void TfrmMonitor::SetDiagnosis(const QString& text)
{
    lblDiagnosis->setText(text);
    lblDiagnosis->setVisible(!text.isEmpty());
}

void TfrmMonitor::Refresh()
{
    std::size_t budget = kRowsPerLook;
    grdMonitor->setUpdatesEnabled(false);
    for (Shown& shown : records_) {
        if (shown.rows == 0 && shown.record->Size() > 0 && budget > 0)
            AddHeading(*shown.record);
        const std::vector<RecordEntry> entries = shown.record->Entries(shown.rows);
        const std::size_t n = std::min(entries.size(), budget);
        for (std::size_t i = 0; i < n; ++i)
            AddRow(entries[i]);
        shown.rows += n;
        budget -= n;
    }
    grdMonitor->setUpdatesEnabled(true);
    if (budget < kRowsPerLook)
        grdMonitor->scrollToBottom();
}

void TfrmMonitor::AddHeading(const ExchangeRecord& record)
{
    const int row = grdMonitor->rowCount();
    grdMonitor->setRowCount(row + 1);
    auto* item = new QTableWidgetItem(Heading(record));
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    grdMonitor->setItem(row, kReading, item);
}

void TfrmMonitor::AddRow(const RecordEntry& entry)
{
    const RecordRow r = RowOf(entry);
    const int row = grdMonitor->rowCount();
    grdMonitor->setRowCount(row + 1);
    const std::string* texts[] = {&r.time, &r.direction, &r.hex, &r.reading};
    for (int col = 0; col < kColumns; ++col)
        grdMonitor->setItem(row, col, new QTableWidgetItem(QString::fromStdString(*texts[col])));
}

QString TfrmMonitor::Text() const
{
    QString text;
    for (const Shown& shown : records_)
        text += QString::fromStdString(RecordText(shown.record->Entries(), shown.record->IsWrite()));
    if (!lblDiagnosis->text().isEmpty())
        text += lblDiagnosis->text() + QLatin1Char('\n');
    return text;
}

void TfrmMonitor::btnCopyClick() { QApplication::clipboard()->setText(Text()); }

void TfrmMonitor::btnSaveClick()
{
    const QString path = files_->GetSaveFileName(this, QStringLiteral("Сохранить ход обмена"), ReadFolderSetting(),
                                                QStringLiteral("Текст|*.txt"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    if (!SaveFileAtomically(path, Text().toStdString()))
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка записи файла"),
                   QString::fromUtf8(kFileNotSaved) + QStringLiteral("\r\n") + QDir::toNativeSeparators(path),
                   MsgButtons::Ok);
}

void TfrmMonitor::showEvent(QShowEvent* event)
{
    Refresh();
    timer_->start();
    QDialog::showEvent(event);
}

void TfrmMonitor::hideEvent(QHideEvent* event)
{
    timer_->stop();
    QDialog::hideEvent(event);
}

} // namespace vk410
