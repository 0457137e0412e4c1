// The serial component: property rules against a recording backend, and
// the real POSIX backend on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <deque>
#include <thread>

#include "kit/LinkTestKit.h"
#include "link/CPDrv.h"
#include "link/PortName.h"

#ifndef _WIN32 // the pseudo-terminal half; Windows tests its backend on a COM port
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "SimServer.h"
#define VK410_PTY_TESTS 1
#endif

using namespace vk410;
using namespace vk410::test;

namespace {

// What the fake port saw and what it will give.
struct FakeState {
    bool open = false, openOk = true, stateOk = true;
    int opens = 0, closes = 0;
    QString device;
    LineSettings line;
    uint32_t outQueue = 0;
    uint32_t acceptPerWrite = UINT32_MAX;
    uint32_t modem = kLineCTS;
    bool modemOk = true;
    std::vector<uint8_t> written;
    std::deque<uint8_t> incoming;
    std::vector<std::chrono::steady_clock::time_point> queueQueries; // one per poll while nothing is written
};

class FakeBackend : public SerialBackend {
public:
    explicit FakeBackend(FakeState& s) : s_(s) {}
    bool Open(const QString& device) override
    {
        ++s_.opens;
        s_.device = device;
        s_.open = s_.openOk;
        return s_.open;
    }
    void Close() override { ++s_.closes; s_.open = false; }
    bool IsOpen() const override { return s_.open; }
    bool SetState(const LineSettings& line) override { s_.line = line; return s_.stateOk; }
    bool SetupQueues(uint32_t, uint32_t) override { return true; }
    bool Purge(bool input, bool) override
    {
        if (input)
            s_.incoming.clear();
        return true;
    }
    bool SetTimeouts(const CommTimeouts&) override { return true; }
    bool QueueCounts(uint32_t& in, uint32_t& out) override
    {
        s_.queueQueries.push_back(std::chrono::steady_clock::now());
        in = uint32_t(s_.incoming.size());
        out = s_.outQueue;
        return true;
    }
    uint32_t Read(uint8_t* data, uint32_t count) override
    {
        uint32_t n = 0;
        for (; n < count && !s_.incoming.empty(); ++n) {
            data[n] = s_.incoming.front();
            s_.incoming.pop_front();
        }
        return n;
    }
    uint32_t Write(const uint8_t* data, uint32_t count) override
    {
        const uint32_t n = std::min(count, s_.acceptPerWrite);
        s_.written.insert(s_.written.end(), data, data + n);
        return n;
    }
    bool ModemStatus(uint32_t& lines) override
    {
        lines = s_.modem;
        return s_.modemOk;
    }

private:
    FakeState& s_;
};

struct Fixture : ::testing::Test {
    void SetUp() override { App(); }
    FakeState fake;
    TCommPortDriver drv{std::make_unique<FakeBackend>(fake)};
};

#ifdef VK410_PTY_TESTS
// A pty with a panel that stays silent, for the real backend.
struct PtyFixture : ::testing::Test {
    void SetUp() override
    {
        App();
        sim::PanelConfig cfg = sim::DefaultPanel(0, false);
        cfg.faults = {sim::Fault::Silent};
        server = std::make_unique<sim::SimServer>(cfg, false);
        std::string error;
        ASSERT_TRUE(server->Open("", error)) << error;
        path = QString::fromStdString(server->SlavePath());
    }
    std::unique_ptr<sim::SimServer> server;
    QString path;
};

// A pty of the test's own: the master, and the slave's path in slave.
int OpenPtyMaster(QString& slave)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    slave = QString::fromLocal8Bit(::ptsname(master));
    return master;
}

// Opens path with the real backend as a user without rights to it. Root opens
// anything, so then a child process drops to nobody and reports back.
PortOpenError OpenUnprivileged(const QString& path)
{
    if (::geteuid() != 0) {
        const auto backend = MakePlatformSerialBackend();
        backend->Open(path);
        return backend->OpenError();
    }
    const passwd* nobody = ::getpwnam("nobody");
    int fds[2];
    if (!nobody || ::pipe(fds) != 0)
        return {PortOpenReason::Other, path, {}, QStringLiteral("no user nobody"), {}};
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(2);
        const auto backend = MakePlatformSerialBackend();
        backend->Open(path);
        const PortOpenError e = backend->OpenError();
        const QByteArray out = QByteArray::number(int(e.reason)) + '\n' + e.group.toUtf8() + '\n' + e.owner.toUtf8();
        const bool sent = ::write(fds[1], out.constData(), size_t(out.size())) == out.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray got;
    char buf[256];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        got.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const QList<QByteArray> parts = got.split('\n');
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || parts.size() != 3)
        return {PortOpenReason::Other, path, {}, QStringLiteral("child failed"), {}};
    return {PortOpenReason(parts[0].toInt()), path, QString::fromUtf8(parts[1]), {}, QString::fromUtf8(parts[2])};
}
#endif

} // namespace

TEST_F(Fixture, ClampsAndMinimums)
{
    const std::pair<uint32_t, uint32_t> sizes[] = {{100, 128}, {10000, 8192}, {128, 128}, {8192, 8192}, {0, 128}};
    for (const auto& [given, stored] : sizes) {
        drv.SetInBufSize(given);
        drv.SetOutBufSize(given);
        EXPECT_EQ(drv.InBufSize(), stored);
        EXPECT_EQ(drv.OutBufSize(), stored);
    }
    drv.SetPollingDelay(0);
    EXPECT_EQ(drv.PollingDelay(), 5);
    drv.SetPollingDelay(4);
    EXPECT_EQ(drv.PollingDelay(), 5);
    drv.SetPollingDelay(500);
    EXPECT_EQ(drv.PollingDelay(), 500);
}

TEST_F(Fixture, PortNumberSetsTheNameAndANameMakesItCustom)
{
    drv.SetBaudRate(br56000);
    EXPECT_EQ(drv.BaudRateValue(), 56000);
    drv.SetBaudRateValue(2400);
    EXPECT_EQ(drv.BaudRate(), brCustom);
    drv.SetPort(pnCOM3);
    EXPECT_EQ(drv.PortName(), DeviceForPortText(QStringLiteral("COM3")));
    drv.SetPortName(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(drv.Port(), pnCustom);
    drv.SetPort(pnCustom);
    EXPECT_EQ(drv.PortName(), QStringLiteral("/dev/ttyUSB0"));
}

TEST_F(Fixture, SettersThatWaitForTheClosedPort)
{
    drv.SetPortName(QStringLiteral("/dev/first"));
    ASSERT_TRUE(drv.OpenPort());
    drv.SetPortName(QStringLiteral("/dev/second"));
    drv.SetPort(pnCOM5);
    drv.SetInBufSize(4096);
    drv.SetOutBufSize(4096);
    EXPECT_EQ(drv.PortName(), QStringLiteral("/dev/first"));
    EXPECT_EQ(drv.Port(), pnCustom);
    EXPECT_EQ(drv.InBufSize(), 2048u);
    EXPECT_EQ(drv.OutBufSize(), 2048u);
    drv.ClosePort();
    ASSERT_TRUE(drv.OpenPort());
    EXPECT_EQ(fake.device, QStringLiteral("/dev/first"));
}

TEST_F(Fixture, LineDescriptionFollowsTheProperties)
{
    drv.SetBaudRateValue(2400);
    drv.SetHwFlow(hfNONE);
    drv.SetEnableDTROnOpen(false);
    drv.SetDataBits(db7BITS);
    drv.SetParity(ptEVEN);
    drv.SetInBufSize(1024);
    ASSERT_TRUE(drv.OpenPort());
    EXPECT_EQ(fake.line.baud, 2400);
    EXPECT_FALSE(fake.line.dtrOn);
    EXPECT_FALSE(fake.line.rtsOn);
    EXPECT_FALSE(fake.line.rtsCtsFlow);
    EXPECT_EQ(fake.line.byteSize, 7);
    EXPECT_EQ(fake.line.parity, ptEVEN);
    EXPECT_EQ(fake.line.xonLimit, 256u);
    // Changed while open: applied at once.
    drv.SetHwFlow(hfRTSCTS);
    EXPECT_TRUE(fake.line.rtsCtsFlow);
    drv.SetBaudRate(br9600);
    EXPECT_EQ(fake.line.baud, 9600);
}

TEST_F(Fixture, PortThatCannotBeSetUpIsClosedAgain)
{
    fake.stateOk = false;
    EXPECT_FALSE(drv.OpenPort());
    EXPECT_FALSE(drv.IsOpen());
    EXPECT_EQ(fake.closes, 1);
    EXPECT_FALSE(drv.PollTimerActive());
}

TEST_F(Fixture, ClosedPortDoesNothing)
{
    const uint8_t frame[] = {1, 2, 3};
    EXPECT_EQ(drv.WriteData(frame, 3), 0u);
    EXPECT_TRUE(fake.written.empty());
    EXPECT_EQ(drv.OutputFree(), 65535);
    EXPECT_EQ(drv.ModemLines(), 0u);
    EXPECT_FALSE(drv.PurgeBuffers(true, true));
    EXPECT_FALSE(drv.ApplySettings());
    fake.incoming = {1, 2};
    int calls = 0;
    drv.OnReceiveData = [&](TCommPortDriver*, const uint8_t*, uint32_t) { ++calls; };
    drv.PollReceive();
    EXPECT_EQ(calls, 0);
    drv.ClosePort(); // closing a closed port is harmless
    EXPECT_EQ(fake.closes, 0);
}

TEST_F(Fixture, WritesInPiecesAndStopsWithoutProgress)
{
    ASSERT_TRUE(drv.OpenPort());
    std::vector<uint8_t> data(100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    fake.acceptPerWrite = 7;
    EXPECT_EQ(drv.WriteData(data.data(), 100), 100u);
    EXPECT_EQ(fake.written, data);
    fake.written.clear();
    fake.acceptPerWrite = 0;
    EXPECT_EQ(drv.WriteDataTimed(data.data(), 100, 20), 0u);
    // A full output queue: OutputFree is 0, nothing is attempted.
    fake.acceptPerWrite = UINT32_MAX;
    fake.outQueue = drv.OutBufSize();
    EXPECT_EQ(drv.OutputFree(), 0);
    EXPECT_EQ(drv.WriteDataTimed(data.data(), 100, 20), 0u);
    fake.outQueue = 0;
    drv.SetCheckLineStatus(true);
    fake.modem = 0;
    EXPECT_EQ(drv.WriteData(data.data(), 100), 0u);
    fake.modem = kLineDSR | kLineRLSD;
    EXPECT_EQ(drv.ModemLines(), kLineDSR | kLineRLSD);
    EXPECT_EQ(drv.WriteData(data.data(), 100), 100u);
}

TEST_F(Fixture, PollHandsOverWhatWaitsUpToTheScratchSize)
{
    drv.SetInBufSize(128);
    ASSERT_TRUE(drv.OpenPort());
    std::vector<uint8_t> got;
    std::vector<uint32_t> sizes;
    drv.OnReceiveData = [&](TCommPortDriver* sender, const uint8_t* p, uint32_t n) {
        EXPECT_EQ(sender, &drv);
        got.insert(got.end(), p, p + n);
        sizes.push_back(n);
    };
    for (int i = 0; i < 200; ++i)
        fake.incoming.push_back(uint8_t(i));
    drv.PollReceive();
    drv.PollReceive();
    drv.PollReceive(); // nothing left: no call
    EXPECT_EQ(sizes, (std::vector<uint32_t>{128, 72}));
    ASSERT_EQ(got.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(got[std::size_t(i)], uint8_t(i));
}

TEST_F(Fixture, PollNeverComesBeforeItsPeriod)
{
    // A coarse timer may fire 5 % early or late; the exchange's waits count
    // on three polls inside 1550 ms.
    drv.SetPollingDelay(500);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(drv.OpenPort());
    ASSERT_TRUE(WaitFor([&] { return fake.queueQueries.size() >= 4; }, 10000));
    drv.ClosePort();
#ifdef _WIN32
    const auto grain = std::chrono::milliseconds(1); // Windows times its timers in whole milliseconds
#else
    const auto grain = std::chrono::milliseconds(0);
#endif
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_GE(fake.queueQueries[k] - start, std::chrono::milliseconds(500 * (k + 1)) - grain) << "poll " << k + 1;
}

TEST_F(Fixture, PacketModeWholePacketsThenTheTimedOutRest)
{
    for (TPacketMode mode : {pmPass, pmDiscard}) {
        drv.ClosePort();
        drv.SetPacketSize(4);
        drv.SetPacketTimeout(0);
        drv.SetPacketMode(mode);
        ASSERT_TRUE(drv.OpenPort());
        std::vector<uint32_t> packets;
        int plain = 0;
        drv.OnReceivePacket = [&](TCommPortDriver*, const uint8_t*, uint32_t n) { packets.push_back(n); };
        drv.OnReceiveData = [&](TCommPortDriver*, const uint8_t*, uint32_t) { ++plain; };
        for (int i = 0; i < 10; ++i)
            fake.incoming.push_back(uint8_t(i));
        drv.PollReceive(); // two packets; the partial one starts its clock
        EXPECT_EQ(packets, (std::vector<uint32_t>{4, 4}));
        QThread::msleep(5);
        drv.PollReceive(); // the partial packet has waited longer than 0 ms
        if (mode == pmPass)
            EXPECT_EQ(packets, (std::vector<uint32_t>{4, 4, 2}));
        else
            EXPECT_EQ(packets, (std::vector<uint32_t>{4, 4}));
        EXPECT_TRUE(fake.incoming.empty());
        EXPECT_EQ(plain, 0);
    }
}

#ifdef VK410_PTY_TESTS
TEST_F(PtyFixture, SecondOpenOfAHeldPortFailsInThisAndAnotherProcess)
{
    TCommPortDriver a, b;
    a.SetPortName(path);
    b.SetPortName(path);
    a.SetBaudRateValue(2400);
    b.SetBaudRateValue(2400);
    ASSERT_TRUE(a.OpenPort());
    EXPECT_FALSE(b.OpenPort());
    EXPECT_FALSE(b.IsOpen());
    const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
    if (!flock.isEmpty()) {
        const int rc = QProcess::execute(flock, {QStringLiteral("-n"), path, QStringLiteral("true")});
        EXPECT_NE(rc, 0) << "another process took the lock";
    }
    a.ClosePort();
    EXPECT_TRUE(b.OpenPort()); // closing releases it, also the exclusive flag
    b.ClosePort();
    EXPECT_TRUE(a.OpenPort());
}

TEST_F(PtyFixture, FailedOpenSaysWhy)
{
    TCommPortDriver holder;
    holder.SetPortName(path);
    holder.SetBaudRateValue(2400);
    ASSERT_TRUE(holder.OpenPort());
    const QString missing = QStringLiteral("/nonexistent/ttyVK");
    const struct {
        QString device;
        PortOpenReason reason;
    } rows[] = {
        {missing, PortOpenReason::NotFound},
        {QStringLiteral("/dev/null"), PortOpenReason::NotSerial},
        {path, PortOpenReason::Busy},
    };
    for (const auto& row : rows) {
        TCommPortDriver d;
        d.SetPortName(row.device);
        d.SetBaudRateValue(2400);
        EXPECT_FALSE(d.OpenPort());
        const PortOpenError e = d.LastOpenError();
        EXPECT_EQ(e.reason, row.reason) << row.device.toStdString();
        EXPECT_EQ(e.device, row.device);
    }
    EXPECT_EQ(PortOpenErrorText({PortOpenReason::NotFound, missing, {}, {}, {}}),
              QStringLiteral("Устройство /nonexistent/ttyVK не найдено"));
}

// The advice names a group only where joining it would help.
TEST(PosixBackend, DeviceTheUserMayNotOpenNamesAGroupOnlyWhereItHelps)
{
    const group* tty = ::getgrnam("tty");
    const bool root = ::geteuid() == 0;
    struct Row {
        mode_t mode;
        bool rootGroup; // chown to root:root first (root only)
        bool groupNamed;
    } const rows[] = {{0000, false, false}, {0660, false, true}, {0660, true, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::oct << row.mode << (row.rootGroup ? " root:root" : ""));
        // Without root the user owns the pty: only mode 000 keeps them out.
        if (!root && row.mode != 0000)
            continue;
        QString slave;
        const int master = OpenPtyMaster(slave);
        ASSERT_GE(master, 0);
        const QByteArray path = slave.toLocal8Bit();
        if (root && tty) {
            ASSERT_EQ(::chown(path.constData(), 0, row.rootGroup ? 0 : tty->gr_gid), 0);
        }
        ASSERT_EQ(::chmod(path.constData(), row.mode), 0);
        const QFileInfo info(slave);
        const QString owner = info.owner() + ':' + info.group();
        const PortOpenError e = OpenUnprivileged(slave);
        ::close(master);
        EXPECT_EQ(e.reason, PortOpenReason::NoAccess) << e.detail.toStdString();
        EXPECT_EQ(e.owner, owner);
        const QString text = PortOpenErrorText(e);
        if (row.groupNamed && tty) {
            EXPECT_EQ(e.group, QStringLiteral("tty"));
            EXPECT_EQ(text, QStringLiteral("Нет доступа к %1: нужно состоять в группе tty и войти в систему заново")
                                .arg(slave));
        } else {
            EXPECT_TRUE(e.group.isEmpty()) << e.group.toStdString();
            EXPECT_EQ(text, QStringLiteral("Нет доступа к %1: устройство принадлежит %2").arg(slave, e.owner));
        }
    }
}

TEST_F(PtyFixture, MissingDeviceAndUnsupportedRateDoNotOpen)
{
    TCommPortDriver d;
    d.SetPortName(QStringLiteral("/nonexistent/ttyX"));
    EXPECT_FALSE(d.OpenPort());
    d.SetPortName(path);
    d.SetBaudRateValue(12345);
    EXPECT_FALSE(d.OpenPort());
    EXPECT_FALSE(d.IsOpen());
    EXPECT_EQ(d.LastOpenError().reason, PortOpenReason::SetupFailed);
    d.SetBaudRateValue(2400);
    EXPECT_TRUE(d.OpenPort());
    EXPECT_EQ(d.LastOpenError().reason, PortOpenReason::None);
    EXPECT_EQ(PortOpenErrorText(d.LastOpenError()), QString());
}

TEST_F(PtyFixture, BytesGoOutAndComeBackThroughThePoll)
{
    // No server loop: the test plays the panel on the master side itself.
    QString slave;
    const int master = OpenPtyMaster(slave);
    ASSERT_GE(master, 0);
    const int keep = ::open(slave.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(keep, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(keep, TCSANOW, &raw); // no echo of the early bytes
    TCommPortDriver d;
    d.SetPortName(slave);
    d.SetBaudRateValue(2400);
    d.SetEnableDTROnOpen(false);
    d.SetHwFlow(hfNONE);
    d.SetPollingDelay(10);
    std::vector<uint8_t> got;
    d.OnReceiveData = [&](TCommPortDriver*, const uint8_t* p, uint32_t n) {
        EXPECT_EQ(QThread::currentThread(), d.thread());
        got.insert(got.end(), p, p + n);
    };
    // Bytes sent while closed are purged on open and never handed over.
    const uint8_t early[] = {9, 9, 9};
    ASSERT_EQ(::write(master, early, 3), 3);
    ASSERT_TRUE(d.OpenPort());
    EXPECT_TRUE(d.PollTimerActive());
    const uint8_t out[] = {0x7E, 0x0A, 0x52, 0x01, 0, 0, 0, 0, 0, 0xE3};
    EXPECT_EQ(d.WriteData(out, sizeof out), sizeof out);
    uint8_t seen[32];
    pollfd p{master, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    ASSERT_EQ(::read(master, seen, sizeof seen), ssize_t(sizeof out));
    EXPECT_EQ(Bytes(seen, sizeof out), Bytes(out, sizeof out));
    const uint8_t reply[] = {1, 2, 3, 4, 5};
    ASSERT_EQ(::write(master, reply, 5), 5);
    EXPECT_TRUE(WaitFor([&] { return got.size() >= 5; }));
    EXPECT_EQ(got, Bytes(reply, 5));
    d.ClosePort();
    EXPECT_FALSE(d.PollTimerActive());
    ::close(keep);
    ::close(master);
}

TEST_F(PtyFixture, PollTimerFollowsOpenAndCloseFromAnotherThread)
{
    TCommPortDriver d;
    d.SetPortName(path);
    d.SetBaudRateValue(2400);
    bool opened = false;
    std::thread([&] { opened = d.OpenPort(); }).join();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(WaitFor([&] { return d.PollTimerActive(); }));
    std::thread([&] { d.ClosePort(); }).join();
    EXPECT_TRUE(WaitFor([&] { return !d.PollTimerActive(); }));
    EXPECT_FALSE(d.IsOpen());
}
#endif
