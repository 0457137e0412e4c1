#pragma once
// The exchange: one read or one write sequence over the panel's blocks,
// run by TThreadBuff on a thread of its own.
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "model/Configuration.h"
#include "ExchangeRecord.h"
#include "Frames.h"

namespace vk410 {

// RxBuf and RxCount. The receive handler appends on the polling thread; the
// exchange clears and reads. Appends and clears take the mutex; the count is
// published with release order after the bytes it covers. Bytes beyond the
// buffer are dropped but still counted, so such a reply fails its length test.
class RxBuffer {
public:
    void Append(const uint8_t* data, uint32_t size);
    void Reset(); // ResetRxBuf: all bytes 0, count 0
    int32_t Count() const;
    uint8_t At(std::size_t index) const; // 0 outside the buffer
    // A consistent copy of the bytes; returns the count that goes with them.
    int32_t CopyTo(uint8_t (&out)[kRxBufSize]) const;

private:
    mutable std::mutex m_;
    uint8_t buf_[kRxBufSize]{};
    std::atomic<int32_t> count_{0};
};

// What the sequences need of the serial port.
class ExchangeLine {
public:
    virtual ~ExchangeLine() = default;
    virtual bool OpenPort() = 0;
    virtual void ClosePort() = 0;
    virtual bool PurgeBuffers(bool input, bool output) = 0;
    virtual uint32_t WriteData(const uint8_t* data, uint32_t count) = 0;
};

// Report codes (the window message's wParam).
enum ExchangeCode : int {
    kReportDone = 0,       // value: the model code
    kReportPortFailed = 1, // value 0
    kReportReplyArriving = 2,
    kReportReadFailed = 3, // value kFailureCode
    kReportWriteFailed = 4 // value kFailureCode
};

// The exchange's copy of the configuration as it stands when a report is
// sent. A read fills blocks from the panel (the *Taken flags say which);
// a write stamps headers and check bytes into the blocks it sent and rebuilds
// block 3 from the texts (the flags say which were sent).
struct ExchangeResult {
    bool isWrite = false;
    Configuration blocks;
    bool mainTaken = false, gsmTaken = false, gprsTaken = false;
    // A write: the blocks whose echo the panel gave back unchanged.
    bool mainConfirmed = false, gsmConfirmed = false, gprsConfirmed = false;
    bool succeeded = false; // the final report was kReportDone
    bool refused = false;   // a write refused before anything was sent; the status text says why
    int version = -1; // the panel's firmware version once a block-1 reply or echo came
    std::shared_ptr<const ExchangeRecord> record; // how it went, when it was recorded
};

// Applies a result to the window's configuration. A read copies the blocks it
// took and, once it has succeeded, the model code the panel reported (a failed
// read leaves the model as the window shows it); a write copies only
// the header and check bytes of blocks 1 and 2 and the rebuilt block 3, so
// that edits made meanwhile in the payloads survive, and those of block 1
// only while target still holds the model that was written.
void ApplyExchangeResult(const ExchangeResult& result, Configuration& target);

// Where the sequences report. Each call returns only once the report or the
// text has been handled (the window has shown it).
class ExchangeReporter {
public:
    virtual ~ExchangeReporter() = default;
    virtual void Status(const QString& text) = 0;
    virtual void Report(int code, int value, const ExchangeResult& result) = 0;
};

// Block 3 would have to go out (CXM fitted, useGPRScfg set) but the texts
// give no access point, so no block-3 frame can be built. Such a write is
// refused before anything is sent.
bool GprsSettingsMissing(const Configuration& cfg, const GprsTexts& texts);

// Status texts of the exchange.
namespace StatusText {
extern const QString PortOpen;
extern const QString ReplyArriving;
extern const QString CheckingData;
extern const QString ReadingGsm;
extern const QString ReadDone; // followed by the version
extern const QString WritingMain;
extern const QString MainWriteErrors;
extern const QString WritingGsm;
extern const QString WriteDone;
extern const QString GsmWriteFailed;
extern const QString NoGprsSettings;
// Outcome texts that the window shows for reports 3 and 4, and the port box.
extern const QString ReadFailed;
extern const QString WriteFailed;
extern const QString PortFailedCaption;
extern const QString PortFailedText;
// The words before the blocks the panel confirmed.
extern const QString Confirmed; // followed by BlockNames
} // namespace StatusText

// Which of the three blocks a write sends or the panel confirmed.
struct BlockSet {
    bool main = false, gsm = false, gprs = false;
};
// The blocks of the set in their order, as the outcome texts name them.
QStringList BlockNames(BlockSet blocks);
inline BlockSet ConfirmedBlocks(const ExchangeResult& r) { return {r.mainConfirmed, r.gsmConfirmed, r.gprsConfirmed}; }

// One exchange. Execute() is the body: open the port, run the read or write
// sequence on the snapshot, report, close the port. Start() runs it on a
// thread of its own, one priority step below normal; tests may call Execute()
// directly with their own line and reporter. A plain std::thread, not a
// QThread: docs/ARCHITECTURE.md says why.
class TThreadBuff {
public:
    // record, when given, is filled as the exchange goes and handed on in
    // the result; nothing of it is put into words on this thread.
    TThreadBuff(ExchangeLine& line, RxBuffer& rx, ExchangeReporter& reporter, bool isWrite,
                const Configuration& snapshot, const GprsTexts& texts,
                std::shared_ptr<ExchangeRecord> record = nullptr);
    ~TThreadBuff(); // joins; call only once Finished() (or never started)
    TThreadBuff(const TThreadBuff&) = delete;
    TThreadBuff& operator=(const TThreadBuff&) = delete;

    void Execute();

    // The body first waits for previous (the exchange before, closing its
    // port) to finish. previous must outlive this thread's start.
    void Start(TThreadBuff* previous = nullptr);
    bool Finished() const;
    // Waits up to ms for the body to end; true when it has (and is joined).
    bool Wait(int ms);
    // Flags a closing window: a running wait for a reply gives up at once.
    void RequestInterruption() { interrupt_.store(true); }
    bool InterruptionRequested() const { return interrupt_.load(); }

    // Sleeps of WaitReply (50 ms each); tests may replace it before Execute.
    std::function<void(int ms)> Sleep;

    // The steps; each works on the snapshot.
    uint8_t ReadMainBlock();
    uint8_t TakeMainReply(uint8_t model);
    bool ReadGsmBlock();
    bool ReadGprsBlock();
    bool WriteMainBlock();
    bool WriteGsmBlock();
    bool WriteGprsBlock();
    bool WaitReply();
    void ResetRxBuf();

    const ExchangeResult& Result() const { return result_; }

private:
    void SendFrame(const uint8_t* frame, std::size_t count, uint8_t block);
    void Report(int code, int value);
    // The one place the exchange adds to its record.
    void Note(RecordEntry entry);
    void NoteWait(WaitEnd end, int deadlineMs);
    RecordEntry VerdictEntry(Rule rule) const;
    void NoteVerdict(Rule rule);
    void NoteEchoDiffers(const uint8_t* sent, std::size_t sentCount, std::size_t echoPayload);

    void MarkFinished();

    std::thread thread_;
    mutable std::mutex doneMutex_;
    std::condition_variable doneCv_;
    bool done_ = false;
    std::atomic<bool> interrupt_{false};
    ExchangeLine& line_;
    RxBuffer& rx_;
    ExchangeReporter& reporter_;
    const bool isWrite_;
    GprsTexts texts_;
    ExchangeResult result_;
    uint8_t reply_[kRxBufSize]{}; // the checked reply WaitReply accepted
    std::size_t replyCount_ = 0;  // the bytes that had come for it
    uint8_t reqBuf_[kReqSize]{};
    uint8_t block_ = 0;           // the block the last frame sent belongs to
    std::shared_ptr<ExchangeRecord> record_;
};

} // namespace vk410
