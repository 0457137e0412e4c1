// The port list from the registry's list of serial ports. The test puts its
// own values there (a wine prefix or an administrator may) and gives the key
// back its values afterwards.
#include <gtest/gtest.h>

#include <utility>
#include <vector>
#include <windows.h>

#include "files/PortList.h"

namespace vk410 {
namespace {

constexpr const wchar_t* kKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

using Values = std::vector<std::pair<std::wstring, std::wstring>>;

Values ReadValues(HKEY key)
{
    Values values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256], data[256];
        DWORD nameLen = 256, dataBytes = sizeof data - sizeof(wchar_t), type = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes)
            != ERROR_SUCCESS)
            break;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        values.emplace_back(name, data);
    }
    return values;
}

void SetValues(HKEY key, const Values& values)
{
    for (const auto& [name, data] : ReadValues(key))
        RegDeleteValueW(key, name.c_str());
    for (const auto& [name, data] : values)
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       DWORD((data.size() + 1) * sizeof(wchar_t)));
}

TEST(ListSerialPorts, TheRegistrysValuesInItsOrder)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "the system's port list cannot be written here";
    const Values before = ReadValues(key);

    SetValues(key, {{L"\\Device\\Serial0", L"COM7"}, {L"\\Device\\VCP0", L"COM1"}});
    const QStringList two = ListSerialPorts();
    SetValues(key, {});
    const QStringList none = ListSerialPorts();

    SetValues(key, before);
    RegCloseKey(key);
    EXPECT_EQ(two, (QStringList{QStringLiteral("COM7"), QStringLiteral("COM1")}));
    EXPECT_TRUE(none.isEmpty());
}

TEST(DescribeWindowsPort, AdaptersByTheirInstanceIdsBuiltInPortsAsSuch)
{
    const struct {
        const char* instanceId;
        const char* manufacturer;
        const char* description;
        const char* shown;
    } cases[] = {
        {"USB\\VID_067B&PID_2303\\5&2AD4B5C&0&1", "Prolific", "Prolific USB-to-Serial Comm Port",
         "Prolific USB-to-Serial Comm Port, 067b:2303"},
        {"USB\\VID_2341&PID_0043\\75735323\x01", "Arduino LLC", "Arduino Uno",
         "Arduino LLC Arduino Uno, № 75735323, 2341:0043"},
        {"FTDIBUS\\VID_0403+PID_6001+A10K1234A\\0000", "FTDI", "USB Serial Port",
         "FTDI USB Serial Port, № A10K1234, 0403:6001"},
        {"ACPI\\PNP0501\\1", "(Standard port types)", "Communications Port", "Встроенный порт"},
        {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}\\7&1", "Microsoft", "Bluetooth link", ""},
        {"", "", "", ""}, // the device manager knows nothing of it
    };
    for (const auto& c : cases) {
        const SerialPortInfo port = DescribeWindowsPort(QStringLiteral("COM4"), QString::fromUtf8(c.instanceId),
                                                        QString::fromUtf8(c.manufacturer),
                                                        QString::fromUtf8(c.description));
        EXPECT_EQ(port.name, QStringLiteral("COM4"));
        EXPECT_EQ(PortDescription(port), QString::fromUtf8(c.shown)) << c.instanceId;
    }
}

} // namespace
} // namespace vk410
