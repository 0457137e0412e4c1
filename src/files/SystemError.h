#pragma once
// The system's reasons for a failed file operation, in the user's words (no Qt).
#include <string>

namespace vk410 {

enum class FileAccess { Read, Write };

// "нет такого файла", "нет места на диске", ...: errno in words. A missing
// path is a missing file when reading and a missing folder when writing.
// A code without words of its own gives the system's text.
std::string ErrorWords(int error, FileAccess access = FileAccess::Read);

// A FIFO, a device or a folder where a file was expected.
inline const char* const kNotRegularFile = "не обычный файл";

} // namespace vk410
