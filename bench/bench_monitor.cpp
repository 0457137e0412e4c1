// How long "Монитор обмена" holds the event loop that serves the exchange:
// a record filling as fast as a flood of pieces can fill it, the monitor
// open and taking rows off its timer. Prints the longest gap of a 1 ms timer
// with the monitor hidden, then open, and how long its looks took.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <cstdio>

#include "ui/Dialogs.h"
#include "ui/FormMonitor.h"

using namespace vk410;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtMessageBoxes boxes;
    QtFileDialogs files;
    TfrmMonitor monitor(&files, boxes);
    auto record = std::make_shared<ExchangeRecord>(false);
    record->Add({.event = RecordEvent::Opened});
    monitor.AddRecord(record);

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0, hiddenGap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        // A piece of noise every millisecond: far more than a line can bring.
        record->Add({.event = RecordEvent::Received, .bytes = std::vector<uint8_t>(64, 0x55)});
    });
    tick.start(1);
    last = clock.nsecsElapsed();

    qint64 longestLook = 0, total = 0;
    int looks = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        QElapsedTimer t;
        t.start();
        monitor.Refresh();
        const qint64 ns = t.nsecsElapsed();
        longestLook = std::max(longestLook, ns);
        total += ns;
        ++looks;
    });
    QTimer::singleShot(2500, [&] {
        hiddenGap = std::exchange(longestGap, 0);
        monitor.show();
        look.start(100);
    });
    QTimer::singleShot(5000, &app, &QApplication::quit);
    app.exec();
    std::printf("event loop with a piece every ms: longest gap %.1f ms with the monitor hidden, %.1f ms with it "
                "open (%d looks, %zu rows, a look %.1f ms at most, %.2f ms on average)\n",
                double(hiddenGap) / 1e6, double(longestGap) / 1e6, looks,
                std::size_t(monitor.grdMonitor->rowCount()), double(longestLook) / 1e6,
                looks ? double(total) / looks / 1e6 : 0.0);
    return 0;
}
