#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "UiTestKit.h"
#include "model/MainBlock.h"
#include "ui/Dialogs.h"
#include "ui/FormUnit1.h"
#include "ui/widgets/TApplication.h"

namespace vk410::test {

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

    template <class T> T* Find(const QString& name) const
    {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QComboBox* Combo(const QString& name) const { return Find<QComboBox>(name); }
    QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
    QCheckBox* Check(const QString& name) const { return Find<QCheckBox>(name); }
    QComboBox* TypeBox(int n) const { return Combo(QStringLiteral("FShlfType%1").arg(n)); }
    QComboBox* EventBox(int n) const { return Combo(QStringLiteral("ShlfEvent%1").arg(n)); }
    QCheckBox* FireBox(int n) const { return Check(QStringLiteral("CheckBoxFire%1").arg(n)); }

    uint8_t Byte(std::size_t off) const { return window->Config().main.at(off); }
    uint8_t& RawByte(std::size_t off) { return window->Config().main.at(off); }

    // Brings a page to the front, the hidden radio page included.
    void ShowPage(const QString& name)
    {
        auto* pages = Find<QTabWidget>(QStringLiteral("PageMain"));
        QWidget* page = Find<QWidget>(name);
        pages->setTabVisible(pages->indexOf(page), true);
        pages->setCurrentWidget(page);
        ASSERT_TRUE(WaitFor([page] { return page->isVisible(); }));
    }

    void SelectModel(int model) { ClickItem(Combo(QStringLiteral("DeviceTypeList")), model); }

    RecordingMessageBoxes boxes;
    std::unique_ptr<TForm1> window;
};

} // namespace vk410::test
