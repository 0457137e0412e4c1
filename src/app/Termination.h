#pragma once
// Termination requests as a signal of the event loop: SIGTERM, SIGINT and
// SIGHUP on POSIX, Ctrl+C, Ctrl+Break and a closing console on Windows. The
// handlers do no work of their own: they write a byte to a pipe (POSIX) or
// post to the event loop (Windows). A program decides what a request means:
// the window closes as "Выход" does, a command-line write finishes first.
#include <QByteArray>
#include <QObject>

namespace vk410 {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one object at a time in a process, after the
    // application object exists. The destructor gives the signals back to
    // their default action.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // While a text is set, a second interrupt (SIGINT, Ctrl+C) ends the
    // process at once: the handler writes the text to standard error and
    // exits with 130. For the one case where waiting is worse than a cut.
    void SetUrgentExit(const QByteArray& text);

signals:
    void requested();

private:
    Q_INVOKABLE void Deliver();
    QByteArray urgent_;
};

} // namespace vk410
