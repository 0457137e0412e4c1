// The serial component and the exchange on Windows COM ports, against the
// simulated panel of the build machine on its pseudo-terminals (under wine a
// COM port is a link to a device; scripts/test-windows places them).
//   serial_win32_tests --port COM5 --file PANEL.cf8 --silent-port COM6 --missing-port COM9
// COM5 serves the configuration of PANEL.cf8, COM6 never answers, COM9 does not exist.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "kit/LinkRun.h"
#include "files/FileOps.h"
#include "link/Frames.h"
#include "link/PortName.h"
#include "link/SerialWin32.h"

#include <windows.h>

using namespace vk410;
using namespace vk410::test;

namespace {

struct Ports {
    QString panel, silent, missing, file;
} ports;

// The line the programmer sets: 2400 baud 8N1, no flow control, DTR and RTS off.
void PanelLine(TCommPortDriver& d, const QString& port)
{
    d.SetPortName(DeviceForPortText(port));
    d.SetBaudRateValue(2400);
    d.SetHwFlow(hfNONE);
    d.SetEnableDTROnOpen(false);
    d.SetPollingDelay(50);
}

struct Panel {
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
};

Panel FromFile()
{
    Panel p;
    EXPECT_NE(OpenConfigFile(ports.file, p.cfg, p.texts), 255) << ports.file.toStdString();
    return p;
}

struct WinSerial : ::testing::Test {
    void SetUp() override
    {
        App();
        if (ports.panel.isEmpty() || ports.file.isEmpty())
            GTEST_SKIP() << "no COM port given (--port, --file)";
    }
};

} // namespace

TEST_F(WinSerial, BlockOneRequestGoesOutAndTheReplyComesBackThroughThePoll)
{
    TCommPortDriver d;
    PanelLine(d, ports.panel);
    std::vector<uint8_t> rx;
    int pieces = 0;
    d.OnReceiveData = [&](TCommPortDriver*, const uint8_t* data, uint32_t n) {
        EXPECT_EQ(QThread::currentThread(), d.thread());
        rx.insert(rx.end(), data, data + n);
        ++pieces;
    };
    ASSERT_TRUE(d.OpenPort());
    EXPECT_TRUE(d.PollTimerActive());
    EXPECT_TRUE(d.PurgeBuffers(true, true));
    EXPECT_EQ(d.OutputFree(), d.OutBufSize());
    uint8_t req[kReqSize];
    BuildReadRequest(req, 1);
    EXPECT_EQ(d.WriteData(req, kReqSize), kReqSize);
    const Panel panel = FromFile();
    const std::size_t length = kHeaderSize + PayloadLength(panel.cfg.model) + 2; // version byte, check byte
    ASSERT_TRUE(WaitFor([&] { return rx.size() >= length; }, 5000)) << rx.size() << " bytes";
    rx.resize(kRxBufSize);
    EXPECT_TRUE(FrameComplete(rx.data(), length));
    EXPECT_TRUE(MainReadReplyOk(rx.data()));
    EXPECT_EQ(rx[3], panel.cfg.model);
    EXPECT_GE(pieces, 1);
    d.ClosePort();
    EXPECT_FALSE(d.IsOpen());
    EXPECT_FALSE(d.PollTimerActive());
    EXPECT_EQ(d.WriteData(req, kReqSize), 0u);
}

TEST_F(WinSerial, MissingPortDoesNotOpen)
{
    TCommPortDriver d;
    PanelLine(d, ports.missing);
    EXPECT_FALSE(d.OpenPort());
    EXPECT_FALSE(d.IsOpen());
    EXPECT_FALSE(d.PollTimerActive());
    const PortOpenError e = d.LastOpenError();
    EXPECT_EQ(e.reason, PortOpenReason::NotFound);
    EXPECT_EQ(e.device, ports.missing);
}

TEST(Win32OpenError, TheSystemsCodesAsTheReasonsTheUserReads)
{
    const struct {
        unsigned long code;
        PortOpenReason reason;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, PortOpenReason::NotFound},  {ERROR_PATH_NOT_FOUND, PortOpenReason::NotFound},
        {ERROR_INVALID_NAME, PortOpenReason::NotFound},    {ERROR_ACCESS_DENIED, PortOpenReason::Busy},
        {ERROR_SHARING_VIOLATION, PortOpenReason::Busy},   {ERROR_GEN_FAILURE, PortOpenReason::Other},
    };
    for (const auto& c : cases) {
        const PortOpenError e = Win32OpenError(c.code, QStringLiteral("\\\\.\\COM3"));
        EXPECT_EQ(e.reason, c.reason) << c.code;
        EXPECT_EQ(e.device, QStringLiteral("COM3"));
        EXPECT_EQ(e.detail.isEmpty(), c.reason != PortOpenReason::Other) << c.code;
    }
    EXPECT_EQ(PortOpenErrorText(Win32OpenError(ERROR_ACCESS_DENIED, QStringLiteral("\\\\.\\COM3"))),
              QStringLiteral("Порт COM3 занят другой программой"));
}

TEST_F(WinSerial, PortHeldByAnotherOpenerIsRefused)
{
    TCommPortDriver a, b;
    PanelLine(a, ports.panel);
    PanelLine(b, ports.panel);
    ASSERT_TRUE(a.OpenPort());
    const bool second = b.OpenPort();
    b.ClosePort();
    a.ClosePort();
    if (second)
        GTEST_SKIP() << "this system gives a held COM port to a second opener (wine does; Windows refuses)";
    EXPECT_FALSE(b.IsOpen());
}

TEST_F(WinSerial, FullReadGivesTheConfigurationThePanelHolds)
{
    const Panel panel = FromFile();
    PanelLink link;
    const Outcome o = RunExchange(link, ports.panel, false, StartupConfiguration(0));
    ASSERT_EQ(o.Final(), kReportDone);
    EXPECT_EQ(o.value, panel.cfg.model);
    EXPECT_TRUE(o.Shown(StatusText::ReadingGsm));
    Configuration read = StartupConfiguration(0);
    ApplyExchangeResult(o.result, read);
    EXPECT_EQ(Payload(read.main, read.model), Payload(panel.cfg.main, panel.cfg.model));
    EXPECT_EQ(Payload(read.gsm), Payload(panel.cfg.gsm));
    GprsTexts texts;
    ASSERT_TRUE(LoadGprsTexts(read.gprs, texts));
    EXPECT_EQ(texts, panel.texts);
}

TEST_F(WinSerial, WriteThenReadGivesBackWhatWasWritten)
{
    const Panel panel = FromFile();
    Configuration changed = panel.cfg;
    changed.main.at(MainOff::in) = uint8_t(panel.cfg.main.at(MainOff::in) ^ 0x15);
    SetDeviceNum(changed.gsm, 2718);
    PanelLink link;
    const Configuration* writes[] = {&changed, &panel.cfg}; // the panel holds the file again at the end
    for (const Configuration* cfg : writes) {
        const Outcome w = RunExchange(link, ports.panel, true, *cfg, panel.texts);
        ASSERT_EQ(w.Final(), kReportDone);
        EXPECT_EQ(w.texts.back(), StatusText::WriteDone);
        const Outcome r = RunExchange(link, ports.panel, false, StartupConfiguration(0));
        ASSERT_EQ(r.Final(), kReportDone);
        Configuration back = StartupConfiguration(0);
        ApplyExchangeResult(r.result, back);
        EXPECT_EQ(Payload(back.main, back.model), Payload(cfg->main, cfg->model));
        EXPECT_EQ(Payload(back.gsm), Payload(cfg->gsm));
    }
}

TEST_F(WinSerial, SilentPanelEndsInTheReadFailure)
{
    if (ports.silent.isEmpty())
        GTEST_SKIP() << "no silent port given (--silent-port)";
    PanelLink link;
    const Outcome o = RunExchange(link, ports.silent, false, StartupConfiguration(0));
    EXPECT_EQ(o.Final(), kReportReadFailed);
    EXPECT_TRUE(o.Shown(StatusText::PortOpen));
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ports.missing = QStringLiteral("COM9");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (flag == "--port")
            ports.panel = value;
        else if (flag == "--silent-port")
            ports.silent = value;
        else if (flag == "--missing-port")
            ports.missing = value;
        else if (flag == "--file")
            ports.file = value;
    }
    return RUN_ALL_TESTS();
}
