// The drop-down box behind the port box: a refill is no user's choice, the
// list is filled afresh before it opens, descriptions show as tooltips.
#include <QSignalSpy>

#include "kit/UiTestKit.h"
#include "ui/widgets/DropDownBox.h"

namespace vk410::test {
namespace {

TEST(DropDownBox, RefillKeepsTheTextSilentlyAndDescriptionsFollowTheText)
{
    TDropDownBox box;
    box.setEditable(true);
    box.SetItems({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")},
                 {QStringLiteral("Встроенный порт"), QStringLiteral("FTDI FT232R")});
    box.setEditText(QStringLiteral("ttyUSB0"));
    EXPECT_EQ(box.toolTip(), QStringLiteral("ttyUSB0\nFTDI FT232R"));

    QSignalSpy edits(&box, &QComboBox::editTextChanged);
    QSignalSpy indexes(&box, &QComboBox::currentIndexChanged);
    box.SetItems({QStringLiteral("ttyACM0"), QStringLiteral("ttyUSB0")}, {QString(), QStringLiteral("CH340")});
    EXPECT_EQ(box.currentText(), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.toolTip(), QStringLiteral("ttyUSB0\nCH340"));
    EXPECT_EQ(box.itemData(0, Qt::ToolTipRole).toString(), QString());
    EXPECT_EQ(edits.count(), 0);
    EXPECT_EQ(indexes.count(), 0);

    // A text that is no item, and a refill that drops the item shown.
    box.setEditText(QStringLiteral("/dev/ttyX"));
    EXPECT_EQ(box.toolTip(), QStringLiteral("/dev/ttyX"));
    box.setEditText(QStringLiteral("ttyUSB0"));
    box.SetItems({QStringLiteral("ttyS0")}, {});
    EXPECT_EQ(box.currentText(), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(box.toolTip(), QStringLiteral("ttyUSB0"));
}

TEST(DropDownBox, ListIsFilledBeforeItOpens)
{
    TDropDownBox box;
    box.setEditable(true);
    box.show();
    bool listWasHidden = false;
    QObject::connect(&box, &TDropDownBox::dropDown, &box, [&] {
        listWasHidden = !box.view()->isVisible();
        box.SetItems({QStringLiteral("ttyUSB3")}, {QStringLiteral("plugged in just now")});
    });
    box.showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.view()->window()));
    EXPECT_TRUE(listWasHidden);
    EXPECT_EQ(box.view()->model()->rowCount(), 1);
    EXPECT_EQ(box.itemText(0), QStringLiteral("ttyUSB3"));
    box.hidePopup();
}

} // namespace
} // namespace vk410::test
