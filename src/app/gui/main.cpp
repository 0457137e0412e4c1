// vedu-vk410: the panel programmer.
#include <QLibraryInfo>

#include "app/Termination.h"
#include "model/Configuration.h"
#include "ui/Dialogs.h"
#include "ui/FormGprs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

int main(int argc, char** argv)
{
    vk410::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vedu VK410"));
    // Wayland finds the menu entry, and with it the icon, by this name.
    app.setDesktopFileName(QStringLiteral(VK410_APP_ID));
    // A session that ends, or a `kill`, closes the window as "Выход" does: an
    // exchange still running ends first.
    vk410::TerminationSignals termination;
    QObject::connect(&termination, &vk410::TerminationSignals::requested, &app, &QApplication::closeAllWindows);
    // Without the file the toolkit's buttons stay English; nothing else changes.
    app.LoadToolkitTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    vk410::QtMessageBoxes boxes;
    app.SetMessageBoxes(&boxes);

    vk410::TForm1 window(boxes);
    // The window's child: it goes with the window, never before it.
    auto* gprs = new vk410::TfrmGPRS(window.Config().gprs, &window);
    window.SetGprsDialog(gprs);
    window.show();
    const int rc = app.exec();
    app.SetMessageBoxes(nullptr);
    // A close that waited for an exchange says how that exchange ended.
    return rc != 0 ? rc : window.ExitStatus();
}
