#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "MainBlock.h"

namespace vk410 {

// Protocol block 3: the whole variable-length frame in a 201-byte buffer;
// byte 0 is 0 when the block is empty.
struct TGprsBlock {
    std::array<uint8_t, kFrameBufSize> buf{};

    bool empty() const { return buf[0] == 0; }
    // Frame length L (byte 1) when the block holds a frame, else 0; never more
    // than the buffer holds, whatever a panel put into byte 1.
    std::size_t frameLength() const
    {
        return buf[0] == 0x7E ? (buf[1] < buf.size() ? buf[1] : buf.size()) : 0;
    }
};

constexpr std::size_t kGprsTextMax = 31;

// The six GPRS texts as single-byte Windows-1251 strings.
struct GprsTexts {
    std::string apn1, user1, pass1;
    std::string apn2, user2, pass2;

    bool operator==(const GprsTexts&) const = default;
};

// The panel reads each text of block 3 up to its first NUL: a NUL inside a
// text would shift every text behind it.
std::string WithoutNul(std::string_view text);
// A text as block 3 carries it: without NUL, at most 31 characters.
std::string GprsBlockText(std::string_view text);

// A text longer than block 3 carries: the panel gets its first 31 characters.
struct CutGprsText {
    int sim = 1;               // 1 or 2
    const char* field = "";    // "APN", "Пользователь" or "Пароль", as the pages name it
    std::size_t length = 0;    // its characters (Windows-1251: one byte each)
};
std::vector<CutGprsText> OverlongGprsTexts(const GprsTexts& texts);
// "SIM-карта №1: APN обрезан до 31 символа (было 200)"
std::string CutGprsTextWords(const CutGprsText& cut);

// Builds block 3 from the texts as GprsBlockText gives them. Both APNs empty:
// byte 0 := 0 and nothing else changes. A frame never exceeds 199 bytes.
void BuildGprsBlock(TGprsBlock& block, const GprsTexts& texts);

// Decodes block 3 into the texts. False when the block holds no settings
// (byte 0 is 0 or byte 3 is not 3): the texts are left alone and the caller
// applies its fallback. Never reads past the buffer.
bool LoadGprsTexts(const TGprsBlock& block, GprsTexts& texts);

} // namespace vk410
