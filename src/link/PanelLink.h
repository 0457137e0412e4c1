#pragma once
// PanelLink: the window's side of the panel link (Qt Core only).
//
// It owns the serial component CommPortDriver1 (2400 baud 8N1, no flow
// control, DTR and RTS off, 1024-byte queues, 500 ms poll), the receive
// buffer RxBuf/RxCount with its handler CommPortDriver1ReceiveData, and the
// running exchange thread. Create it on the window's (GUI) thread and let the
// window own it; the window keeps the configuration, the buttons and the
// status bar.
//
// Wiring the window:
//   - port box:        SetPortText(text) whenever the user picks a port.
//   - ButtonReadClick:  SendData(false, cfg, texts); ButtonWriteClick asks its
//                       question first, then SendData(true, cfg, texts).
//                       On true, disable ButtonRead, ButtonWrite and the port
//                       box. The exchange works on copies of cfg and texts
//                       taken here; the window's own data is not touched.
//   - statusText(text): put text into the status bar. The exchange thread waits
//                       until the slot has returned.
//   - exchangeReport(code, value, result): ExchangeReport. Codes:
//       2  "Ответ прибора получен..." (StatusText::ReplyArriving); nothing else.
//       0  success; call ApplyExchangeResult(result, cfg) first, then for a
//          read (result.isWrite false) select model `value` without its change
//          handler, SetDevice, RefreshControls; blink green.
//       1  the port could not be opened: the error box
//          (StatusText::PortFailedCaption / PortFailedText).
//       3  read failed: ApplyExchangeResult too (blocks taken before the
//          failure stay), status StatusText::ReadFailed, blink red.
//       4  write failed: ApplyExchangeResult (header and check bytes of the
//          frames sent), status StatusText::WriteFailed, blink red.
//     Every code but 2 ends the exchange: re-enable the three controls there.
//     The thread waits until the slot has returned, so a modal box in the
//     slot holds the exchange, as it should.
//   - closing the window: Stop() (the destructor calls it too). It closes the
//     port, stops the thread and waits for it; no signal is emitted after
//     Stop() has begun.
//
// The report comes before the thread closes the port; the thread of a
// following SendData waits for that close before it opens the port, so
// exchanges never overlap on the port and SendData itself never blocks.
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "CPDrv.h"
#include "ThreadBuff.h"

namespace vk410 {

// Why an exchange failed, in words, from its record; empty when it did not
// fail on the line (done, the port would not open, a write refused before
// anything was sent).
QString DiagnosisText(int code, const ExchangeResult& result);

class PanelLink : public QObject, private ExchangeReporter, private ExchangeLine {
    Q_OBJECT
public:
    explicit PanelLink(QObject* parent = nullptr);
    ~PanelLink() override;

    TCommPortDriver& CommPortDriver1() { return driver_; }

    // The port box rule: a text that names a device sets PortName (ignored
    // while the port is open). Returns whether the device changed.
    bool SetPortText(const QString& portBoxText);

    // Where one exchange's reports go instead of exchangeReport; called on
    // this object's thread, like the signal.
    using ReportHandler = std::function<void(int code, int value, const ExchangeResult& result)>;

    // Starts a read (isWrite false) or a write on copies of cfg and texts.
    // False, and nothing started, while a previous exchange has not yet sent
    // its final report, or after Stop(). With a handler, this exchange's
    // reports reach it and not exchangeReport (status texts still go out):
    // a composed exchange (a write with its backup) is not mistaken for a
    // read by whoever listens to every read.
    bool SendData(bool isWrite, const Configuration& cfg, const GprsTexts& texts, ReportHandler handler = {});

    // An exchange has started and not yet sent its final report.
    bool Busy() const;
    // Waits until the last exchange's thread has closed the port and ended.
    // Call it after the final report (e.g. before a command-line program exits).
    void WaitFinished();
    // Closes the port, flags a running exchange to stop and waits for it.
    void Stop();

    const RxBuffer& RxBuf() const { return rx_; }
    // The receive handler of CommPortDriver1; public for tests.
    void CommPortDriver1ReceiveData(TCommPortDriver* sender, const uint8_t* data, uint32_t size);

    // The record of the latest exchange (null before the first): what the
    // monitor and --trace show while it runs; the reports carry it too.
    std::shared_ptr<const ExchangeRecord> Record() const { return record_; }

signals:
    void statusText(const QString& text);
    void exchangeReport(int code, int value, const vk410::ExchangeResult& result);
    // An exchange has started; its record fills as it goes.
    void exchangeStarted(std::shared_ptr<const vk410::ExchangeRecord> record);

private:
    // ExchangeReporter, called on the exchange thread.
    void Status(const QString& text) override;
    void Report(int code, int value, const ExchangeResult& result) override;
    // ExchangeLine, called on the exchange thread.
    bool OpenPort() override { return driver_.OpenPort(); }
    void ClosePort() override { driver_.ClosePort(); }
    bool PurgeBuffers(bool input, bool output) override { return driver_.PurgeBuffers(input, output); }
    uint32_t WriteData(const uint8_t* data, uint32_t count) override { return driver_.WriteData(data, count); }

    void CallOnOwnerThread(std::function<void()> fn);
    Q_INVOKABLE void RunCalls();
    void ReapFinished();
    void Join(TThreadBuff& t);
    void JoinAll();

    TCommPortDriver driver_;
    RxBuffer rx_;
    std::unique_ptr<TThreadBuff> thread_;               // the latest exchange
    std::vector<std::unique_ptr<TThreadBuff>> retired_; // earlier ones, maybe still closing
    bool finalReported_ = true; // GUI thread only
    ReportHandler handler_;     // the running exchange's; GUI thread only
    std::shared_ptr<ExchangeRecord> record_; // the latest exchange's; set on the GUI thread
    std::atomic<bool> stopping_{false};
    std::mutex callsMutex_;
    std::vector<std::function<void()>> calls_; // from the exchange thread, run here
};

} // namespace vk410
