// The file menu and the port box of the main window, driven through the menu
// actions with scripted file dialogs, each test in a settings folder of its own.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "WindowFixture.h"
#include "files/FileOps.h"
#include "files/PortList.h"
#include "files/ShortPath.h"
#include "link/PanelLink.h"
#include "link/PortName.h"
#include "model/CXMGSM.h"
#include "ui/FormGprs.h"
#include "ui/GsmGrid.h"
#include "ui/widgets/MaskEdit.h"

namespace vk410::test {
namespace {

const QString kCaption = QStringLiteral("Программатор Varko-410 (серия N)");

class WindowFiles : public WindowFilesTest {
protected:
    QString FolderSlash() const { return QDir::toNativeSeparators(folder.path()) + QDir::separator(); }

    static void WriteFile(const QString& path, const std::string& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
    }
    static std::string ReadFile(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll().toStdString();
    }

    // What a failed open must leave alone.
    struct Snapshot {
        Configuration cfg;
        GprsTexts texts;
        QString caption, status, file, folderSetting;
        int model;
    };
    Snapshot Take() const
    {
        return {window->Config(), gprs->Texts(), window->windowTitle(), window->StatusText(),
                window->FileName(), SettingsSandbox::Value("filepath"),
                Combo("DeviceTypeList")->currentIndex()};
    }
    void ExpectUnchanged(const Snapshot& s) const
    {
        const Snapshot now = Take();
        EXPECT_EQ(now.cfg.model, s.cfg.model);
        EXPECT_EQ(now.cfg.main.buf, s.cfg.main.buf);
        EXPECT_EQ(now.cfg.gsm.buf, s.cfg.gsm.buf);
        EXPECT_EQ(now.texts, s.texts);
        EXPECT_EQ(now.caption, s.caption);
        EXPECT_EQ(now.status, s.status);
        EXPECT_EQ(now.file, s.file);
        EXPECT_EQ(now.folderSetting, s.folderSetting);
        EXPECT_EQ(now.model, s.model);
    }
};

// A model 1 file: Meridian count 5, CXM module with device number 321 and GPRS texts.
std::string Model1FileText(GprsTexts& texts)
{
    Configuration c = StartupConfiguration();
    c.model = 1;
    LoadDefaults(c.main, 1);
    c.main.at(MainOff::qnt) = 5;
    c.main.at(MainOff::out) = 44;
    c.main.at(MainOff::state) = 1;
    c.gsm.at(GsmOff::useGPRScfg) = 1;
    SetDeviceNum(c.gsm, 321);
    texts = {"internet.test", "user", "secret", "apn2.test", "", ""};
    return BuildConfigText(c, texts, 1);
}

TEST_F(WindowFiles, SaveAsWithoutExtensionAppendsItAndRemembersTheFolder)
{
    dialogs.paths = {PathIn("panel")};
    Action("N3")->trigger();
    ASSERT_EQ(dialogs.titles.size(), 1u);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("Сохранить настройки панели как"));
    // A first start opens the dialog in the current folder.
    EXPECT_EQ(dialogs.dirs[0], QDir::toNativeSeparators(QDir::currentPath()));
    const QString saved = PathIn("panel.cf8");
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_FALSE(QFile::exists(PathIn("panel")));
    EXPECT_EQ(window->FileName(), saved);
    EXPECT_EQ(window->windowTitle(), ShortPathName(saved) + " : " + kCaption + "[*]");
    EXPECT_EQ(window->StatusText(), QStringLiteral("Файл сохранен"));
    EXPECT_EQ(SettingsSandbox::Value("filepath"), FolderSlash());

    // The next dialog starts in the remembered folder.
    dialogs.paths = {QString()};
    Action("N4")->trigger();
    EXPECT_EQ(dialogs.titles.back(), QStringLiteral("Открыть файл конфигурации"));
    EXPECT_EQ(dialogs.dirs.back(), FolderSlash());
}

TEST_F(WindowFiles, SaveRightAfterStartAsksForANameThenSavesInPlace)
{
    dialogs.paths = {PathIn("first.cf8")};
    Action("N2")->trigger();
    ASSERT_EQ(dialogs.titles.size(), 1u);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("Сохранить настройки панели как"));
    const std::string before = ReadFile(PathIn("first.cf8"));
    ASSERT_NE(before.find("<out>15</out>"), std::string::npos);

    RawByte(MainOff::out) = 42;
    Action("N2")->trigger();
    EXPECT_EQ(dialogs.titles.size(), 1u) << "a named file is saved without a dialog";
    EXPECT_NE(ReadFile(PathIn("first.cf8")).find("<out>42</out>"), std::string::npos);
}

TEST_F(WindowFiles, CancelledDialogsChangeNothing)
{
    SettingsSandbox::Store("filepath", FolderSlash());
    const Snapshot s = Take();
    dialogs.paths = {QString(), QString(), QString()};
    Action("N4")->trigger();
    Action("N3")->trigger();
    Action("N2")->trigger();
    EXPECT_EQ(dialogs.titles.size(), 3u);
    ExpectUnchanged(s);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(WindowFiles, SavedFileOpensBackAfterTheModelWasChanged)
{
    PickItem(TypeBox(2), 3); // fire
    PickItem(EventBox(2), 10);
    const auto edited = window->Config().main.buf;
    dialogs.paths = {PathIn("edited.cf8")};
    Action("N3")->trigger();
    ASSERT_EQ(window->StatusText(), QStringLiteral("Файл сохранен"));

    SelectModel(1);
    ASSERT_EQ(window->ModelCode(), 1);
    window->SetStatusText(QString());
    dialogs.paths = {PathIn("edited.cf8")};
    Action("N4")->trigger();
    EXPECT_EQ(window->ModelCode(), 0);
    EXPECT_EQ(Combo("DeviceTypeList")->currentIndex(), 0);
    EXPECT_FALSE(Check("chkMRD")->isVisible());
    // The radio bytes (0..3) are not kept in files; everything else comes back.
    EXPECT_TRUE(std::equal(edited.begin() + 8, edited.begin() + 4 + 27, window->Config().main.buf.begin() + 8));
    EXPECT_EQ(TypeBox(2)->currentIndex(), 3);
    EXPECT_EQ(EventBox(2)->currentIndex(), 10);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Файл открыт"));
    EXPECT_EQ(window->windowTitle(), ShortPathName(PathIn("edited.cf8")) + " : " + kCaption + "[*]");
}

TEST_F(WindowFiles, OpeningAModelOneFileWhileModelZeroIsShown)
{
    GprsTexts texts;
    WriteFile(PathIn("m1.cf8"), Model1FileText(texts));
    dialogs.paths = {PathIn("m1.cf8")};
    Action("N4")->trigger();
    ASSERT_TRUE(boxes.shown.empty());
    EXPECT_EQ(window->ModelCode(), 1);
    EXPECT_EQ(Combo("DeviceTypeList")->currentIndex(), 1);
    // No defaults were loaded over the file's block.
    EXPECT_TRUE(Check("chkMRD")->isVisible());
    EXPECT_TRUE(Check("chkMRD")->isChecked());
    EXPECT_EQ(Edit("edtMRD")->text(), "5");
    EXPECT_EQ(Edit("fldDelayOut")->text(), "44");
    EXPECT_TRUE(Check("chkCXMExist")->isChecked());
    EXPECT_EQ(DeviceNum(window->Config().gsm), 321u);
    EXPECT_EQ(gprs->Texts(), texts);
    EXPECT_EQ(window->FileName(), PathIn("m1.cf8"));
    EXPECT_EQ(SettingsSandbox::Value("filepath"), FolderSlash());
    EXPECT_EQ(window->StatusText(), QStringLiteral("Файл открыт"));
}

TEST_F(WindowFiles, RejectedFilesChangeNothing)
{
    GprsTexts texts;
    std::string wrongId = Model1FileText(texts);
    wrongId.replace(wrongId.find("FileID=\"6\""), 10, "FileID=\"7\"");
    const std::string good = Model1FileText(texts);
    const struct {
        const char* name;
        std::string bytes; // empty: no such file
        const char* where; // the place of a broken structure
    } cases[] = {
        {"missing.cf8", {}, nullptr},
        {"wrong-id.cf8", wrongId, nullptr},
        {"truncated.cf8", good.substr(0, good.find("<device")), "строка 3, столбец 2: файл обрывается"},
        {"broken-cxm.cf8", std::string(good).replace(good.find("<SMS_Destinations"), 1, "<!"),
         "строка 26, столбец 377: недопустимый тег"},
        {"short-pdu.cf8", std::string(good).replace(good.find("pdu=\"") + 5, 1, ""), nullptr},
    };
    RawByte(MainOff::out) = 21;
    window->SetStatusText(QStringLiteral("before"));
    SettingsSandbox::Store("filepath", QStringLiteral("/elsewhere/"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty())
            WriteFile(PathIn(c.name), c.bytes);
        const Snapshot s = Take();
        boxes.shown.clear();
        dialogs.paths = {PathIn(c.name)};
        Action("N4")->trigger();
        // The question about the changed delay, then the file's box.
        ASSERT_EQ(boxes.shown.size(), 2u);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::SaveDiscardCancel);
        EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Error);
        EXPECT_EQ(boxes.shown[1].title, QStringLiteral("Ошибка чтения файла"));
        QString text = QStringLiteral("Файл поврежден или не найден");
        if (c.where)
            text += QStringLiteral("\r\n") + PathIn(c.name) + QStringLiteral(": ") + QString::fromUtf8(c.where);
        EXPECT_EQ(boxes.shown[1].text, text);
        ExpectUnchanged(s);
    }
}

TEST_F(WindowFiles, NonIntegerValueReachesTheErrorBoxAndChangesNothing)
{
    GprsTexts texts;
    std::string bad = Model1FileText(texts);
    bad.replace(bad.find("<out>44</out>"), 13, "<out>4x</out>");
    WriteFile(PathIn("bad.cf8"), bad);
    SettingsSandbox::Store("filepath", QStringLiteral("/elsewhere/"));
    const Snapshot s = Take();
    dialogs.paths = {PathIn("bad.cf8")};
    // Through the shortcut, as the user opens it, so the application's box catches it.
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return !boxes.errors.empty(); }));
    EXPECT_EQ(boxes.errors[0], QStringLiteral("'4x' is not a valid integer value"));
    EXPECT_TRUE(boxes.shown.empty());
    ExpectUnchanged(s);
}

TEST_F(WindowFiles, FailedSaveSaysSoAndChangesNothingElse)
{
    dialogs.paths = {PathIn("ok.cf8")};
    Action("N3")->trigger();
    window->SetStatusText(QStringLiteral("edited"));
    const Snapshot s = Take();
    const QString unwritable = PathIn("no-such-folder/x.cf8");
    dialogs.paths = {unwritable};
    Action("N3")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Ошибка записи файла"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Не удалось сохранить файл:\r\n") + unwritable);
    ExpectUnchanged(s);
    // The file name stayed, so a plain save goes on writing the good file.
    Action("N2")->trigger();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Файл сохранен"));
}

TEST_F(WindowFiles, SaveCommitsTheEditorThatHasTheFocus)
{
    SelectModel(1);
    QTest::mouseClick(Check("chkMRD"), Qt::LeftButton);
    ASSERT_TRUE(Edit("edtMRD")->isEnabled());
    TypeOver(Edit("edtMRD"), QStringLiteral("7"));
    ASSERT_TRUE(Edit("edtMRD")->hasFocus());
    dialogs.paths = {PathIn("mrd.cf8")};
    Action("N3")->trigger();
    EXPECT_TRUE(Edit("edtMRD")->hasFocus()) << "the focus goes back, not to \"Выход\"";
    EXPECT_EQ(Byte(MainOff::qnt), 7);
    EXPECT_NE(ReadFile(PathIn("mrd.cf8")).find("<Meridian qnt=\"7\"/>"), std::string::npos);

    // A count that is no number is reported, and the save does not happen.
    TypeOver(Edit("edtMRD"), QString());
    window->SetStatusText(QString());
    Action("N2")->trigger();
    ASSERT_TRUE(WaitFor([this] { return !boxes.errors.empty(); }));
    EXPECT_EQ(boxes.errors[0], QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(window->StatusText(), QString());
}

TEST_F(WindowFiles, FileAndPanelCommandsWaitForAnEditorThatRefuses)
{
    Configuration& cfg = window->Config();
    cfg.main.at(MainOff::state) = 1;
    SetDestinationTries(cfg.gsm, 1, 1);
    SetDestinationProtocol(cfg.gsm, dpSIAIP, 1);
    window->RefreshControls();
    ShowPage(QStringLiteral("PageCXM"));
    auto* grid = Find<TGsmGrid>(QStringLiteral("grdG1"));
    auto* editor = Find<TMaskEdit>(QStringLiteral("medtGrPhHst"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 5)).center());
    ASSERT_TRUE(editor->hasFocus());
    QTest::keyClicks(editor, QStringLiteral("1"));
    const auto gsm = cfg.gsm.buf;

    dialogs.paths = {PathIn("refused.cf8")};
    bool printerAsked = false;
    window->SetPrinterQuestion([&printerAsked](QWidget*, QPrinter&) {
        printerAsked = true;
        return false;
    });
    for (QAction* command : {Action("N3"), Action("N2"), Action("N4"), Action("mnuPrint"), Action("mnuExportPdf"),
                             Action("mnuCompareFile"), Action("mnuCompareDevice")})
        command->trigger();
    EXPECT_FALSE(printerAsked);
    ASSERT_TRUE(WaitFor([this] { return !boxes.errors.empty(); }));
    // The button's press and its command both meet the refusal: one box.
    const std::size_t shown = boxes.errors.size();
    QTest::mouseClick(Button("ButtonRead"), Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_EQ(boxes.errors.size(), shown + 1);
    EXPECT_TRUE(Button("ButtonRead")->isEnabled()) << "a read started";
    QTest::mouseClick(Button("ButtonWrite"), Qt::LeftButton);
    EXPECT_TRUE(Button("ButtonWrite")->isEnabled()) << "a write started";
    EXPECT_TRUE(dialogs.titles.empty());
    EXPECT_TRUE(window->StatusText().isEmpty());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(cfg.gsm.buf, gsm);

    // Given up with Esc, the editor lets the save through.
    QTest::keyClick(editor, Qt::Key_Escape);
    Action("N3")->trigger();
    EXPECT_TRUE(QFile::exists(PathIn("refused.cf8")));
}

// The port box at start-up and as the user types, with settings set up
// before the window exists.
class PortBoxStartup : public ::testing::Test {
protected:
    std::unique_ptr<TForm1> Open()
    {
        auto w = std::make_unique<TForm1>(boxes);
        w->show();
        return w;
    }
    static QString Device(const TForm1& w) { return w.Link().CommPortDriver1().PortName(); }

    SettingsSandbox settings;
    RecordingMessageBoxes boxes;
};

TEST_F(PortBoxStartup, FirstStartStoresComOne)
{
    ASSERT_TRUE(SettingsSandbox::Value("comportname").isEmpty());
    auto w = Open();
    EXPECT_EQ(SettingsSandbox::Value("comportname"), "COM1");
    EXPECT_EQ(PortBoxOf(*w)->currentText(), "COM1");
    EXPECT_EQ(Device(*w), DeviceForPortText("COM1"));
}

TEST_F(PortBoxStartup, RememberedPortIsShownAndUsedEvenWhenNotListed)
{
    SettingsSandbox::Store("comportname", "COM7");
    auto w = Open();
    EXPECT_EQ(PortBoxOf(*w)->currentText(), "COM7");
    EXPECT_EQ(Device(*w), DeviceForPortText("COM7"));
}

TEST_F(PortBoxStartup, DropDownReadsThePortsAgainAndKeepsTheChoice)
{
    SettingsSandbox::Store("comportname", "COM7");
    auto w = Open();
    PortBoxOf(*w)->SetItems({QStringLiteral("ttyGONE")}, {});
    PortBoxOf(*w)->showPopup();
    PortBoxOf(*w)->hidePopup();
    QStringList items;
    for (int i = 0; i < PortBoxOf(*w)->count(); ++i)
        items << PortBoxOf(*w)->itemText(i);
    EXPECT_EQ(items, ListSerialPorts());
    EXPECT_EQ(PortBoxOf(*w)->currentText(), "COM7");
    EXPECT_EQ(SettingsSandbox::Value("comportname"), "COM7");
    EXPECT_EQ(Device(*w), DeviceForPortText("COM7"));
}

TEST_F(PortBoxStartup, TypingStoresEveryTextAndTheDeviceFollowsNamedPortsOnly)
{
    auto w = Open();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    PortBoxOf(*w)->addItem(QStringLiteral("COM1")); // a listed port completes nothing typed
    QLineEdit* line = PortBoxOf(*w)->lineEdit();
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    const struct {
        char key;
        const char* stored;
        const char* devicePort; // the port text whose device is open
    } steps[] = {
        {'C', "C", "COM1"},     {'O', "CO", "COM1"},      {'M', "COM", "COM"},
        {'1', "COM1", "COM1"},  {'2', "COM12", "COM12"},
    };
    for (const auto& s : steps) {
        QTest::keyClicks(line, QString(QLatin1Char(s.key)));
        EXPECT_EQ(SettingsSandbox::Value("comportname"), s.stored);
        EXPECT_EQ(Device(*w), DeviceForPortText(s.devicePort)) << s.stored;
        // The whole text and the device it stands for, as typed, or that it stands for none.
        const QString stored = QString::fromLatin1(s.stored);
        const QString meaning = DeviceForPortText(stored).isEmpty()
                                    ? PortNotUnderstoodText(stored)
                                    : QStringLiteral("Устройство: ") + QDir::toNativeSeparators(Device(*w));
        EXPECT_EQ(PortBoxOf(*w)->toolTip(), stored + QLatin1Char('\n') + meaning);
    }
    // Lower case names the port too; a text naming none is remembered only.
    PortBoxOf(*w)->setEditText(QStringLiteral("com5"));
    EXPECT_EQ(Device(*w), DeviceForPortText("COM5"));
    PortBoxOf(*w)->setEditText(QStringLiteral("p1"));
    EXPECT_EQ(SettingsSandbox::Value("comportname"), "p1");
    EXPECT_EQ(Device(*w), DeviceForPortText("COM5"));
    EXPECT_EQ(PortBoxOf(*w)->toolTip(), QStringLiteral("p1\n") + PortNotUnderstoodText(QStringLiteral("p1")));
    const QString longPath = QStringLiteral("/tmp/vedu-gui-session-2025/panel");
    PortBoxOf(*w)->setEditText(longPath);
    EXPECT_TRUE(PortBoxOf(*w)->toolTip().startsWith(longPath + QLatin1Char('\n')));
}

} // namespace
} // namespace vk410::test
