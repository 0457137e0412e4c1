#include "ConfigJson.h"

#include <cstdio>

#include "../model/Cp1251.h"

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

} // namespace

std::string ConfigJson(const Configuration& cfg, const GprsTexts& texts, std::optional<int> version)
{
    const std::size_t mainLen = PayloadLength(cfg.model);
    const std::size_t gprsLen = cfg.gprs.frameLength();
    std::string out = "{\"model\":" + std::to_string(cfg.model);
    out += ",\"main\":\"" + HexString(cfg.main.payload(), mainLen) + "\"";
    out += ",\"gsm\":\"" + HexString(cfg.gsm.payload(), kGsmPayloadSize) + "\"";
    out += ",\"gprs\":\"" + HexString(cfg.gprs.buf.data(), gprsLen) + "\"";
    out += ",\"sim1\":" + SimJson(texts.apn1, texts.user1, texts.pass1);
    out += ",\"sim2\":" + SimJson(texts.apn2, texts.user2, texts.pass2);
    if (version)
        out += ",\"version\":" + std::to_string(*version);
    return out + "}";
}

} // namespace vk410
