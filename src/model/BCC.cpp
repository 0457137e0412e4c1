#include "BCC.h"

#include <array>

namespace vk410 {

namespace {

constexpr std::array<uint8_t, 256> MakeTable()
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint8_t c = uint8_t(i);
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? uint8_t((c >> 1) ^ 0xB8) : uint8_t(c >> 1);
        table[std::size_t(i)] = c;
    }
    return table;
}

constexpr std::array<uint8_t, 256> kTable = MakeTable();
static_assert(kTable[0x01] == 0x64 && kTable[0x80] == 0xB8 && kTable[0xFF] == 0x23);

} // namespace

uint8_t CalcBCC(const uint8_t* data, int count)
{
    uint8_t c = 0;
    for (int i = 0; i < count; ++i)
        c = kTable[c ^ data[i]];
    return c;
}

} // namespace vk410
