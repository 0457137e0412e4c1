#pragma once
// The serial ports this machine offers, for the port box at start-up.
#include <QString>
#include <QStringList>

namespace vk410 {

// Linux: the names of the entries of /sys/class/tty that have a `device`
// link (real serial hardware, USB adapters; not virtual consoles or ptys),
// e.g. "ttyS0", "ttyUSB0", in natural name order. Windows: the data of the
// values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in the registry's order.
// Empty when the source cannot be read.
QStringList ListSerialPorts();

// The same list from another sysfs tty folder (tests build one in a temp dir).
QStringList ListSerialPorts(const QString& ttyClassRoot);

// Name order that reads as a person expects: "ttyS2" before "ttyS10".
bool PortNameLess(const QString& a, const QString& b);

} // namespace vk410
