#include "ConfigJson.h"

#include <cstdio>

#include "link/Frames.h"
#include "model/Cp1251.h"

namespace vk410 {

std::string HexString(const uint8_t* data, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0x0F]);
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool HexBytes(std::string_view hex, uint8_t* out, std::size_t count)
{
    if (hex.size() != 2 * count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        const int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = uint8_t(hi * 16 + lo);
    }
    return true;
}

namespace {

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out.push_back(char(c));
            }
        }
    }
    return out + "\"";
}

std::string SimJson(const std::string& apn, const std::string& user, const std::string& pass)
{
    return "{\"apn\":" + JsonString(Cp1251ToUtf8(apn)) + ",\"user\":" + JsonString(Cp1251ToUtf8(user)) +
           ",\"password\":" + JsonString(Cp1251ToUtf8(pass)) + "}";
}

std::string GprsPayloadHex(const TGprsBlock& gprs)
{
    const std::size_t n = gprs.frameLength();
    return n > kHeaderSize ? HexString(gprs.buf.data() + kHeaderSize, n - kHeaderSize - 1) : std::string();
}

// The frames as the write sequence stamps and builds them, on copies.
std::string FramesJson(const Configuration& cfg, const GprsTexts& texts)
{
    TMainBlock main = cfg.main;
    const std::size_t mainLen = StampMainWrite(main, cfg.model);
    std::string gsm, gprs;
    if (cfg.main.at(MainOff::state) != 0) {
        TGsmBlock block = cfg.gsm;
        gsm = HexString(block.buf.data(), StampGsmWrite(block));
        if (cfg.gsm.at(GsmOff::useGPRScfg) != 0) {
            TGprsBlock g = cfg.gprs;
            g.buf[0] = kStartByte;
            BuildGprsBlock(g, texts);
            gprs = HexString(g.buf.data(), g.frameLength());
        }
    }
    return "{\"main\":\"" + HexString(main.buf.data(), mainLen) + "\",\"gsm\":\"" + gsm + "\",\"gprs\":\"" + gprs +
           "\"}";
}

} // namespace

std::string ConfigJson(const Configuration& cfg, const GprsTexts& texts, std::optional<int> version, bool frames)
{
    const std::size_t mainLen = PayloadLength(cfg.model);
    std::string out = "{\"model\":" + std::to_string(cfg.model);
    out += ",\"main\":\"" + HexString(cfg.main.payload(), mainLen) + "\"";
    out += ",\"gsm\":\"" + HexString(cfg.gsm.payload(), kGsmPayloadSize) + "\"";
    out += ",\"gprs\":\"" + GprsPayloadHex(cfg.gprs) + "\"";
    out += ",\"sim1\":" + SimJson(texts.apn1, texts.user1, texts.pass1);
    out += ",\"sim2\":" + SimJson(texts.apn2, texts.user2, texts.pass2);
    if (version)
        out += ",\"version\":" + std::to_string(*version);
    if (frames)
        out += ",\"frames\":" + FramesJson(cfg, texts);
    return out + "}";
}

} // namespace vk410
