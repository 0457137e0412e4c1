#include "OffscreenFonts.h"

#include <QByteArray>
#include <QString>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vk410 {

void UseSystemFontsOffscreen()
{
#ifdef _WIN32
    wchar_t windows[MAX_PATH];
    const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && n > 0 && n < MAX_PATH)
        qputenv("QT_QPA_FONTDIR", (QString::fromWCharArray(windows, int(n)) + QStringLiteral("\\Fonts")).toLocal8Bit());
#endif
}

} // namespace vk410
