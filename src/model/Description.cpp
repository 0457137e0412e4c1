#include "Description.h"

#include <cstdio>

#include "BitOps.h"
#include "Cp1251.h"
#include "Devices.h"
#include "Loops.h"

namespace vk410 {

namespace {

struct Source {
    const Configuration& cfg;
    const GprsTexts& texts;
    uint8_t Main(std::size_t off) const { return cfg.main.at(off); }
    uint8_t Gsm(std::size_t off) const { return cfg.gsm.at(off); }
};

// n is the item's number (1 for a group without numbered items).
using Reader = std::string (*)(const Source&, int n);

struct Field {
    const char* caption; // "%d" stands for the item's number
    Reader read;
};

enum class Uses { Always, Meridian, Module, Gprs, Radio };

struct Group {
    const char* page;
    const char* item; // "%d" stands for the item's number; empty for none
    int count;
    Uses uses;
    std::vector<Field> fields;
};

// The items of the GSM page's lists, whose index is the stored value.
const char* const kTries[] = {"Выкл.", "1", "2", "3", "4", "5"};
const char* const kSims[] = {"1,2", "1", "2"};
const char* const kProtocols[] = {"Voice", "CSD", "Telvex", "SIA-IP"};
const char* const kSmsTypes[] = {"Выключено", "Только тревоги", "Тревоги, взятия\\снятия"};
const char* const kBacklight[] = {"Выключена", "Авто", "Включена"};

std::string Number(unsigned value) { return std::to_string(value); }
std::string YesNo(bool on) { return on ? "да" : "нет"; }
// What the window shows, and the byte behind it when the window cannot show all of it.
std::string WithByte(const std::string& shown, uint8_t byte) { return shown + " (байт " + Number(byte) + ")"; }
std::string Unlisted(uint8_t byte) { return WithByte("нет в списке", byte); }

std::string LoopType(const Source& s, int n)
{
    const uint8_t type = s.Main(MainOff::type(n));
    static const std::vector<std::string> types = GetLoopTypeList();
    const std::string& shown = types[type & kLoopTypeMask];
    // Bits 3 to 6 have no control; bit 7 is the power-reset box.
    return (type & 0x78) == 0 ? shown : WithByte(shown, type);
}

std::string LoopEvent(const Source& s, int n)
{
    const uint8_t code = s.Main(MainOff::cid(n));
    static const std::vector<std::string> events = GetEventList();
    const int row = EventRowByCode(code);
    return row > 0 ? events[std::size_t(row - 1)] : Unlisted(code);
}

uint8_t DestByte(const Source& s, int n) { return s.Gsm(GsmOff::destByte(n)); }
bool DestOff(const Source& s, int n) { return DestinationTries(s.cfg.gsm, n) == 0; }

std::string DestTries(const Source& s, int n)
{
    const uint8_t byte = DestByte(s, n);
    const int tries = DestinationTries(s.cfg.gsm, n);
    // Tries above 5 show as 5; an off destination whose byte is not 0 still counts as enabled.
    const bool shownAsIs = (byte >> 5) == tries && (tries != 0 || byte == 0);
    return shownAsIs ? kTries[tries] : WithByte(kTries[tries], byte);
}

std::string DestSim(const Source& s, int n)
{
    if (DestOff(s, n))
        return {};
    const int sim = DestinationSim(s.cfg.gsm, n);
    const std::string shown = kSims[sim];
    return ((DestByte(s, n) >> 3) & 3) == sim ? shown : WithByte(shown, DestByte(s, n));
}

std::string DestProtocol(const Source& s, int n)
{
    if (DestOff(s, n))
        return {};
    const int protocol = DestinationProtocol(s.cfg.gsm, n);
    const std::string shown = kProtocols[protocol];
    return (DestByte(s, n) & 7) == protocol ? shown : WithByte(shown, DestByte(s, n));
}

std::string DestAddress(const Source& s, int n)
{
    return DestOff(s, n) ? std::string() : DestinationAddressText(s.cfg.gsm, n);
}

std::string SmsType(const Source& s, int m)
{
    const uint8_t type = s.Gsm(GsmOff::smsCfg(m));
    return type < std::size(kSmsTypes) ? kSmsTypes[type] : Unlisted(type);
}

std::string SmsPhone(const Source& s, int m)
{
    return s.Gsm(GsmOff::smsCfg(m)) != 0 ? SmsPhoneText(s.cfg.gsm, m) : std::string();
}

std::string DeviceNumber(const Source& s, int)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.4u", DeviceNum(s.cfg.gsm));
    return text;
}

std::string GprsText(const std::string& sim1, const std::string& sim2, int n)
{
    return Cp1251ToUtf8(n == 1 ? sim1 : sim2);
}

std::string GprsPassword(const Source& s, int n) { return GprsText(s.texts.pass1, s.texts.pass2, n); }

const std::vector<Group>& Table()
{
    static const std::vector<Group> table = {
        {"Прибор", "", 1, Uses::Always,
         {{"Тип прибора",
           [](const Source& s, int) {
               return IsKnownModel(s.cfg.model) ? DeviceDisplayText(s.cfg.model) : Unlisted(s.cfg.model);
           }}}},
        {"Шлейфы", "ШС%d", kLoopCount, Uses::Always,
         {{"Тип шлейфа", LoopType},
          {"Код события", LoopEvent},
          {"Сброс питания",
           [](const Source& s, int n) { return YesNo(TestBit(s.Main(MainOff::type(n)), kPowerResetBit)); }}}},
        {"Шлейфы", "Задержка, сек", 1, Uses::Always,
         {{"Вход", [](const Source& s, int) { return Number(s.Main(MainOff::in)); }},
          {"Выход", [](const Source& s, int) { return Number(s.Main(MainOff::out)); }}}},
        {"Шлейфы", "", 1, Uses::Meridian,
         {{"Включить шину Меридиан", [](const Source& s, int) { return YesNo(s.Main(MainOff::qnt) != 0); }},
          {"Количество датчиков", [](const Source& s, int) { return Number(s.Main(MainOff::qnt)); }}}},
        {"Доп.разделы", "Расширители разделов", kLoopCount, Uses::Always,
         {{"%d",
           [](const Source& s, int n) {
               return std::string(TestBit(s.Main(MainOff::mask), 8 - n) ? "вкл." : "выкл.");
           }}}},
        {"Клавиатура", "", 1, Uses::Always,
         {{"Подсветка",
           [](const Source& s, int) {
               const uint8_t mode = s.Main(MainOff::BLMode);
               return mode < std::size(kBacklight) ? std::string(kBacklight[mode]) : Unlisted(mode);
           }},
          {"яркость", [](const Source& s, int) { return Number(s.Main(MainOff::BLLevel)); }},
          {"Звук при нажатии",
           [](const Source& s, int) { return std::string(s.Main(MainOff::KeyBeep) ? "Включён" : "Выключен"); }}}},
        {"КСМ-GSM", "", 1, Uses::Always,
         {{"Модуль КСМ подключен", [](const Source& s, int) { return YesNo(s.Main(MainOff::state) != 0); }}}},
        {"КСМ-GSM", "", 1, Uses::Module,
         {{"Номер прибора", DeviceNumber},
          {"Включить передачу по GSM", [](const Source& s, int) { return YesNo(s.Gsm(GsmOff::TXE) != 0); }},
          {"Разрешить управление по SMS", [](const Source& s, int) { return YesNo(s.Gsm(GsmOff::RXE) != 0); }}}},
        {"КСМ-GSM", "Направление %d", kDestinationCount, Uses::Module,
         {{"Попытки", DestTries}, {"SIM", DestSim}, {"Протокол", DestProtocol}, {"Телефон\\Хост", DestAddress}}},
        {"КСМ-GSM", "SMS %d", kSmsCount, Uses::Module, {{"Передача SMS", SmsType}, {"Телефон", SmsPhone}}},
        {"КСМ-GSM", "", 1, Uses::Module,
         {{"Использовать конфигурацию GPRS",
           [](const Source& s, int) { return YesNo(s.Gsm(GsmOff::useGPRScfg) != 0); }}}},
        {"Параметры GPRS", "SIM-карта №%d", 2, Uses::Gprs,
         {{"APN", [](const Source& s, int n) { return GprsText(s.texts.apn1, s.texts.apn2, n); }},
          {"Пользователь", [](const Source& s, int n) { return GprsText(s.texts.user1, s.texts.user2, n); }},
          {"Пароль", GprsPassword}}},
        // The radio settings: the window keeps them without ever showing their page.
        {"Радиоканал", "", 1, Uses::Radio,
         {{"Период контроля канала, сек", [](const Source& s, int) { return Number(ControlTime(s.cfg.main)); }},
          {"Число посылок по тревоге", [](const Source& s, int) { return Number(s.Main(MainOff::alarmsends)); }},
          {"Число посылок по изменению",
           [](const Source& s, int) { return Number(s.Main(MainOff::restoresends)); }}}},
    };
    return table;
}

bool Used(Uses uses, const Configuration& cfg)
{
    const bool module = cfg.main.at(MainOff::state) != 0;
    switch (uses) {
    case Uses::Meridian: return cfg.model == 1;
    case Uses::Module: return module;
    case Uses::Gprs: return module && cfg.gsm.at(GsmOff::useGPRScfg) != 0;
    case Uses::Always:
    case Uses::Radio: break;
    }
    return true;
}

std::string Numbered(const char* pattern, int n)
{
    std::string text = pattern;
    const std::size_t at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, Number(unsigned(n)));
    return text;
}

constexpr int kOrderPerGroup = 1000;
constexpr int kOrderPerItem = 20;

} // namespace

Description Describe(const Configuration& cfg, const GprsTexts& texts, DescribeScope scope, bool keepsRadio)
{
    const Source source{cfg, texts};
    Description out;
    const std::vector<Group>& table = Table();
    for (std::size_t g = 0; g < table.size(); ++g) {
        const Group& group = table[g];
        if (scope == DescribeScope::Used && !Used(group.uses, cfg))
            continue;
        const bool stored = keepsRadio || group.uses != Uses::Radio;
        for (int n = 1; n <= group.count; ++n) {
            for (std::size_t f = 0; f < group.fields.size(); ++f) {
                const Field& field = group.fields[f];
                out.push_back({group.page, Numbered(group.item, n), Numbered(field.caption, n),
                               stored ? field.read(source, n) : kNotStoredText,
                               int(g) * kOrderPerGroup + n * kOrderPerItem + int(f), stored,
                               field.read == GprsPassword});
            }
        }
    }
    return out;
}

std::vector<Difference> Compare(const Description& a, const Description& b)
{
    // Both lists follow the table's order; a field that only one side uses
    // differs as much as a changed value.
    std::vector<Difference> out;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const bool takeA = j == b.size() || (i < a.size() && a[i].order <= b[j].order);
        const bool takeB = i == a.size() || (j < b.size() && b[j].order <= a[i].order);
        const DescriptionEntry& e = takeA ? a[i] : b[j];
        Difference d{e.page, e.item, e.field, std::nullopt, std::nullopt};
        const bool stored = (!takeA || a[i].stored) && (!takeB || b[j].stored);
        if (takeA)
            d.a = a[i++].value;
        if (takeB)
            d.b = b[j++].value;
        if (d.a != d.b && stored)
            out.push_back(std::move(d));
    }
    return out;
}

std::vector<bool> DiffersFromStartup(const Description& described, unsigned modelCode)
{
    const Description startup = Describe(StartupConfiguration(uint8_t(modelCode)), GprsTexts{},
                                         DescribeScope::Everything);
    std::vector<bool> out;
    out.reserve(described.size());
    std::size_t j = 0;
    for (const DescriptionEntry& e : described) {
        while (j < startup.size() && startup[j].order < e.order)
            ++j;
        out.push_back(e.stored &&
                      (j == startup.size() || startup[j].order != e.order || startup[j].value != e.value));
    }
    return out;
}

std::string PlaceText(const std::string& page, const std::string& item)
{
    return item.empty() ? page : page + " / " + item;
}

} // namespace vk410
