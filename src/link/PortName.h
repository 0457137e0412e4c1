#pragma once
#include <QString>

namespace vk410 {

// The device that a port box text names. On Linux: "COM<n>" is /dev/ttyS<n-1>,
// another "COM..." text is /dev/ + text, a path starting with '/' is itself,
// "tty..." is /dev/ + text. Anything else names no device: the result is empty
// and the caller keeps the device it had. On Windows: "\\.\" + text for "COM...".
// Only an upper-case "COM" at the start counts, as the port box rule wants.
QString DeviceForPortText(const QString& text);

} // namespace vk410
