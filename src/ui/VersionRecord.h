#pragma once
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// windows.h maps these names to its own functions; here they are ours.
#ifdef _WIN32
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue
#endif

namespace vk410 {

// A program file's version record as the Windows version API presents it:
// translations (language, code page) and string tables keyed by the eight hex
// digits of a translation. On Linux the record of this program is generated at
// build time from the project version; on Windows it is the file's VERSIONINFO
// resource, generated from the same texts.
struct VersionRecord {
    std::vector<std::pair<uint16_t, uint16_t>> translations;
    // Key "041904E3\ProductName" -> value (UTF-8).
    std::vector<std::pair<std::string, std::string>> strings;
    // Windows: the record as the system read it from the file; queries then go
    // to the system and the two tables above stay empty.
    std::string block;
};

// The record generated for this program.
const VersionRecord& ProgramVersionRecord();

// Size of the version record of a program file, 0 when it has none. On Linux
// only the running program carries one.
uint32_t GetFileVersionInfoSize(const QString& path);
bool GetFileVersionInfo(const QString& path, VersionRecord& record);

// A value found by VerQueryValue: for a string the text and its length in
// characters counting the terminating zero; for the translation table the raw
// little-endian pairs and their length in bytes.
struct VersionValue {
    std::string bytes;
    uint32_t length = 0;
};

// Paths as the Windows API takes them: "\VarFileInfo\Translation" and
// "\StringFileInfo\<lang><cp>\<key>" (leading backslash optional, case-blind).
// Texts come back in UTF-8.
bool VerQueryValue(const VersionRecord& record, std::string_view path, VersionValue& value);

// The same query answered from the record's tables.
bool VerQueryTable(const VersionRecord& record, std::string_view path, VersionValue& value);

// "041904E3" for (0x0419, 0x04E3).
std::string TranslationKey(uint16_t language, uint16_t codePage);

} // namespace vk410
