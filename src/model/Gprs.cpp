#include "Gprs.h"

#include <algorithm>

#include "BCC.h"

namespace vk410 {

namespace {

constexpr uint8_t kGprsBlockNumber = 3;

struct SimTexts {
    const std::string& apn;
    const std::string& user;
    const std::string& pass;
};


// One SIM section at p: the single byte 0, or a length byte and three
// zero-terminated texts. Returns the position behind it.
std::size_t PutSection(TGprsBlock& block, std::size_t p, const SimTexts& sim)
{
    const std::string texts[3] = {GprsBlockText(sim.apn), GprsBlockText(sim.user), GprsBlockText(sim.pass)};
    if (texts[0].empty()) {
        block.buf[p++] = 0;
        return p;
    }
    block.buf[p++] = uint8_t((texts[0].size() + texts[1].size() + texts[2].size() + 3) % 256);
    for (const std::string& text : texts) {
        p = std::copy(text.begin(), text.end(), block.buf.begin() + std::ptrdiff_t(p)) - block.buf.begin();
        block.buf[p++] = 0;
    }
    return p;
}

// Reads one zero-terminated text of at most 31 characters at p; stops at the
// end of the buffer whatever the bytes say.
std::string TakeText(const TGprsBlock& block, std::size_t& p)
{
    std::string text;
    while (p < block.buf.size() && block.buf[p] != 0 && text.size() < kGprsTextMax)
        text.push_back(char(block.buf[p++]));
    ++p; // past the terminator
    return text;
}

void TakeSection(const TGprsBlock& block, std::size_t& p, std::string& apn, std::string& user,
                 std::string& pass)
{
    if (p >= block.buf.size() || block.buf[p] == 0) {
        apn.clear();
        user.clear();
        pass.clear();
        ++p;
        return;
    }
    ++p;
    apn = TakeText(block, p);
    user = TakeText(block, p);
    pass = TakeText(block, p);
}

} // namespace

std::string WithoutNul(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\0')
            out.push_back(c);
    return out;
}

std::string GprsBlockText(std::string_view text) { return WithoutNul(text).substr(0, kGprsTextMax); }

std::vector<CutGprsText> OverlongGprsTexts(const GprsTexts& texts)
{
    const struct {
        int sim;
        const char* field;
        const std::string& text;
    } all[] = {{1, "APN", texts.apn1},     {1, "Пользователь", texts.user1}, {1, "Пароль", texts.pass1},
               {2, "APN", texts.apn2},     {2, "Пользователь", texts.user2}, {2, "Пароль", texts.pass2}};
    std::vector<CutGprsText> cut;
    for (const auto& t : all)
        if (const std::size_t n = WithoutNul(t.text).size(); n > kGprsTextMax)
            cut.push_back({t.sim, t.field, n});
    return cut;
}

std::string CutGprsTextWords(const CutGprsText& cut)
{
    return "SIM-карта №" + std::to_string(cut.sim) + ": " + cut.field + " обрезан до " +
           std::to_string(kGprsTextMax) + " символа (было " + std::to_string(cut.length) + ")";
}

void BuildGprsBlock(TGprsBlock& block, const GprsTexts& texts)
{
    if (GprsBlockText(texts.apn1).empty() && GprsBlockText(texts.apn2).empty()) {
        block.buf[0] = 0;
        return;
    }
    block.buf[0] = 0x7E;
    block.buf[2] = 0x57;
    block.buf[3] = kGprsBlockNumber;
    std::size_t p = kHeaderSize;
    p = PutSection(block, p, {texts.apn1, texts.user1, texts.pass1});
    p = PutSection(block, p, {texts.apn2, texts.user2, texts.pass2});
    block.buf[1] = uint8_t(p + 1);
    block.buf[p] = CalcBCC(block.buf.data(), int(p));
}

bool LoadGprsTexts(const TGprsBlock& block, GprsTexts& texts)
{
    if (block.buf[0] == 0 || block.buf[3] != kGprsBlockNumber)
        return false;
    std::size_t p = kHeaderSize;
    TakeSection(block, p, texts.apn1, texts.user1, texts.pass1);
    TakeSection(block, p, texts.apn2, texts.user2, texts.pass2);
    return true;
}

} // namespace vk410
