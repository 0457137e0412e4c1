// A full read and a full write of a model 1 panel with a CXM module and a
// 199-byte GPRS block, against the simulated panel paced at 2400 baud,
// through the real serial component, its 500 ms poll and the exchange thread.
// Prints each duration beside the time the bytes alone need on the line, and
// what the read before a write (the backup) adds to the write.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SimServer.h"
#include "link/PanelLink.h"
#include "link/WriteSession.h"

using namespace vk410;

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 2400.0;

GprsTexts LongestTexts()
{
    const std::string t(kGprsTextMax, 'x');
    return {t, t, t, t, t, t};
}

sim::PanelConfig Panel()
{
    sim::PanelConfig p = sim::DefaultPanel(1, true);
    p.cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    BuildGprsBlock(p.cfg.gprs, LongestTexts());
    return p;
}

// Runs one exchange; returns its duration in ms, or -1 when it failed.
double Timed(PanelLink& link, bool isWrite, const Configuration& cfg, const GprsTexts& texts)
{
    QEventLoop loop;
    int outcome = -1;
    QObject::connect(&link, &PanelLink::exchangeReport, &loop, [&](int code, int, const ExchangeResult&) {
        if (code != kReportReplyArriving) {
            outcome = code;
            loop.quit();
        }
    });
    QElapsedTimer t;
    t.start();
    if (!link.SendData(isWrite, cfg, texts))
        return -1;
    loop.exec();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    link.WaitFinished();
    return outcome == kReportDone ? ms : -1;
}

// A write as the window and vedu-vk410ctl run it, with or without the read
// before it; its duration in ms, or -1 when it failed.
double TimedWrite(PanelLink& link, const Configuration& cfg, const GprsTexts& texts, bool backup)
{
    WriteSession session(link);
    QEventLoop loop;
    int outcome = -1;
    QObject::connect(&session, &WriteSession::finished, &loop, [&](const WriteOutcome& o) {
        outcome = o.code;
        loop.quit();
    });
    QElapsedTimer t;
    t.start();
    if (!session.Start({cfg, texts, backup, true}))
        return -1;
    loop.exec();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    link.WaitFinished();
    return outcome == kReportDone ? ms : -1;
}

double LineMs(std::size_t bytes) { return double(bytes) * kBitsPerByte / kBaud * 1000.0; }

// sent: the programmer's bytes; replies: the panel's. The simulator takes a
// frame only once its bytes would have arrived and paces its replies, so the
// line time of both is the least a real line could take.
void Print(const char* what, double ms, std::size_t sent, std::size_t replies)
{
    if (ms < 0) {
        std::printf("%-6s FAILED\n", what);
        return;
    }
    std::printf("%-6s %6.0f ms | line at 2400 baud %5.0f ms: "
                "programmer %3zu bytes %5.0f ms, panel %3zu bytes %5.0f ms\n",
                what, ms, LineMs(sent + replies), sent, LineMs(sent), replies, LineMs(replies));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    sim::SimServer server(Panel(), true);
    std::string error;
    if (!server.Open("", error)) {
        std::fprintf(stderr, "bench_link: %s\n", error.c_str());
        return 1;
    }
    server.Start();
    PanelLink link;
    link.SetPortText(QString::fromStdString(server.SlavePath()));

    const sim::PanelConfig panel = server.State();
    const std::size_t gprs = panel.cfg.gprs.frameLength();
    const std::size_t replies = 34 + kGsmFrameSize + gprs; // block-1 replies carry the version byte
    const std::size_t readSent = 3 * kReqSize;
    const std::size_t writeSent = 33 + kGsmFrameSize + gprs;
    std::printf("model 1, CXM module, GPRS block of %zu bytes; poll 500 ms; %d runs\n", gprs, runs);

    Configuration cfg = panel.cfg;
    for (int i = 0; i < runs; ++i) {
        Print("read", Timed(link, false, StartupConfiguration(), {}), readSent, replies);
        const double write = TimedWrite(link, cfg, LongestTexts(), false);
        Print("write", write, writeSent, replies);
        const double both = TimedWrite(link, cfg, LongestTexts(), true);
        if (write < 0 || both < 0)
            std::printf("write with the read before it FAILED\n");
        else
            std::printf("write with the read before it %6.0f ms: the backup adds %5.0f ms (%.0f %%)\n", both,
                        both - write, 100.0 * (both - write) / write);
    }
    server.Stop();
    return 0;
}
