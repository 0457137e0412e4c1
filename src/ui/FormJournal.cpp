#include "FormJournal.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "Dialogs.h"

namespace vk410 {

namespace {

constexpr int kColumns = 7;
constexpr int kOutcomeColumn = 6;

QStringList RowTexts(const JournalEntry& e)
{
    return {e.time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
            JournalOpTitle(e.op),
            e.port,
            e.device,
            JournalModelName(e),
            e.version ? QString::number(*e.version) : QStringLiteral("—"),
            e.text};
}

QString NoteText(const JournalContents& journal)
{
    if (!journal.readable)
        return QStringLiteral("Журнал не удалось прочитать") +
               (journal.why.isEmpty() ? QString() : QStringLiteral(": ") + journal.why);
    if (journal.damaged > 0)
        return QStringLiteral("Пропущено поврежденных строк журнала: %1").arg(journal.damaged);
    return {};
}

} // namespace

TfrmJournal::TfrmJournal(const JournalContents& journal, const QString& folder, QWidget* parent)
    : QDialog(parent), openUrl(&QDesktopServices::openUrl), entries_(journal.entries), folder_(folder)
{
    setObjectName(QStringLiteral("frmJournal"));
    setWindowTitle(QStringLiteral("Журнал обмена"));
    auto* layout = new QVBoxLayout(this);

    grdJournal = new QTableWidget(int(entries_.size()), kColumns, this);
    grdJournal->setObjectName(QStringLiteral("grdJournal"));
    grdJournal->setHorizontalHeaderLabels({QStringLiteral("Время"), QStringLiteral("Операция"), QStringLiteral("Порт"),
                                           QStringLiteral("Устройство"), QStringLiteral("Прибор"),
                                           QStringLiteral("Версия"), QStringLiteral("Результат")});
    grdJournal->verticalHeader()->hide();
    grdJournal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdJournal->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdJournal->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < grdJournal->rowCount(); ++row) {
        const QStringList texts = RowTexts(entries_[std::size_t(row)]);
        for (int col = 0; col < texts.size(); ++col)
            grdJournal->setItem(row, col, new QTableWidgetItem(texts[col]));
        // The outcome may be longer than its column: a failed write names the confirmed blocks.
        grdJournal->item(row, kOutcomeColumn)->setToolTip(texts[kOutcomeColumn]);
    }
    QHeaderView* header = grdJournal->horizontalHeader();
    for (int col = 0; col < kOutcomeColumn; ++col)
        header->setSectionResizeMode(col, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kOutcomeColumn, QHeaderView::Stretch);
    layout->addWidget(grdJournal);

    lblNote = new QLabel(NoteText(journal), this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setVisible(!lblNote->text().isEmpty());
    layout->addWidget(lblNote);

    auto* buttons = new QHBoxLayout;
    btnOpen = AddRowButton(buttons, QStringLiteral("Открыть"), "btnOpen", this);
    btnCompare = AddRowButton(buttons, QStringLiteral("Сравнить с окном"), "btnCompare", this);
    btnTrace = AddRowButton(buttons, QStringLiteral("Ход обмена..."), "btnTrace", this);
    btnFolder = AddRowButton(buttons, QStringLiteral("Показать папку"), "btnFolder", this);
    buttons->addStretch();
    btnClose = AddRowButton(buttons, QStringLiteral("Закрыть"), "btnClose", this);
    btnOpen->setDefault(true);
    layout->addLayout(buttons);

    connect(btnOpen, &QPushButton::clicked, this, [this] { emit openRequested(SelectedFile()); });
    connect(btnCompare, &QPushButton::clicked, this, [this] { emit compareRequested(SelectedFile()); });
    connect(btnFolder, &QPushButton::clicked, this, &TfrmJournal::btnFolderClick);
    connect(btnTrace, &QPushButton::clicked, this, &TfrmJournal::btnTraceClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(grdJournal, &QTableWidget::itemSelectionChanged, this, &TfrmJournal::SelectionChanged);
    connect(grdJournal, &QTableWidget::itemDoubleClicked, this, [this] {
        if (btnOpen->isEnabled())
            btnOpen->click();
    });
    if (!entries_.empty())
        grdJournal->selectRow(0);
    SelectionChanged();
    resize(820, 420);
}

const JournalEntry* TfrmJournal::Selected() const
{
    const QList<QTableWidgetItem*> selected = grdJournal->selectedItems();
    return selected.isEmpty() ? nullptr : &entries_[std::size_t(selected.front()->row())];
}

QString TfrmJournal::SelectedFile() const
{
    const JournalEntry* e = Selected();
    return e ? e->file : QString();
}

void TfrmJournal::SelectionChanged()
{
    // An entry without a file (the port failed, nothing was read) has nothing to open.
    const bool hasFile = !SelectedFile().isEmpty();
    btnOpen->setEnabled(hasFile && openAllowed_);
    btnCompare->setEnabled(hasFile);
    const JournalEntry* e = Selected();
    btnTrace->setEnabled(e && !e->trace.isEmpty());
}

void TfrmJournal::btnTraceClick()
{
    const JournalEntry* e = Selected();
    if (!e || e->trace.isEmpty())
        return;
    constexpr qint64 kMaxTrace = 4 * 1024 * 1024;
    QFile file(e->trace);
    QString text = QFileInfo(e->trace).isFile() && file.size() <= kMaxTrace && file.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(file.readAll())
                       : QStringLiteral("Файл хода обмена не найден: ") + QDir::toNativeSeparators(e->trace);
    if (!e->diagnosis.isEmpty())
        text += QLatin1Char('\n') + e->diagnosis + QLatin1Char('\n');
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("frmTrace"));
    dialog->setWindowTitle(QStringLiteral("Ход обмена"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* memo = new QPlainTextEdit(text, dialog);
    memo->setObjectName(QStringLiteral("memTrace"));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(memo);
    dialog->resize(760, 420);
    dialog->open();
}

void TfrmJournal::SetOpenAllowed(bool allowed)
{
    openAllowed_ = allowed;
    SelectionChanged();
}

void TfrmJournal::btnFolderClick()
{
    // Made if need be, so that the file manager opens on it rather than failing.
    if (MakeJournalFolder(folder_) && openUrl(QUrl::fromLocalFile(folder_)))
        return;
    lblNote->setText(QStringLiteral("Не удалось показать папку ") + QDir::toNativeSeparators(folder_));
    lblNote->show();
}

} // namespace vk410
