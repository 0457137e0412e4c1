#pragma once
// The cf8 document and the configuration mapped onto each other (no Qt); the
// file on disk is FileOps.h.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Configuration.h"
#include "model/Errors.h"
#include "NativeXml.h"

namespace vk410 {

// 16 upper-case hexadecimal digits of 8 bytes.
std::string BytesToHex(const uint8_t* eight);
// 16 hexadecimal digits (either case) -> 8 bytes, taken in pairs of
// characters. A pair that is not hexadecimal throws ConversionError naming
// the pair ("$XY"); a text of another length, naming the whole text.
void HexToBytes(std::string_view hex16, uint8_t* eight);

// The whole file text for the given model code (CR LF lines, UTF-8).
// Throws Error(kDeviceNotFound) for a code other than 0 or 1.
std::string BuildConfigText(const Configuration& cfg, const GprsTexts& texts, unsigned modelCode);

// Reads a file's bytes into a scratch copy of cfg and texts and applies it only
// when the file is accepted. Returns the model code (0 or 1) or kFailureCode
// when the file is rejected (nothing applied). A text whose XML structure is
// broken (it breaks off, a tag is illegal, end tags do not match, ...) is
// rejected as a whole, and fault, when given, says where. The conversion error of a
// non-integer element value or a non-hexadecimal pdu throws ConversionError
// (nothing applied). On success cfg.model is set to the file's model code
// and, when the file carries GPRS settings, cfg.gprs is rebuilt from the texts.
uint8_t ReadConfigText(std::string_view bytes, Configuration& cfg, GprsTexts& texts,
                       TsdParseResult* fault = nullptr);

// "строка 3, столбец 14: файл обрывается": where a rejected file is broken.
std::string ParseFaultText(const TsdParseResult& fault);

} // namespace vk410
