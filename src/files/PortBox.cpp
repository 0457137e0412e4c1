#include "PortBox.h"

#include "PortList.h"
#include "Settings.h"
#include "link/PortName.h"

namespace vk410 {
namespace {

QString DeviceOrKeep(const QString& text, const QString& currentDevice)
{
    const QString device = DeviceForPortText(text);
    return device.isEmpty() ? currentDevice : device;
}

} // namespace

PortBoxStart PortBoxAtStartup(const QStringList& ports, const QString& initialDevice)
{
    PortBoxStart start;
    start.items = ports;
    start.text = ReadSetting(QString::fromLatin1(kSettingComPortName),
                             QString::fromLatin1(kDefaultComPortName));
    start.device = DeviceOrKeep(start.text, initialDevice);
    return start;
}

PortBoxStart PortBoxAtStartup(const QString& initialDevice)
{
    const QList<SerialPortInfo> ports = ListSerialPortInfo();
    PortBoxStart start = PortBoxAtStartup(PortNames(ports), initialDevice);
    start.descriptions = PortDescriptions(ports);
    return start;
}

QString PortNameBoxChange(const QString& text, const QString& currentDevice)
{
    WriteSetting(QString::fromLatin1(kSettingComPortName), text);
    return DeviceOrKeep(text, currentDevice);
}

} // namespace vk410
