// The programmer's link (PanelLink with the real serial component, its poll
// and the exchange thread) against the simulated panel on a pty.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "kit/LinkRun.h"
#include "kit/SimPanels.h"
#include "SimServer.h"
#include "link/Diagnosis.h"
#include "link/PanelLink.h"

using namespace vk410;
using namespace vk410::test;
using sim::Fault;

namespace {

constexpr std::size_t kUseGprs = kHeaderSize + GsmOff::useGPRScfg;

GprsTexts SampleTexts() { return {"inet.example", "gprs", "pass1", "", "", ""}; }

sim::PanelConfig GprsPanel(uint8_t model)
{
    sim::PanelConfig p = test::GprsPanel(model, 12, 1234, SampleTexts());
    p.cfg.main.at(MainOff::out) = 33;
    return p;
}

struct LinkE2E : ::testing::Test {
    void SetUp() override { App(); }

    void StartPanel(const sim::PanelConfig& cfg, bool pacing = false)
    {
        server = std::make_unique<sim::SimServer>(cfg, pacing);
        std::string error;
        ASSERT_TRUE(server->Open("", error)) << error;
        port = QString::fromStdString(server->SlavePath());
        server->Start();
    }

    Outcome Run(bool isWrite, const Configuration& cfg, const GprsTexts& texts = {})
    {
        return RunExchange(link, port, isWrite, cfg, texts);
    }

    std::unique_ptr<sim::SimServer> server;
    QString port;
    PanelLink link;
};

} // namespace

TEST_F(LinkE2E, FullReadOfAModelOnePanelWithModuleAndGprsAtTheLineRate)
{
    StartPanel(GprsPanel(1), true);
    const Outcome o = Run(false, Blank(0));
    const std::vector<QString> expected = {StatusText::PortOpen,     StatusText::ReplyArriving,
                                           StatusText::CheckingData, StatusText::ReadingGsm,
                                           StatusText::ReplyArriving, StatusText::ReplyArriving,
                                           StatusText::ReadDone + "12"};
    EXPECT_EQ(o.texts, expected);
    ASSERT_EQ(o.Final(), kReportDone);
    EXPECT_EQ(o.value, 1);
    Configuration window = Blank(0);
    ApplyExchangeResult(o.result, window);
    const Configuration panel = server->State().cfg;
    EXPECT_EQ(window.model, 1);
    EXPECT_EQ(Payload(window.main, 1), Payload(panel.main, 1));
    EXPECT_EQ(Payload(window.gsm), Payload(panel.gsm));
    EXPECT_EQ(Frame(window.gprs), Frame(panel.gprs));
    GprsTexts texts;
    ASSERT_TRUE(LoadGprsTexts(window.gprs, texts));
    EXPECT_EQ(texts, SampleTexts());
}

TEST_F(LinkE2E, WriteThenReadGivesBackWhatWasWritten)
{
    StartPanel(sim::DefaultPanel(1, true));
    Configuration cfg = Blank(1);
    cfg.main.at(MainOff::state) = 1;
    cfg.main.at(MainOff::in) = 61;
    cfg.main.at(MainOff::qnt) = 3;
    LoadGsmDefaults(cfg.gsm);
    cfg.gsm.buf[kUseGprs] = 1;
    SetDeviceNum(cfg.gsm, 4242);
    SetDestinationPhone(cfg.gsm, "79161234567", 2);
    const Outcome w = Run(true, cfg, SampleTexts());
    ASSERT_EQ(w.Final(), kReportDone);
    EXPECT_EQ(w.texts.back(), StatusText::WriteDone);
    const Configuration panel = server->State().cfg;
    EXPECT_EQ(Payload(panel.main, 1), Payload(cfg.main, 1));
    EXPECT_EQ(Payload(panel.gsm), Payload(cfg.gsm));

    const Outcome r = Run(false, Blank(0));
    ASSERT_EQ(r.Final(), kReportDone);
    Configuration back = Blank(0);
    ApplyExchangeResult(r.result, back);
    EXPECT_EQ(Payload(back.main, 1), Payload(cfg.main, 1));
    EXPECT_EQ(Payload(back.gsm), Payload(cfg.gsm));
    GprsTexts texts;
    ASSERT_TRUE(LoadGprsTexts(back.gprs, texts));
    EXPECT_EQ(texts, SampleTexts());
}

struct FailureRow {
    const char* name;
    std::set<Fault> faults;
    bool isWrite;
    uint8_t panelModel, selectedModel;
    bool panelCxm, selectedCxm;
    int code;
    QString text; // shown on the way (besides the window's outcome text)
    Cause cause;  // what the diagnosis names, and no other
};

TEST_F(LinkE2E, EveryFailureRowEndsInItsOutcome)
{
    const FailureRow rows[] = {
        {"no reply (read)", {Fault::Silent}, false, 0, 0, false, false, kReportReadFailed, {}, Cause::NoBytes},
        {"no reply (write)", {Fault::Silent}, true, 0, 0, false, false, kReportWriteFailed, {}, Cause::NoBytes},
        {"incomplete reply", {Fault::OneByte}, false, 1, 1, false, false, kReportReadFailed, {}, Cause::Truncated},
        {"wrong check byte", {Fault::BadCrc}, false, 0, 0, false, false, kReportReadFailed, {}, Cause::BadCheck},
        {"block-1 model code 5", {Fault::WrongModel}, false, 0, 0, false, false, kReportReadFailed, {},
         Cause::OtherModel},
        {"echo of another model", {}, true, 1, 0, false, false, kReportWriteFailed, {}, Cause::OtherModel},
        {"block-1 echo differs", {Fault::BadEcho}, true, 0, 0, false, false, kReportWriteFailed,
         StatusText::MainWriteErrors, Cause::EchoDiffers},
        {"block-2 write fails", {}, true, 0, 0, false, true, kReportWriteFailed, StatusText::GsmWriteFailed,
         Cause::ModuleSilent},
        {"module that does not answer", {Fault::ModuleSilent}, false, 0, 0, false, false, kReportReadFailed, {},
         Cause::ModuleSilent},
        {"extra byte behind the frame", {Fault::ExtraByte}, false, 0, 0, false, false, kReportReadFailed, {},
         Cause::LongFrame},
        {"flood beyond the buffer", {Fault::Flood}, false, 0, 0, false, false, kReportReadFailed, {}, Cause::NoFrame},
        {"line hung up", {Fault::Hangup}, false, 0, 0, true, false, kReportReadFailed, {}, Cause::PortVanished},
    };
    for (const auto& row : rows) {
        sim::PanelConfig p = sim::DefaultPanel(row.panelModel, row.panelCxm);
        p.faults = row.faults;
        StartPanel(p);
        Configuration cfg = Blank(row.selectedModel);
        cfg.main.at(MainOff::state) = row.selectedCxm ? 1 : 0;
        const Outcome o = Run(row.isWrite, cfg);
        EXPECT_EQ(o.Final(), row.code) << row.name;
        EXPECT_EQ(o.value, 255) << row.name;
        EXPECT_EQ(o.texts.front(), StatusText::PortOpen) << row.name;
        if (!row.text.isEmpty()) {
            EXPECT_EQ(o.texts.back(), row.text) << row.name;
        }
        // A mismatched model is not an echo error: that text only where due.
        EXPECT_EQ(o.Shown(StatusText::MainWriteErrors), row.text == StatusText::MainWriteErrors) << row.name;
        ASSERT_TRUE(o.result.record) << row.name;
        const Diagnosis d = Diagnose(o.result.record->Entries(), true);
        EXPECT_EQ(d.cause, row.cause) << row.name << ": " << d.text;
        server->Stop();
    }
}

// Every frame the panel took and every byte it sent, in order, with times that grow.
TEST_F(LinkE2E, TheRecordOfAFullReadAndWriteHoldsEveryFrameBothWays)
{
    StartPanel(GprsPanel(1));
    for (const bool isWrite : {false, true}) {
        SCOPED_TRACE(isWrite ? "write" : "read");
        const Configuration cfg = isWrite ? server->State().cfg : Blank(0);
        const Outcome o = Run(isWrite, cfg, SampleTexts());
        ASSERT_EQ(o.Final(), kReportDone);
        std::vector<std::vector<uint8_t>> frames;
        std::vector<uint8_t> received;
        int64_t last = 0;
        for (const RecordEntry& e : o.result.record->Entries()) {
            EXPECT_GE(e.ms, last);
            last = e.ms;
            if (e.event == RecordEvent::Sent)
                frames.push_back(e.bytes);
            if (e.event == RecordEvent::Received)
                received.insert(received.end(), e.bytes.begin(), e.bytes.end());
        }
        ASSERT_EQ(frames.size(), 3u);
        std::vector<uint8_t> replies;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i][2], isWrite ? kCmdWrite : kCmdRead);
            EXPECT_EQ(frames[i][3], i + 1);
            bool accepted = false;
            const std::vector<uint8_t> reply = sim::PanelSim(server->State()).Answer(frames[i], accepted);
            replies.insert(replies.end(), reply.begin(), reply.end());
        }
        EXPECT_EQ(received, replies);
        EXPECT_GT(last, 1000) << "three replies, each at a 500 ms poll";
    }
}

TEST_F(LinkE2E, ReplyInTwoPiecesIsAccepted)
{
    sim::PanelConfig p = GprsPanel(0);
    p.faults = {Fault::Split};
    StartPanel(p, true);
    const Outcome o = Run(false, Blank(0));
    EXPECT_EQ(o.Final(), kReportDone);
    EXPECT_EQ(o.result.version, 12);
    EXPECT_TRUE(o.result.gprsTaken);
}

TEST_F(LinkE2E, ReplyJustInsideBothWaitsIsAccepted)
{
    // The first two bytes 1 s after the request (a poll at most 0.5 s later,
    // inside the 1550 ms), the rest 0.45 s later (the next poll, inside the 1 s).
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults = {Fault::Late};
    StartPanel(p);
    const Outcome o = Run(false, Blank(0));
    EXPECT_EQ(o.Final(), kReportDone);
    EXPECT_TRUE(o.Shown(StatusText::ReplyArriving));
}

TEST_F(LinkE2E, PacedPanelTakesAFrameOnlyOnceItsBytesWouldHaveArrived)
{
    StartPanel(sim::DefaultPanel(0, false), true);
    const int fd = ::open(port.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    TMainBlock block;
    LoadDefaults(block, 0);
    const std::size_t sent = StampMainWrite(block, 0);
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(::write(fd, block.buf.data(), sent), ssize_t(sent));
    std::vector<uint8_t> reply;
    while (reply.size() < 33 && t.elapsed() < 10000) {
        pollfd in{fd, POLLIN, 0};
        uint8_t buf[64];
        const ssize_t n = ::poll(&in, 1, 20) > 0 ? ::read(fd, buf, sizeof buf) : 0;
        if (n > 0)
            reply.insert(reply.end(), buf, buf + n);
    }
    const qint64 ms = t.elapsed();
    ::close(fd);
    ASSERT_EQ(reply.size(), 33u);
    // 10 bits a byte at 2400 baud, the frame sent and the reply both.
    EXPECT_GE(ms, qint64((sent + reply.size()) * 10 * 1000 / 2400));
}

TEST_F(LinkE2E, HangUpInTheMiddleOfAReplyFailsAndClosesThePort)
{
    sim::PanelConfig p = GprsPanel(1);
    p.faults = {Fault::Hangup};
    StartPanel(p, true);
    const Outcome o = Run(false, Blank(1));
    EXPECT_EQ(o.Final(), kReportReadFailed);
    EXPECT_TRUE(server->HungUp());
    // Block 1 was taken before the line went.
    EXPECT_TRUE(o.result.mainTaken);
    EXPECT_FALSE(o.result.gsmTaken);
}

TEST_F(LinkE2E, HeldOrMissingPortReportsOneAndStartsNothing)
{
    StartPanel(sim::DefaultPanel(0, false));
    TCommPortDriver other;
    other.SetPortName(port);
    other.SetBaudRateValue(2400);
    ASSERT_TRUE(other.OpenPort());
    Outcome o = Run(false, Blank(0));
    EXPECT_EQ(o.codes, std::vector<int>{kReportPortFailed});
    EXPECT_EQ(o.value, 0);
    EXPECT_TRUE(o.texts.empty());
    EXPECT_EQ(server->RepliesSent(), 0);
    other.ClosePort();
    EXPECT_EQ(Run(false, Blank(0)).Final(), kReportDone);

    port = QStringLiteral("/nonexistent/ttyVK");
    o = Run(false, Blank(0));
    EXPECT_EQ(o.codes, std::vector<int>{kReportPortFailed});
}

TEST_F(LinkE2E, PanelWithoutModuleAndEmptyBlockThreeLeaveTheBlocksAlone)
{
    StartPanel(sim::DefaultPanel(1, false));
    Configuration before = Blank(1);
    before.gsm.buf[20] = 0x5A;
    BuildGprsBlock(before.gprs, SampleTexts());
    Outcome o = Run(false, before);
    ASSERT_EQ(o.Final(), kReportDone);
    Configuration window = before;
    ApplyExchangeResult(o.result, window);
    EXPECT_EQ(window.gsm.buf, before.gsm.buf);
    EXPECT_EQ(window.gprs.buf, before.gprs.buf);
    EXPECT_EQ(server->RepliesSent(), 1);
    server->Stop();

    sim::PanelConfig p = sim::DefaultPanel(1, true);
    p.cfg.gsm.buf[kUseGprs] = 1; // GPRS on, no frame: a 5-byte block-3 reply
    StartPanel(p);
    o = Run(false, before);
    ASSERT_EQ(o.Final(), kReportDone);
    EXPECT_TRUE(o.result.gsmTaken);
    EXPECT_FALSE(o.result.gprsTaken);
    window = before;
    ApplyExchangeResult(o.result, window);
    EXPECT_EQ(window.gprs.buf, before.gprs.buf);
}

TEST_F(LinkE2E, NextExchangeStartedFromTheReportSlotWaitsForThePort)
{
    StartPanel(sim::DefaultPanel(0, false));
    link.SetPortText(port);
    std::vector<int> finals;
    QObject ctx;
    QObject::connect(&link, &PanelLink::exchangeReport, &ctx, [&](int code, int, const ExchangeResult&) {
        if (code == kReportReplyArriving)
            return;
        finals.push_back(code);
        if (finals.size() < 3) { // at once, while the thread has still to close the port
            EXPECT_TRUE(link.SendData(false, Blank(0), {}));
        }
    });
    ASSERT_TRUE(link.SendData(false, Blank(0), {}));
    EXPECT_FALSE(link.SendData(false, Blank(0), {})) << "one exchange at a time";
    ASSERT_TRUE(WaitFor([&] { return finals.size() == 3 && !link.Busy(); }, 30000));
    link.WaitFinished();
    EXPECT_EQ(finals, (std::vector<int>{kReportDone, kReportDone, kReportDone}));
}

TEST_F(LinkE2E, StopDuringAnExchangeEndsItWithoutFurtherSignals)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults = {Fault::Silent};
    StartPanel(p);
    link.SetPortText(port);
    int emitted = 0;
    QObject ctx;
    QObject::connect(&link, &PanelLink::statusText, &ctx, [&](const QString&) { ++emitted; });
    QObject::connect(&link, &PanelLink::exchangeReport, &ctx, [&](int, int, const ExchangeResult&) { ++emitted; });
    ASSERT_TRUE(link.SendData(false, Blank(0), {}));
    ASSERT_TRUE(WaitFor([&] { return emitted == 1; })); // "Порт открыт"
    link.Stop();
    EXPECT_FALSE(link.CommPortDriver1().IsOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(emitted, 1);
    EXPECT_FALSE(link.SendData(false, Blank(0), {}));
}

TEST_F(LinkE2E, SlotThatThrowsDoesNotHoldTheExchange)
{
    StartPanel(sim::DefaultPanel(0, false));
    link.SetPortText(port);
    int finals = 0;
    QObject ctx;
    QObject::connect(&link, &PanelLink::statusText, &ctx, [](const QString&) { throw std::runtime_error("slot"); });
    QObject::connect(&link, &PanelLink::exchangeReport, &ctx, [&](int code, int, const ExchangeResult&) {
        finals += code != kReportReplyArriving;
    });
    ASSERT_TRUE(link.SendData(false, Blank(0), {}));
    // The event loop lets the exception through; the exchange goes on regardless.
    // Every processEvents here must catch it, so WaitFor (which has its own) is not used.
    QElapsedTimer timer;
    timer.start();
    while (!(finals == 1 && !link.Busy()) && timer.elapsed() < 30000) {
        try {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } catch (const std::runtime_error&) {
        }
        QThread::msleep(2);
    }
    EXPECT_EQ(finals, 1);
    EXPECT_FALSE(link.Busy());
    link.WaitFinished();
    EXPECT_FALSE(link.CommPortDriver1().IsOpen());
}
