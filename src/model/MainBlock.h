#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace vk410 {

// Protocol block 1 held in its frame buffer: header at 0..3, payload from 4,
// check byte after the payload.
constexpr std::size_t kFrameBufSize = 201;
constexpr std::size_t kHeaderSize = 4;

struct TMainBlock {
    std::array<uint8_t, kFrameBufSize> buf{};

    uint8_t* payload() { return buf.data() + kHeaderSize; }
    const uint8_t* payload() const { return buf.data() + kHeaderSize; }
    // Payload byte at a payload offset (see MainOff).
    uint8_t& at(std::size_t off) { return buf[kHeaderSize + off]; }
    uint8_t at(std::size_t off) const { return buf[kHeaderSize + off]; }
};

// Payload offsets of the main block.
namespace MainOff {
constexpr std::size_t alarmsends = 0;
constexpr std::size_t restoresends = 1;
constexpr std::size_t controlTime = 2; // 16-bit little-endian
constexpr std::size_t out = 4;         // exit delay
constexpr std::size_t in = 5;          // entry delay
constexpr std::size_t type(int loop) { return 6 + 2 * std::size_t(loop - 1); } // loop 1..8
constexpr std::size_t cid(int loop) { return 7 + 2 * std::size_t(loop - 1); }
constexpr std::size_t mask = 22;
constexpr std::size_t KeyBeep = 23;
constexpr std::size_t BLMode = 24;
constexpr std::size_t BLLevel = 25;
constexpr std::size_t state = 26; // CXM module fitted
constexpr std::size_t qnt = 27;   // model 1 only: Meridian sensor count
} // namespace MainOff

constexpr int kLoopCount = 8;
constexpr uint8_t kPowerResetBit = 7; // in a loop type byte
constexpr uint8_t kLoopTypeMask = 0x07;

// 27 for model 0, 28 for model 1, 0 for anything else.
std::size_t PayloadLength(unsigned modelCode);

// The default payload of a model (PayloadLength bytes); nullptr for an unknown code.
const uint8_t* DefaultImage(unsigned modelCode);

// Copies the model's default image over the payload. For an unknown code
// nothing changes and false is returned (the window then shows its box).
bool LoadDefaults(TMainBlock& block, unsigned modelCode);

// The radio channel settings: payload offsets 0..3 (sends per alarm and per
// restore, the control period). No page shows them and files never keep them.
constexpr std::size_t kRadioSettingsSize = 4;
void CopyRadioSettings(const TMainBlock& from, TMainBlock& to);

uint16_t ControlTime(const TMainBlock& block);
void SetControlTime(TMainBlock& block, unsigned seconds); // value mod 65536

} // namespace vk410
