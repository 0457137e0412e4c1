#include "CPDrv.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "PortName.h"

namespace vk410 {
namespace {

constexpr uint32_t kMinBufSize = 128;
constexpr uint32_t kMaxBufSize = 8192;
constexpr uint16_t kMinPollingDelay = 5;

uint32_t ClampBufSize(uint32_t size) { return std::clamp(size, kMinBufSize, kMaxBufSize); }

QString DeviceOfComNumber(int n)
{
    return DeviceForPortText(QStringLiteral("COM%1").arg(n));
}

int64_t NowMs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace

int32_t BaudRateValueOf(TBaudRate rate)
{
    static constexpr int32_t table[] = {0,     110,   300,   600,    1200,   2400,   4800,   9600,
                                        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const int i = int(rate);
    return i >= 0 && i < int(std::size(table)) ? table[i] : 0;
}

TCommPortDriver::TCommPortDriver(QObject* parent)
    : TCommPortDriver(MakePlatformSerialBackend(), parent)
{
}

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)), timer_(new QTimer(this)),
      portName_(DeviceOfComNumber(2))
{
    scratch_.assign(inBufSize_, 0);
    // A coarse timer fires up to 5 % late: at 525 ms only two polls fit the
    // exchange's 1550 ms wait for a reply's first bytes.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &TCommPortDriver::PollReceive);
}

TCommPortDriver::~TCommPortDriver()
{
    Lock lock(m_);
    CloseLocked();
}

bool TCommPortDriver::OpenPort()
{
    {
        Lock lock(m_);
        if (backend_->IsOpen())
            return true;
        openError_ = {};
        if (!backend_->Open(portName_)) {
            openError_ = backend_->OpenError();
            if (openError_.reason == PortOpenReason::None)
                openError_.reason = PortOpenReason::Other;
            if (openError_.device.isEmpty())
                openError_.device = portName_;
            return false;
        }
        if (!ApplySettingsLocked()) {
            CloseLocked();
            openError_ = {PortOpenReason::SetupFailed, portName_, {}, {}, {}};
            return false;
        }
        backend_->SetTimeouts(CommTimeouts{});
        packetStart_ = -1;
        lineLost_ = false;
    }
    SyncTimer();
    return true;
}

PortOpenError TCommPortDriver::LastOpenError() const
{
    Lock lock(m_);
    return openError_;
}

void TCommPortDriver::ClosePort()
{
    {
        Lock lock(m_);
        if (!backend_->IsOpen())
            return;
        CloseLocked();
    }
    SyncTimer();
}

void TCommPortDriver::CloseLocked()
{
    backend_->Close();
}

bool TCommPortDriver::IsOpen() const
{
    Lock lock(m_);
    return backend_->IsOpen();
}

LineSettings TCommPortDriver::BuildLine() const
{
    LineSettings line;
    line.baud = baudRateValue_;
    line.dtrOn = enableDTROnOpen_;
    line.rtsOn = hwFlow_ == hfNONERTSON;
    line.rtsCtsFlow = hwFlow_ == hfRTSCTS;
    line.xonXoff = swFlow_ == sfXONXOFF;
    line.xonLimit = line.xoffLimit = std::min<uint32_t>(inBufSize_ / 4, 4096);
    line.byteSize = 5 + int(dataBits_);
    line.parity = parity_;
    line.stopBits = stopBits_;
    return line;
}

bool TCommPortDriver::ApplySettings()
{
    Lock lock(m_);
    return ApplySettingsLocked();
}

bool TCommPortDriver::ApplySettingsLocked()
{
    if (!backend_->IsOpen())
        return false;
    if (!backend_->SetState(BuildLine()))
        return false;
    if (!PurgeLocked(true, true))
        return false;
    return backend_->SetupQueues(inBufSize_, outBufSize_);
}

bool TCommPortDriver::PurgeBuffers(bool input, bool output)
{
    Lock lock(m_);
    return PurgeLocked(input, output);
}

bool TCommPortDriver::PurgeLocked(bool input, bool output)
{
    if (!backend_->IsOpen() || !backend_->Purge(input, output))
        return false;
    packetStart_ = -1;
    return true;
}

uint32_t TCommPortDriver::WriteData(const uint8_t* data, uint32_t count)
{
    return WriteDataTimed(data, count, OutputTimeout());
}

uint32_t TCommPortDriver::WriteDataTimed(const uint8_t* data, uint32_t count, uint32_t timeoutMs)
{
    uint32_t written = 0;
    int64_t t = NowMs();
    while (written < count) {
        uint32_t n = 0;
        {
            Lock lock(m_);
            if (!backend_->IsOpen())
                break;
            const uint16_t f = OutputFreeLocked();
            if (f > 0) {
                if (checkLineStatus_ && ModemLinesLocked() == 0)
                    break;
                n = backend_->Write(data + written, std::min<uint32_t>(count - written, f));
            }
        }
        if (n > 0) {
            written += n;
            t = NowMs();
            continue;
        }
        if (NowMs() - t > int64_t(timeoutMs))
            break;
        std::this_thread::yield(); // the poll needs the lock too
    }
    return written;
}

uint16_t TCommPortDriver::OutputFree()
{
    Lock lock(m_);
    return OutputFreeLocked();
}

uint16_t TCommPortDriver::OutputFreeLocked()
{
    if (!backend_->IsOpen())
        return 65535;
    uint32_t in = 0, out = 0;
    backend_->QueueCounts(in, out);
    return uint16_t(outBufSize_ - out);
}

uint32_t TCommPortDriver::ModemLines()
{
    Lock lock(m_);
    return ModemLinesLocked();
}

uint32_t TCommPortDriver::ModemLinesLocked()
{
    uint32_t lines = 0;
    if (!backend_->IsOpen() || !backend_->ModemStatus(lines))
        return 0;
    return lines;
}

void TCommPortDriver::PollReceive()
{
    uint32_t got = 0;
    bool packets = false;
    bool lost = false;
    {
        Lock lock(m_);
        if (!backend_->IsOpen())
            return;
        uint32_t waiting = 0, out = 0;
        backend_->QueueCounts(waiting, out);
        lost = !lineLost_ && backend_->LineLost();
        lineLost_ = lineLost_ || lost;
        packets = packetSize_ > 0;
        if (!packets)
            got = PollPlain(waiting);
        else
            PollPackets(lock, waiting); // hands packets on with the lock released
    }
    // The handlers run without the lock, so they may call back into the port.
    if (!packets && got > 0 && OnReceiveData)
        OnReceiveData(this, scratch_.data(), got);
    if (lost && OnLineLost)
        OnLineLost(this);
}

uint32_t TCommPortDriver::PollPlain(uint32_t waiting)
{
    if (waiting == 0)
        return 0;
    return backend_->Read(scratch_.data(), std::min<uint32_t>(waiting, uint32_t(scratch_.size())));
}

void TCommPortDriver::PollPackets(Lock& lock, uint32_t waiting)
{
    // The lock is released around each hand-over, so the handler may call back.
    const uint32_t size = std::min<uint32_t>(uint32_t(packetSize_), uint32_t(scratch_.size()));
    while (waiting >= size) {
        const uint32_t n = backend_->Read(scratch_.data(), size);
        if (n < size)
            return;
        waiting -= n;
        packetStart_ = -1;
        if (OnReceivePacket) {
            lock.unlock();
            OnReceivePacket(this, scratch_.data(), n);
            lock.lock();
            if (!backend_->IsOpen())
                return;
        }
    }
    if (waiting == 0)
        return;
    if (packetStart_ < 0) {
        packetStart_ = NowMs();
        return;
    }
    if (packetTimeout_ < 0 || NowMs() - packetStart_ <= packetTimeout_)
        return;
    const uint32_t n = backend_->Read(scratch_.data(), std::min<uint32_t>(waiting, size));
    packetStart_ = -1;
    if (n > 0 && packetMode_ == pmPass && OnReceivePacket) {
        lock.unlock();
        OnReceivePacket(this, scratch_.data(), n);
        lock.lock();
    }
}

void TCommPortDriver::SyncTimer()
{
    if (QThread::currentThread() == thread()) {
        SyncTimerHere();
        return;
    }
    // By name, posted under m_, which SyncTimerHere takes first: the exchange
    // thread's hand-over rule (docs/ARCHITECTURE.md).
    Lock lock(m_);
    QMetaObject::invokeMethod(this, "SyncTimerHere", Qt::QueuedConnection);
}

void TCommPortDriver::SyncTimerHere()
{
    bool open;
    int delay;
    {
        Lock lock(m_);
        open = backend_->IsOpen();
        delay = pollingDelay_;
    }
    if (!open)
        timer_->stop();
    else if (!timer_->isActive() || timer_->interval() != delay)
        timer_->start(delay);
}

bool TCommPortDriver::PollTimerActive() const { return timer_->isActive(); }

// Properties.

TPortNumber TCommPortDriver::Port() const { Lock l(m_); return port_; }
void TCommPortDriver::SetPort(TPortNumber port)
{
    Lock l(m_);
    if (backend_->IsOpen() || port < pnCustom || port > pnCOM16)
        return;
    port_ = port;
    if (port != pnCustom)
        portName_ = DeviceOfComNumber(int(port));
}

QString TCommPortDriver::PortName() const { Lock l(m_); return portName_; }
void TCommPortDriver::SetPortName(const QString& name)
{
    Lock l(m_);
    if (backend_->IsOpen())
        return;
    portName_ = name;
    port_ = pnCustom;
}

TBaudRate TCommPortDriver::BaudRate() const { Lock l(m_); return baudRate_; }
void TCommPortDriver::SetBaudRate(TBaudRate rate)
{
    Lock l(m_);
    if (rate < brCustom || rate > br256000)
        return;
    baudRate_ = rate;
    if (rate != brCustom)
        baudRateValue_ = BaudRateValueOf(rate);
    ApplySettingsLocked();
}

int32_t TCommPortDriver::BaudRateValue() const { Lock l(m_); return baudRateValue_; }
void TCommPortDriver::SetBaudRateValue(int32_t bps)
{
    Lock l(m_);
    baudRate_ = brCustom;
    baudRateValue_ = bps;
    ApplySettingsLocked();
}

TDataBits TCommPortDriver::DataBits() const { Lock l(m_); return dataBits_; }
void TCommPortDriver::SetDataBits(TDataBits bits)
{
    Lock l(m_);
    if (bits < db5BITS || bits > db8BITS)
        return;
    dataBits_ = bits;
    ApplySettingsLocked();
}

TStopBits TCommPortDriver::StopBits() const { Lock l(m_); return stopBits_; }
void TCommPortDriver::SetStopBits(TStopBits bits)
{
    Lock l(m_);
    if (bits < sb1BITS || bits > sb2BITS)
        return;
    stopBits_ = bits;
    ApplySettingsLocked();
}

TParity TCommPortDriver::Parity() const { Lock l(m_); return parity_; }
void TCommPortDriver::SetParity(TParity parity)
{
    Lock l(m_);
    if (parity < ptNONE || parity > ptSPACE)
        return;
    parity_ = parity;
    ApplySettingsLocked();
}

THwFlowControl TCommPortDriver::HwFlow() const { Lock l(m_); return hwFlow_; }
void TCommPortDriver::SetHwFlow(THwFlowControl flow)
{
    Lock l(m_);
    if (flow < hfNONE || flow > hfRTSCTS)
        return;
    hwFlow_ = flow;
    ApplySettingsLocked();
}

TSwFlowControl TCommPortDriver::SwFlow() const { Lock l(m_); return swFlow_; }
void TCommPortDriver::SetSwFlow(TSwFlowControl flow)
{
    Lock l(m_);
    if (flow < sfNONE || flow > sfXONXOFF)
        return;
    swFlow_ = flow;
    ApplySettingsLocked();
}

uint32_t TCommPortDriver::InBufSize() const { Lock l(m_); return inBufSize_; }
void TCommPortDriver::SetInBufSize(uint32_t size)
{
    Lock l(m_);
    if (backend_->IsOpen())
        return;
    inBufSize_ = ClampBufSize(size);
    scratch_.assign(inBufSize_, 0);
}

uint32_t TCommPortDriver::OutBufSize() const { Lock l(m_); return outBufSize_; }
void TCommPortDriver::SetOutBufSize(uint32_t size)
{
    Lock l(m_);
    if (!backend_->IsOpen())
        outBufSize_ = ClampBufSize(size);
}

int16_t TCommPortDriver::PacketSize() const { Lock l(m_); return packetSize_; }
void TCommPortDriver::SetPacketSize(int16_t size) { Lock l(m_); packetSize_ = size; packetStart_ = -1; }
int32_t TCommPortDriver::PacketTimeout() const { Lock l(m_); return packetTimeout_; }
void TCommPortDriver::SetPacketTimeout(int32_t ms) { Lock l(m_); packetTimeout_ = ms; }
TPacketMode TCommPortDriver::PacketMode() const { Lock l(m_); return packetMode_; }
void TCommPortDriver::SetPacketMode(TPacketMode mode) { Lock l(m_); packetMode_ = mode; }

uint16_t TCommPortDriver::PollingDelay() const { Lock l(m_); return pollingDelay_; }
void TCommPortDriver::SetPollingDelay(uint16_t ms)
{
    {
        Lock l(m_);
        ms = std::max(ms, kMinPollingDelay);
        if (ms == pollingDelay_)
            return;
        pollingDelay_ = ms;
    }
    SyncTimer();
}

bool TCommPortDriver::EnableDTROnOpen() const { Lock l(m_); return enableDTROnOpen_; }
void TCommPortDriver::SetEnableDTROnOpen(bool on) { Lock l(m_); enableDTROnOpen_ = on; }
uint16_t TCommPortDriver::OutputTimeout() const { Lock l(m_); return outputTimeout_; }
void TCommPortDriver::SetOutputTimeout(uint16_t ms) { Lock l(m_); outputTimeout_ = ms; }
uint32_t TCommPortDriver::InputTimeout() const { Lock l(m_); return inputTimeout_; }
void TCommPortDriver::SetInputTimeout(uint32_t ms) { Lock l(m_); inputTimeout_ = ms; }
bool TCommPortDriver::CheckLineStatus() const { Lock l(m_); return checkLineStatus_; }
void TCommPortDriver::SetCheckLineStatus(bool on) { Lock l(m_); checkLineStatus_ = on; }

} // namespace vk410
