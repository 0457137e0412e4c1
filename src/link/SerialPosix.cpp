// The serial backend over POSIX termios (Linux).
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "CPDrv.h"

namespace vk410 {
namespace {

speed_t SpeedFor(int32_t baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0; // termios has no code for this rate
    }
}

tcflag_t SizeFlag(int byteSize)
{
    switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

// A user's or a group's name, or its number when the system knows none.
template <class Entry, class Id>
QString NameOf(Id id, int (*lookup)(Id, Entry*, char*, size_t, Entry**), char* Entry::*name)
{
    Entry entry{};
    Entry* found = nullptr;
    char buf[4096];
    if (lookup(id, &entry, buf, sizeof buf, &found) != 0 || !found)
        return QString::number(id);
    return QString::fromLocal8Bit(found->*name);
}

QString GroupName(gid_t gid) { return NameOf<group, gid_t>(gid, ::getgrgid_r, &group::gr_name); }
QString UserName(uid_t uid) { return NameOf<passwd, uid_t>(uid, ::getpwuid_r, &passwd::pw_name); }

// Joining a group helps only when the group may read and write the device;
// root's group is no group to join.
void NoteOwner(const QByteArray& path, PortOpenError& e)
{
    struct stat st{};
    if (::stat(path.constData(), &st) != 0)
        return;
    const bool groupMay = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMay && st.st_gid != 0)
        e.group = GroupName(st.st_gid);
    e.owner = UserName(st.st_uid) + QLatin1Char(':') + GroupName(st.st_gid);
}

PortOpenError OpenErrorFor(int err, const QString& device, const QByteArray& path)
{
    PortOpenError e;
    e.device = device;
    switch (err) {
    case EACCES:
    case EPERM:
        e.reason = PortOpenReason::NoAccess;
        NoteOwner(path, e);
        break;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        e.reason = PortOpenReason::NotFound;
        break;
    case EBUSY:       // TIOCEXCL of another program
    case EWOULDBLOCK: // its flock
        e.reason = PortOpenReason::Busy;
        break;
    case ENOTTY:
        e.reason = PortOpenReason::NotSerial;
        break;
    default:
        e.reason = PortOpenReason::Other;
        e.detail = qt_error_string(err);
        break;
    }
    return e;
}

class PosixSerialBackend final : public SerialBackend {
public:
    ~PosixSerialBackend() override { Close(); }

    bool Open(const QString& device) override
    {
        if (fd_ >= 0)
            return true;
        const QByteArray path = device.toLocal8Bit();
        if (path.isEmpty())
            return Fail(ENOENT, device, path);
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return Fail(errno, device, path);
        // A file or a pipe would open; it is no port.
        if (!::isatty(fd)) {
            ::close(fd);
            return Fail(ENOTTY, device, path);
        }
        // flock holds against every process, root included; TIOCEXCL keeps
        // out programs that do not take the lock (except root).
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return Fail(err, device, path);
        }
        ::ioctl(fd, TIOCEXCL);
        // A terminal used as the port (a console, /dev/tty) gets its own
        // settings back on close, not 2400 baud raw.
        saved_ = ::tcgetattr(fd, &savedTio_) == 0;
        fd_ = fd;
        openError_ = {};
        return true;
    }

    PortOpenError OpenError() const override { return openError_; }

    void Close() override
    {
        if (fd_ < 0)
            return;
        // The exclusive flag stays on the tty while any other descriptor is
        // open (a pty's other side); clear it so that our next open succeeds.
        if (saved_)
            ::tcsetattr(fd_, TCSANOW, &savedTio_);
        ::ioctl(fd_, TIOCNXCL);
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    bool SetState(const LineSettings& line) override
    {
        termios tio{};
        if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0)
            return false;
        const speed_t speed = SpeedFor(line.baud);
        if (speed == B0)
            return false;
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
        tio.c_cflag |= CLOCAL | CREAD | SizeFlag(line.byteSize);
        switch (line.parity) {
        case ptODD: tio.c_cflag |= PARENB | PARODD; break;
        case ptEVEN: tio.c_cflag |= PARENB; break;
        case ptMARK: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case ptSPACE: tio.c_cflag |= PARENB | CMSPAR; break;
        case ptNONE: break;
        }
        if (line.stopBits != sb1BITS)
            tio.c_cflag |= CSTOPB; // termios knows no 1.5 stop bits
        if (line.rtsCtsFlow)
            tio.c_cflag |= CRTSCTS;
        if (line.xonXoff)
            tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = line.xonChar;
        tio.c_cc[VSTOP] = line.xoffChar;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        if (::tcsetattr(fd_, TCSANOW, &tio) != 0)
            return false;
        SetModemLine(TIOCM_DTR, line.dtrOn);
        SetModemLine(TIOCM_RTS, line.rtsOn || line.rtsCtsFlow);
        return true;
    }

    // The kernel sizes its own queues.
    bool SetupQueues(uint32_t, uint32_t) override { return fd_ >= 0; }

    bool Purge(bool input, bool output) override
    {
        if (fd_ < 0)
            return false;
        if (!input && !output)
            return true;
        const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
        return ::tcflush(fd_, which) == 0;
    }

    // The descriptor is non-blocking, which is what the time-outs ask for.
    bool SetTimeouts(const CommTimeouts&) override { return fd_ >= 0; }

    bool QueueCounts(uint32_t& inQueue, uint32_t& outQueue) override
    {
        inQueue = outQueue = 0;
        if (fd_ < 0)
            return false;
        int in = 0, out = 0;
        if (::ioctl(fd_, FIONREAD, &in) != 0)
            return false;
        if (::ioctl(fd_, TIOCOUTQ, &out) != 0)
            out = 0;
        inQueue = in > 0 ? uint32_t(in) : 0;
        outQueue = out > 0 ? uint32_t(out) : 0;
        return true;
    }

    uint32_t Read(uint8_t* data, uint32_t count) override
    {
        if (fd_ < 0 || count == 0)
            return 0;
        ssize_t n;
        do {
            n = ::read(fd_, data, count);
        } while (n < 0 && errno == EINTR);
        return n > 0 ? uint32_t(n) : 0;
    }

    uint32_t Write(const uint8_t* data, uint32_t count) override
    {
        if (fd_ < 0 || count == 0)
            return 0;
        ssize_t n;
        do {
            n = ::write(fd_, data, count);
        } while (n < 0 && errno == EINTR);
        return n > 0 ? uint32_t(n) : 0;
    }

    bool LineLost() override
    {
        if (fd_ < 0)
            return false;
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }

    bool ModemStatus(uint32_t& lines) override
    {
        lines = 0;
        int bits = 0;
        if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &bits) != 0)
            return false;
        if (bits & TIOCM_CTS) lines |= kLineCTS;
        if (bits & TIOCM_DSR) lines |= kLineDSR;
        if (bits & TIOCM_RNG) lines |= kLineRING;
        if (bits & TIOCM_CAR) lines |= kLineRLSD;
        return true;
    }

private:
    bool Fail(int err, const QString& device, const QByteArray& path)
    {
        openError_ = OpenErrorFor(err, device, path);
        return false;
    }

    // Best effort: a pseudo-terminal has no modem lines.
    void SetModemLine(int bit, bool on) { ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit); }

    int fd_ = -1;
    termios savedTio_{};
    bool saved_ = false;
    PortOpenError openError_;
};

} // namespace

std::unique_ptr<SerialBackend> MakePlatformSerialBackend()
{
    return std::make_unique<PosixSerialBackend>();
}

} // namespace vk410
