#include "ExchangeRecord.h"

#include <cstdio>

#include "model/BCC.h"

namespace vk410 {

void ExchangeRecord::Add(RecordEntry entry)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(m_);
    if (entry.event == RecordEvent::Opened && !opened_) {
        opened_ = true;
        start_ = now;
    }
    if (entries_.size() >= kMaxEntries)
        return;
    entry.ms = opened_ ? std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count() : 0;
    entries_.push_back(std::move(entry));
}

std::vector<RecordEntry> ExchangeRecord::Entries(std::size_t from) const
{
    std::lock_guard lock(m_);
    if (from >= entries_.size())
        return {};
    return {entries_.begin() + std::ptrdiff_t(from), entries_.end()};
}

std::size_t ExchangeRecord::Size() const
{
    std::lock_guard lock(m_);
    return entries_.size();
}

std::string SpacedHex(const uint8_t* data, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            out.push_back(' ');
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0x0F]);
    }
    return out;
}

namespace {

std::string N(std::size_t v) { return std::to_string(v); }

std::string Hex2(uint8_t v)
{
    char s[3];
    std::snprintf(s, sizeof s, "%02X", v);
    return s;
}

// Header, length, command, block and check byte of a frame as far as it came.
std::string FrameReading(const std::vector<uint8_t>& f, std::size_t count)
{
    if (f.size() < 4)
        return "кадр неполон";
    std::string s = "длина " + N(f[1]) + (count != f[1] ? " (пришло " + N(count) + ")" : "");
    switch (f[2]) {
    case 0x52: s += ", чтение"; break;
    case 0x57: s += ", запись"; break;
    case 0x44: s += ", данные"; break;
    default: s += ", команда " + Hex2(f[2]);
    }
    s += (f[2] == 0x44 ? ", байт 3: " : ", блок ") + N(f[3]);
    const std::size_t length = f[1];
    if (length >= 5 && length <= f.size())
        s += CalcBCC(f.data(), int(length - 1)) == f[length - 1] ? ", контрольный байт верный"
                                                                  : ", контрольный байт неверный";
    return s;
}

std::string WaitReading(const RecordEntry& e)
{
    const std::string what = "ожидание ответа, блок " + N(e.block) + " (до " + std::to_string(e.deadlineMs) + " мс): ";
    switch (e.end) {
    case WaitEnd::FirstBytes: return what + "ответ начался";
    case WaitEnd::NoBytes: return what + "ничего не пришло";
    case WaitEnd::Complete: return what + "ответ пришёл целиком, " + N(e.count) + " байт";
    case WaitEnd::Incomplete: return what + "пришло " + N(e.count) + " байт, ответ не сложился";
    }
    return what;
}

std::string RuleReading(const RecordEntry& e)
{
    const uint8_t length = e.bytes.size() > 1 ? e.bytes[1] : 0;
    switch (e.rule) {
    case Rule::FrameTaken: return "кадр принят";
    case Rule::NoStartByte: return "нет начального байта 7E: это не кадр";
    case Rule::ShortFrame:
        return e.count < 2 ? "кадр оборвался: пришёл " + N(e.count) + " байт"
                           : "кадр оборвался: пришло " + N(e.count) + " байт из " + N(length);
    case Rule::LongFrame: return "лишние байты: пришло " + N(e.count) + ", по байту длины " + N(length);
    case Rule::BadCheck: {
        const uint8_t got = length >= 1 && length <= e.bytes.size() ? e.bytes[length - 1] : 0;
        const uint8_t want = length >= 1 && length <= e.bytes.size() ? CalcBCC(e.bytes.data(), int(length - 1)) : 0;
        return "неверный контрольный байт: в кадре " + Hex2(got) + ", по расчёту " + Hex2(want);
    }
    case Rule::UnknownModel: return "неизвестный код модели " + N(e.bytes.size() > 3 ? e.bytes[3] : 0);
    case Rule::NotDataReply: return "не кадр данных";
    case Rule::EchoOtherModel:
        return "эхо с кодом модели " + N(e.bytes.size() > 3 ? e.bytes[3] : 0) + ", записывалась " + N(e.expected);
    case Rule::EchoDiffers: return "эхо отличается в байте данных " + std::to_string(e.index) + ": записано " +
                                   N(e.expected) + ", вернулось " + N(e.got);
    case Rule::EchoTaken: return "эхо совпало с записанным";
    case Rule::ReplyTaken: return "данные блока " + N(e.block) + " приняты";
    case Rule::NoGprsBody: return "настроек GPRS нет: блок 3 остаётся прежним";
    }
    return {};
}

} // namespace

RecordRow RowOf(const RecordEntry& e)
{
    RecordRow r;
    r.time = std::to_string(e.ms) + " мс";
    switch (e.event) {
    case RecordEvent::Opened: r.reading = "порт открыт"; break;
    case RecordEvent::Closed: r.reading = "порт закрыт"; break;
    case RecordEvent::LineLost: r.reading = "порт пропал"; break;
    case RecordEvent::Sent:
        r.direction = "→";
        r.hex = SpacedHex(e.bytes.data(), e.bytes.size());
        r.reading = FrameReading(e.bytes, e.bytes.size());
        break;
    case RecordEvent::Received:
        r.direction = "←";
        r.hex = SpacedHex(e.bytes.data(), e.bytes.size());
        r.reading = "получено " + N(e.bytes.size()) + " байт";
        break;
    case RecordEvent::Waited: r.reading = WaitReading(e); break;
    case RecordEvent::Verdict: {
        const bool frameRule = e.rule == Rule::FrameTaken || e.rule == Rule::ShortFrame ||
                               e.rule == Rule::LongFrame || e.rule == Rule::BadCheck;
        r.reading = "ответ, блок " + N(e.block) + ": " +
                    (frameRule && e.rule != Rule::ShortFrame ? FrameReading(e.bytes, e.count) + "; " : "") +
                    RuleReading(e);
        break;
    }
    }
    return r;
}

std::string LineOf(const RecordEntry& e)
{
    const RecordRow r = RowOf(e);
    std::string ms = std::to_string(e.ms);
    if (ms.size() < 6)
        ms.insert(0, 6 - ms.size(), ' ');
    std::string line = ms + " мс  " + (r.direction.empty() ? " " : r.direction) + "  " + r.reading;
    if (!r.hex.empty())
        line += ": " + r.hex;
    return line;
}

std::string RecordText(const std::vector<RecordEntry>& entries, bool isWrite)
{
    std::string text = isWrite ? "Запись\n" : "Чтение\n";
    for (const RecordEntry& e : entries)
        text += LineOf(e) + "\n";
    return text;
}

} // namespace vk410
