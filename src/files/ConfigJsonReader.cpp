#include "ConfigJsonReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "model/BCC.h"
#include "model/Cp1251.h"

namespace vk410 {
namespace {

constexpr uint8_t kDataReply = 0x44;
constexpr uint8_t kGprsBlockNumber = 3;
constexpr std::size_t kGprsPayloadMax = kFrameBufSize - kHeaderSize - 1;

// Hex of exactly `size` bytes (any size up to `size` when `upTo`).
std::optional<QByteArray> Bytes(const QJsonObject& o, const char* key, std::size_t size, bool upTo = false)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString())
        return std::nullopt;
    const QByteArray hex = v.toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(hex);
    const std::size_t n = std::size_t(bytes.size());
    if (std::size_t(hex.size()) != 2 * n || bytes.toHex().compare(hex, Qt::CaseInsensitive) != 0)
        return std::nullopt; // fromHex skips what is no digit
    if (upTo ? n > size : n != size)
        return std::nullopt;
    return bytes;
}

bool Texts(const QJsonObject& o, const char* key, std::string& apn, std::string& user, std::string& pass)
{
    const QJsonObject sim = o.value(QLatin1String(key)).toObject();
    std::string* const out[] = {&apn, &user, &pass};
    const char* const names[] = {"apn", "user", "password"};
    for (int i = 0; i < 3; ++i) {
        const QJsonValue v = sim.value(QLatin1String(names[i]));
        if (!v.isString())
            return false;
        *out[i] = Utf8ToCp1251(v.toString().toStdString());
        if (out[i]->size() > kGprsTextMax)
            return false;
    }
    return true;
}

void SetGprsFrame(TGprsBlock& block, const QByteArray& payload)
{
    if (payload.isEmpty())
        return;
    const std::size_t n = std::size_t(payload.size()) + kHeaderSize + 1;
    block.buf = {};
    block.buf[0] = 0x7E;
    block.buf[1] = uint8_t(n);
    block.buf[2] = kDataReply;
    block.buf[3] = kGprsBlockNumber;
    std::copy(payload.begin(), payload.end(), block.buf.begin() + kHeaderSize);
    block.buf[n - 1] = CalcBCC(block.buf.data(), int(n - 1));
}

} // namespace

bool ConfigFromJson(const QByteArray& json, Configuration& cfg, GprsTexts& texts, QString& why)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        why = QStringLiteral("не объект JSON");
        return false;
    }
    const QJsonObject o = doc.object();
    const QJsonValue modelValue = o.value(QLatin1String("model"));
    const int model = modelValue.toInt(-1);
    if (!modelValue.isDouble() || (model != 0 && model != 1) || modelValue.toDouble() != model) {
        why = QStringLiteral("неизвестная модель");
        return false;
    }
    const auto main = Bytes(o, "main", PayloadLength(unsigned(model)));
    const auto gsm = Bytes(o, "gsm", kGsmPayloadSize);
    const auto gprs = Bytes(o, "gprs", kGprsPayloadMax, true);
    if (!main || !gsm || !gprs) {
        why = QStringLiteral("неверные байты блоков");
        return false;
    }
    GprsTexts t;
    if (!Texts(o, "sim1", t.apn1, t.user1, t.pass1) || !Texts(o, "sim2", t.apn2, t.user2, t.pass2)) {
        why = QStringLiteral("неверные тексты GPRS");
        return false;
    }
    Configuration c = StartupConfiguration(uint8_t(model));
    std::copy(main->begin(), main->end(), c.main.payload());
    std::copy(gsm->begin(), gsm->end(), c.gsm.payload());
    SetGprsFrame(c.gprs, *gprs);
    cfg = c;
    texts = t;
    return true;
}

} // namespace vk410
