// The serial ports of Windows: the system's list of COM ports, each described
// by what the device manager records of the device behind it.
#include <QHash>
#include <QRegularExpression>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include "PortList.h"

namespace vk410 {
namespace {

// The data of every value of the system's port list, in its order.
QStringList ListFromRegistry()
{
    QStringList ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return ports;
    // Bounded: the registry reports the end, and a key has far fewer values.
    for (DWORD index = 0; index < 4096; ++index) {
        wchar_t name[256];
        DWORD nameLen = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG rc = RegEnumValueW(key, index, name, &nameLen, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        ports << QString::fromWCharArray(data);
    }
    RegCloseKey(key);
    return ports;
}

struct DeviceFacts {
    QString instanceId, manufacturer, description;
};

QString Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    wchar_t text[256] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return {};
    return QString::fromWCharArray(text);
}

QString PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t), type = 0;
    const LONG rc = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? QString::fromWCharArray(name) : QString();
}

// The present devices of the ports class, by the COM port each one is.
QHash<QString, DeviceFacts> DevicesByPort()
{
    QHash<QString, DeviceFacts> devices;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return devices;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; i < 1024 && SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const QString port = PortNameOf(set, device);
        wchar_t id[512] = {};
        if (port.isEmpty() || !SetupDiGetDeviceInstanceIdW(set, &device, id, 511, nullptr))
            continue;
        devices.insert(port, {QString::fromWCharArray(id), Property(set, device, SPDRP_MFG),
                              Property(set, device, SPDRP_DEVICEDESC)});
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

// The adapter's serial number, where its instance id carries one: USB's last
// part unless the system made it up (it then holds '&'); FTDI's bus names it
// in its second part, followed by the letter of the adapter's port.
QString SerialOf(const QString& bus, const QStringList& parts)
{
    if (bus == QLatin1String("FTDIBUS")) {
        QString serial = parts.value(1).section(QLatin1Char('+'), 2, 2);
        static const QRegularExpression portLetter(QStringLiteral("^.+[A-D]$"));
        if (portLetter.match(serial).hasMatch())
            serial.chop(1);
        return serial;
    }
    const QString last = parts.value(2);
    return last.contains(QLatin1Char('&')) ? QString() : last;
}

} // namespace

SerialPortInfo DescribeWindowsPort(const QString& name, const QString& instanceId, const QString& manufacturer,
                                   const QString& description)
{
    SerialPortInfo port;
    port.name = name;
    const QStringList parts = instanceId.split(QLatin1Char('\\'));
    const QString bus = parts.value(0).toUpper();
    if (bus != QLatin1String("USB") && bus != QLatin1String("FTDIBUS")) {
        port.builtIn = bus == QLatin1String("ACPI") || bus == QLatin1String("PCI");
        return port;
    }
    port.usb = true;
    port.manufacturer = DeviceText(manufacturer);
    port.product = DeviceText(description);
    const QString ids = parts.value(1).toUpper();
    static const QRegularExpression vid(QStringLiteral("VID_([0-9A-F]{4})"));
    static const QRegularExpression pid(QStringLiteral("PID_([0-9A-F]{4})"));
    port.vendorId = vid.match(ids).captured(1).toLower(); // as Linux shows them
    port.productId = pid.match(ids).captured(1).toLower();
    port.serial = DeviceText(SerialOf(bus, parts));
    return port;
}

QList<SerialPortInfo> ListSerialPortInfo()
{
    const QHash<QString, DeviceFacts> devices = DevicesByPort();
    QList<SerialPortInfo> ports;
    for (const QString& name : ListFromRegistry()) {
        const DeviceFacts facts = devices.value(name);
        ports << DescribeWindowsPort(name, facts.instanceId, facts.manufacturer, facts.description);
    }
    return ports;
}

} // namespace vk410
