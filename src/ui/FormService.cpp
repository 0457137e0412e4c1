// The window's comparisons ("Сравнить с прибором...", "Сравнить с файлом..."),
// its programming sheet ("Печать...", "Экспорт в PDF...") and the journal of
// exchanges ("Журнал...", "Вести журнал"). Only opening a journal entry
// changes the window's configuration, as "Открыть" does.
#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "files/FileOps.h"
#include "files/FileTexts.h"
#include "files/Journal.h"
#include "files/Settings.h"
#include "link/PanelLink.h"
#include "link/PortName.h"
#include "model/Devices.h"
#include "report/ReportHtml.h"
#include "report/ReportPdf.h"
#include "Dialogs.h"
#include "FormCompare.h"
#include "FormJournal.h"
#include "FormMonitor.h"
#include "FormUnit1.h"

namespace vk410 {

namespace {

const QString kWindowTitle = QStringLiteral("В окне");

bool AskPlatformPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

void TForm1::ConnectServiceCommands()
{
    mnuKeepJournal->setCheckable(true);
    // Off at every start: a sheet shows the APN passwords only when asked for.
    mnuPrintPasswords->setCheckable(true);
    mnuKeepJournal->setChecked(ReadJournalSetting());
    mnuBackupBeforeWrite->setCheckable(true);
    mnuBackupBeforeWrite->setChecked(ReadSwitchSetting(kSettingBackup));
    ConnectCommand(mnuPrint, &TForm1::mnuPrintClick);
    ConnectCommand(mnuExportPdf, &TForm1::mnuExportPdfClick);
    ConnectCommand(mnuCompareDevice, &TForm1::mnuCompareDeviceClick);
    ConnectCommand(mnuCompareFile, &TForm1::mnuCompareFileClick);
    ConnectCommand(mnuJournal, &TForm1::mnuJournalClick);
    connect(mnuKeepJournal, &QAction::triggered, this, &TForm1::mnuKeepJournalClick);
    connect(mnuBackupBeforeWrite, &QAction::triggered, this, &TForm1::mnuBackupBeforeWriteClick);
    monitor_ = new TfrmMonitor(fileDialogs_, msgs_, this);
    connect(link_.get(), &PanelLink::exchangeStarted, monitor_, &TfrmMonitor::AddRecord);
    ConnectCommand(mnuMonitor, &TForm1::mnuMonitorClick);
    askPrinter_ = AskPlatformPrinter;
}

void TForm1::SetPrinterQuestion(PrinterQuestion question)
{
    askPrinter_ = question ? std::move(question) : AskPlatformPrinter;
}

void TForm1::mnuCompareDeviceClick()
{
    if (!CommitFocusedEditor() || !PortTextUnderstood())
        return;
    exchangeStarter_ = focusWidget();
    // Set before the start: the outcome reports through the read's own path.
    compareRead_ = true;
    BeginExchange();
    if (link_->SendData(false, cfg_, DialogTexts()))
        SetExchangeControlsEnabled(false);
    else
        compareRead_ = false;
}

void TForm1::ShowPanelComparison(const ExchangeResult& result)
{
    CompareSide panel{QStringLiteral("Прибор ") + PortNameBox->currentText(), StartupConfiguration(), {}, true};
    ApplyExchangeResult(result, panel.cfg);
    LoadGprsTexts(panel.cfg.gprs, panel.texts);
    // The read's own text would say the window was read: it was not.
    const int differences = ShowComparison(panel);
    SetStatusText(differences == 0 ? QStringLiteral("Сравнение с прибором: совпадает")
                                   : QStringLiteral("Сравнение с прибором: различий - %1").arg(differences));
}

void TForm1::mnuCompareFileClick()
{
    if (!CommitFocusedEditor())
        return;
    const QString path = AskConfigFile(QStringLiteral("Сравнить с файлом"));
    if (path.isEmpty())
        return;
    CompareSide file{QFileInfo(path).fileName(), StartupConfiguration(), {}, false};
    if (OpenComparisonSide(path, file))
        ShowComparison(file);
}

bool TForm1::OpenComparisonSide(const QString& path, CompareSide& side)
{
    if (OpenConfigFile(path, side.cfg, side.texts) != kFailureCode)
        return true;
    ShowFileRejected({});
    return false;
}

int TForm1::ShowComparison(const CompareSide& other, QWidget* parent)
{
    // Window-modal and not waited for: a comparison after a read must not keep
    // the exchange (and its port) waiting on the dialog.
    auto* dialog = new TfrmCompare(other, {kWindowTitle, cfg_, DialogTexts()}, *fileDialogs_, parent ? parent : this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog->Differences();
}

void TForm1::mnuJournalClick()
{
    if (!CommitFocusedEditor())
        return;
    // Not waited for either: an exchange that ends meanwhile still reports.
    auto* dialog = new TfrmJournal(ReadJournal(), JournalFolder(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetOpenAllowed(!ExchangeRunning());
    journal_ = dialog;
    connect(dialog, &TfrmJournal::openRequested, this, [this, dialog](const QString& file) {
        OpenJournalEntry(file, dialog);
    });
    connect(dialog, &TfrmJournal::compareRequested, this, [this, dialog](const QString& file) {
        const JournalEntry* entry = dialog->Selected();
        const QString time = entry ? entry->time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : QString();
        CompareJournalEntry(file, QStringLiteral("Журнал ") + time, dialog);
    });
    dialog->open();
}

void TForm1::OpenJournalEntry(const QString& file, QDialog* journal)
{
    if (!MayReplaceDocument())
        return;
    // Every byte the panel held or was sent, where the entry keeps them.
    const QString bytes = JournalBytesOf(file);
    // Named in the caption, but never the file "Сохранить" writes to: an
    // entry keeps what a panel held or was sent, whatever is edited later.
    const DocumentOrigin origin{OriginKind::JournalEntry, file.toStdString(), !bytes.isEmpty()};
    const bool opened =
        bytes.isEmpty() ? OpenConfig(file, origin) : ArriveFrom([this, &bytes] { return OpenExactBytes(bytes); }, origin);
    if (opened)
        journal->accept();
}

void TForm1::CompareJournalEntry(const QString& file, const QString& title, QWidget* journal)
{
    // An entry with its exact bytes keeps the radio settings too; its .cf8 alone does not.
    const QString bytes = JournalBytesOf(file);
    CompareSide entry{title, StartupConfiguration(), {}, !bytes.isEmpty()};
    QString why;
    if (bytes.isEmpty() ? OpenComparisonSide(file, entry) : LoadJournalBytes(bytes, entry.cfg, entry.texts, why)) {
        ShowComparison(entry, journal);
        return;
    }
    if (!why.isEmpty())
        ShowFileRejected(why);
}

void TForm1::mnuKeepJournalClick(bool checked) { WriteJournalSetting(checked); }

void TForm1::mnuBackupBeforeWriteClick(bool checked) { WriteSwitchSetting(kSettingBackup, checked); }

void TForm1::mnuMonitorClick()
{
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

void TForm1::KeepInJournal(int code, const ExchangeResult& result, JournalOp op, const GprsTexts& sentTexts)
{
    if (!mnuKeepJournal->isChecked())
        return;
    const TCommPortDriver& port = link_->CommPortDriver1();
    const FinishedExchange x{PortNameBox->currentText(), OpenedDevice(port.PortName()), code, result,
                             sentTexts, PortOpenErrorText(port.LastOpenError()), op};
    // The outcome stands; the status bar only adds that it was not kept.
    if (const QString why = AddToJournal(x); !why.isEmpty())
        SetStatusText(JournalOutcomeText(x) + QStringLiteral(". Запись журнала не сохранена: ") + why);
}

ReportSheet TForm1::Report() const
{
    ReportInfo info;
    info.date = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
    info.version = PanelVersion();
    info.passwords = mnuPrintPasswords->isChecked();
    return MakeReport(cfg_, DialogTexts(), info);
}

void TForm1::mnuPrintClick()
{
    if (!CommitFocusedEditor())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(ReportTitle(cfg_)));
    if (!askPrinter_(this, printer))
        return;
    PrintReport(Report(), printer);
}

// The configuration file's name, or the model and the date, as a PDF.
QString TForm1::SuggestedPdfPath() const
{
    if (const QString path = FileName(); !path.isEmpty()) {
        const QFileInfo file(path);
        return file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
    }
    const TDevices* row = DeviceRow(cfg_.model);
    const QString name = QString::fromUtf8(row ? row->name : "") + QLatin1Char(' ') +
                         QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
    const QString folder = ReadFolderSetting();
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void TForm1::mnuExportPdfClick()
{
    if (!CommitFocusedEditor())
        return;
    QString path = fileDialogs_->GetSaveFileName(this, QStringLiteral("Экспорт в PDF"), SuggestedPdfPath(),
                                                 QStringLiteral("Документы PDF|*.pdf"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    // Unlike a configuration, a sheet may have been signed and kept: never replaced unasked.
    if (QFileInfo::exists(path) &&
        msgs_.Show(this, MsgIcon::Warning, QStringLiteral("Экспорт в PDF"),
                   QStringLiteral("Файл уже существует:\r\n%1\r\nЗаменить его?").arg(QDir::toNativeSeparators(path)),
                   MsgButtons::YesNo) != MsgResult::Yes)
        return;
    if (QString why; !SaveReportPdf(Report(), path, &why)) {
        QString text = QString::fromUtf8(kFileNotSaved) + QStringLiteral("\r\n") + path;
        if (!why.isEmpty())
            text += QStringLiteral(": ") + why;
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка записи файла"), text, MsgButtons::Ok);
        return;
    }
    SetStatusText(QStringLiteral("Отчет сохранен"));
}

} // namespace vk410
