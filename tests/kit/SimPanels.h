#pragma once
// The simulated panels the link, end-to-end and window tests talk to.
#include "PanelSim.h"
#include "model/CXMGSM.h"
#include "model/Gprs.h"

namespace vk410::test {

// A panel with the CXM module and its GPRS settings on, holding `texts`.
inline sim::PanelConfig GprsPanel(uint8_t model, uint8_t version, unsigned deviceNum, const GprsTexts& texts)
{
    sim::PanelConfig p = sim::DefaultPanel(model, true);
    p.version = version;
    p.cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    SetDeviceNum(p.cfg.gsm, deviceNum);
    BuildGprsBlock(p.cfg.gprs, texts);
    return p;
}

} // namespace vk410::test
