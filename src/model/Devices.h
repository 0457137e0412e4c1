#pragma once
#include <cstdint>
#include <string>

namespace vk410 {

// One row of the device catalogue; the row number is the model code.
struct TDevices {
    uint32_t ID;
    const char* name;
    const char* description; // begins with a blank so that name + description reads well
};

constexpr int kDeviceCount = 2;

int DeviceCount();
// nullptr for a code outside the catalogue.
const TDevices* DeviceRow(unsigned modelCode);
// name followed directly by description; empty for an unknown code.
std::string DeviceDisplayText(unsigned modelCode);
bool IsKnownModel(unsigned modelCode);

} // namespace vk410
