#pragma once
// What the window, the command line and the simulated panel say about files
// (UTF-8, no Qt, so that all three can say it).

namespace vk410 {

// A file that is missing, unreadable or rejected; followed by where and why
// where that is known.
inline const char* const kFileRejected = "Файл поврежден или не найден";
// Followed by the path, on a line of its own in the window's box.
inline const char* const kFileNotSaved = "Не удалось сохранить файл:";

} // namespace vk410
