#pragma once
#include <cstdint>

namespace vk410 {

// The frame check byte: CRC-8, polynomial 0x1D processed LSB first (0xB8),
// initial value 0, no final XOR. A count of 0 or less gives 0. It sits beside
// the frame images because the model builds block 3 whole, check byte included.
uint8_t CalcBCC(const uint8_t* data, int count);

} // namespace vk410
