#include "Termination.h"

#include <atomic>
#include <cstddef>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vk410 {
namespace {

// What the handlers may touch: set before they are installed, lock-free.
std::atomic<TerminationSignals*> g_instance{nullptr};
std::atomic<const char*> g_urgentText{nullptr};
std::atomic<std::size_t> g_urgentSize{0};
std::atomic<int> g_interrupts{0};

// A second interrupt with an urgent text set ends the process here.
void ExitIfUrgent()
{
    if (g_interrupts.fetch_add(1) < 1)
        return;
    const char* text = g_urgentText.load();
    if (!text)
        return;
#ifdef _WIN32
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, DWORD(g_urgentSize.load()), &written, nullptr);
    ::ExitProcess(130);
#else
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text, g_urgentSize.load());
    ::_exit(130);
#endif
}

#ifdef _WIN32

BOOL WINAPI OnConsoleEvent(DWORD type)
{
    if (type == CTRL_C_EVENT)
        ExitIfUrgent();
    if (TerminationSignals* t = g_instance.load())
        QMetaObject::invokeMethod(t, "Deliver", Qt::QueuedConnection);
    return TRUE;
}

void Install(QObject*) { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
void Uninstall() { ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE); }

#else

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int sig)
{
    const int saved = errno;
    if (sig == SIGINT)
        ExitIfUrgent();
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void Install(QObject* owner)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [owner] {
        char drain[16];
        while (::read(g_pipe[0], drain, sizeof drain) > 0) {
        }
        QMetaObject::invokeMethod(owner, "Deliver", Qt::DirectConnection);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

void Uninstall()
{
    for (const int sig : kSignals)
        ::signal(sig, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

#endif

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    g_interrupts.store(0);
    g_instance.store(this);
    Install(this);
}

TerminationSignals::~TerminationSignals()
{
    Uninstall();
    g_urgentText.store(nullptr);
    g_instance.store(nullptr);
}

void TerminationSignals::SetUrgentExit(const QByteArray& text)
{
    g_urgentText.store(nullptr);
    urgent_ = text;
    g_urgentSize.store(std::size_t(urgent_.size()));
    g_urgentText.store(urgent_.isEmpty() ? nullptr : urgent_.constData());
}

void TerminationSignals::Deliver() { emit requested(); }

} // namespace vk410
