#pragma once
#include <cstdint>

namespace vk410 {

// Bit k is the bit of value 2^k; k outside 0..7 leaves the byte alone.
constexpr bool TestBit(uint8_t value, int k) { return k >= 0 && k < 8 && ((value >> k) & 1u) != 0; }
constexpr uint8_t SetBit(uint8_t value, int k) { return k >= 0 && k < 8 ? uint8_t(value | (1u << k)) : value; }
constexpr uint8_t ClearBit(uint8_t value, int k) { return k >= 0 && k < 8 ? uint8_t(value & ~(1u << k)) : value; }

} // namespace vk410
