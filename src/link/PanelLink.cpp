#include "PanelLink.h"

#include <QCoreApplication>
#include <QEvent>

#include "PortName.h"

namespace vk410 {

PanelLink::PanelLink(QObject* parent)
    : QObject(parent), driver_(this)
{
    driver_.SetPortName(DeviceForPortText(QStringLiteral("COM1")));
    driver_.SetBaudRateValue(2400);
    driver_.SetHwFlow(hfNONE);
    driver_.SetInBufSize(1024);
    driver_.SetOutBufSize(1024);
    driver_.SetPollingDelay(500);
    driver_.SetEnableDTROnOpen(false);
    driver_.OnReceiveData = [this](TCommPortDriver* sender, const uint8_t* data, uint32_t size) {
        CommPortDriver1ReceiveData(sender, data, size);
    };
}

PanelLink::~PanelLink() { Stop(); }

bool PanelLink::SetPortText(const QString& portBoxText)
{
    const QString device = DeviceForPortText(portBoxText);
    if (device.isEmpty() || driver_.IsOpen())
        return false;
    driver_.SetPortName(device);
    return driver_.PortName() == device;
}

void PanelLink::CommPortDriver1ReceiveData(TCommPortDriver*, const uint8_t* data, uint32_t size)
{
    rx_.Append(data, size);
}

bool PanelLink::Busy() const { return thread_ && !finalReported_; }

bool PanelLink::SendData(bool isWrite, const Configuration& cfg, const GprsTexts& texts)
{
    if (stopping_.load() || Busy())
        return false;
    // The previous thread has reported and is closing the port: let it.
    JoinThread();
    finalReported_ = false;
    ExchangeLine& line = *this;
    ExchangeReporter& reporter = *this;
    thread_ = std::make_unique<TThreadBuff>(line, rx_, reporter, isWrite, cfg, texts);
    thread_->start(QThread::LowPriority);
    return true;
}

void PanelLink::JoinThread()
{
    if (!thread_)
        return;
    // Until its final report the thread may wait on this thread's event
    // queue; serve those calls while waiting.
    while (!thread_->wait(QDeadlineTimer(20)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    thread_.reset();
}

void PanelLink::WaitFinished() { JoinThread(); }

void PanelLink::Stop()
{
    stopping_.store(true);
    driver_.ClosePort();
    if (thread_)
        thread_->requestInterruption();
    JoinThread();
    finalReported_ = true;
}

void PanelLink::Status(const QString& text)
{
    if (stopping_.load())
        return;
    QMetaObject::invokeMethod(
        this, [this, text] {
            if (!stopping_.load())
                emit statusText(text);
        },
        Qt::BlockingQueuedConnection);
}

void PanelLink::Report(int code, int value, const ExchangeResult& result)
{
    if (stopping_.load())
        return;
    QMetaObject::invokeMethod(
        this, [this, code, value, &result] {
            if (code != kReportReplyArriving)
                finalReported_ = true;
            if (!stopping_.load())
                emit exchangeReport(code, value, result);
        },
        Qt::BlockingQueuedConnection);
}

} // namespace vk410
