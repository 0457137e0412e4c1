#pragma once
// The serial ports this machine offers, for the port box.
#include <QList>
#include <QString>
#include <QStringList>

namespace vk410 {

// One port as the system describes it. Texts from the device are cleaned of
// control characters and cut to a sensible length.
struct SerialPortInfo {
    QString name;         // the port box's item text: "ttyUSB0", "COM3"
    bool usb = false;     // belongs to a USB adapter; the fields below are its own
    QString manufacturer, product, serial;
    QString vendorId, productId; // four hex digits each
    bool builtIn = false; // not USB and driven by the system
};

// Linux: the entries of <sysfsRoot>/class/tty that have a `device` link (real
// serial hardware, USB adapters; not virtual consoles or ptys), without the
// UARTs the kernel reserved but found no chip for (`type` 0), in natural name
// order. Windows: the values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in the
// registry's order, described from the device manager's record of the device
// behind each port. Empty when the source cannot be read.
QList<SerialPortInfo> ListSerialPortInfo();
QList<SerialPortInfo> ListSerialPortInfo(const QString& sysfsRoot);

// The names alone, for the port box's items.
QStringList ListSerialPorts();
QStringList PortNames(const QList<SerialPortInfo>& ports);

// "FTDI FT232R USB UART, № A10K1234, 0403:6001"; "Встроенный порт"; or
// empty when nothing is known of the port.
QString PortDescription(const SerialPortInfo& port);
QStringList PortDescriptions(const QList<SerialPortInfo>& ports);

// Windows: a port described from its device's instance id
// ("USB\VID_0403&PID_6001\A10K1234", "FTDIBUS\VID_0403+PID_6001+A10K1234A\0000",
// "ACPI\PNP0501\1"), maker and description as the device manager gives them.
SerialPortInfo DescribeWindowsPort(const QString& name, const QString& instanceId, const QString& manufacturer,
                                   const QString& description);

// A device's own words as one line of printable text of a length a person reads.
QString DeviceText(QString text);

// Name order that reads as a person expects: "ttyS2" before "ttyS10".
bool PortNameLess(const QString& a, const QString& b);

} // namespace vk410
