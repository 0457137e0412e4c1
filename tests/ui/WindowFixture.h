#pragma once
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "kit/EmptiedSettingsKey.h"
#include "kit/TestDialogs.h"
#include "kit/UiTestKit.h"
#include "model/MainBlock.h"
#include "ui/FormGprs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

namespace vk410::test {

// Points the user's settings and data folder (the journal) at a folder of
// its own for as long as it lives, so that no test reads or writes the real
// user's or another test's: every test starts as a first start (on Windows,
// whose registry cannot be moved, with the program's key emptied).
class SettingsSandbox {
public:
    SettingsSandbox() : oldData_(qgetenv("XDG_DATA_HOME"))
    {
        EXPECT_TRUE(dir_.isValid()) << dir_.errorString().toStdString();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        qputenv("XDG_DATA_HOME", QDir(dir_.path()).filePath(QStringLiteral("data")).toLocal8Bit());
    }
    ~SettingsSandbox() { qputenv("XDG_DATA_HOME", oldData_); }
    QString Path() const { return dir_.path(); }
    // The stored value as the program stores it (empty when missing).
    static QString Value(const QString& name) { return EmptiedSettingsKey::Store().value(name).toString(); }
    static void Store(const QString& name, const QString& text) { EmptiedSettingsKey::Store().setValue(name, text); }

private:
    QTemporaryDir dir_;
    QByteArray oldData_;
#ifdef _WIN32
    EmptiedSettingsKey key_;
#endif
};

// A control of the window (or any object under root), found by its name.
template <class T> T* Named(const QObject& root, const QString& name)
{
    T* found = root.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline TDropDownBox* PortBoxOf(const TForm1& window) { return Named<TDropDownBox>(window, QStringLiteral("PortNameBox")); }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static_cast<TApplication*>(QApplication::instance())->SetMessageBoxes(&boxes);
        window = std::make_unique<TForm1>(boxes);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        static_cast<TApplication*>(QApplication::instance())->SetMessageBoxes(nullptr);
    }

    template <class T> T* Find(const QString& name) const { return Named<T>(*window, name); }
    QComboBox* Combo(const QString& name) const { return Find<QComboBox>(name); }
    QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
    QCheckBox* Check(const QString& name) const { return Find<QCheckBox>(name); }
    QComboBox* TypeBox(int n) const { return Combo(QStringLiteral("FShlfType%1").arg(n)); }
    QComboBox* EventBox(int n) const { return Combo(QStringLiteral("ShlfEvent%1").arg(n)); }
    QCheckBox* FireBox(int n) const { return Check(QStringLiteral("CheckBoxFire%1").arg(n)); }
    QPushButton* Button(const QString& name) const { return Find<QPushButton>(name); }
    QAction* Action(const QString& name) const { return Find<QAction>(name); } // a menu command
    TDropDownBox* PortBox() const { return PortBoxOf(*window); }
    QTimer* IndTimer() const { return Find<QTimer>(QStringLiteral("IndTimer")); }

    uint8_t Byte(std::size_t off) const { return window->Config().main.at(off); }
    uint8_t& RawByte(std::size_t off) { return window->Config().main.at(off); }

    // Brings a page to the front, the hidden radio page included.
    void ShowPage(const QString& name)
    {
        auto* pages = Find<QTabWidget>(QStringLiteral("PageMain"));
        QWidget* page = Find<QWidget>(name);
        pages->setTabVisible(pages->indexOf(page), true);
        pages->setTabEnabled(pages->indexOf(page), true);
        pages->setCurrentWidget(page);
        ASSERT_TRUE(WaitFor([page] { return page->isVisible(); }));
    }

    void SelectModel(int model) { ClickItem(Combo(QStringLiteral("DeviceTypeList")), model); }

    SettingsSandbox settings;
    RecordingMessageBoxes boxes;
    std::unique_ptr<TForm1> window;
};

// The window with its GPRS dialog, scripted file dialogs and a folder of its own for files.
class WindowFilesTest : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        WindowTest::SetUp();
        window->SetFileDialogs(&dialogs);
        gprs = new TfrmGPRS(window->Config().gprs, window.get());
        window->SetGprsDialog(gprs);
    }
    QString PathIn(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
    ScriptedFileDialogs dialogs;
    TfrmGPRS* gprs = nullptr; // the window's child
};

} // namespace vk410::test
