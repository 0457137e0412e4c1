// The read and write sequences run synchronously against the simulated
// panel's protocol, with the receive path and the 50 ms sleeps under the
// test's control: which bytes arrive at which sleep is exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "kit/LinkTestKit.h"
#include "kit/SimPanels.h"
#include "PanelSim.h"
#include "model/BCC.h"

using namespace vk410;
using namespace vk410::test;
using sim::Fault;

namespace {

constexpr std::size_t kAll = SIZE_MAX;
constexpr std::size_t kUseGprs = kHeaderSize + GsmOff::useGPRScfg;

// A line whose far end is the panel's protocol; replies arrive at planned sleeps.
struct SimLine : ExchangeLine {
    explicit SimLine(sim::PanelConfig cfg) : panel(std::move(cfg)) {}

    bool OpenPort() override { ++opens; open = openOk; return openOk; }
    void ClosePort() override { ++closes; open = false; }
    bool PurgeBuffers(bool, bool) override { return open; }
    uint32_t WriteData(const uint8_t* data, uint32_t count) override
    {
        if (!open)
            return 0;
        sent.emplace_back(data, data + count);
        bool accepted = false;
        pending = panel.Answer(sent.back(), accepted);
        since = 0;
        step = 0;
        return count;
    }
    // One 50 ms sleep of the exchange: deliver what the plan says.
    void Sleep()
    {
        ++sleeps;
        ++since;
        for (; step < plan.size() && plan[step].first == since; ++step) {
            const std::size_t n = std::min(plan[step].second, pending.size());
            rx.Append(pending.data(), uint32_t(n));
            pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(n));
        }
    }

    sim::PanelSim panel;
    RxBuffer rx;
    std::vector<std::pair<int, std::size_t>> plan{{1, kAll}}; // (sleep after the write, bytes)
    std::vector<std::vector<uint8_t>> sent;
    std::vector<uint8_t> pending;
    bool openOk = true, open = false;
    int opens = 0, closes = 0, sleeps = 0, since = 0;
    std::size_t step = 0;
};

Recorder Exchange(SimLine& line, bool isWrite, const Configuration& cfg, const GprsTexts& texts = {})
{
    Recorder rec;
    TThreadBuff t(line, line.rx, rec, isWrite, cfg, texts);
    t.Sleep = [&line](int ms) {
        EXPECT_EQ(ms, 50);
        line.Sleep();
    };
    t.Execute();
    return rec;
}

GprsTexts SampleTexts()
{
    return {"internet.test", "user", "secret", "backup.apn", "", ""};
}

// Model 1 with a CXM module and GPRS settings, firmware version 7.
sim::PanelConfig GprsPanel()
{
    sim::PanelConfig p = test::GprsPanel(1, 7, 4321, SampleTexts());
    p.cfg.main.at(MainOff::in) = 42;
    return p;
}
std::vector<uint8_t> Body(const TGprsBlock& b)
{
    const std::size_t n = b.frameLength();
    return n < 5 ? std::vector<uint8_t>{} : Bytes(b.buf.data() + kHeaderSize, n - kHeaderSize - 1);
}

} // namespace

TEST(ReadSequence, FullReadTakesEveryBlockAndShowsTheTextsInOrder)
{
    SimLine line(GprsPanel());
    const Recorder rec = Exchange(line, false, Blank(0));
    const std::vector<QString> expected = {StatusText::PortOpen,     StatusText::ReplyArriving,
                                           StatusText::CheckingData, StatusText::ReadingGsm,
                                           StatusText::ReplyArriving, StatusText::ReplyArriving,
                                           StatusText::ReadDone + "7"};
    EXPECT_EQ(rec.texts, expected);
    EXPECT_EQ(rec.Final(), kReportDone);
    EXPECT_EQ(rec.values.back(), 1);
    const Configuration& got = rec.last.blocks;
    const Configuration& panel = line.panel.Config().cfg;
    EXPECT_EQ(got.model, 1);
    EXPECT_EQ(Payload(got.main, 1), Payload(panel.main, 1));
    EXPECT_EQ(Payload(got.gsm), Payload(panel.gsm));
    EXPECT_EQ(Body(got.gprs), Body(panel.gprs));
    EXPECT_EQ(got.gprs.buf[2], kCmdData); // the reply is taken as it came
    EXPECT_TRUE(rec.last.mainTaken && rec.last.gsmTaken && rec.last.gprsTaken);
    EXPECT_EQ(rec.last.version, 7);
    ASSERT_EQ(line.sent.size(), 3u);
    for (uint8_t b = 1; b <= 3; ++b) {
        uint8_t req[kReqSize];
        BuildReadRequest(req, b);
        EXPECT_EQ(line.sent[b - 1], Bytes(req, kReqSize));
    }
    EXPECT_EQ(line.closes, 1);
}

TEST(ReadSequence, FailureAfterBlockOneKeepsTheNewBlockOne)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.cfg.main.at(MainOff::state) = 1; // says CXM, but no module answers
    p.cfg.main.at(MainOff::out) = 99;
    SimLine line(p);
    const Configuration before = Blank(1);
    const Recorder rec = Exchange(line, false, before);
    EXPECT_EQ(rec.Final(), kReportReadFailed);
    EXPECT_EQ(rec.values.back(), 255);
    Configuration window = before;
    ApplyExchangeResult(rec.last, window);
    EXPECT_EQ(window.model, 1) << "the model follows the panel only after a read that succeeded";
    EXPECT_EQ(window.main.at(MainOff::out), 99);
    EXPECT_EQ(window.gsm.buf, before.gsm.buf);
    EXPECT_EQ(line.closes, 1);
}

// Which bytes arrive when, and whether the reply is taken.
struct TimingCase {
    const char* name;
    std::vector<std::pair<int, std::size_t>> plan;
    bool ok;
};

TEST(WaitReply, PiecesAndDeadlinesOfTheWaits)
{
    const TimingCase cases[] = {
        {"whole reply at once", {{1, kAll}}, true},
        {"two pieces", {{3, 10}, {13, kAll}}, true},
        {"first two bytes at the last chance", {{31, 2}, {32, kAll}}, true},
        {"first two bytes too late", {{32, kAll}}, false},
        {"one byte at the deadline, rest within 1 s", {{31, 1}, {51, kAll}}, true},
        {"one byte at the deadline, rest too late", {{31, 1}, {52, kAll}}, false},
        {"rest never comes", {{2, 20}}, false},
    };
    for (const auto& c : cases) {
        SimLine line(sim::DefaultPanel(0, false));
        line.plan = c.plan;
        const Recorder rec = Exchange(line, false, Blank(0));
        EXPECT_EQ(rec.Final(), c.ok ? kReportDone : kReportReadFailed) << c.name;
    }
}

TEST(WaitReply, SilenceSleepsExactlyThirtyOneTimes)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults = {Fault::Silent};
    SimLine line(p);
    const Recorder rec = Exchange(line, false, Blank(0));
    EXPECT_EQ(rec.Final(), kReportReadFailed);
    EXPECT_EQ(line.sleeps, 31);
    EXPECT_EQ(rec.texts, std::vector<QString>{StatusText::PortOpen});
}

TEST(WaitReply, OneLoneByteWaitsAnotherTwentySleeps)
{
    sim::PanelConfig p = sim::DefaultPanel(0, false);
    p.faults = {Fault::OneByte};
    SimLine line(p);
    const Recorder rec = Exchange(line, false, Blank(0));
    EXPECT_EQ(rec.Final(), kReportReadFailed);
    EXPECT_EQ(line.sleeps, 1 + 30 + 20);
    EXPECT_EQ(std::count(rec.codes.begin(), rec.codes.end(), int(kReportReplyArriving)), 1);
}

TEST(WriteSequence, FullWriteSendsEveryBlockAndThePanelKeepsThem)
{
    sim::PanelConfig p = sim::DefaultPanel(1, true);
    SimLine line(p);
    Configuration cfg = Blank(1);
    cfg.main.at(MainOff::state) = 1;
    cfg.main.at(MainOff::in) = 17;
    LoadGsmDefaults(cfg.gsm);
    cfg.gsm.buf[kUseGprs] = 1;
    SetDeviceNum(cfg.gsm, 777);
    const Recorder rec = Exchange(line, true, cfg, SampleTexts());
    const std::vector<QString> expected = {StatusText::PortOpen,   StatusText::WritingMain,
                                           StatusText::ReplyArriving, StatusText::WritingGsm,
                                           StatusText::ReplyArriving, StatusText::ReplyArriving,
                                           StatusText::WriteDone};
    EXPECT_EQ(rec.texts, expected);
    EXPECT_EQ(rec.Final(), kReportDone);
    EXPECT_EQ(rec.values.back(), 1);
    const Configuration& panel = line.panel.Config().cfg;
    EXPECT_EQ(Payload(panel.main, 1), Payload(cfg.main, 1));
    EXPECT_EQ(Payload(panel.gsm), Payload(cfg.gsm));
    EXPECT_EQ(line.panel.Texts(), SampleTexts());
    EXPECT_TRUE(rec.last.mainConfirmed && rec.last.gsmConfirmed && rec.last.gprsConfirmed);
    EXPECT_EQ(rec.last.version, p.version) << "the echo of block 1 names the firmware";
    ASSERT_EQ(line.sent.size(), 3u);
    EXPECT_EQ(line.sent[0].size(), 33u);
    EXPECT_EQ(line.sent[1].size(), kGsmFrameSize);
    EXPECT_EQ(line.sent[2][1], line.sent[2].size());
}

TEST(WriteSequence, GprsSwitchedOnWithoutAccessPointSendsNothing)
{
    SimLine line(sim::DefaultPanel(0, true));
    Configuration cfg = Blank(0);
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.buf[kUseGprs] = 1;
    BuildGprsBlock(cfg.gprs, SampleTexts()); // a stale frame that must not go out
    const Recorder rec = Exchange(line, true, cfg, GprsTexts{});
    EXPECT_EQ(rec.Final(), kReportWriteFailed);
    EXPECT_TRUE(line.sent.empty());
    EXPECT_EQ(rec.texts.back(), StatusText::NoGprsSettings);
    EXPECT_EQ(line.closes, 1);
    // Without the module flag the same texts are fine: block 3 is never due.
    cfg.main.at(MainOff::state) = 0;
    EXPECT_FALSE(GprsSettingsMissing(cfg, GprsTexts{}));
}

TEST(WriteSequence, WindowKeepsItsPayloadEditsButGetsTheStampedHeaders)
{
    SimLine line(sim::DefaultPanel(0, false));
    const Configuration sent = Blank(0);
    const Recorder rec = Exchange(line, true, sent);
    ASSERT_EQ(rec.Final(), kReportDone);
    Configuration window = sent;
    window.main.at(MainOff::in) = 200; // edited while the write ran
    ApplyExchangeResult(rec.last, window);
    EXPECT_EQ(window.main.at(MainOff::in), 200);
    EXPECT_EQ(Bytes(window.main.buf.data(), 4), (std::vector<uint8_t>{0x7E, 0x20, 0x57, 0x01}));
    EXPECT_EQ(window.main.buf[31], CalcBCC(rec.last.blocks.main.buf.data(), 31));
}

TEST(RxBuffer, DropsBytesBeyondTheBufferButCountsThem)
{
    RxBuffer rx;
    std::vector<uint8_t> noise(300);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = uint8_t(i + 1);
    rx.Append(noise.data(), 150);
    rx.Append(noise.data() + 150, 150);
    EXPECT_EQ(rx.Count(), 300);
    uint8_t copy[kRxBufSize];
    EXPECT_EQ(rx.CopyTo(copy), 300);
    EXPECT_EQ(Bytes(copy, kRxBufSize), Bytes(noise.data(), kRxBufSize));
    EXPECT_EQ(rx.At(kRxBufSize), 0);
    EXPECT_FALSE(FrameComplete(copy, std::size_t(rx.Count())));
    rx.Reset();
    EXPECT_EQ(rx.Count(), 0);
    EXPECT_EQ(rx.CopyTo(copy), 0);
    EXPECT_TRUE(std::all_of(copy, copy + kRxBufSize, [](uint8_t b) { return b == 0; }));
}

// A line whose replies are arbitrary bytes: whatever arrives, the exchange
// ends in its failure outcome (or, by chance, success) and closes the port.
struct NoiseLine : ExchangeLine {
    bool OpenPort() override { return open = true; }
    void ClosePort() override { open = false; ++closes; }
    bool PurgeBuffers(bool, bool) override { return true; }
    uint32_t WriteData(const uint8_t*, uint32_t count) override
    {
        const std::size_t n = Next() % 420;
        pending.resize(n);
        for (auto& b : pending)
            b = uint8_t(Next());
        // Now and then a frame that passes the length and check tests.
        if (n >= 5 && Next() % 3 == 0) {
            pending[0] = kStartByte;
            pending[1] = uint8_t(std::min<std::size_t>(n, 255));
            pending[2] = kCmdData;
            pending[3] = uint8_t(Next() % 3);
            pending.resize(pending[1]);
            pending.back() = CalcBCC(pending.data(), int(pending.size() - 1));
        }
        return count;
    }
    void Sleep()
    {
        const std::size_t n = std::min<std::size_t>(pending.size(), Next() % 64);
        rx.Append(pending.data(), uint32_t(n));
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(n));
    }
    uint32_t Next()
    {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    }
    RxBuffer rx;
    std::vector<uint8_t> pending;
    uint32_t seed = 12345;
    bool open = false;
    int closes = 0;
};

TEST(Sequences, ArbitraryRepliesNeverCrashAndAlwaysEnd)
{
    NoiseLine line;
    int successes = 0, deep = 0;
    for (int i = 0; i < 2000; ++i) {
        const bool isWrite = i % 2 == 1;
        Configuration cfg = Blank(uint8_t(i % 3 == 0));
        cfg.main.at(MainOff::state) = 1;
        cfg.gsm.buf[kUseGprs] = 1;
        Recorder rec;
        TThreadBuff t(line, line.rx, rec, isWrite, cfg, SampleTexts());
        t.Sleep = [&line](int) { line.Sleep(); };
        t.Execute();
        const int code = rec.Final();
        EXPECT_TRUE(code == kReportDone || code == (isWrite ? kReportWriteFailed : kReportReadFailed)) << i;
        EXPECT_FALSE(line.open);
        EXPECT_EQ(line.closes, i + 1);
        // A read hands back whole blocks and a GPRS frame that fits its buffer.
        EXPECT_LE(rec.last.blocks.gprs.frameLength(), kFrameBufSize);
        successes += code == kReportDone;
        deep += rec.last.gsmTaken;
    }
    EXPECT_GT(successes, 0); // the noise does reach the end of the sequences
    EXPECT_GT(deep, 0);
}
