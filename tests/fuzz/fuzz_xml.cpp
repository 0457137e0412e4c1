// Any bytes: the parser returns, and what it built can be searched and written.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/NativeXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vk410::TNativeXml doc;
    doc.SetOutputStyle(size % 2 ? vk410::TsdXmlOutputStyle::xosPreserve : vk410::TsdXmlOutputStyle::xosCompact);
    doc.ReadFromString(bytes);
    if (const vk410::TsdElement* root = doc.RootElement()) {
        (void)root->FindDeep("device");
        (void)root->AttrTextAt(0);
        (void)root->AttrIntByName("FileID", 0);
    }
    doc.SetOutputStyle(vk410::TsdXmlOutputStyle::xosReadable);
    const std::string text = doc.WriteToString();
    vk410::TNativeXml again;
    again.ReadFromString(text);
    return 0;
}
