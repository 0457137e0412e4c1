// Renders the main window with each of its pages, the comparison dialog and
// the About box to PNG files in the folder given as the first argument.
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "kit/TestDialogs.h"
#include "model/CXMGSM.h"
#include "ui/AboutUnit.h"
#include "ui/Dialogs.h"
#include "ui/FormCompare.h"
#include "ui/FormGprs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

namespace {

bool Save(QWidget* widget, const QDir& dir, const QString& name)
{
    QTest::qWait(50);
    const QString path = dir.filePath(name);
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    vk410::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vedu VK410"));
    // Settings of their own, so that the port box shows the first-start port
    // and the user's remembered port and folder stay untouched.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        return 1;
    vk410::test::RecordingMessageBoxes boxes;
    app.SetMessageBoxes(&boxes);
    QElapsedTimer started;
    started.start();
    vk410::TForm1 window(boxes);
    vk410::TfrmGPRS gprs(window.Config().gprs, &window);
    window.SetGprsDialog(&gprs);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    std::printf("window created and shown in %lld ms\n", static_cast<long long>(started.elapsed()));

    // The window as it starts, on its loops page.
    bool ok = Save(&window, dir, QStringLiteral("main-window.png"));
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageMain"));
    const struct {
        const char* page;
        const char* file;
    } shots[] = {
        {"PageRadio", "page-radio.png"},
        {"PageRazd", "page-expanders.png"}, {"PageKey", "page-keypad.png"},
        {"PageCXM", "page-gsm.png"},
    };
    for (const auto& shot : shots) {
        QWidget* page = pages->findChild<QWidget*>(QString::fromLatin1(shot.page));
        if (!page)
            return 1;
        const int index = pages->indexOf(page);
        // The radio tab is hidden in use; it is shown only for its picture.
        const bool hidden = !pages->isTabVisible(index);
        pages->setTabVisible(index, true);
        pages->setTabEnabled(index, true);
        pages->setCurrentIndex(index);
        ok = Save(&window, dir, QString::fromLatin1(shot.file)) && ok;
        if (hidden) {
            pages->setTabVisible(index, false);
            pages->setTabEnabled(index, false);
        }
    }
    // The GSM page with the module fitted and destinations and recipients on.
    {
        vk410::Configuration& cfg = window.Config();
        vk410::SetDestinationTries(cfg.gsm, 3, 1);
        vk410::SetDestinationSim(cfg.gsm, 1, 1);
        vk410::SetDestinationPhone(cfg.gsm, "79031234567", 1);
        vk410::SetDestinationTries(cfg.gsm, 2, 2);
        vk410::SetDestinationProtocol(cfg.gsm, vk410::dpSIAIP, 2);
        vk410::SetDestinationIp(cfg.gsm, "192.168.001.002:24333", 2);
        vk410::SetSmsType(cfg.gsm, 1, 1);
        vk410::SetSmsPhone(cfg.gsm, "79037654321", 1);
        cfg.main.at(vk410::MainOff::state) = 1;
        window.RefreshControls();
        pages->setCurrentIndex(pages->indexOf(pages->findChild<QWidget*>(QStringLiteral("PageCXM"))));
        ok = Save(&window, dir, QStringLiteral("page-gsm-module.png")) && ok;

        // "Различия": a file that differs from the window in a loop and a destination.
        vk410::CompareSide file{QStringLiteral("panel.cf8"), cfg, gprs.Texts(), false};
        file.cfg.main.at(vk410::MainOff::type(2)) = 0x83;
        file.cfg.main.at(vk410::MainOff::cid(2)) = 4;
        vk410::SetDestinationTries(file.cfg.gsm, 5, 1);
        vk410::test::ScriptedFileDialogs files;
        vk410::TfrmCompare compare(file, {QStringLiteral("В окне"), cfg, gprs.Texts()}, files, &window);
        compare.show();
        if (!QTest::qWaitForWindowExposed(&compare))
            return 1;
        ok = Save(&compare, dir, QStringLiteral("compare.png")) && ok;
    }
    pages->setCurrentIndex(0);
    // The second model with its Meridian bus controls.
    window.SelectModelQuietly(1);
    window.DeviceTypeListChange(1);
    ok = Save(&window, dir, QStringLiteral("page-loops-model2.png")) && ok;

    auto about = vk410::BuildAboutBox(vk410::ProgramVersionRecord(), QCoreApplication::applicationName(), &window);
    if (!about)
        return 1;
    about->show();
    if (!QTest::qWaitForWindowExposed(about.get()))
        return 1;
    ok = Save(about.get(), dir, QStringLiteral("about.png")) && ok;
    return ok ? 0 : 1;
}
