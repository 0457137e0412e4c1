#include "PanelLink.h"

#include <QCoreApplication>
#include <QEvent>
#include <condition_variable>
#include <mutex>

#include "Diagnosis.h"
#include "PortName.h"

namespace vk410 {

QString DiagnosisText(int code, const ExchangeResult& result)
{
    const bool failed = (code == kReportReadFailed || code == kReportWriteFailed) && !result.refused;
    if (!failed || !result.record)
        return {};
    return QString::fromStdString(Diagnose(result.record->Entries(), true).text);
}

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
    driver_.OnLineLost = [this](TCommPortDriver*) {
        if (record_)
            record_->Add({.event = RecordEvent::LineLost});
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
    if (record_ && data && size > 0)
        record_->Add({.event = RecordEvent::Received, .bytes = {data, data + size}});
}

bool PanelLink::Busy() const { return thread_ && !finalReported_; }

bool PanelLink::SendData(bool isWrite, const Configuration& cfg, const GprsTexts& texts, ReportHandler handler)
{
    if (stopping_.load() || Busy())
        return false;
    // The previous thread has reported but may still be closing the port.
    // The new one waits for it before it opens, so this thread never blocks
    // (SendData may well be called from the report's own slot).
    ReapFinished();
    TThreadBuff* previous = nullptr;
    if (thread_) {
        previous = thread_.get();
        retired_.push_back(std::move(thread_));
    }
    finalReported_ = false;
    handler_ = std::move(handler);
    ExchangeLine& line = *this;
    ExchangeReporter& reporter = *this;
    record_ = std::make_shared<ExchangeRecord>(isWrite);
    thread_ = std::make_unique<TThreadBuff>(line, rx_, reporter, isWrite, cfg, texts, record_);
    thread_->Start(previous);
    emit exchangeStarted(record_);
    return true;
}

void PanelLink::ReapFinished()
{
    std::erase_if(retired_, [](const std::unique_ptr<TThreadBuff>& t) { return t->Finished(); });
}

void PanelLink::Join(TThreadBuff& t)
{
    // Until its final report a thread may wait on this thread's event queue;
    // serve those calls while waiting.
    while (!t.Wait(20))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void PanelLink::JoinAll()
{
    for (auto& t : retired_)
        Join(*t);
    retired_.clear();
    if (thread_)
        Join(*thread_);
    thread_.reset();
}

void PanelLink::WaitFinished() { JoinAll(); }

void PanelLink::Stop()
{
    stopping_.store(true);
    driver_.ClosePort();
    if (thread_)
        thread_->RequestInterruption();
    JoinAll();
    finalReported_ = true;
}

// Runs fn on this object's thread and returns once it has run: the window
// message sent synchronously. A queue of our own and a condition variable,
// not a blocking queued connection: docs/ARCHITECTURE.md says why.
void PanelLink::CallOnOwnerThread(std::function<void()> fn)
{
    struct Done {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    {
        std::lock_guard lock(callsMutex_);
        calls_.push_back([fn = std::move(fn), done] {
            // Released however fn ends: a slot that throws must not leave
            // the exchange thread waiting for ever.
            struct Release {
                Done& d;
                ~Release()
                {
                    std::lock_guard doneLock(d.m);
                    d.done = true;
                    d.cv.notify_one();
                }
            } release{*done};
            fn();
        });
        // Posted under the lock that RunCalls takes first (docs/ARCHITECTURE.md).
        QMetaObject::invokeMethod(this, "RunCalls", Qt::QueuedConnection);
    }
    std::unique_lock lock(done->m);
    done->cv.wait(lock, [&] { return done->done; });
}

void PanelLink::RunCalls()
{
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard lock(callsMutex_);
        calls.swap(calls_);
    }
    for (auto& call : calls)
        call();
}

void PanelLink::Status(const QString& text)
{
    if (stopping_.load())
        return;
    CallOnOwnerThread([this, text] {
        if (!stopping_.load())
            emit statusText(text);
    });
}

void PanelLink::Report(int code, int value, const ExchangeResult& result)
{
    if (stopping_.load())
        return;
    CallOnOwnerThread([this, code, value, &result] {
        if (code != kReportReplyArriving)
            finalReported_ = true;
        if (stopping_.load())
            return;
        // A copy: the handler may start the next exchange, which brings its own.
        const ReportHandler handler = handler_;
        if (handler)
            handler(code, value, result);
        else
            emit exchangeReport(code, value, result);
    });
}

} // namespace vk410
