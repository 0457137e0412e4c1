// The window's comparisons ("Сравнить с прибором...", "Сравнить с файлом...")
// and its programming sheet ("Печать...", "Экспорт в PDF..."). Both read the
// window's configuration and never change it.
#include <QAction>
#include <QDate>
#include <QPrintDialog>
#include <QPrinter>

#include "../files/FileOps.h"
#include "../files/Settings.h"
#include "../link/PanelLink.h"
#include "../report/ReportHtml.h"
#include "../report/ReportPdf.h"
#include "Dialogs.h"
#include "FormCompare.h"
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
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuExportPdf->setObjectName(QStringLiteral("mnuExportPdf"));
    mnuCompareDevice->setObjectName(QStringLiteral("mnuCompareDevice"));
    mnuCompareFile->setObjectName(QStringLiteral("mnuCompareFile"));
    connect(mnuPrint, &QAction::triggered, this, &TForm1::mnuPrintClick);
    connect(mnuExportPdf, &QAction::triggered, this, &TForm1::mnuExportPdfClick);
    connect(mnuCompareDevice, &QAction::triggered, this, &TForm1::mnuCompareDeviceClick);
    connect(mnuCompareFile, &QAction::triggered, this, &TForm1::mnuCompareFileClick);
    askPrinter_ = AskPlatformPrinter;
}

void TForm1::SetPrinterQuestion(PrinterQuestion question)
{
    askPrinter_ = question ? std::move(question) : AskPlatformPrinter;
}

void TForm1::mnuCompareDeviceClick()
{
    if (!CommitFocusedEditor())
        return;
    // Set before the start: the outcome reports through the read's own path.
    compareRead_ = true;
    if (link_->SendData(false, cfg_, DialogTexts()))
        SetExchangeControlsEnabled(false);
    else
        compareRead_ = false;
}

void TForm1::ShowPanelComparison(const ExchangeResult& result)
{
    CompareSide panel{QStringLiteral("В приборе"), StartupConfiguration(), {}};
    ApplyExchangeResult(result, panel.cfg);
    LoadGprsTexts(panel.cfg.gprs, panel.texts);
    ShowComparison(panel);
}

void TForm1::mnuCompareFileClick()
{
    if (!CommitFocusedEditor())
        return;
    const QString path = AskConfigFile(QStringLiteral("Сравнить с файлом"));
    if (path.isEmpty())
        return;
    CompareSide file{QStringLiteral("В файле"), StartupConfiguration(), {}};
    if (OpenConfigFile(path, file.cfg, file.texts) == 255) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка чтения файла"),
                   QStringLiteral("Файл поврежден или не найден"), MsgButtons::Ok);
        return;
    }
    ShowComparison(file);
}

void TForm1::ShowComparison(const CompareSide& other)
{
    // Window-modal and not waited for: a comparison after a read must not keep
    // the exchange (and its port) waiting on the dialog.
    auto* dialog = new TfrmCompare(other, {kWindowTitle, cfg_, DialogTexts()}, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

std::string TForm1::ReportText() const
{
    const ReportInfo info{QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString(),
                          panelVersion_};
    return ReportHtml(cfg_, DialogTexts(), info);
}

void TForm1::mnuPrintClick()
{
    if (!CommitFocusedEditor())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(ReportTitle(cfg_)));
    if (!askPrinter_(this, printer))
        return;
    PrintReport(ReportText(), printer);
}

void TForm1::mnuExportPdfClick()
{
    if (!CommitFocusedEditor())
        return;
    QString path = fileDialogs_->GetSaveFileName(this, QStringLiteral("Экспорт в PDF"), ReadFolderSetting(),
                                                 QStringLiteral("Документы PDF|*.pdf"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!SaveReportPdf(ReportText(), QString::fromStdString(ReportTitle(cfg_)), path)) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка записи файла"),
                   QStringLiteral("Не удалось сохранить файл:\r\n") + path, MsgButtons::Ok);
        return;
    }
    SetStatusText(QStringLiteral("Отчет сохранен"));
}

} // namespace vk410
