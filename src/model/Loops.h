#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk410 {

constexpr int kLoopTypeCount = 8;
constexpr int kEventRowCount = 178;

enum LoopType : int {
    ltOff = 0, ltAlarm = 1, ltSilentAlarm = 2, ltFire = 3,
    ltService = 4, ltBurglary = 5, ltInterior = 6, ltDoor = 7
};

// The eight type texts in type-code order (UTF-8); the caller owns the list.
std::vector<std::string> GetLoopTypeList();
// Type code of a type text; -1 for a text that is not a type.
int LoopTypeIndex(std::string_view text);

// The 178 event texts in row order (UTF-8, trailing blanks kept).
std::vector<std::string> GetEventList();
// Event code byte of a row 1..178; 0 for a row outside the list.
uint8_t EventCodeByRow(int row);
// Row 1..178 of an event code byte; 0 when no row carries it.
int EventRowByCode(uint8_t code);
// Row of the default event of a type code 1..7; 0 for type 0 or out of range.
int DefaultEventRow(int typeCode);

} // namespace vk410
