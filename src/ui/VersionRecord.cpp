#include "VersionRecord.h"

#include <cctype>
#include <cstdio>

namespace vk410 {

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::string TranslationKey(uint16_t language, uint16_t codePage)
{
    char text[9];
    std::snprintf(text, sizeof text, "%04X%04X", unsigned(language), unsigned(codePage));
    return text;
}

bool VerQueryTable(const VersionRecord& record, std::string_view path, VersionValue& value)
{
    std::string p = Lower(path);
    if (!p.empty() && p.front() == '\\')
        p.erase(0, 1);
    if (p == "varfileinfo\\translation") {
        if (record.translations.empty())
            return false;
        value.bytes.clear();
        for (const auto& [lang, cp] : record.translations) {
            value.bytes.push_back(char(lang & 0xFF));
            value.bytes.push_back(char(lang >> 8));
            value.bytes.push_back(char(cp & 0xFF));
            value.bytes.push_back(char(cp >> 8));
        }
        value.length = uint32_t(value.bytes.size());
        return true;
    }
    const std::string prefix = "stringfileinfo\\";
    if (p.rfind(prefix, 0) != 0)
        return false;
    const std::string key = p.substr(prefix.size());
    for (const auto& [k, v] : record.strings) {
        if (Lower(k) == key) {
            value.bytes = v;
            value.length = uint32_t(v.size() + 1);
            return true;
        }
    }
    return false;
}

} // namespace vk410
