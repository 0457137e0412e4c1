#pragma once
// Helpers shared by the link and end-to-end tests.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <string>
#include <vector>

#include "link/ThreadBuff.h"

namespace vk410::test {

// One QCoreApplication for the whole test program (timers need it).
inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "vk410-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

// Runs the event loop until cond holds or ms have passed; returns cond().
inline bool WaitFor(const std::function<bool()>& cond, int ms = 10000)
{
    App();
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Records what an exchange reports, in order.
struct Recorder : ExchangeReporter {
    std::vector<QString> texts;   // status texts, ReplyArriving for code 2
    std::vector<int> codes;       // every report code
    std::vector<int> values;
    ExchangeResult last;          // the result of the last final report

    void Status(const QString& text) override { texts.push_back(text); }
    void Report(int code, int value, const ExchangeResult& result) override
    {
        codes.push_back(code);
        values.push_back(value);
        if (code == kReportReplyArriving) {
            texts.push_back(StatusText::ReplyArriving);
            return;
        }
        last = result;
    }
    int Final() const { return codes.empty() ? -1 : codes.back(); }
};

inline std::vector<uint8_t> Bytes(const uint8_t* p, std::size_t n) { return {p, p + n}; }

} // namespace vk410::test
