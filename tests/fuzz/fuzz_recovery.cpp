// Any bytes as a recovery copy: refused, or read into a copy that is written
// and read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/RecoveryText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    vk410::DocumentCopy copy;
    if (!vk410::ReadRecoveryText(std::string_view(reinterpret_cast<const char*>(data), size), copy))
        return 0;
    const std::string text = vk410::RecoveryText(copy);
    vk410::DocumentCopy back;
    if (!vk410::ReadRecoveryText(text, back) || vk410::RecoveryText(back) != text)
        std::abort();
    return 0;
}
