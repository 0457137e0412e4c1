#include "RecoveryText.h"

#include <array>
#include <map>

#include "model/Devices.h"
#include "ConfigJson.h"

namespace vk410 {

namespace {

constexpr std::string_view kFirstLine = "vk410-recovery 1";
constexpr std::size_t kMaxLines = 64;
constexpr std::size_t kMaxTextBytes = 255; // a GPRS text
constexpr std::size_t kMaxPathBytes = 4096;

constexpr std::array<std::pair<OriginKind, std::string_view>, 4> kOrigins{{
    {OriginKind::Startup, "startup"},
    {OriginKind::File, "file"},
    {OriginKind::PanelRead, "read"},
    {OriginKind::JournalEntry, "journal"},
}};

constexpr std::array<std::pair<std::string GprsTexts::*, std::string_view>, 6> kTexts{{
    {&GprsTexts::apn1, "apn1"},
    {&GprsTexts::user1, "user1"},
    {&GprsTexts::pass1, "pass1"},
    {&GprsTexts::apn2, "apn2"},
    {&GprsTexts::user2, "user2"},
    {&GprsTexts::pass2, "pass2"},
}};

using Fields = std::map<std::string, std::string_view, std::less<>>;

void Put(std::string& out, std::string_view name, std::string_view value)
{
    out.append(name).append(" ").append(value).append("\n");
}

std::string Hex(std::string_view bytes)
{
    return HexString(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void PutContent(std::string& out, const std::string& prefix, const DocumentContent& c)
{
    Put(out, prefix + "model", std::to_string(c.cfg.model));
    Put(out, prefix + "main", HexString(c.cfg.main.buf.data(), c.cfg.main.buf.size()));
    Put(out, prefix + "gsm", HexString(c.cfg.gsm.buf.data(), c.cfg.gsm.buf.size()));
    Put(out, prefix + "gprs", HexString(c.cfg.gprs.buf.data(), c.cfg.gprs.buf.size()));
    for (const auto& [member, name] : kTexts)
        Put(out, prefix + std::string(name), Hex(c.texts.*member));
}

bool BytesFromHex(std::string_view hex, std::size_t limit, std::string& out)
{
    if (hex.size() % 2 != 0 || hex.size() > 2 * limit)
        return false;
    std::string bytes(hex.size() / 2, '\0');
    if (!HexBytes(hex, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()))
        return false;
    out = std::move(bytes);
    return true;
}

const std::string_view* Field(const Fields& fields, const std::string& name)
{
    const auto it = fields.find(name);
    return it == fields.end() ? nullptr : &it->second;
}

bool ReadFlag(const Fields& fields, const char* name, bool& flag)
{
    const std::string_view* v = Field(fields, name);
    if (!v || (*v != "0" && *v != "1"))
        return false;
    flag = *v == "1";
    return true;
}

template <class Block> bool ReadBlock(const Fields& fields, const std::string& name, Block& block)
{
    const std::string_view* v = Field(fields, name);
    return v && HexBytes(*v, block.buf.data(), block.buf.size());
}

bool ReadContent(const Fields& fields, const std::string& prefix, DocumentContent& c)
{
    const std::string_view* model = Field(fields, prefix + "model");
    if (!model || model->size() != 1 || !IsKnownModel(unsigned((*model)[0] - '0')))
        return false;
    c.cfg.model = uint8_t((*model)[0] - '0');
    if (!ReadBlock(fields, prefix + "main", c.cfg.main) || !ReadBlock(fields, prefix + "gsm", c.cfg.gsm) ||
        !ReadBlock(fields, prefix + "gprs", c.cfg.gprs))
        return false;
    for (const auto& [member, name] : kTexts) {
        const std::string_view* v = Field(fields, prefix + std::string(name));
        if (!v || !BytesFromHex(*v, kMaxTextBytes, c.texts.*member))
            return false;
    }
    return true;
}

bool ReadOrigin(const Fields& fields, DocumentOrigin& origin)
{
    const std::string_view* kind = Field(fields, "origin");
    const std::string_view* path = Field(fields, "path");
    if (!kind || !path || !BytesFromHex(*path, kMaxPathBytes, origin.path) ||
        !ReadFlag(fields, "exact", origin.exactBytes))
        return false;
    for (const auto& [k, name] : kOrigins)
        if (*kind == name) {
            origin.kind = k;
            return true;
        }
    return false;
}

bool ReadVersion(const Fields& fields, int& version)
{
    const std::string_view* v = Field(fields, "version");
    if (!v || v->empty() || v->size() > 3)
        return false;
    if (*v == "-1") {
        version = -1;
        return true;
    }
    int value = 0;
    for (const char c : *v) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    version = value;
    return value <= 255;
}

// Every line after the first as name and value; false when there are too many.
bool SplitFields(std::string_view text, Fields& fields)
{
    std::size_t lines = 0;
    while (!text.empty()) {
        if (++lines > kMaxLines)
            return false;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return false;
        fields[std::string(line.substr(0, space))] = line.substr(space + 1);
    }
    return true;
}

} // namespace

std::string RecoveryText(const DocumentCopy& copy)
{
    std::string out(kFirstLine);
    out += "\n";
    for (const auto& [kind, name] : kOrigins)
        if (kind == copy.origin.kind)
            Put(out, "origin", name);
    Put(out, "path", Hex(copy.origin.path));
    Put(out, "exact", copy.origin.exactBytes ? "1" : "0");
    Put(out, "radio", copy.radioFromPanel ? "1" : "0");
    Put(out, "version", std::to_string(copy.panelVersion < 0 || copy.panelVersion > 255 ? -1 : copy.panelVersion));
    PutContent(out, "", copy.content);
    PutContent(out, "base.", copy.baseline);
    return out;
}

bool ReadRecoveryText(std::string_view text, DocumentCopy& copy)
{
    if (text.substr(0, kFirstLine.size()) != kFirstLine || text.substr(kFirstLine.size(), 1) != "\n")
        return false;
    Fields fields;
    DocumentCopy read;
    if (!SplitFields(text.substr(kFirstLine.size() + 1), fields) || !ReadOrigin(fields, read.origin) ||
        !ReadFlag(fields, "radio", read.radioFromPanel) || !ReadVersion(fields, read.panelVersion) ||
        !ReadContent(fields, "", read.content) || !ReadContent(fields, "base.", read.baseline))
        return false;
    copy = std::move(read);
    return true;
}

} // namespace vk410
