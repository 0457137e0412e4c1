#pragma once
// TCommPortDriver: one serial port, exclusive, polled from a timer of the
// thread that owns the object. The operating system's calls sit behind
// SerialBackend so that another platform only adds a backend.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "PortOpenError.h"

class QTimer;

namespace vk410 {

enum TPortNumber : int {
    pnCustom, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
    pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16
};
enum TBaudRate : int {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TDataBits : int { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits : int { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity : int { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl : int { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl : int { sfNONE, sfXONXOFF };
enum TPacketMode : int { pmDiscard, pmPass };

// Bits per second of a table entry; 0 for brCustom or an unknown entry.
int32_t BaudRateValueOf(TBaudRate rate);

// Modem line bits returned by ModemLines.
constexpr uint32_t kLineCTS = 1, kLineDSR = 2, kLineRING = 4, kLineRLSD = 8;

// What SetCommState receives: the whole line description.
struct LineSettings {
    int32_t baud = 9600;
    int byteSize = 8;        // 5..8
    TParity parity = ptNONE;
    TStopBits stopBits = sb1BITS;
    bool dtrOn = false;
    bool rtsOn = false;      // RTS raised (hfNONERTSON)
    bool rtsCtsFlow = false; // RTS handshake with CTS output flow (hfRTSCTS)
    bool xonXoff = false;
    uint32_t xonLimit = 0, xoffLimit = 0;
    uint8_t xonChar = 0x11, xoffChar = 0x13;
};

struct CommTimeouts {
    uint32_t readInterval = 1, readTotalMultiplier = 0, readTotalConstant = 1;
    uint32_t writeTotalMultiplier = 0, writeTotalConstant = 10;
};

// The platform's serial calls, one operation each. Reads and writes never
// block: a read returns what is waiting, a write what the driver took.
// Implementations need not be thread-safe; TCommPortDriver serialises calls.
class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    virtual bool Open(const QString& device) = 0;                // exclusive, existing device
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool SetState(const LineSettings& line) = 0;
    virtual bool SetupQueues(uint32_t inSize, uint32_t outSize) = 0;
    virtual bool Purge(bool input, bool output) = 0;
    virtual bool SetTimeouts(const CommTimeouts& t) = 0;
    // Clears line errors; reports bytes queued for input and for output.
    virtual bool QueueCounts(uint32_t& inQueue, uint32_t& outQueue) = 0;
    virtual uint32_t Read(uint8_t* data, uint32_t count) = 0;        // 0 on error
    virtual uint32_t Write(const uint8_t* data, uint32_t count) = 0; // 0 on error
    virtual bool ModemStatus(uint32_t& lines) = 0;                   // kLine* bits
    // Why the last Open failed; a backend that cannot tell leaves it None.
    virtual PortOpenError OpenError() const { return {}; }
    // The device went away under the open port: an adapter pulled out, the
    // far end of a pseudo-terminal gone. A backend that cannot tell says no.
    virtual bool LineLost() { return false; }
};

// The backend of the platform the program is built for.
std::unique_ptr<SerialBackend> MakePlatformSerialBackend();

// One serial port. Received bytes reach OnReceiveData on the thread that owns
// this object, from its event loop, at most once per PollingDelay and never
// while the port is closed. OpenPort, ClosePort, PurgeBuffers and the writes
// may be called from another thread (the exchange); an internal mutex keeps
// the port handle and the properties consistent, and the poll timer is always
// started and stopped on the owning thread.
class TCommPortDriver : public QObject {
    Q_OBJECT
public:
    using ReceiveDataEvent = std::function<void(TCommPortDriver* sender, const uint8_t* data, uint32_t size)>;
    using ReceivePacketEvent = std::function<void(TCommPortDriver* sender, const uint8_t* packet, uint32_t size)>;
    using LineLostEvent = std::function<void(TCommPortDriver* sender)>;

    explicit TCommPortDriver(QObject* parent = nullptr);
    TCommPortDriver(std::unique_ptr<SerialBackend> backend, QObject* parent = nullptr);
    ~TCommPortDriver() override;

    bool OpenPort();
    // Why the last OpenPort failed (reason None after one that succeeded).
    PortOpenError LastOpenError() const;
    void ClosePort();
    bool IsOpen() const;
    bool ApplySettings();
    bool PurgeBuffers(bool input, bool output);
    uint32_t WriteData(const uint8_t* data, uint32_t count);
    uint32_t WriteDataTimed(const uint8_t* data, uint32_t count, uint32_t timeoutMs);
    uint16_t OutputFree();
    uint32_t ModemLines();
    // One polling tick; the timer calls it. Does nothing while closed.
    void PollReceive();

    // Properties. Setters follow the component's rules: some are ignored
    // while open, some clamp, line settings are applied at once when open.
    TPortNumber Port() const;
    void SetPort(TPortNumber port);
    QString PortName() const;
    void SetPortName(const QString& name);
    TBaudRate BaudRate() const;
    void SetBaudRate(TBaudRate rate);
    int32_t BaudRateValue() const;
    void SetBaudRateValue(int32_t bps);
    TDataBits DataBits() const;
    void SetDataBits(TDataBits bits);
    TStopBits StopBits() const;
    void SetStopBits(TStopBits bits);
    TParity Parity() const;
    void SetParity(TParity parity);
    THwFlowControl HwFlow() const;
    void SetHwFlow(THwFlowControl flow);
    TSwFlowControl SwFlow() const;
    void SetSwFlow(TSwFlowControl flow);
    uint32_t InBufSize() const;
    void SetInBufSize(uint32_t size);
    uint32_t OutBufSize() const;
    void SetOutBufSize(uint32_t size);
    int16_t PacketSize() const;
    void SetPacketSize(int16_t size);
    int32_t PacketTimeout() const;
    void SetPacketTimeout(int32_t ms);
    TPacketMode PacketMode() const;
    void SetPacketMode(TPacketMode mode);
    uint16_t PollingDelay() const;
    void SetPollingDelay(uint16_t ms);
    bool EnableDTROnOpen() const;
    void SetEnableDTROnOpen(bool on);
    uint16_t OutputTimeout() const;
    void SetOutputTimeout(uint16_t ms);
    uint32_t InputTimeout() const;
    void SetInputTimeout(uint32_t ms);
    bool CheckLineStatus() const;
    void SetCheckLineStatus(bool on);

    // Assign on the owning thread before the port is opened.
    ReceiveDataEvent OnReceiveData;
    ReceivePacketEvent OnReceivePacket;
    // Once per opening, from the poll, when the device has gone away.
    LineLostEvent OnLineLost;

    // For tests: whether the poll timer runs (owning thread only).
    bool PollTimerActive() const;

private:
    using Lock = std::unique_lock<std::mutex>;
    bool ApplySettingsLocked();
    bool PurgeLocked(bool input, bool output);
    uint16_t OutputFreeLocked();
    uint32_t ModemLinesLocked();
    void CloseLocked();
    LineSettings BuildLine() const;
    void SyncTimer();      // from any thread
    Q_INVOKABLE void SyncTimerHere(); // owning thread
    uint32_t PollPlain(uint32_t waiting);
    void PollPackets(Lock& lock, uint32_t waiting);

    mutable std::mutex m_;
    std::unique_ptr<SerialBackend> backend_;
    QTimer* timer_ = nullptr;
    std::vector<uint8_t> scratch_;
    int64_t packetStart_ = -1;
    bool lineLost_ = false; // said once per opening
    PortOpenError openError_;

    TPortNumber port_ = pnCOM2;
    QString portName_;
    TBaudRate baudRate_ = br9600;
    int32_t baudRateValue_ = 9600;
    TDataBits dataBits_ = db8BITS;
    TStopBits stopBits_ = sb1BITS;
    TParity parity_ = ptNONE;
    THwFlowControl hwFlow_ = hfNONERTSON;
    TSwFlowControl swFlow_ = sfNONE;
    uint32_t inBufSize_ = 2048;
    uint32_t outBufSize_ = 2048;
    int16_t packetSize_ = -1;
    int32_t packetTimeout_ = -1;
    TPacketMode packetMode_ = pmDiscard;
    uint16_t pollingDelay_ = 50;
    bool enableDTROnOpen_ = true;
    uint16_t outputTimeout_ = 500;
    uint32_t inputTimeout_ = 200;
    bool checkLineStatus_ = false;
};

} // namespace vk410
