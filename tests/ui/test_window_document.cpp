// The window's document as a user meets it: the question before changes are
// dropped, undo and redo, recent files, a file from outside, the recovery
// copy and a screen too small for the window.
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QUrl>
#include <functional>

#include "WindowFixture.h"
#include "files/FileOps.h"
#include "files/Recovery.h"
#include "files/Settings.h"
#include "model/CXMGSM.h"
#include "ui/GsmGrid.h"

namespace vk410::test {
namespace {

const QString kQuestion = QStringLiteral("Сохранить изменения конфигурации?");

class WindowDocument : public WindowFilesTest {
protected:
    void SetUp() override
    {
        WindowFilesTest::SetUp();
        Configuration c = StartupConfiguration();
        c.main.at(MainOff::out) = 44;
        const std::string text = BuildConfigText(c, {}, 0);
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), qint64(text.size()));
    }
    // Types a new exit delay and leaves the edit, as a user does.
    void TypeExitDelay(const QString& text)
    {
        TypeOver(Edit("fldDelayOut"), text);
        TabAway(Edit("fldDelayOut"));
    }
    int ExitDelay() const { return Byte(MainOff::out); }
    // A key of the window's, given where an edit cannot take it for itself.
    void WindowKey(int key, Qt::KeyboardModifiers modifiers)
    {
        Combo("DeviceTypeList")->setFocus();
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
    }
    void DropOnto(QWidget* target, const QString& path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    int RecoveryCopies() const
    {
        return int(QDir(RecoveryFolder()).entryList({QStringLiteral("copy-*.txt")}, QDir::Files).size());
    }

    const QString other = PathIn("other.cf8"); // exit delay 44
};

enum class Way { ExitButton, CloseWindow, Open, Recent, Argument, Drop };
enum class Answer { Cancel, Discard, Save, SaveFails };

class Question : public WindowDocument, public ::testing::WithParamInterface<std::tuple<Way, Answer>> {};

TEST_P(Question, EveryWayOfDroppingChangesAsksAndEachAnswerDoesWhatItSays)
{
    const auto [way, answer] = GetParam();
    const bool closes = way == Way::ExitButton || way == Way::CloseWindow;
    if (way == Way::Recent) {
        SettingsSandbox::Store(kSettingRecentFiles, other);
        emit Find<QMenu>("N1")->aboutToShow();
    }
    TypeExitDelay("12");
    ASSERT_TRUE(window->isWindowModified());
    boxes.answers = {answer == Answer::Cancel ? MsgResult::Cancel
                     : answer == Answer::Discard ? MsgResult::Discard
                                                 : MsgResult::Save};
    if (answer == Answer::Save)
        dialogs.paths = {PathIn("saved")};
    if (answer == Answer::SaveFails) {
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken.cf8")));
        dialogs.paths = {PathIn("taken.cf8")}; // a folder is never replaced
    }
    if (way == Way::Open)
        dialogs.paths.push_back(other);

    const std::map<Way, std::function<void()>> start = {
        {Way::ExitButton, [this] { QTest::mouseClick(Button("BtnClose"), Qt::LeftButton); }},
        {Way::CloseWindow, [this] { window->close(); }},
        {Way::Open, [this] { Action("N4")->trigger(); }},
        {Way::Recent, [this] { Action("mnuRecent1")->trigger(); }},
        {Way::Argument, [this] { window->OpenFromOutside(other); }},
        {Way::Drop, [this] { DropOnto(Edit("fldDelayOut"), other); }},
    };
    start.at(way)();
    ASSERT_EVENTUALLY(!boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].text, kQuestion);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::SaveDiscardCancel);

    const bool wentOn = closes ? !window->isVisible() : window->FileName() == other;
    const bool goesOn = answer == Answer::Discard || answer == Answer::Save;
    EXPECT_EQ(wentOn, goesOn);
    EXPECT_EQ(ExitDelay(), goesOn && !closes ? 44 : 12);
    EXPECT_EQ(window->isWindowModified(), answer != Answer::Save && !(answer == Answer::Discard && !closes));
    if (answer == Answer::Save) {
        Configuration saved = StartupConfiguration();
        GprsTexts texts;
        ASSERT_EQ(OpenConfigFile(PathIn("saved.cf8"), saved, texts), 0);
        EXPECT_EQ(saved.main.at(MainOff::out), 12);
    }
    if (answer == Answer::SaveFails) {
        EXPECT_EQ(boxes.shown.back().title, QStringLiteral("Ошибка записи файла"));
    }
    EXPECT_EQ(Edit("fldDelayOut")->text(), QString::number(ExitDelay())) << "a dropped file is no text";
}

INSTANTIATE_TEST_SUITE_P(WaysAndAnswers, Question,
                         ::testing::Combine(::testing::Values(Way::ExitButton, Way::CloseWindow, Way::Open,
                                                              Way::Recent, Way::Argument, Way::Drop),
                                            ::testing::Values(Answer::Cancel, Answer::Discard, Answer::Save,
                                                              Answer::SaveFails)));

TEST_F(WindowDocument, AnUnchangedConfigurationOrOneChangedBackAsksNothing)
{
    window->OpenFromOutside(other);
    ASSERT_EQ(window->FileName(), other);
    TypeExitDelay("12");
    EXPECT_TRUE(window->isWindowModified());
    TypeExitDelay("44");
    EXPECT_FALSE(window->isWindowModified());
    dialogs.paths = {other};
    Action("N4")->trigger();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowDocument, UndoGivesBackTheEarlierBlocksAndRedoTheLater)
{
    const std::function<void()> actions[] = {
        [this] { TypeExitDelay("12"); },
        [this] { SelectModel(1); },
        [this] {
            dialogs.paths = {other};
            Action("N4")->trigger();
        },
        [this] {
            ShowPage(QStringLiteral("PageRazd"));
            QTest::mouseClick(Check("ExpBox3"), Qt::LeftButton);
        },
    };
    std::vector<Configuration> states = {window->Config()};
    for (const auto& act : actions) {
        act();
        states.push_back(window->Config());
    }
    const auto expectState = [this](const Configuration& c, std::size_t step) {
        EXPECT_EQ(window->ModelCode(), c.model) << step;
        EXPECT_EQ(window->Config().main.buf, c.main.buf) << step;
        EXPECT_EQ(window->Config().gsm.buf, c.gsm.buf) << step;
        EXPECT_EQ(Edit("fldDelayOut")->text(), QString::number(c.main.at(MainOff::out))) << step;
    };
    for (std::size_t step = states.size() - 1; step > 0; --step) {
        WindowKey(Qt::Key_Z, Qt::ControlModifier);
        expectState(states[step - 1], step - 1);
    }
    EXPECT_FALSE(Action("mnuUndo")->isEnabled());
    EXPECT_FALSE(window->isWindowModified());
    for (std::size_t step = 1; step < states.size(); ++step) {
        WindowKey(step % 2 ? Qt::Key_Y : Qt::Key_Z, step % 2 ? Qt::ControlModifier
                                                               : Qt::ControlModifier | Qt::ShiftModifier);
        expectState(states[step], step);
    }
    EXPECT_EQ(window->FileName(), other);
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(WindowDocument, AChoiceAGsmListStoresAfterItClosesIsAStepOfItsOwn)
{
    ShowPage(QStringLiteral("PageCXM"));
    QTest::mouseClick(Check("chkCXMExist"), Qt::LeftButton);
    auto* grid = Find<TGsmGrid>(QStringLiteral("grdG1"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 2)).center());
    QComboBox* tries = Combo(QStringLiteral("bxGrTryCnt"));
    ASSERT_EVENTUALLY(tries->isVisible());
    const int before = DestinationTries(window->Config().gsm, 2);
    PickItem(tries, tries->findText(QStringLiteral("3")));
    // Recorded without any further input.
    EXPECT_EVENTUALLY(DestinationTries(window->Doc().Content().cfg.gsm, 2) == 3);
    WindowKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(DestinationTries(window->Config().gsm, 2), before);
    EXPECT_TRUE(Check("chkCXMExist")->isChecked());
    WindowKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Check("chkCXMExist")->isChecked());
}

TEST_F(WindowDocument, AnEditWithTheFocusKeepsItsOwnUndo)
{
    SelectModel(1);
    TypeOver(Edit("fldDelayOut"), QStringLiteral("12"));
    QTest::keyClick(Edit("fldDelayOut"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->ModelCode(), 1) << "the model switch is not undone";
}

TEST_F(WindowDocument, RecentFilesListWhatWasOpenedOrSavedAndDropAVanishedOne)
{
    window->OpenFromOutside(other);
    dialogs.paths = {PathIn("saved")};
    Action("N3")->trigger();
    emit Find<QMenu>("N1")->aboutToShow();
    EXPECT_TRUE(Action("mnuRecent1")->text().endsWith(QDir::toNativeSeparators(PathIn("saved.cf8"))));
    EXPECT_TRUE(Action("mnuRecent2")->text().endsWith(QDir::toNativeSeparators(other)));
    EXPECT_FALSE(Action("mnuRecent3")->isVisible());

    ASSERT_TRUE(QFile::remove(PathIn("saved.cf8")));
    Action("mnuRecent1")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Ошибка чтения файла"));
    EXPECT_EQ(ReadRecentFiles(), QStringList{other});
    EXPECT_TRUE(Action("mnuRecent1")->text().endsWith(QDir::toNativeSeparators(other)));
}

TEST_F(WindowDocument, UnsavedChangesKeepARecoveryCopyUntilTheyAreSaved)
{
    const int others = RecoveryCopies(); // where the data folder cannot be moved (Windows)
    TypeExitDelay("12");
    ASSERT_EVENTUALLY(RecoveryCopies() == others + 1);
    dialogs.paths = {PathIn("kept")};
    Action("N2")->trigger();
    EXPECT_EQ(RecoveryCopies(), others);
}

TEST_F(WindowDocument, ATerminationClosesWithoutAskingAndKeepsTheChanges)
{
    const int others = RecoveryCopies();
    TypeExitDelay("12");
    window->Terminate();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(RecoveryCopies(), others + 1);
}

TEST_F(WindowTest, OnASmallScreenThePagesScrollAndTheButtonsAndTheStatusBarStay)
{
    EXPECT_EQ(window->findChild<QScrollArea*>(), nullptr) << "the window fits the test screen";
    auto* pages = Find<QWidget>("PageMain");
    const QSize pagesSize = pages->size();
    window->FitInto(QSize(900, 420));
    ASSERT_LE(window->height(), 420);
    const auto shown = [this](const QWidget* w) {
        return window->rect().contains(QRect(w->mapTo(window.get(), QPoint()), w->size()));
    };
    EXPECT_EVENTUALLY(shown(window->statusBar()));
    for (const char* name : {"BtnClose", "ButtonRead", "ButtonWrite"})
        EXPECT_TRUE(shown(Button(QString::fromLatin1(name)))) << name;
    auto* scroll = Find<QScrollArea>("scrPages");
    EXPECT_EQ(pages->size(), pagesSize) << "the pages keep their layout";
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
}

} // namespace
} // namespace vk410::test
