#include "Diagnosis.h"

#include <algorithm>

#include "Frames.h"
#include "model/Description.h"
#include "model/Devices.h"

namespace vk410 {
namespace {

std::string N(std::size_t v) { return std::to_string(v); }

std::string ModelName(unsigned model)
{
    const TDevices* row = DeviceRow(model);
    return N(model) + (row ? std::string(" (") + row->name + ")" : std::string());
}

const RecordEntry* Last(const std::vector<RecordEntry>& record, bool (*pick)(const RecordEntry&))
{
    const auto it = std::find_if(record.rbegin(), record.rend(), pick);
    return it == record.rend() ? nullptr : &*it;
}

bool IsRefusal(const RecordEntry& e)
{
    return e.event == RecordEvent::Verdict && e.rule != Rule::FrameTaken && e.rule != Rule::ReplyTaken &&
           e.rule != Rule::EchoTaken && e.rule != Rule::NoGprsBody;
}

bool BlockOneAnswered(const std::vector<RecordEntry>& record)
{
    return std::any_of(record.begin(), record.end(), [](const RecordEntry& e) {
        return e.event == RecordEvent::Verdict && e.block == 1 &&
               (e.rule == Rule::ReplyTaken || e.rule == Rule::EchoTaken);
    });
}

// The configuration a block-write frame carries, with byte `index` of its
// payload replaced by `value` when index >= 0.
bool FromFrame(uint8_t block, std::vector<uint8_t> frame, int index, uint8_t value, Configuration& cfg,
               GprsTexts& texts)
{
    if (index >= 0 && kHeaderSize + std::size_t(index) < frame.size())
        frame[kHeaderSize + std::size_t(index)] = value;
    const std::size_t payload = frame.size() > kHeaderSize + 1 ? frame.size() - kHeaderSize - 1 : 0;
    switch (block) {
    case 1: {
        const unsigned model = payload == PayloadLength(1) ? 1 : 0;
        if (payload != PayloadLength(model))
            return false;
        cfg = StartupConfiguration(uint8_t(model));
        std::copy_n(frame.begin() + kHeaderSize, payload, cfg.main.payload());
        return true;
    }
    case 2:
        if (payload != kGsmPayloadSize)
            return false;
        cfg.main.at(MainOff::state) = 1;
        std::copy_n(frame.begin() + kHeaderSize, payload, cfg.gsm.payload());
        return true;
    case 3:
        if (frame.size() > cfg.gprs.buf.size())
            return false;
        cfg.main.at(MainOff::state) = 1;
        cfg.gsm.at(GsmOff::useGPRScfg) = 1;
        std::copy(frame.begin(), frame.end(), cfg.gprs.buf.begin());
        cfg.gprs.buf[3] = 3; // the write frame names its block where a reply would
        return LoadGprsTexts(cfg.gprs, texts);
    default:
        return false;
    }
}

// "Шлейфы / Задержка на вход": the field the differing byte belongs to.
std::string FieldOf(const RecordEntry& e)
{
    Configuration sent, echoed;
    GprsTexts sentTexts, echoedTexts;
    if (!FromFrame(e.block, e.sent, -1, 0, sent, sentTexts) ||
        !FromFrame(e.block, e.sent, e.index, e.got, echoed, echoedTexts))
        return {};
    const std::vector<Difference> d = Compare(Describe(sent, sentTexts, DescribeScope::Everything),
                                              Describe(echoed, echoedTexts, DescribeScope::Everything));
    return d.empty() ? std::string() : PlaceText(d.front().page, d.front().item) + " / " + d.front().field;
}

Diagnosis FromRefusal(const RecordEntry& e)
{
    const uint8_t length = e.bytes.size() > 1 ? e.bytes[1] : 0;
    switch (e.rule) {
    case Rule::NoStartByte:
    case Rule::NotDataReply:
        return {Cause::NoFrame, "Байты приходят, но кадра в них нет: проверьте скорость линии (2400 бод), "
                                "кабель и помехи"};
    case Rule::BadCheck:
        return {Cause::BadCheck, "Ответ прибора с неверным контрольным байтом: помехи на линии или плохой контакт"};
    case Rule::LongFrame:
        return {Cause::LongFrame, "Ответ длиннее, чем говорит его байт длины (" + N(e.count) + " байт вместо " +
                                      N(length) + "): лишние байты на линии"};
    case Rule::ShortFrame:
        return {Cause::Truncated,
                e.count < 2 ? "Ответ оборвался на первом байте: остальные байты теряются на линии"
                            : "Ответ оборвался: пришло " + N(e.count) + " байт из " + N(length) +
                                  ", остальные потерялись на линии"};
    case Rule::UnknownModel:
        return {Cause::OtherModel, "Прибор сообщил код модели " + N(e.bytes.size() > 3 ? e.bytes[3] : 0) +
                                       ", а программатор знает " + ModelName(0) + " и " + ModelName(1)};
    case Rule::EchoOtherModel:
        return {Cause::OtherModel, "Прибор ответил как модель " + ModelName(e.bytes.size() > 3 ? e.bytes[3] : 0) +
                                       ", а записывалась " + ModelName(e.expected)};
    case Rule::EchoDiffers: {
        const std::string field = FieldOf(e);
        return {Cause::EchoDiffers, "Эхо блока " + N(e.block) + " отличается в байте данных " +
                                        std::to_string(e.index) + (field.empty() ? "" : " («" + field + "»)") +
                                        ": записано " + N(e.expected) + ", прибор вернул " + N(e.got)};
    }
    default:
        return {Cause::Unknown, {}};
    }
}

} // namespace

Diagnosis Diagnose(const std::vector<RecordEntry>& record, bool failed)
{
    if (!failed)
        return {};
    const auto lost = [](const RecordEntry& e) { return e.event == RecordEvent::LineLost; };
    if (std::any_of(record.begin(), record.end(), lost))
        return {Cause::PortVanished, "Порт пропал во время обмена: адаптер отключён от компьютера"};
    if (const RecordEntry* refusal = Last(record, IsRefusal)) {
        Diagnosis d = FromRefusal(*refusal);
        if (d.cause != Cause::Unknown)
            return d;
    }
    const RecordEntry* wait = Last(record, [](const RecordEntry& e) { return e.event == RecordEvent::Waited; });
    if (wait && wait->end == WaitEnd::NoBytes) {
        if (wait->block >= 2 && BlockOneAnswered(record))
            return {Cause::ModuleSilent, "Прибор ответил, а модуль КСМ — нет: в настройках прибора модуль "
                                         "подключен. Снимите «Модуль КСМ подключен» и запишите прибор"};
        return {Cause::NoBytes, "Прибор не ответил ни одним байтом: проверьте порт, кабель и питание прибора"};
    }
    return {Cause::Unknown, "Причина не установлена: подробности в мониторе обмена"};
}

} // namespace vk410
