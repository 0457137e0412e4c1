#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vk410 {

// Unexpected conditions; the window's application-wide error box shows what().
// Messages are UTF-8.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The runtime's conversion message for a text that is not an integer.
class ConversionError : public Error {
public:
    explicit ConversionError(const std::string& text)
        : Error("'" + text + "' is not a valid integer value") {}
};

// What the functions that answer with a byte code (the file reader, the
// exchange steps) give for a failure; otherwise they give a model code.
constexpr uint8_t kFailureCode = 255;

// "Тип прибора не найден": a model code outside the device catalogue.
inline const char* const kDeviceNotFound = "Тип прибора не найден";

} // namespace vk410
