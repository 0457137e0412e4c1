#pragma once
#include <optional>
#include <string>
#include <vector>

#include "Configuration.h"

namespace vk410 {

// The configuration in words: each field where the window shows it and what
// the window shows for it. The comparison, the report and `show` all read this
// one description, so they cannot disagree with each other or with the window.
struct DescriptionEntry {
    std::string page;  // "Шлейфы", "КСМ-GSM", ...
    std::string item;  // "ШС3", "Направление 2", "SIM-карта №1"; empty for a field of its own
    std::string field; // the field's caption in the window
    std::string value; // UTF-8, in the window's words; a byte the window cannot show carries its number
    int order = 0;     // the place in the field table: two descriptions line up on it
    bool stored = true; // false: where the configuration came from keeps no such field
    bool secret = false; // a password: printed only when asked for
};
using Description = std::vector<DescriptionEntry>;

enum class DescribeScope {
    Used,      // what the configuration uses: no GSM page without a module, no GPRS
               // texts while unused, the Meridian bus on model 1 only
    Everything // every field of the table, used or not
};

// What a field reads as when its source does not keep it.
inline constexpr const char* kNotStoredText = "не хранится в файле";

// The entries in the order of the pages. The texts are the six GPRS texts
// (Windows-1251) that go with the configuration. keepsRadio false: the
// configuration came from a file (or a journal entry without the panel's
// bytes), which never keeps the radio settings, so they read kNotStoredText.
Description Describe(const Configuration& cfg, const GprsTexts& texts,
                     DescribeScope scope = DescribeScope::Used, bool keepsRadio = true);

// One field whose value differs; nullopt where one side has no such entry.
struct Difference {
    std::string page, item, field;
    std::optional<std::string> a, b;
};

// The entries of a and b whose values differ, in the order of the pages. A
// field one side does not keep differs from nothing.
std::vector<Difference> Compare(const Description& a, const Description& b);

// For each entry of `cfg`'s description: whether its value differs from the
// model's start-up configuration.
std::vector<bool> DiffersFromStartup(const Description& described, unsigned modelCode);

// "Шлейфы / ШС3" (the page alone when there is no item).
std::string PlaceText(const std::string& page, const std::string& item);

} // namespace vk410
