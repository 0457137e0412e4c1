#pragma once
// Why a serial port could not be opened, in words the user can act on. A
// backend fills it from its own platform's errors; the texts are shared.
#include <QString>

namespace vk410 {

enum class PortOpenReason {
    None,        // opened, or nothing tried yet
    NoAccess,    // the user may not open the device
    NotFound,    // no such device
    Busy,        // another program holds it
    NotSerial,   // the device is no serial port
    SetupFailed, // opened, but the line settings were refused
    Other,
};

struct PortOpenError {
    PortOpenReason reason = PortOpenReason::None;
    QString device; // as the user should read it
    QString group;  // NoAccess: a group, not root's, that may read and write the device
    QString detail; // Other: the system's own words
    QString owner;  // NoAccess: "user:group" of the device, where known
};

// One line for the status bar and standard error; empty for None.
QString PortOpenErrorText(const PortOpenError& error);

} // namespace vk410
