#include "PortList.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace vk410 {
namespace {

// Splits "ttyUSB12" into "ttyUSB" and 12; a name without trailing digits has
// no number (-1). A run of more than nine digits keeps the whole name as the
// stem, so that such names still sort, by text.
struct NameKey {
    QString stem;
    long long number = -1;
};

NameKey KeyOf(const QString& name)
{
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && name.at(digitsFrom - 1).isDigit()
           && name.at(digitsFrom - 1).unicode() < 128)
        --digitsFrom;
    const qsizetype digits = name.size() - digitsFrom;
    if (digits == 0 || digits > 9)
        return {name, -1};
    return {name.left(digitsFrom), name.mid(digitsFrom).toLongLong()};
}

bool HasDeviceLink(const QDir& root, const QString& entry)
{
    // A dangling link still marks a device entry, so look at the link itself.
    const QFileInfo device(root.filePath(entry + QStringLiteral("/device")));
    return device.isSymLink() || device.exists();
}

#ifdef _WIN32
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
#endif

} // namespace

bool PortNameLess(const QString& a, const QString& b)
{
    const NameKey ka = KeyOf(a);
    const NameKey kb = KeyOf(b);
    if (ka.stem != kb.stem)
        return ka.stem < kb.stem;
    if (ka.number != kb.number)
        return ka.number < kb.number;
    return a < b; // "ttyS01" and "ttyS1": still a strict order
}

QStringList ListSerialPorts(const QString& ttyClassRoot)
{
    const QDir root(ttyClassRoot);
    if (!root.exists())
        return {};
    QStringList ports;
    const QStringList entries = root.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (HasDeviceLink(root, entry))
            ports << entry;
    }
    std::sort(ports.begin(), ports.end(), PortNameLess);
    return ports;
}

QStringList ListSerialPorts()
{
#ifdef _WIN32
    return ListFromRegistry();
#else
    return ListSerialPorts(QStringLiteral("/sys/class/tty"));
#endif
}

} // namespace vk410
