#pragma once
#include <optional>
#include <string>

#include "../model/Configuration.h"

namespace vk410 {

// The configuration as one JSON object (UTF-8, no trailing newline):
// "model", "main" (payload hex), "gsm" (payload hex), "gprs" (frame hex or ""),
// "sim1"/"sim2" ({"apn","user","password"} in UTF-8) and, when given, "version".
std::string ConfigJson(const Configuration& cfg, const GprsTexts& texts,
                       std::optional<int> version = std::nullopt);

// Upper-case hex of count bytes without separators.
std::string HexString(const uint8_t* data, std::size_t count);

} // namespace vk410
