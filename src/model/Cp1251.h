#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vk410 {

// Windows-1251 <-> UTF-8. Characters that Windows-1251 cannot hold become '?';
// malformed UTF-8 bytes become '?' too, so the conversion never fails.
std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

// Appends one Unicode code point (up to U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

} // namespace vk410
