#include <gtest/gtest.h>

#include <algorithm>

#include "model/Description.h"
#include "model/Loops.h"

using namespace vk410;

namespace {

const DescriptionEntry* Find(const Description& d, const std::string& item, const std::string& field)
{
    for (const DescriptionEntry& e : d)
        if (e.item == item && e.field == field)
            return &e;
    return nullptr;
}

std::string Value(const Description& d, const std::string& item, const std::string& field)
{
    const DescriptionEntry* e = Find(d, item, field);
    return e ? e->value : "<none>";
}

struct Expected {
    const char *item, *field, *value;
};

void ExpectValues(const Description& d, std::initializer_list<Expected> cases)
{
    for (const Expected& c : cases)
        EXPECT_EQ(Value(d, c.item, c.field), c.value) << c.item << " " << c.field;
}

Configuration WithModule()
{
    Configuration cfg = StartupConfiguration(1);
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    return cfg;
}

} // namespace

// The values in the window's words are checked against the window itself.
TEST(Description, FieldsInUseFollowTheModelTheModuleAndGprs)
{
    const Description bare = Describe(StartupConfiguration(), {});
    EXPECT_EQ(bare.front().value, "VK-410QZ8N 8 шлейфов, головной прибор с передатчиком");
    EXPECT_EQ(bare.back().page, "Радиоканал");
    for (std::size_t i = 1; i < bare.size(); ++i)
        EXPECT_LT(bare[i - 1].order, bare[i].order);
    for (const char* field : {"Количество датчиков", "Номер прибора", "APN"})
        EXPECT_TRUE(std::none_of(bare.begin(), bare.end(), [&](const auto& e) { return e.field == field; }));

    Configuration cfg = WithModule();
    cfg.main.at(MainOff::mask) = 0x80; // expander 1 is the high bit
    const Description full = Describe(cfg, {"inet", "\xE8\xED\xF2", "", "", "", ""});
    EXPECT_EQ(full.size(), Describe(StartupConfiguration(), {}, DescribeScope::Everything).size());
    ExpectValues(full, {{"Расширители разделов", "1", "вкл."}, {"Расширители разделов", "8", "выкл."},
                        {"", "Номер прибора", "0001"},        {"SIM-карта №1", "Пользователь", "инт"}});
}

TEST(Description, BytesTheWindowCannotShowCarryTheirNumber)
{
    Configuration cfg = WithModule();
    cfg.main.at(MainOff::type(2)) = 0x4D;
    cfg.main.at(MainOff::cid(3)) = 14;
    cfg.main.at(MainOff::BLMode) = 3;
    cfg.gsm.at(GsmOff::destByte(1)) = 0xFF;
    cfg.gsm.at(GsmOff::destByte(2)) = 0x08; // tries 0, yet not off
    cfg.gsm.at(GsmOff::destByte(3)) = 0x1A; // tries 0, SIM 3, Telvex
    cfg.gsm.at(GsmOff::destByte(4)) = 0x62; // tries 3, SIM "1,2", Telvex: all shown as they are
    cfg.gsm.at(GsmOff::smsCfg(2)) = 5;
    const Description d = Describe(cfg, {});
    ExpectValues(d, {
        {"ШС2", "Тип шлейфа", "Охранный (байт 77)"}, {"ШС3", "Код события", "нет в списке (байт 14)"},
        {"", "Подсветка", "нет в списке (байт 3)"},   {"Направление 1", "Попытки", "5 (байт 255)"},
        {"Направление 1", "SIM", "1,2 (байт 255)"},   {"Направление 1", "Протокол", "Voice (байт 255)"},
        {"Направление 2", "Попытки", "Выкл. (байт 8)"}, {"Направление 2", "SIM", ""},
        {"Направление 3", "Попытки", "Выкл. (байт 26)"}, {"Направление 4", "Попытки", "3"},
        {"Направление 4", "SIM", "1,2"},              {"Направление 4", "Протокол", "Telvex"},
        {"SMS 2", "Передача SMS", "нет в списке (байт 5)"}, {"SMS 2", "Телефон", "+7(903)-123-45-67"},
    });
}

TEST(Description, CompareListsChangedAndOneSidedFieldsInPageOrder)
{
    const Configuration base = StartupConfiguration();
    EXPECT_TRUE(Compare(Describe(base, {}), Describe(base, {})).empty());

    Configuration other = StartupConfiguration(1);
    other.main.at(MainOff::type(3)) = ltFire;
    other.main.at(MainOff::state) = 1;
    const std::vector<Difference> d = Compare(Describe(base, {}), Describe(other, {}));
    ASSERT_GE(d.size(), 5u);
    EXPECT_EQ(d[0].field, "Тип прибора");
    EXPECT_EQ(d[1].item, "ШС3");
    EXPECT_EQ(d[1].a, "Внутренний");
    EXPECT_EQ(d[1].b, "Пожарный");
    EXPECT_EQ(d[2].field, "Включить шину Меридиан");
    EXPECT_EQ(d[2].a, std::nullopt);
    EXPECT_EQ(d[2].b, "нет");
    EXPECT_EQ(d[4].field, "Модуль КСМ подключен");
    // Every field of the module is on B's side only.
    for (std::size_t i = 5; i < d.size(); ++i)
        EXPECT_TRUE(!d[i].a && d[i].b) << d[i].field;
    EXPECT_EQ(Compare(Describe(other, {}), Describe(base, {})).size(), d.size());
}

TEST(Description, DifferencesFromTheStartupConfigurationAreMarked)
{
    Configuration cfg = WithModule();
    cfg.main.at(MainOff::in) = 31;
    const Description d = Describe(cfg, {"apn", "", "", "", "", ""});
    const std::vector<bool> marked = DiffersFromStartup(d, 1);
    ASSERT_EQ(marked.size(), d.size());
    for (std::size_t i = 0; i < d.size(); ++i) {
        const bool expected = d[i].field == "Вход" || d[i].field == "Модуль КСМ подключен" ||
                              d[i].field == "Использовать конфигурацию GPRS" ||
                              (d[i].item == "SIM-карта №1" && d[i].field == "APN");
        EXPECT_EQ(marked[i], expected) << d[i].item << " " << d[i].field;
    }
}

// Files never keep the radio settings: a file's side reads "not stored" there
// and differs from nothing, whatever the other side holds.
TEST(Description, RadioSettingsAFileDoesNotKeepAreNoDifferences)
{
    Configuration panel = StartupConfiguration();
    SetControlTime(panel.main, 300);
    panel.main.at(MainOff::alarmsends) = 2;
    const Configuration file = StartupConfiguration();
    const Description fromFile = Describe(file, {}, DescribeScope::Used, false);
    EXPECT_TRUE(Compare(Describe(panel, {}), fromFile).empty());
    EXPECT_TRUE(Compare(fromFile, Describe(panel, {})).empty());
    EXPECT_EQ(Compare(Describe(panel, {}), Describe(file, {})).size(), 2u);
    ExpectValues(fromFile, {{"", "Период контроля канала, сек", kNotStoredText},
                            {"", "Число посылок по изменению", kNotStoredText}});
    const std::vector<bool> marked = DiffersFromStartup(fromFile, 0);
    EXPECT_TRUE(std::none_of(marked.begin(), marked.end(), [](bool m) { return m; }));
}
