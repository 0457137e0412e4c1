#pragma once
// The Windows backend's reading of a failed CreateFileA.
#include "PortOpenError.h"

namespace vk410 {

// The reason for the system's error code; device is shown without "\\.\".
PortOpenError Win32OpenError(unsigned long code, const QString& device);

} // namespace vk410
