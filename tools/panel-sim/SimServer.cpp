#include "SimServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vk410::sim {
namespace {

using Clock = SimServer::Clock;
// 10 bits a byte at 2400 baud.
constexpr auto kByteTime = std::chrono::microseconds(10'000'000 / 2400);
constexpr auto kSplitGap = std::chrono::milliseconds(300);
// The programmer waits 1.55 s for a reply's first bytes and 1 s more for the
// rest, but sees them only at its 500 ms poll, whose phase the panel cannot
// know: bytes in by 1.05 s (and the rest 0.5 s after them) are taken whatever
// it is. Late lands just inside that, counted from the request's arrival.
constexpr auto kLateFirst = std::chrono::milliseconds(1000);
constexpr auto kLateRest = std::chrono::milliseconds(450);
constexpr int kPollMs = 20;
constexpr int kHangupReply = 2;

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void MakeRaw(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& text)
{
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::remove(tmp.c_str());
        return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace

SimServer::SimServer(PanelConfig config, bool pacing) : sim_(std::move(config)), pacing_(pacing) {}

SimServer::~SimServer() { Stop(); }

bool SimServer::Open(const std::string& linkPath, std::string& error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("не удалось создать псевдотерминал: ") + std::strerror(errno);
        ClosePty();
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = "не удалось узнать имя псевдотерминала";
        ClosePty();
        return false;
    }
    slavePath_ = name;
    // While no slave descriptor is open the master reads EIO; keep one.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = std::string("не удалось открыть ") + name + ": " + std::strerror(errno);
        ClosePty();
        return false;
    }
    MakeRaw(slave_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!linkPath.empty()) {
        struct stat st{};
        if (::lstat(linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(linkPath.c_str());
        if (::symlink(name, linkPath.c_str()) != 0) {
            error = "не удалось создать ссылку " + linkPath + ": " + std::strerror(errno);
            ClosePty();
            return false;
        }
        linkPath_ = linkPath;
        linkPlaced_ = true;
    }
    return true;
}

void SimServer::SetStateFile(const std::string& path) { statePath_ = path; }

void SimServer::Start()
{
    running_.store(true);
    thread_ = std::thread([this] { Run(); });
}

void SimServer::Run()
{
    running_.store(true);
    WriteState();
    uint8_t buf[256];
    // When the bytes read so far would have been received on a real line: a
    // pty passes the programmer's frames at once.
    Clock::time_point lineDone = Clock::now();
    while (!stop_.load() && master_ >= 0) {
        pollfd p{master_, POLLIN, 0};
        const int r = ::poll(&p, 1, kPollMs);
        if (r <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            continue;
        const Clock::time_point arrived = Clock::now();
        lineDone = std::max(lineDone, arrived) + kByteTime * n;
        const auto frames = reader_.Feed(buf, std::size_t(n), NowMs());
        if (pacing_ && !frames.empty())
            std::this_thread::sleep_until(lineDone);
        for (const auto& frame : frames) {
            Serve(frame, arrived);
            if (master_ < 0)
                break;
        }
    }
    running_.store(false);
}

void SimServer::Stop()
{
    RequestStop();
    if (thread_.joinable())
        thread_.join();
    ClosePty();
}

PanelConfig SimServer::State() const
{
    std::lock_guard lock(m_);
    return sim_.Config();
}

void SimServer::Serve(const std::vector<uint8_t>& frame, Clock::time_point arrived)
{
    std::vector<uint8_t> reply;
    bool accepted = false;
    bool hangup = false;
    {
        std::lock_guard lock(m_);
        reply = sim_.Answer(frame, accepted);
        hangup = sim_.Config().faults.count(Fault::Hangup) != 0;
    }
    if (accepted)
        WriteState();
    if (reply.empty())
        return;
    const int nth = ++replies_;
    if (hangup && nth == kHangupReply) {
        Send(reply.data(), reply.size() / 2);
        HangUp();
        return;
    }
    bool split, late;
    {
        std::lock_guard lock(m_);
        split = sim_.Config().faults.count(Fault::Split) != 0;
        late = sim_.Config().faults.count(Fault::Late) != 0;
    }
    if ((!split && !late) || reply.size() < 3) {
        Send(reply.data(), reply.size());
        return;
    }
    if (late) {
        SendLate(reply, arrived);
        return;
    }
    const std::size_t first = reply.size() / 2;
    if (!Send(reply.data(), first) || !Wait(kSplitGap))
        return;
    Send(reply.data() + first, reply.size() - first);
}

void SimServer::SendLate(const std::vector<uint8_t>& reply, Clock::time_point arrived)
{
    // Each part is to be complete by its moment, so a paced part starts its
    // line time earlier; a long rest goes out at once behind the first bytes.
    const auto lineTime = [this](std::size_t bytes) { return pacing_ ? kByteTime * bytes : Clock::duration{}; };
    constexpr std::size_t kFirst = 2;
    const Clock::time_point firstDone = arrived + kLateFirst;
    if (!WaitUntil(firstDone - lineTime(kFirst)) || !Send(reply.data(), kFirst) ||
        !WaitUntil(firstDone + kLateRest - lineTime(reply.size() - kFirst)))
        return;
    Send(reply.data() + kFirst, reply.size() - kFirst);
}

bool SimServer::Wait(std::chrono::milliseconds time) { return WaitUntil(Clock::now() + time); }

bool SimServer::WaitUntil(Clock::time_point until)
{
    while (Clock::now() < until) {
        if (stop_.load())
            return false;
        const Clock::duration step = std::chrono::milliseconds(kPollMs);
        std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), step));
    }
    return true;
}

bool SimServer::Send(const uint8_t* data, std::size_t size)
{
    const auto start = Clock::now();
    for (std::size_t i = 0; i < size;) {
        if (stop_.load() || master_ < 0)
            return false;
        // Paced: one byte in each byte time; otherwise all at once.
        const std::size_t chunk = pacing_ ? 1 : size - i;
        if (pacing_)
            std::this_thread::sleep_until(start + kByteTime * (i + 1));
        const ssize_t n = ::write(master_, data + i, chunk);
        if (n > 0) {
            i += std::size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void SimServer::HangUp()
{
    ClosePty();
    hungUp_.store(true);
}

void SimServer::WriteState()
{
    if (statePath_.empty())
        return;
    std::string json;
    {
        std::lock_guard lock(m_);
        json = sim_.StateJson();
    }
    WriteFileAtomically(statePath_, json + "\n");
}

void SimServer::ClosePty()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
    if (linkPlaced_) {
        ::unlink(linkPath_.c_str());
        linkPlaced_ = false;
    }
}

} // namespace vk410::sim
