#pragma once
// Waiting on the event loop, for every test that drives Qt.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>

namespace vk410::test {

// The program's application, or a QCoreApplication for a test program that
// has none (timers and queued signals need one).
inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "vk410-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

// Runs the event loop until the condition holds or the generous bound has
// passed; returns the condition's last value. Deferred deletions run too, as
// in the program's own loop.
template <class Condition> bool WaitFor(Condition condition, int ms = 10000)
{
    App();
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

} // namespace vk410::test

#define EXPECT_EVENTUALLY(cond) EXPECT_TRUE(::vk410::test::WaitFor([&] { return bool(cond); })) << #cond
#define ASSERT_EVENTUALLY(cond) ASSERT_TRUE(::vk410::test::WaitFor([&] { return bool(cond); })) << #cond
