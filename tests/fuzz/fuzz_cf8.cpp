// Any bytes as a cf8 file: accepted, rejected or a conversion error, and a
// rejected file changes nothing; an accepted one can be described and printed
// as JSON with its frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/ConfigJson.h"
#include "files/FileMapping.h"
#include "model/Description.h"
#include "model/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vk410::Configuration cfg = vk410::StartupConfiguration();
    const vk410::Configuration before = cfg;
    vk410::GprsTexts texts;
    uint8_t model = 255;
    try {
        model = vk410::ReadConfigText(bytes, cfg, texts);
    } catch (const vk410::ConversionError&) {
    }
    if (model == 255) {
        if (cfg.main.buf != before.main.buf || cfg.gsm.buf != before.gsm.buf || cfg.gprs.buf != before.gprs.buf)
            std::abort();
        return 0;
    }
    if (model > 1 || cfg.model != model)
        std::abort();
    // Whatever a file holds, it can be described, and equals itself.
    if (!vk410::Compare(vk410::Describe(cfg, texts), vk410::Describe(cfg, texts, vk410::DescribeScope::Used)).empty())
        std::abort();
    if (vk410::ConfigJson(cfg, texts, std::nullopt, true).back() != '}')
        std::abort();
    // What was accepted is written and read back to the same blocks.
    const std::string text = vk410::BuildConfigText(cfg, texts, model);
    vk410::Configuration back = vk410::StartupConfiguration();
    back.gsm = cfg.gsm;
    vk410::GprsTexts backTexts = texts;
    if (vk410::ReadConfigText(text, back, backTexts) != model || back.gsm.buf != cfg.gsm.buf)
        std::abort();
    return 0;
}
