// The serial backend over the Win32 communications calls.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "CPDrv.h"
#include "SerialWin32.h"

namespace vk410 {

PortOpenError Win32OpenError(unsigned long code, const QString& device)
{
    PortOpenError e;
    e.device = device.startsWith(QStringLiteral("\\\\.\\")) ? device.mid(4) : device;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DEV_NOT_EXIST:
        e.reason = PortOpenReason::NotFound;
        break;
    case ERROR_ACCESS_DENIED: // what the system answers for a port another program holds
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        e.reason = PortOpenReason::Busy;
        break;
    default:
        e.reason = PortOpenReason::Other;
        e.detail = qt_error_string(int(code));
        break;
    }
    return e;
}

namespace {

DWORD PurgeFlags(bool input, bool output)
{
    DWORD flags = 0;
    if (input)
        flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (output)
        flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    return flags;
}

DCB LineDescription(const LineSettings& line)
{
    DCB dcb{}; // all zero: no error, end-of-file or event characters, no abort on error
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = DWORD(line.baud);
    dcb.fBinary = TRUE;
    dcb.fDtrControl = line.dtrOn ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    if (line.rtsCtsFlow) {
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        dcb.fOutxCtsFlow = TRUE;
    } else {
        dcb.fRtsControl = line.rtsOn ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    }
    dcb.fOutX = dcb.fInX = line.xonXoff ? TRUE : FALSE;
    dcb.XonLim = WORD(line.xonLimit);
    dcb.XoffLim = WORD(line.xoffLimit);
    dcb.ByteSize = BYTE(line.byteSize);
    // The component's orders are the system's codes: NOPARITY..SPACEPARITY,
    // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS.
    dcb.Parity = BYTE(line.parity);
    dcb.StopBits = BYTE(line.stopBits);
    dcb.XonChar = char(line.xonChar);
    dcb.XoffChar = char(line.xoffChar);
    return dcb;
}

class Win32SerialBackend final : public SerialBackend {
public:
    ~Win32SerialBackend() override { Close(); }

    bool Open(const QString& device) override
    {
        if (h_ != INVALID_HANDLE_VALUE)
            return true;
        const QByteArray path = device.toLocal8Bit();
        if (path.isEmpty()) {
            openError_ = Win32OpenError(ERROR_FILE_NOT_FOUND, device);
            return false;
        }
        // Share mode 0: the system refuses a second opener while we hold it.
        h_ = ::CreateFileA(path.constData(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
        if (h_ == INVALID_HANDLE_VALUE) {
            openError_ = Win32OpenError(::GetLastError(), device);
            return false;
        }
        openError_ = {};
        return true;
    }

    PortOpenError OpenError() const override { return openError_; }

    void Close() override
    {
        if (h_ == INVALID_HANDLE_VALUE)
            return;
        ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

    bool IsOpen() const override { return h_ != INVALID_HANDLE_VALUE; }

    bool SetState(const LineSettings& line) override
    {
        if (!IsOpen() || line.baud <= 0)
            return false;
        DCB dcb = LineDescription(line);
        return ::SetCommState(h_, &dcb) != FALSE;
    }

    bool SetupQueues(uint32_t inSize, uint32_t outSize) override
    {
        return IsOpen() && ::SetupComm(h_, inSize, outSize) != FALSE;
    }

    bool Purge(bool input, bool output) override
    {
        if (!IsOpen())
            return false;
        if (!input && !output)
            return true;
        return ::PurgeComm(h_, PurgeFlags(input, output)) != FALSE;
    }

    bool SetTimeouts(const CommTimeouts& t) override
    {
        if (!IsOpen())
            return false;
        COMMTIMEOUTS ct{t.readInterval, t.readTotalMultiplier, t.readTotalConstant,
                        t.writeTotalMultiplier, t.writeTotalConstant};
        return ::SetCommTimeouts(h_, &ct) != FALSE;
    }

    bool QueueCounts(uint32_t& inQueue, uint32_t& outQueue) override
    {
        inQueue = outQueue = 0;
        DWORD errors = 0;
        COMSTAT stat{};
        if (!IsOpen() || !::ClearCommError(h_, &errors, &stat))
            return false;
        inQueue = stat.cbInQue;
        outQueue = stat.cbOutQue;
        return true;
    }

    // A removed device fails every call on its handle.
    bool LineLost() override
    {
        DWORD errors = 0;
        COMSTAT stat{};
        return IsOpen() && !::ClearCommError(h_, &errors, &stat);
    }

    uint32_t Read(uint8_t* data, uint32_t count) override
    {
        DWORD n = 0;
        if (!IsOpen() || count == 0 || !::ReadFile(h_, data, count, &n, nullptr))
            return 0;
        return n;
    }

    uint32_t Write(const uint8_t* data, uint32_t count) override
    {
        DWORD n = 0;
        if (!IsOpen() || count == 0 || !::WriteFile(h_, data, count, &n, nullptr))
            return 0;
        return n;
    }

    bool ModemStatus(uint32_t& lines) override
    {
        lines = 0;
        DWORD bits = 0;
        if (!IsOpen() || !::GetCommModemStatus(h_, &bits))
            return false;
        if (bits & MS_CTS_ON) lines |= kLineCTS;
        if (bits & MS_DSR_ON) lines |= kLineDSR;
        if (bits & MS_RING_ON) lines |= kLineRING;
        if (bits & MS_RLSD_ON) lines |= kLineRLSD;
        return true;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
    PortOpenError openError_;
};

} // namespace

std::unique_ptr<SerialBackend> MakePlatformSerialBackend()
{
    return std::make_unique<Win32SerialBackend>();
}

} // namespace vk410
