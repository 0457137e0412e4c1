// vedu-vk410: the panel programmer.
#include <QLibraryInfo>

#include "app/Termination.h"
#include "files/ProgramProcess.h"
#include "model/Configuration.h"
#include "ui/Dialogs.h"
#include "ui/FormGprs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

namespace {

// Before anything is opened: a port must never become standard error.
void PrepareProcess()
{
    vk410::OpenClosedStandardDescriptors();
    vk410::IgnoreFileSizeSignal();
}

// Answered before the application exists, so that no display is needed.
bool AnsweredVersion(int argc, char** argv, int& rc)
{
    if (!vk410::VersionAsked(argc, argv))
        return false;
    rc = vk410::PrintVersion("vedu-vk410");
    return true;
}

// `vedu-vk410 FILE.cf8` (a file manager's "open with") opens the file as
// "Открыть" does; the first argument that is no option names it.
void OpenArgument(vk410::TForm1& window, const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].startsWith(QLatin1Char('-'))) {
            window.OpenFromOutside(arguments[i]);
            return;
        }
}

} // namespace

int main(int argc, char** argv)
{
    PrepareProcess();
    if (int rc = 0; AnsweredVersion(argc, argv, rc))
        return rc;
    vk410::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vedu VK410"));
    // Wayland finds the menu entry, and with it the icon, by this name.
    app.setDesktopFileName(QStringLiteral(VK410_APP_ID));
    // A session that ends, or a `kill`, closes the window as "Выход" does: an
    // exchange still running ends first. A request reaches the event loop
    // only, which first runs once the window is there.
    vk410::TerminationSignals termination;
    // Without the file the toolkit's buttons stay English; nothing else changes.
    app.LoadToolkitTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    vk410::QtMessageBoxes boxes;
    app.SetMessageBoxes(&boxes);

    vk410::TForm1 window(boxes);
    // Without the question: the changes stay in the recovery copy.
    QObject::connect(&termination, &vk410::TerminationSignals::requested, &window, &vk410::TForm1::Terminate);
    // The window's child: it goes with the window, never before it.
    auto* gprs = new vk410::TfrmGPRS(window.Config().gprs, &window);
    window.SetGprsDialog(gprs);
    window.show();
    window.OfferRecoveryCopies();
    OpenArgument(window, app.arguments());
    // A signal during the start-up questions has closed the window already.
    const int rc = window.isVisible() ? app.exec() : 0;
    app.SetMessageBoxes(nullptr);
    // A close that waited for an exchange says how that exchange ended.
    return rc != 0 ? rc : window.ExitStatus();
}
