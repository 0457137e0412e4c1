// The window in a process of its own, for the recovery copy's test. "edit"
// changes the exit delay as a user does, says "ready" once the recovery copy
// is on disk and waits to be killed; "discard" and "save" then end as a user
// does ("Выход" and "Не сохранять", or "Сохранить" into argv[2] first);
// "offer" starts a window that offers what was left, answers Yes and prints
// what it asked and what the window holds.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "files/Recovery.h"
#include "kit/TestDialogs.h"
#include "kit/Wait.h"
#include "ui/FormGprs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

namespace {

bool CopyOnDisk()
{
    return !QDir(vk410::RecoveryFolder()).entryList({QStringLiteral("copy-*.txt")}, QDir::Files).isEmpty();
}

void TypeExitDelay(vk410::TForm1& window, const QString& text)
{
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("fldDelayOut"));
    edit->setFocus();
    vk410::test::WaitFor([edit] { return edit->hasFocus(); });
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

int Offer(vk410::TForm1& window, vk410::test::RecordingMessageBoxes& boxes)
{
    boxes.answers = {vk410::MsgResult::Yes};
    window.OfferRecoveryCopies();
    for (const auto& shown : boxes.shown)
        std::printf("asked: %s\n", shown.text.toUtf8().constData());
    std::printf("modified: %d\nexit delay: %d\n", int(window.isWindowModified()),
                int(window.Config().main.at(vk410::MainOff::out)));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    vk410::TApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    vk410::test::RecordingMessageBoxes boxes;
    vk410::test::ScriptedFileDialogs dialogs;
    app.SetMessageBoxes(&boxes);
    vk410::TForm1 window(boxes);
    window.SetGprsDialog(new vk410::TfrmGPRS(window.Config().gprs, &window));
    window.SetFileDialogs(&dialogs);
    window.show();
    window.activateWindow();
    vk410::test::WaitFor([&window] { return window.isActiveWindow(); });
    if (mode == QLatin1String("offer"))
        return Offer(window, boxes);

    TypeExitDelay(window, QStringLiteral("12"));
    if (!vk410::test::WaitFor(CopyOnDisk, 20000))
        return 2;
    if (mode == QLatin1String("edit")) {
        std::puts("ready");
        std::fflush(stdout);
        return app.exec();
    }
    if (mode == QLatin1String("save") && argc > 2) {
        dialogs.paths = {QString::fromLocal8Bit(argv[2])};
        window.findChild<QAction*>(QStringLiteral("N2"))->trigger();
    }
    window.findChild<QPushButton*>(QStringLiteral("BtnClose"))->click();
    return window.isVisible() ? 3 : 0;
}
