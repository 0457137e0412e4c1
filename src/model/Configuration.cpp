#include "Configuration.h"

namespace vk410 {

Configuration StartupConfiguration()
{
    Configuration cfg;
    cfg.model = 0;
    LoadDefaults(cfg.main, 0);
    LoadGsmDefaults(cfg.gsm);
    return cfg;
}

} // namespace vk410
