#pragma once
#include <string>
#include <string_view>

namespace vk410 {

// Windows-1251 <-> UTF-8. Characters that Windows-1251 cannot hold become '?';
// malformed UTF-8 bytes become '?' too, so the conversion never fails.
std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

} // namespace vk410
