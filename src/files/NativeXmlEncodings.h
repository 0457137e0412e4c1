#pragma once
#include <string>
#include <string_view>

#include "model/Cp1251.h"

namespace vk410::xmlenc {

constexpr int kUtf8 = 65001;
constexpr int kUtf16LE = 1200;
constexpr int kUtf16BE = 1201;

// Windows code page of an encoding name (any case); kUtf8 when unknown.
int CodePageByName(std::string_view name);

// One byte of a single-byte code page as UTF-8. A byte the code page has no
// character for, and every byte above ASCII of a code page without a table
// here (US-ASCII), becomes '?'.
void AppendSingleByte(std::string& out, unsigned char byte, int codePage);

using vk410::AppendUtf8;

} // namespace vk410::xmlenc
