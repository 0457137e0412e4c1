#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "GsmPageFixture.h"
#include "kit/TestDialogs.h"
#include "ui/widgets/MaskEdit.h"

namespace vk410 {
namespace {

const QString kIpMask = QStringLiteral("!000.000.000.000:00000;1;_");
const QString kPhoneMask = QStringLiteral("999999999999;1; ");
const QString kDevMask = QStringLiteral("!0000;0;_");

struct FormatCase {
    QString mask;
    QString text;
    QString display;
    QString value;
    bool complete;
};

TEST(EditMask, FormatsReadsAndJudgesTexts)
{
    const FormatCase cases[] = {
        {kDevMask, "0007", "0007", "0007", true},
        {kDevMask, "7", "___7", "   7", false},     // '!' puts a short text at the end
        {kDevMask, "65535", "6553", "6553", true},  // excess dropped
        {kDevMask, "12a4", "12_4", "12 4", false},  // a misfit leaves its position blank
        {kPhoneMask, "79031234567", "79031234567 ", "79031234567 ", true},
        {kPhoneMask, "", "            ", "            ", true},
        {kIpMask, "127.000.000.001:24333", "127.000.000.001:24333", "127.000.000.001:24333", true},
        {kIpMask, "", "___.___.___.___:_____", "   .   .   .   :     ", false},
        {kIpMask, "12", "12_.___.___.___:_____", "12 .   .   .   :     ", false},
        {"+0\\(000\\)-000-00-00;0;_", "79031234567", "+7(903)-123-45-67", "79031234567", true},
        {"LL-99;1;*", "ab-1", "ab-1*", "ab-1 ", true},
        {"LL-99;1;*", "a", "a*-**", "a -  ", false},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE((c.mask + " <- " + c.text).toStdString());
        const EditMask m = EditMask::Parse(c.mask);
        const QString display = m.Format(c.text);
        EXPECT_EQ(display, c.display);
        EXPECT_EQ(m.Value(display), c.value);
        EXPECT_EQ(m.Complete(display), c.complete);
        EXPECT_TRUE(m.WellFormed(display));
    }
}

TEST(EditMask, RefusesTextsOutOfShape)
{
    const EditMask ip = EditMask::Parse(kIpMask);
    EXPECT_FALSE(ip.WellFormed("127.000.000.001:2433"));  // short
    EXPECT_FALSE(ip.WellFormed("127,000.000.001:24333")); // literal moved
    EXPECT_FALSE(ip.WellFormed("1a7.000.000.001:24333")); // misfit
    EXPECT_TRUE(EditMask::Parse("").Empty());
}

class MaskEditTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 100);
        edit = new TMaskEdit(msgs, &window);
        edit->setGeometry(10, 10, 200, 28);
        other = new QLineEdit(&window);
        other->setGeometry(10, 50, 200, 28);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void Start(const QString& mask, const QString& text)
    {
        edit->SetEditMask(mask);
        edit->SetText(text);
        edit->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Home);
    }

    void Leave() { QTest::keyClick(edit, Qt::Key_Tab); }

    test::RecordingMessageBoxes msgs;
    QWidget window;
    TMaskEdit* edit = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(MaskEditTest, TypingOverwritesAndSkipsLiterals)
{
    Start(kIpMask, "127.000.000.001:24333");
    QTest::keyClicks(edit, "010000000001" "40000");
    EXPECT_EQ(edit->Text(), "010.000.000.001:40000");
    // A literal typed at its own place steps over it; letters never enter.
    Start(kIpMask, "");
    QTest::keyClicks(edit, "1x2");
    EXPECT_EQ(edit->text(), "12_.___.___.___:_____");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "9");
    EXPECT_EQ(edit->text(), "12_.___.___.___:_____") << "nothing after the last position";
}

TEST_F(MaskEditTest, AddressesTypedAndPastedAsWritten)
{
    const struct {
        const char* input;
        bool paste;
        const char* display;
    } cases[] = {
        {"192.168.1.2:24333", false, "192.168.001.002:24333"},
        {"1.2.3.4:5", false, "001.002.003.004:5____"}, // typing does not end the port
        {"1..2", false, "001.2__.___.___:_____"},      // the literal after a number's end is skipped
        {".:5", false, "5__.___.___.___:_____"},       // nothing typed yet: nothing to end
        {"10.0.0.1:5000", true, "010.000.000.001:05000"},
        {"10.0.0.1", true, "010.000.000.001:_____"},
        {"5000", true, "500.0__.___.___:_____"}, // digits alone fill position by position
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        Start(kIpMask, "127.000.000.001:24333");
        edit->selectAll();
        if (c.paste) {
            QApplication::clipboard()->setText(c.input);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(edit, c.input);
        }
        EXPECT_EQ(edit->text(), c.display);
    }
    // A refused key leaves the text and its selection as they were.
    Start(kIpMask, "127.000.000.001:24333");
    edit->selectAll();
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(edit->selectedText(), "127.000.000.001:24333");
    // The context menu's paste goes the same way.
    QApplication::clipboard()->setText("10.1.2.3:80");
    QTimer::singleShot(0, edit, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction* action : menu->actions())
            if (action->text().startsWith(paste))
                action->trigger();
        menu->close();
    });
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &menuKey);
    EXPECT_EQ(edit->text(), "010.001.002.003:00080");
}

TEST_F(MaskEditTest, BackspaceDeleteAndSelectionBlankPositions)
{
    Start(kIpMask, "192.168.001.002:24333");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "192.168.001.002:2433_");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "_92.168.001.002:2433_");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClicks(edit, "5");
    EXPECT_EQ(edit->text(), "5__.___.___.___:_____");
    EXPECT_EQ(edit->text().size(), 21);
}

TEST_F(MaskEditTest, IncompleteChangedTextCannotBeLeftUntilEscape)
{
    QSignalSpy exited(edit, &TMaskEdit::exited);
    Start(kIpMask, "127.000.000.001:24333");
    QTest::keyClick(edit, Qt::Key_Delete);
    Leave();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(msgs.beeps, 1);
    ASSERT_EVENTUALLY(msgs.errors.size() == std::size_t(1));
    EXPECT_EQ(msgs.errors[0], "Invalid input value.  Use escape key to abandon changes");
    EXPECT_EQ(exited.count(), 0);

    // A click elsewhere is refused the same way.
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(msgs.beeps, 2);

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "127.000.000.001:24333");
    Leave();
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(exited.count(), 1);
    EXPECT_EQ(msgs.beeps, 2);
}

TEST_F(MaskEditTest, EscapeRestoresTheTextOfTheEditsBeginning)
{
    Start(kDevMask, "0007");
    QTest::keyClicks(edit, "12");
    EXPECT_EQ(edit->Text(), "1207");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "0007");
    EXPECT_FALSE(edit->Modified());
}

TEST_F(MaskEditTest, LeavingIsAllowedWhenUnchangedOrOptional)
{
    QSignalSpy exited(edit, &TMaskEdit::exited);
    // An incomplete text the user did not touch.
    Start(kIpMask, "");
    Leave();
    EXPECT_EQ(exited.count(), 1);
    // Optional positions only: an emptied phone never refuses.
    Start(kPhoneMask, "79031234567");
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(edit, Qt::Key_Delete);
    Leave();
    EXPECT_EQ(exited.count(), 2);
    EXPECT_EQ(msgs.beeps, 0);
}

TEST_F(MaskEditTest, ExtraCheckRefusesACompleteText)
{
    edit->SetExtraCheck([](const QString& t) { return t.left(3).toUInt() <= 255; });
    Start(kIpMask, "127.000.000.001:24333");
    QTest::keyClicks(edit, "999");
    Leave();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(msgs.beeps, 1);
}

TEST_F(MaskEditTest, HiddenWhileIncompleteAbandonsTheChange)
{
    QSignalSpy exited(edit, &TMaskEdit::exited);
    Start(kIpMask, "127.000.000.001:24333");
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->hide();
    EXPECT_EQ(edit->Text(), "127.000.000.001:24333");
    EXPECT_EQ(exited.count(), 1);
    EXPECT_EQ(msgs.beeps, 0);
}

TEST_F(MaskEditTest, PasteTypesThroughTheMaskAndOtherInsertsKeepTheShape)
{
    Start(kDevMask, "0000");
    QApplication::clipboard()->setText("1a2-3 4 5");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "1234");
    // Inserts that bypass the keys (context menu, input methods) must not
    // change the text's shape.
    edit->selectAll();
    edit->insert("12ab");
    EXPECT_EQ(edit->Text(), "1234");
    edit->setCursorPosition(4);
    edit->insert("5");
    EXPECT_EQ(edit->Text(), "1234");
    // Cut leaves blanks, not a shorter text.
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "_234");
    EXPECT_EQ(QApplication::clipboard()->text(), "1");
}

} // namespace
} // namespace vk410
