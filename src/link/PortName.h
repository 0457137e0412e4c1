#pragma once
#include <QString>

namespace vk410 {

// The device that a port box text names; "COM" counts in any case. On Linux:
// "COM<n>" is /dev/ttyS<n-1>, another "COM..." text is /dev/ + text, a path
// starting with '/' is itself, "tty..." is /dev/ + text. On Windows: "\\.\" +
// text for "COM...". "COM0", "COM01" and a bare "tty" name nothing, nor does
// anything else: the result is empty, and an exchange on such a text is
// refused instead of going to the device the box named before.
QString DeviceForPortText(const QString& text);

// What the status bar and standard error say of such a text.
QString PortNotUnderstoodText(const QString& text);

// The device a port opens, links followed (/dev/serial/by-id/... is the
// ttyUSB it points at); the device itself when it cannot be resolved.
QString OpenedDevice(const QString& device);

} // namespace vk410
