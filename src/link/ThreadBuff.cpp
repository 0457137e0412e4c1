#include "ThreadBuff.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>


#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#elif defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace vk410 {

namespace StatusText {
const QString PortOpen = QStringLiteral("Порт открыт");
const QString ReplyArriving = QStringLiteral("Ответ прибора получен...");
const QString CheckingData = QStringLiteral("Проверка данных");
const QString ReadingGsm = QStringLiteral("Читаем настройки GSM");
const QString ReadDone = QStringLiteral("Настройки прочитаны, версия прибора - ");
const QString WritingMain = QStringLiteral("Запись основной конфигурации");
const QString MainWriteErrors = QStringLiteral("Есть ошибки записи основной конфигурации");
const QString WritingGsm = QStringLiteral("Запись настроек GSM");
const QString WriteDone = QStringLiteral("Настройки записаны");
const QString GsmWriteFailed = QStringLiteral("Не удалось записать настройки GSM");
const QString NoGprsSettings =
    QStringLiteral("Настройки GPRS включены, но точка доступа (APN) не задана: запись отменена");
const QString ReadFailed = QStringLiteral("Нет связи, проверьте соединение или тип прибора");
const QString WriteFailed = QStringLiteral("Есть ошибки записи. Проверьте тип прибора");
const QString PortFailedCaption = QStringLiteral("Ошибка открытия порта");
const QString PortFailedText =
    QStringLiteral("Невозможно открыть последовательный порт.\r\nВыберите другой порт и попробуйте снова");
const QString Confirmed = QStringLiteral("Подтверждено прибором: ");
} // namespace StatusText

QStringList BlockNames(BlockSet blocks)
{
    QStringList names;
    if (blocks.main)
        names << QStringLiteral("основная конфигурация");
    if (blocks.gsm)
        names << QStringLiteral("настройки GSM");
    if (blocks.gprs)
        names << QStringLiteral("настройки GPRS");
    return names;
}

namespace {

// One step below normal: a nice value one higher for this thread, or the
// system's own step on Windows.
void LowerThisThreadPriority()
{
#ifdef __linux__
    const id_t tid = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, tid, nice + 1);
#elif defined(_WIN32)
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#endif
}

// The rule that refused a reply FrameComplete did not take.
Rule FrameFault(const uint8_t* rx, std::size_t count)
{
    if (rx[0] != kStartByte)
        return Rule::NoStartByte;
    if (count < 2 || count < rx[1])
        return Rule::ShortFrame;
    if (count > rx[1])
        return Rule::LongFrame;
    return Rule::BadCheck;
}

constexpr int kSleepMs = 50;
constexpr int kFirstBytesSleeps = 30;
constexpr int kRestSleeps = 20;
} // namespace

// RxBuffer

void RxBuffer::Append(const uint8_t* data, uint32_t size)
{
    if (!data || size == 0)
        return;
    std::lock_guard lock(m_);
    const int32_t count = count_.load(std::memory_order_relaxed);
    const std::size_t stored = std::min<std::size_t>(std::size_t(count), kRxBufSize);
    const std::size_t room = kRxBufSize - stored;
    std::memcpy(buf_ + stored, data, std::min<std::size_t>(room, size));
    const int64_t total = int64_t(count) + size;
    count_.store(int32_t(std::min<int64_t>(total, std::numeric_limits<int32_t>::max())),
                 std::memory_order_release);
}

void RxBuffer::Reset()
{
    std::lock_guard lock(m_);
    std::memset(buf_, 0, sizeof buf_);
    count_.store(0, std::memory_order_release);
}

int32_t RxBuffer::Count() const { return count_.load(std::memory_order_acquire); }

uint8_t RxBuffer::At(std::size_t index) const
{
    std::lock_guard lock(m_);
    return index < kRxBufSize ? buf_[index] : 0;
}

int32_t RxBuffer::CopyTo(uint8_t (&out)[kRxBufSize]) const
{
    std::lock_guard lock(m_);
    std::memcpy(out, buf_, kRxBufSize);
    return count_.load(std::memory_order_relaxed);
}

// Results

void ApplyExchangeResult(const ExchangeResult& r, Configuration& target)
{
    const Configuration& b = r.blocks;
    if (!r.isWrite) {
        if (r.mainTaken)
            target.main = b.main;
        if (r.mainTaken && r.succeeded)
            target.model = b.model;
        if (r.gsmTaken)
            target.gsm = b.gsm;
        if (r.gprsTaken)
            target.gprs = b.gprs;
        return;
    }
    // Stamped into a block of the model written only: another model's check
    // byte would land on a payload byte (model 1's Meridian count).
    if (r.mainTaken && target.model == b.model) {
        const std::size_t n = kHeaderSize + PayloadLength(b.model);
        std::copy_n(b.main.buf.begin(), kHeaderSize, target.main.buf.begin());
        if (n < target.main.buf.size())
            target.main.buf[n] = b.main.buf[n];
    }
    if (r.gsmTaken) {
        std::copy_n(b.gsm.buf.begin(), kHeaderSize, target.gsm.buf.begin());
        target.gsm.buf[kGsmFrameSize - 1] = b.gsm.buf[kGsmFrameSize - 1];
    }
    if (r.gprsTaken)
        target.gprs = b.gprs;
}

bool GprsSettingsMissing(const Configuration& cfg, const GprsTexts& texts)
{
    if (cfg.main.at(MainOff::state) == 0 || cfg.gsm.at(GsmOff::useGPRScfg) == 0)
        return false;
    TGprsBlock probe = cfg.gprs;
    probe.buf[0] = kStartByte;
    BuildGprsBlock(probe, texts);
    return probe.buf[0] != kStartByte;
}

// TThreadBuff

TThreadBuff::TThreadBuff(ExchangeLine& line, RxBuffer& rx, ExchangeReporter& reporter, bool isWrite,
                         const Configuration& snapshot, const GprsTexts& texts,
                         std::shared_ptr<ExchangeRecord> record)
    : Sleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }), line_(line), rx_(rx),
      reporter_(reporter), isWrite_(isWrite), texts_(texts), record_(std::move(record))
{
    result_.isWrite = isWrite;
    result_.blocks = snapshot;
    result_.record = record_;
}

TThreadBuff::~TThreadBuff()
{
    if (thread_.joinable())
        thread_.join();
}

void TThreadBuff::Start(TThreadBuff* previous)
{
    thread_ = std::thread([this, previous] {
        LowerThisThreadPriority();
        if (previous)
            previous->Wait(-1);
        Execute();
        MarkFinished();
    });
}

void TThreadBuff::MarkFinished()
{
    std::lock_guard lock(doneMutex_);
    done_ = true;
    doneCv_.notify_all();
}

bool TThreadBuff::Finished() const
{
    std::lock_guard lock(doneMutex_);
    return done_;
}

bool TThreadBuff::Wait(int ms)
{
    {
        std::unique_lock lock(doneMutex_);
        const auto isDone = [this] { return done_; };
        if (ms < 0)
            doneCv_.wait(lock, isDone);
        else if (!doneCv_.wait_for(lock, std::chrono::milliseconds(ms), isDone))
            return false;
    }
    return true;
}

void TThreadBuff::Report(int code, int value)
{
    result_.succeeded = code == kReportDone;
    reporter_.Report(code, value, result_);
}

void TThreadBuff::Note(RecordEntry entry)
{
    if (record_)
        record_->Add(std::move(entry));
}

void TThreadBuff::NoteWait(WaitEnd end, int deadlineMs)
{
    RecordEntry e;
    e.event = RecordEvent::Waited;
    e.block = block_;
    e.end = end;
    e.deadlineMs = deadlineMs;
    e.count = std::size_t(std::max<int32_t>(rx_.Count(), 0));
    Note(std::move(e));
}

// The reply as the rule found it.
RecordEntry TThreadBuff::VerdictEntry(Rule rule) const
{
    RecordEntry e;
    e.event = RecordEvent::Verdict;
    e.block = block_;
    e.rule = rule;
    e.count = replyCount_;
    e.bytes.assign(reply_, reply_ + std::min(replyCount_, kRxBufSize));
    return e;
}

void TThreadBuff::NoteVerdict(Rule rule)
{
    RecordEntry e = VerdictEntry(rule);
    if (rule == Rule::EchoOtherModel)
        e.expected = result_.blocks.model;
    Note(std::move(e));
}

// The first payload byte of the echo that differs from the frame sent; the
// echo's payload starts at echoPayload (behind the version byte for block 1).
void TThreadBuff::NoteEchoDiffers(const uint8_t* sent, std::size_t sentCount, std::size_t echoPayload)
{
    RecordEntry e = VerdictEntry(Rule::EchoDiffers);
    e.sent.assign(sent, sent + sentCount);
    for (std::size_t i = 0; kHeaderSize + i + 1 < sentCount && echoPayload + i < kRxBufSize; ++i) {
        if (sent[kHeaderSize + i] != reply_[echoPayload + i]) {
            e.index = int(i);
            e.expected = sent[kHeaderSize + i];
            e.got = reply_[echoPayload + i];
            break;
        }
    }
    Note(std::move(e));
}

void TThreadBuff::Execute()
{
    if (!line_.OpenPort()) {
        Report(kReportPortFailed, 0);
        return;
    }
    Note({.event = RecordEvent::Opened});
    reporter_.Status(StatusText::PortOpen);
    if (!isWrite_) {
        const uint8_t r = ReadMainBlock();
        if (r == 0 || r == 1)
            Report(kReportDone, r);
        else
            Report(kReportReadFailed, kFailureCode);
    } else if (GprsSettingsMissing(result_.blocks, texts_)) {
        // Nothing is sent: a half-written panel would be worse than none.
        reporter_.Status(StatusText::NoGprsSettings);
        result_.refused = true;
        Report(kReportWriteFailed, kFailureCode);
    } else if (WriteMainBlock()) {
        Report(kReportDone, result_.blocks.model);
    } else {
        Report(kReportWriteFailed, kFailureCode);
    }
    Note({.event = RecordEvent::Closed});
    line_.ClosePort();
}

void TThreadBuff::ResetRxBuf() { rx_.Reset(); }

void TThreadBuff::SendFrame(const uint8_t* frame, std::size_t count, uint8_t block)
{
    block_ = block;
    ResetRxBuf();
    line_.PurgeBuffers(true, true);
    Note({.event = RecordEvent::Sent, .block = block, .bytes = {frame, frame + count}});
    line_.WriteData(frame, uint32_t(count)); // a frame that did not go out shows as no reply
}

bool TThreadBuff::WaitReply()
{
    // A window that is closing stops waiting at once; nobody sees the outcome.
    Sleep(kSleepMs);
    for (int i = 0; i < kFirstBytesSleeps && rx_.Count() < 2 && !InterruptionRequested(); ++i)
        Sleep(kSleepMs);
    const bool none = rx_.Count() == 0;
    NoteWait(none ? WaitEnd::NoBytes : WaitEnd::FirstBytes, (kFirstBytesSleeps + 1) * kSleepMs);
    if (none || InterruptionRequested())
        return false;
    reporter_.Report(kReportReplyArriving, 0, result_);
    for (int i = 0; i < kRestSleeps && rx_.At(1) != rx_.Count() && !InterruptionRequested(); ++i)
        Sleep(kSleepMs);
    const int32_t count = rx_.CopyTo(reply_);
    replyCount_ = std::size_t(std::max<int32_t>(count, 0));
    NoteWait(reply_[1] == replyCount_ ? WaitEnd::Complete : WaitEnd::Incomplete, kRestSleeps * kSleepMs);
    const bool complete = FrameComplete(reply_, replyCount_);
    NoteVerdict(complete ? Rule::FrameTaken : FrameFault(reply_, replyCount_));
    return complete;
}

uint8_t TThreadBuff::ReadMainBlock()
{
    BuildReadRequest(reqBuf_, 1);
    SendFrame(reqBuf_, kReqSize, 1);
    if (!WaitReply())
        return kFailureCode;
    const uint8_t model = MainReplyModel(reply_);
    if (model == kFailureCode) {
        NoteVerdict(Rule::UnknownModel);
        return kFailureCode;
    }
    return TakeMainReply(model);
}

uint8_t TThreadBuff::TakeMainReply(uint8_t model)
{
    reporter_.Status(StatusText::CheckingData);
    if (CopyMainReply(result_.blocks.main, reply_) != model) {
        NoteVerdict(Rule::NotDataReply);
        return kFailureCode;
    }
    NoteVerdict(Rule::ReplyTaken);
    result_.blocks.model = model;
    result_.mainTaken = true;
    const uint8_t version = reply_[MainReplyOff::version];
    result_.version = version;
    if (reply_[MainReplyOff::cxmFlag] != 0) {
        reporter_.Status(StatusText::ReadingGsm);
        if (!ReadGsmBlock())
            return kFailureCode;
    }
    reporter_.Status(StatusText::ReadDone + QString::number(version));
    return model;
}

bool TThreadBuff::ReadGsmBlock()
{
    BuildReadRequest(reqBuf_, 2);
    SendFrame(reqBuf_, kReqSize, 2);
    if (!WaitReply())
        return false;
    if (!GsmReadReplyOk(reply_)) {
        NoteVerdict(Rule::NotDataReply);
        return false;
    }
    NoteVerdict(Rule::ReplyTaken);
    std::copy_n(reply_, kGsmFrameSize, result_.blocks.gsm.buf.begin());
    result_.gsmTaken = true;
    if (result_.blocks.gsm.at(GsmOff::useGPRScfg) == 0)
        return true;
    return ReadGprsBlock();
}

bool TThreadBuff::ReadGprsBlock()
{
    BuildReadRequest(reqBuf_, 3);
    SendFrame(reqBuf_, kReqSize, 3);
    if (!WaitReply())
        return false;
    if (GprsReadReplyHasBody(reply_)) {
        const std::size_t n = std::min<std::size_t>(reply_[1], kFrameBufSize);
        std::copy_n(reply_, n, result_.blocks.gprs.buf.begin());
        result_.gprsTaken = true;
    }
    NoteVerdict(result_.gprsTaken ? Rule::ReplyTaken : Rule::NoGprsBody);
    return true;
}

bool TThreadBuff::WriteMainBlock()
{
    TMainBlock& block = result_.blocks.main;
    const unsigned model = result_.blocks.model;
    const std::size_t n = StampMainWrite(block, model);
    if (n == 0)
        return false;
    result_.mainTaken = true;
    SendFrame(block.buf.data(), n, 1);
    reporter_.Status(StatusText::WritingMain);
    if (!WaitReply())
        return false;
    // The echo is laid out as a read reply: it names the firmware too.
    result_.version = reply_[MainReplyOff::version];
    if (!MainEchoModelOk(reply_, model)) {
        NoteVerdict(Rule::EchoOtherModel);
        return false;
    }
    if (!MainWriteEchoOk(reply_, block, model)) {
        NoteEchoDiffers(block.buf.data(), n, MainReplyOff::payload);
        reporter_.Status(StatusText::MainWriteErrors);
        return false;
    }
    NoteVerdict(Rule::EchoTaken);
    result_.mainConfirmed = true;
    if (reply_[MainReplyOff::cxmFlag] == 0) {
        reporter_.Status(StatusText::WriteDone);
        return true;
    }
    reporter_.Status(StatusText::WritingGsm);
    if (!WriteGsmBlock()) {
        reporter_.Status(StatusText::GsmWriteFailed);
        return false;
    }
    reporter_.Status(StatusText::WriteDone);
    return true;
}

bool TThreadBuff::WriteGsmBlock()
{
    TGsmBlock& block = result_.blocks.gsm;
    const std::size_t n = StampGsmWrite(block);
    result_.gsmTaken = true;
    SendFrame(block.buf.data(), n, 2);
    if (!WaitReply())
        return false;
    if (!IsDataReply(reply_)) {
        NoteVerdict(Rule::NotDataReply);
        return false;
    }
    if (!GsmWriteEchoOk(reply_, block)) {
        NoteEchoDiffers(block.buf.data(), n, kHeaderSize);
        return false;
    }
    NoteVerdict(Rule::EchoTaken);
    result_.gsmConfirmed = true;
    if (block.at(GsmOff::useGPRScfg) == 0)
        return true;
    return WriteGprsBlock();
}

bool TThreadBuff::WriteGprsBlock()
{
    ResetRxBuf();
    TGprsBlock& block = result_.blocks.gprs;
    BuildGprsBlock(block, texts_);
    result_.gprsTaken = true;
    // Never send a stale buffer: without an access point there is no frame.
    if (block.buf[0] != kStartByte) {
        reporter_.Status(StatusText::NoGprsSettings);
        return false;
    }
    const std::size_t n = block.frameLength();
    if (n < 5)
        return false;
    SendFrame(block.buf.data(), n, 3);
    if (!WaitReply())
        return false;
    result_.gprsConfirmed = GprsWriteEchoOk(reply_, block);
    if (result_.gprsConfirmed)
        NoteVerdict(Rule::EchoTaken);
    else
        NoteEchoDiffers(block.buf.data(), n, kHeaderSize);
    return result_.gprsConfirmed;
}

} // namespace vk410
