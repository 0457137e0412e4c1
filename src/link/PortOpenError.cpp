#include "PortOpenError.h"

namespace vk410 {

QString PortOpenErrorText(const PortOpenError& e)
{
    switch (e.reason) {
    case PortOpenReason::None:
        return {};
    case PortOpenReason::NoAccess:
        if (!e.group.isEmpty())
            return QStringLiteral("Нет доступа к %1: нужно состоять в группе %2 и войти в систему заново")
                .arg(e.device, e.group);
        if (!e.owner.isEmpty())
            return QStringLiteral("Нет доступа к %1: устройство принадлежит %2").arg(e.device, e.owner);
        return QStringLiteral("Нет доступа к %1").arg(e.device);
    case PortOpenReason::NotFound:
        return QStringLiteral("Устройство %1 не найдено").arg(e.device);
    case PortOpenReason::Busy:
        return QStringLiteral("Порт %1 занят другой программой").arg(e.device);
    case PortOpenReason::NotSerial:
        return QStringLiteral("%1 не является последовательным портом").arg(e.device);
    case PortOpenReason::SetupFailed:
        return QStringLiteral("Не удалось настроить порт %1").arg(e.device);
    case PortOpenReason::Other:
        break;
    }
    if (e.detail.isEmpty())
        return QStringLiteral("Не удалось открыть %1").arg(e.device);
    return QStringLiteral("Не удалось открыть %1: %2").arg(e.device, e.detail);
}

} // namespace vk410
