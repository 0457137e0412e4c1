#pragma once
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

// "Тип прибора не найден": a model code outside the device catalogue.
inline const char* const kDeviceNotFound = "Тип прибора не найден";

} // namespace vk410
