#pragma once
#include <memory>

#include "model/Configuration.h"
#include "NativeXml.h"

namespace vk410 {

// The CXM section of a cf8 file. The CFG element lives in a scratch document
// of its own (compact style), which must outlive any document it is adopted
// into: keep the CxmSection alive longer than that document.
struct CxmSection {
    std::unique_ptr<TNativeXml> scratch;
    TsdElement* cfg = nullptr;
};

CxmSection BuildCxmSection(const TGsmBlock& gsm, const GprsTexts& texts);

// Reads the section under the cxmGSM element into the GSM block and, when it
// carries GPRS settings, into the texts and the GPRS block. False when there
// is no CFG or a pdu is not 16 characters; throws ConversionError for a pdu
// that is not hexadecimal. Destinations outside 1..5 and recipients outside
// 1..3 are ignored.
bool ReadCxmSection(const TXmlNode& cxmGSM, TGsmBlock& gsm, GprsTexts& texts, TGprsBlock& gprs);

} // namespace vk410
