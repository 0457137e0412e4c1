#pragma once
// Where the port box meets the serial port: what the box offers at start-up
// and what its text means for the device the port opens. No widgets here, so
// the window only copies these results into PortNameBox and CommPortDriver1.
#include <QString>
#include <QStringList>

namespace vk410 {

struct PortBoxStart {
    QStringList items; // replaces the box's items, also when empty
    QStringList descriptions; // one per item, where the system gives one
    QString text;      // the remembered port, shown even when not among the items
    QString device;    // the device the port is to open
};

// Start-up: the machine's port list, the remembered "comportname" (default
// "COM1", stored on first start) and the device that text names, or
// `initialDevice` when it names none.
PortBoxStart PortBoxAtStartup(const QString& initialDevice);

// The same with the port list given (tests, or a caller that lists itself).
PortBoxStart PortBoxAtStartup(const QStringList& ports, const QString& initialDevice);

// A change of the box's text, typed or picked: stores it as "comportname"
// and returns the device to open, which is `currentDevice` when the text
// names none (for instance a partly typed "CO" or "p1").
QString PortNameBoxChange(const QString& text, const QString& currentDevice);

} // namespace vk410
