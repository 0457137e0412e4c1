#include "Configuration.h"

#include "Devices.h"

namespace vk410 {

Configuration StartupConfiguration(uint8_t model)
{
    Configuration cfg;
    cfg.model = IsKnownModel(model) ? model : 0;
    LoadDefaults(cfg.main, cfg.model);
    LoadGsmDefaults(cfg.gsm);
    return cfg;
}

} // namespace vk410
