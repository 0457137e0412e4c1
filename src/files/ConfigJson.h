#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "model/Configuration.h"

namespace vk410 {

// The configuration as one JSON object (UTF-8, no trailing newline):
// "model", "main", "gsm" and "gprs" (payload hex; "gprs" is "" without a
// block 3), "sim1"/"sim2" ({"apn","user","password"} in UTF-8), when given
// "version", and with frames "frames": {"main","gsm","gprs"}, the write
// frames a write of cfg and texts sends ("" for a block it does not send).
// Payloads alone, so that a file and a panel with the same settings give
// the same text: a panel's reply and a write frame differ in their headers.
std::string ConfigJson(const Configuration& cfg, const GprsTexts& texts,
                       std::optional<int> version = std::nullopt, bool frames = false);

// Upper-case hex of count bytes without separators.
std::string HexString(const uint8_t* data, std::size_t count);
// The value of a hexadecimal digit of either case; -1 for any other character.
int HexDigit(char c);
// count bytes from exactly 2 * count hex digits; false, out partly written, otherwise.
bool HexBytes(std::string_view hex, uint8_t* out, std::size_t count);

} // namespace vk410
