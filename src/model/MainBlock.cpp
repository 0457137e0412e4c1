#include "MainBlock.h"

#include <algorithm>

#include "Devices.h"

namespace vk410 {

namespace {
constexpr std::size_t kModel0Length = 27;
constexpr std::size_t kModel1Length = 28;

const uint8_t kDefaultImage[kModel1Length] = {
    0x08, 0x05, 0x2D, 0x00, 0x0F, 0x1E, 0x07, 0x17, 0x06, 0x15, 0x06, 0x15, 0x05, 0x14,
    0x05, 0x14, 0x02, 0x0F, 0x83, 0x04, 0x83, 0x04, 0x00, 0xFF, 0x01, 0x09, 0x00, 0x00,
};
} // namespace

std::size_t PayloadLength(unsigned modelCode)
{
    switch (modelCode) {
    case 0: return kModel0Length;
    case 1: return kModel1Length;
    default: return 0;
    }
}

// Model 1's image is model 0's followed by the Meridian count 0, so one table serves both.
const uint8_t* DefaultImage(unsigned modelCode)
{
    return IsKnownModel(modelCode) ? kDefaultImage : nullptr;
}

bool LoadDefaults(TMainBlock& block, unsigned modelCode)
{
    const uint8_t* image = DefaultImage(modelCode);
    if (!image)
        return false;
    std::copy_n(image, PayloadLength(modelCode), block.payload());
    return true;
}

void CopyRadioSettings(const TMainBlock& from, TMainBlock& to)
{
    std::copy_n(from.payload(), kRadioSettingsSize, to.payload());
}

uint16_t ControlTime(const TMainBlock& block)
{
    return uint16_t(block.at(MainOff::controlTime) + 256 * block.at(MainOff::controlTime + 1));
}

void SetControlTime(TMainBlock& block, unsigned seconds)
{
    block.at(MainOff::controlTime) = uint8_t(seconds % 256);
    block.at(MainOff::controlTime + 1) = uint8_t((seconds / 256) % 256);
}

} // namespace vk410
