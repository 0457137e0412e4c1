// vedu-vk410: the panel programmer.
#include <QLibraryInfo>

#include "Termination.h"
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
    vk410::CloseWindowsOnTermination();
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
    return rc;
}
