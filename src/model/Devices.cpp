#include "Devices.h"

namespace vk410 {

namespace {
const TDevices kDevices[kDeviceCount] = {
    {0, "VK-410QZ8N", " 8 шлейфов, головной прибор с передатчиком"},
    {1, "VK-410QZ8NL", " 8 шлейфов, LCD, шина Meridian"},
};
} // namespace

int DeviceCount() { return kDeviceCount; }

bool IsKnownModel(unsigned modelCode) { return modelCode < unsigned(kDeviceCount); }

const TDevices* DeviceRow(unsigned modelCode)
{
    return IsKnownModel(modelCode) ? &kDevices[modelCode] : nullptr;
}

std::string DeviceDisplayText(unsigned modelCode)
{
    const TDevices* row = DeviceRow(modelCode);
    return row ? std::string(row->name) + row->description : std::string();
}

} // namespace vk410
