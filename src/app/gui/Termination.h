#pragma once

namespace vk410 {

// A session that ends, or a `kill`, closes the windows as "Выход" does, so
// that the port is closed and a running exchange stopped before the exit.
// Call once, after the application object exists.
void CloseWindowsOnTermination();

} // namespace vk410
