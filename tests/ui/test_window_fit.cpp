// Captions and list texts fit their controls at the desktop's usual font sizes.
#include <QLabel>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <cstdlib>

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

// How far the most distinct pixel of the picture stands from the colour it lies on.
int Contrast(const QImage& picture, const QColor& ground)
{
    int most = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb px = picture.pixel(x, y);
            const int alpha = qAlpha(px);
            const int shown = (qGray(px) * alpha + qGray(ground.rgb()) * (255 - alpha)) / 255;
            most = std::max(most, std::abs(shown - qGray(ground.rgb())));
        }
    return most;
}

TEST(DarkPalette, TabIconsAndDisabledCheckBoxesStayVisible)
{
    const QPalette desktop = QApplication::palette();
    QPalette dark;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(53, 53, 53)}, {QPalette::WindowText, QColor(Qt::white)},
                                      {QPalette::Base, QColor(35, 35, 35)}, {QPalette::Text, QColor(Qt::white)},
                                      {QPalette::Button, QColor(53, 53, 53)}, {QPalette::ButtonText, QColor(Qt::white)}})
        dark.setColor(role, colour);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    QApplication::setPalette(dark);
    {
        SettingsSandbox settings;
        RecordingMessageBoxes boxes;
        TForm1 window(boxes);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageMain"));
        const QColor ground = pages->palette().color(QPalette::Window);
        for (int i = 0; i < pages->count(); ++i)
            EXPECT_GE(Contrast(pages->tabIcon(i).pixmap(16).toImage(), ground), 80) << pages->tabText(i).toStdString();
        // Loop 1 is no fire loop at start: its power-reset box is disabled.
        auto* box = window.findChild<QCheckBox*>(QStringLiteral("CheckBoxFire1"));
        ASSERT_FALSE(box->isEnabled());
        QStyleOptionButton opt;
        opt.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, box);
        EXPECT_GE(Contrast(box->grab().toImage().copy(indicator), box->palette().color(QPalette::Window)), 50);
    }
    QApplication::setPalette(desktop);
}

} // namespace
} // namespace vk410::test
