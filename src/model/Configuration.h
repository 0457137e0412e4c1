#pragma once
#include <cstdint>

#include "CXMGSM.h"
#include "Gprs.h"
#include "MainBlock.h"

namespace vk410 {

// What the window owns: the model code and the three block images.
// The six GPRS texts travel beside it as GprsTexts.
struct Configuration {
    uint8_t model = 0;
    TMainBlock main;
    TGsmBlock gsm;
    TGprsBlock gprs;
};

// The programmer's state right after start: model 0 defaults, the GSM block's
// defaults, an empty GPRS block. With another known model code, that model's
// defaults instead; an unknown code gives model 0's.
Configuration StartupConfiguration(uint8_t model = 0);

} // namespace vk410
