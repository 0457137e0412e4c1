// The window's side of the exchange: the read and write buttons, the reports
// of the exchange thread, the status-bar blink, the port box and closing.
#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <utility>

#include "files/PortBox.h"
#include "files/PortList.h"
#include "link/PanelLink.h"
#include "model/CXMGSM.h"
#include "Dialogs.h"
#include "FormGprs.h"
#include "FormUnit1.h"
#include "GsmPage.h"

namespace vk410 {

namespace {
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
constexpr int kBlinkCount = 3;
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
    ConnectCommand(N4, &TForm1::N4Click);
    ConnectCommand(N2, &TForm1::N2Click);
    ConnectCommand(N3, &TForm1::N3Click);
}

void TForm1::FillPortBox()
{
    TCommPortDriver& port = link_->CommPortDriver1();
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
    // Stores the text; the device follows only a text that names one.
    vk410::PortNameBoxChange(text, link_->CommPortDriver1().PortName());
    link_->SetPortText(text);
}

void TForm1::ButtonReadClick()
{
    if (CommitFocusedEditor())
        SendData(false);
}

void TForm1::ButtonWriteClick()
{
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

void TForm1::SendData(bool isWrite)
{
    exchangeTexts_ = DialogTexts();
    if (link_->SendData(isWrite, cfg_, exchangeTexts_))
        SetExchangeControlsEnabled(false);
}

void TForm1::SetExchangeControlsEnabled(bool enabled)
{
    PortNameBox->setEnabled(enabled);
    ButtonWrite->setEnabled(enabled);
    ButtonRead->setEnabled(enabled);
}

void TForm1::ExchangeReport(int code, int value, const ExchangeResult& result)
{
    if (code == kReportReplyArriving) {
        SetStatusText(StatusText::ReplyArriving);
        return;
    }
    SetExchangeControlsEnabled(true);
    // A comparison's read goes to a copy of its own: the window stays as it was.
    const bool comparing = std::exchange(compareRead_, false);
    // The exchange thread waits for this slot; an exception must not leave it
    // waiting for ever, so it is shown here.
    try {
        ReportOutcome(code, value, result, comparing);
    } catch (const std::exception& e) {
        msgs_.ShowError(QString::fromUtf8(e.what()));
    }
    KeepInJournal(code, result, comparing);
}

void TForm1::ReportOutcome(int code, int value, const ExchangeResult& result, bool comparing)
{
    switch (code) {
    case kReportDone: {
        if (comparing) {
            StartIndicator(kGreen, kBlinkCount);
            ShowPanelComparison(result);
            break;
        }
        // A write reports the current model: the one shown now, which the
        // user may have picked while the write ran.
        const unsigned model = result.isWrite ? cfg_.model : unsigned(value & 0xFF);
        ApplyExchangeResult(result, cfg_);
        if (!result.isWrite)
            panelVersion_ = result.version;
        SelectModelQuietly(model);
        SetDevice(model);
        RefreshControls();
        StartIndicator(kGreen, kBlinkCount);
        break;
    }
    case kReportPortFailed:
        msgs_.Show(this, MsgIcon::Error, StatusText::PortFailedCaption, StatusText::PortFailedText,
                   MsgButtons::Ok);
        // The box cannot say why; the status bar can, once it is closed.
        if (const QString why = PortOpenErrorText(link_->CommPortDriver1().LastOpenError()); !why.isEmpty())
            SetStatusText(why);
        break;
    case kReportReadFailed:
        if (!comparing)
            ApplyExchangeResult(result, cfg_);
        SetStatusText(StatusText::ReadFailed);
        StartIndicator(kRed, kBlinkCount);
        break;
    case kReportWriteFailed:
        ApplyExchangeResult(result, cfg_);
        // A refused write has said why; the general text would hide it.
        if (!result.refused)
            SetStatusText(StatusText::WriteFailed);
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
    // FormClose: the port closes with the window, and an exchange still
    // running is stopped and awaited so that nothing reports to it later.
    link_->Stop();
    QMainWindow::closeEvent(event);
}

} // namespace vk410
