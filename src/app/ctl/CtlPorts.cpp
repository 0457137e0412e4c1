// ports: the serial ports of this machine, as the port box offers them.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "Commands.h"
#include "ConsoleOut.h"
#include "files/PortList.h"
#include "link/PortName.h"

namespace vk410::ctl {
namespace {

QJsonObject PortJson(const SerialPortInfo& port)
{
    QJsonObject o{
        {QStringLiteral("name"), port.name},
        {QStringLiteral("device"), DeviceForPortText(port.name)},
        {QStringLiteral("description"), PortDescription(port)},
        {QStringLiteral("usb"), port.usb},
    };
    if (port.usb) {
        o.insert(QStringLiteral("manufacturer"), port.manufacturer);
        o.insert(QStringLiteral("product"), port.product);
        o.insert(QStringLiteral("serial"), port.serial);
        o.insert(QStringLiteral("vendorId"), port.vendorId);
        o.insert(QStringLiteral("productId"), port.productId);
    }
    return o;
}

} // namespace

int CmdPorts(const Args& a)
{
    const bool json = a.Has("--json");
    const QList<SerialPortInfo> ports = ListSerialPortInfo();
    if (json) {
        QJsonArray list;
        for (const SerialPortInfo& port : ports)
            list.append(PortJson(port));
        WriteText(stdout, QJsonDocument(list).toJson(QJsonDocument::Compact).append('\n').toStdString());
        return kDone;
    }
    if (ports.isEmpty())
        Message(QStringLiteral("последовательные порты не найдены"));
    qsizetype width = 0;
    for (const SerialPortInfo& port : ports)
        width = std::max(width, port.name.size());
    for (const SerialPortInfo& port : ports) {
        const QString line = port.name.leftJustified(width + 2) + PortDescription(port);
        WriteText(stdout, line.trimmed() + QLatin1Char('\n'));
    }
    return kDone;
}

} // namespace vk410::ctl
