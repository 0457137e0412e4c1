// The window's side of the exchange: the read and write buttons, the reports
// of the exchange thread, the status-bar blink and the port box.
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <utility>

#include "files/PortBox.h"
#include "files/PortList.h"
#include "files/Journal.h"
#include "link/PanelLink.h"
#include "link/PortName.h"
#include "link/WriteSession.h"
#include "model/CXMGSM.h"
#include "Dialogs.h"
#include "FormGprs.h"
#include "FormMonitor.h"
#include "FormJournal.h"
#include "FormUnit1.h"
#include "GsmPage.h"

namespace vk410 {

namespace {
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
constexpr int kBlinkCount = 3;
const QString kClosesAfterExchange = QStringLiteral("Окно закроется, когда закончится обмен с прибором");

} // namespace

void TForm1::ConnectLink()
{
    connect(ButtonRead, &QPushButton::clicked, this, &TForm1::ButtonReadClick);
    connect(ButtonWrite, &QPushButton::clicked, this, &TForm1::ButtonWriteClick);
    connect(IndTimer, &QTimer::timeout, this, &TForm1::IndTimerTimer);
    // Typed or picked, the box's line edit changes: one signal covers both.
    connect(PortNameBox, &QComboBox::editTextChanged, this, &TForm1::PortNameBoxChange);
    connect(PortNameBox, &TDropDownBox::dropDown, this, &TForm1::PortNameBoxDropDown);
    connect(link_.get(), &PanelLink::statusText, this, &TForm1::SetStatusText);
    connect(link_.get(), &PanelLink::exchangeReport, this, &TForm1::ExchangeReport);
    WriteSession* session = writeSession_.get();
    connect(session, &WriteSession::statusText, this, &TForm1::SetStatusText);
    connect(session, &WriteSession::replyArriving, this, [this] { SetStatusText(StatusText::ReplyArriving); });
    connect(session, &WriteSession::exchangeEnded, this, &TForm1::KeepWriteStep);
    connect(session, &WriteSession::finished, this, &TForm1::WriteFinished);
    ConnectCommand(N4, &TForm1::N4Click);
    ConnectCommand(N2, &TForm1::N2Click);
    ConnectCommand(N3, &TForm1::N3Click);
}

void TForm1::FillPortBox()
{
    TCommPortDriver& port = link_->CommPortDriver1();
    // A text that names no device is said to be refused before an exchange is.
    PortNameBox->meaningOf = [](const QString& text) {
        const QString device = DeviceForPortText(text);
        return device.isEmpty() ? PortNotUnderstoodText(text)
                                : QStringLiteral("Устройство: ") + QDir::toNativeSeparators(device);
    };
    const PortBoxStart start = PortBoxAtStartup(port.PortName());
    PortNameBox->SetItems(start.items, start.descriptions);
    PortNameBox->setEditText(start.text);
    port.SetPortName(start.device);
}

void TForm1::PortNameBoxDropDown()
{
    // An adapter plugged in since start-up is offered without a restart.
    const QList<SerialPortInfo> ports = ListSerialPortInfo();
    PortNameBox->SetItems(PortNames(ports), PortDescriptions(ports));
}

void TForm1::PortNameBoxChange(const QString& text)
{
    // Stores the text; the device follows only a text that names one, and an
    // exchange refuses one that names none (PortTextUnderstood).
    vk410::PortNameBoxChange(text, link_->CommPortDriver1().PortName());
    link_->SetPortText(text);
}

bool TForm1::PortTextUnderstood()
{
    // The device stays the last one understood; exchanging with it would
    // reach a panel the user did not name.
    const QString text = PortNameBox->currentText();
    if (!DeviceForPortText(text).isEmpty())
        return true;
    msgs_.Show(this, MsgIcon::Error, StatusText::PortFailedCaption, StatusText::PortFailedText, MsgButtons::Ok);
    SetStatusText(PortNotUnderstoodText(text));
    return false;
}

void TForm1::ButtonReadClick()
{
    exchangeStarter_ = ButtonRead;
    // The read replaces the configuration.
    if (MayDropChanges())
        SendData(false);
}

void TForm1::ButtonWriteClick()
{
    exchangeStarter_ = ButtonWrite;
    if (!CommitFocusedEditor())
        return;
    if (gsmPage_->ModuleConnected() && !AnyDestinationEnabled(cfg_.gsm)) {
        const MsgResult answer =
            msgs_.Show(this, MsgIcon::Warning, QStringLiteral("Программатор"),
                       QStringLiteral("Ни одно направление не включено,\r\nсохранять настройки?"),
                       MsgButtons::YesNo);
        if (answer != MsgResult::Yes)
            return;
    }
    SendData(true);
}

GprsTexts TForm1::DialogTexts() const { return gprs_ ? gprs_->Texts() : GprsTexts{}; }

void TForm1::BeginExchange()
{
    monitor_->BeginOperation();
    SetDiagnosis({});
}

void TForm1::SetDiagnosis(const QString& text)
{
    statusPanel_->setToolTip(text);
    monitor_->SetDiagnosis(text);
}

QString TForm1::Diagnosis() const { return statusPanel_->toolTip(); }

void TForm1::SendData(bool isWrite)
{
    if (!PortTextUnderstood())
        return;
    exchangeTexts_ = DialogTexts();
    BeginExchange();
    const bool started = isWrite ? writeSession_->Start({cfg_, exchangeTexts_, mnuBackupBeforeWrite->isChecked(),
                                                         RadioFromPanel()})
                                 : link_->SendData(false, cfg_, exchangeTexts_);
    if (started)
        SetExchangeControlsEnabled(false);
}

bool TForm1::ExchangeRunning() const { return link_->Busy() || writeSession_->Running(); }

// While an exchange runs, nothing else may replace the window's
// configuration: the exchange's result would land on top of it.
void TForm1::SetExchangeControlsEnabled(bool enabled)
{
    const std::initializer_list<QWidget*> controls = {PortNameBox, ButtonWrite, ButtonRead, DeviceTypeList};
    if (!enabled) {
        // Parked where a key does no harm, not on the next control (Выход).
        QWidget* focused = focusWidget();
        for (QWidget* control : controls)
            if (focused && (focused == control || control->isAncestorOf(focused)))
                PageMain->setFocus(Qt::OtherFocusReason);
        parkedFocus_ = focusWidget();
    }
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    for (QAction* command : {N4, mnuCompareDevice, mnuCompareFile})
        command->setEnabled(enabled);
    for (QAction* recent : mnuRecent)
        recent->setEnabled(enabled);
    if (journal_)
        journal_->SetOpenAllowed(enabled);
    if (enabled) {
        // Unless the user has put the focus elsewhere meanwhile.
        if (exchangeStarter_ && (!focusWidget() || focusWidget() == parkedFocus_))
            exchangeStarter_->setFocus(Qt::OtherFocusReason);
        exchangeStarter_ = nullptr;
    }
}

void TForm1::ExchangeReport(int code, int value, const ExchangeResult& result)
{
    if (code == kReportReplyArriving) {
        SetStatusText(StatusText::ReplyArriving);
        return;
    }
    // Edits made meanwhile are a step of their own, before a read replaces them.
    NoteChanges();
    SetExchangeControlsEnabled(true);
    // A comparison's read goes to a copy of its own: the window stays as it was.
    const bool comparing = std::exchange(compareRead_, false);
    // The exchange thread waits for this slot; an exception must not leave it
    // waiting for ever, so it is shown here.
    try {
        const Replacing replacing(replacing_);
        ReportOutcome(code, value, result, comparing);
    } catch (const std::exception& e) {
        msgs_.ShowError(QString::fromUtf8(e.what()));
    }
    SetDiagnosis(DiagnosisText(code, result));
    RecordExchange(code, comparing, result);
    KeepInJournal(code, result, comparing ? JournalOp::Compare : JournalOp::Read, {});
    ExchangeEnded(code != kReportDone);
}

void TForm1::KeepWriteStep(WriteStep step, int code, const ExchangeResult& result)
{
    KeepInJournal(code, result, JournalOpOf(step), StepTexts(step, result, exchangeTexts_));
}

void TForm1::WriteFinished(const WriteOutcome& outcome)
{
    NoteChanges();
    SetExchangeControlsEnabled(true);
    // Reported from the exchange's own hand-over: an exception must not
    // unwind through it.
    try {
        const Replacing replacing(replacing_);
        ShowWriteOutcome(outcome);
    } catch (const std::exception& e) {
        msgs_.ShowError(QString::fromUtf8(e.what()));
    }
    SetDiagnosis(outcome.DiagnosisText());
    // Frame headers and check bytes: the configuration stays what it was.
    doc_->Follow(Current());
    UpdateDocumentState();
    ExchangeEnded(outcome.code != kReportDone);
}

void TForm1::ShowWriteOutcome(const WriteOutcome& outcome)
{
    if (outcome.write)
        ApplyExchangeResult(*outcome.write, cfg_);
    switch (outcome.code) {
    case kReportDone:
        SelectModelQuietly(cfg_.model);
        SetDevice(cfg_.model);
        RefreshControls();
        StartIndicator(kGreen, kBlinkCount);
        return;
    case kReportPortFailed:
        ShowPortFailed();
        return;
    case kReportReadFailed:
        SetStatusText(StatusText::ReadFailed);
        break;
    default:
        if (outcome.modelRefused)
            SetStatusText(StatusText::ModelRefused(unsigned(outcome.panelModel), cfg_.model));
        else if (outcome.rollback != WriteOutcome::Rollback::None)
            SetStatusText((QStringList{StatusText::WriteFailed} + outcome.Lines()).join(QStringLiteral(". ")));
        else if (!outcome.write || !outcome.write->refused) // a refused write has said why
            SetStatusText(StatusText::WriteFailed);
        break;
    }
    StartIndicator(kRed, kBlinkCount);
}

void TForm1::ExchangeEnded(bool failed)
{
    lastExchangeFailed_ = failed;
    // The journal has its entry by now; the port closes with the window.
    if (closePending_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::ShowPortFailed()
{
    msgs_.Show(this, MsgIcon::Error, StatusText::PortFailedCaption, StatusText::PortFailedText, MsgButtons::Ok);
    // The box cannot say why; the status bar can, once it is closed.
    if (const QString why = PortOpenErrorText(link_->CommPortDriver1().LastOpenError()); !why.isEmpty())
        SetStatusText(why);
}

// The outcome of a read; a write's comes through WriteFinished.
void TForm1::ReportOutcome(int code, int value, const ExchangeResult& result, bool comparing)
{
    switch (code) {
    case kReportDone: {
        if (comparing) {
            StartIndicator(kGreen, kBlinkCount);
            ShowPanelComparison(result);
            break;
        }
        const unsigned model = unsigned(value & 0xFF);
        ApplyExchangeResult(result, cfg_);
        SelectModelQuietly(model);
        SetDevice(model);
        RefreshControls();
        StartIndicator(kGreen, kBlinkCount);
        break;
    }
    case kReportPortFailed:
        ShowPortFailed();
        break;
    case kReportReadFailed:
        if (!comparing)
            ApplyExchangeResult(result, cfg_);
        SetStatusText(StatusText::ReadFailed);
        StartIndicator(kRed, kBlinkCount);
        break;
    default:
        break;
    }
}

QColor TForm1::StatusBarColor() const { return statusBar()->palette().color(QPalette::Window); }

void TForm1::PaintStatusBar(const QColor& colour)
{
    QStatusBar* bar = statusBar();
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, colour);
    bar->setPalette(pal);
    bar->setAutoFillBackground(true);
}

void TForm1::StartIndicator(const QColor& colour, int count)
{
    // A blink still running shows its colour now; the bar's own colour is the
    // one it remembered, or the bar would keep the blink colour for good.
    if (!IndTimer->isActive())
        indRestore_ = StatusBarColor();
    indShow_ = colour;
    PaintStatusBar(colour);
    indCount_ = count;
    if (count > 0)
        IndTimer->start();
    else
        PaintStatusBar(indRestore_);
}

void TForm1::IndTimerTimer()
{
    PaintStatusBar(indCount_ % 2 != 0 ? indRestore_ : indShow_);
    --indCount_;
    if (indCount_ <= 0)
        IndTimer->stop();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The question comes first, once: a close that waits for an exchange has
    // had it. A termination signal keeps the changes in the recovery copy.
    if (!terminating_ && !closePending_) {
        if (!MayDropChanges()) {
            event->ignore();
            return;
        }
        DropRecoveryCopy();
    }
    // An exchange is never cut: a write broken off between blocks leaves a
    // panel half new. The window closes once it (and any rollback) has ended.
    if (ExchangeRunning()) {
        closePending_ = true;
        SetStatusText(kClosesAfterExchange);
        event->ignore();
        return;
    }
    closeWaited_ = std::exchange(closePending_, false);
    // FormClose: the port closes with the window.
    link_->Stop();
    QMainWindow::closeEvent(event);
}

} // namespace vk410
