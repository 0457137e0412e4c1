// Captions and list texts fit their controls at the desktop's usual font sizes.
#include <QLabel>
#include <QStyleOptionComboBox>

#include "WindowFixture.h"
#include "ui/FormGprs.h"

namespace vk410::test {
namespace {

// A label sized to its text must also not run into a control beside it.
bool Covered(const QLabel* label)
{
    const QRect text(label->pos(), label->sizeHint());
    for (const QWidget* w : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden() && !qobject_cast<const QLabel*>(w) && w->geometry().intersects(text))
            return true;
    return false;
}

// The texts cut off by their control, shown or not. The overlay editors of
// the GSM grids (hidden lists) take their cell's size when they open.
QStringList ClippedTexts(const QWidget* root)
{
    QStringList clipped;
    for (const QLabel* label : root->findChildren<QLabel*>())
        if (!label->text().isEmpty() && (label->sizeHint().width() > label->width() ||
                                         label->sizeHint().height() > label->height() || Covered(label)))
            clipped << label->text();
    for (const QCheckBox* box : root->findChildren<QCheckBox*>())
        if (box->sizeHint().width() > box->width() || box->fontMetrics().height() > box->height())
            clipped << box->text();
    for (const QComboBox* box : root->findChildren<QComboBox*>()) {
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        opt.editable = box->isEditable();
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
        for (int i = 0; i < box->count() && !box->isHidden(); ++i) {
            const int icon = box->itemIcon(i).isNull() ? 0 : box->iconSize().width() + 4;
            if (icon + 1 + box->fontMetrics().horizontalAdvance(box->itemText(i)) > field.width())
                clipped << box->objectName() + QStringLiteral(": ") + box->itemText(i);
        }
    }
    clipped.removeDuplicates();
    return clipped;
}

class DesktopFont : public ::testing::TestWithParam<int> {};

TEST_P(DesktopFont, EveryCaptionAndListTextFits)
{
    const QFont desktop = QApplication::font();
    QFont font = desktop;
    font.setPointSize(GetParam());
    QApplication::setFont(font);
    {
        SettingsSandbox settings;
        RecordingMessageBoxes boxes;
        TForm1 window(boxes);
        new TfrmGPRS(window.Config().gprs, &window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(ClippedTexts(&window).join(QLatin1Char('\n')).toStdString(), "");
    }
    QApplication::setFont(desktop);
}

INSTANTIATE_TEST_SUITE_P(Points, DesktopFont, ::testing::Values(9, 10, 11));

} // namespace
} // namespace vk410::test
