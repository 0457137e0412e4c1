// Captions and list texts fit their controls at the desktop's usual font sizes.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionComboBox>

#include "WindowFixture.h"
#include "ui/FormGprs.h"

namespace vk410::test {
namespace {

QString Clip(const QWidget* w, const QString& text, int need)
{
    return QStringLiteral("%1 \"%2\" needs %3 of %4").arg(w->objectName(), text).arg(need).arg(w->width());
}

// A label sized to its text must not run into a control beside it.
bool Covered(const QLabel* label)
{
    const QRect text(label->pos(), label->sizeHint());
    for (const QObject* o : label->parent()->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && w != label && !w->isHidden() && !qobject_cast<const QLabel*>(w) && w->geometry().intersects(text))
            return true;
    }
    return false;
}

// What a closed list shows of each of its items: icon, then text, inside the edit field.
void ListItems(const QComboBox* box, QStringList& clipped)
{
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = box->isEditable();
    opt.frame = box->hasFrame();
    opt.iconSize = box->iconSize();
    const int field =
        box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width();
    for (int i = 0; i < box->count(); ++i) {
        const int icon = box->itemIcon(i).isNull() ? 0 : box->iconSize().width() + 4;
        const int need = icon + 1 + box->fontMetrics().horizontalAdvance(box->itemText(i));
        if (need > field)
            clipped << Clip(box, box->itemText(i), need);
    }
}

// The texts cut off by their control, shown or not. The overlay editors of
// the GSM grids are left out: they take their cell's size when they open.
QStringList ClippedTexts(const QWidget* root)
{
    QStringList clipped;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        const QSize need = label->sizeHint();
        if (label->text().isEmpty())
            continue;
        if (need.width() > label->width() || need.height() > label->height() || Covered(label))
            clipped << Clip(label, label->text(), need.width());
    }
    for (const QCheckBox* box : root->findChildren<QCheckBox*>()) {
        const int need = box->sizeHint().width();
        if (need > box->width() || box->fontMetrics().height() > box->height())
            clipped << Clip(box, box->text(), need);
    }
    for (const QGroupBox* group : root->findChildren<QGroupBox*>()) {
        const int need = group->fontMetrics().horizontalAdvance(group->title()) + 16;
        if (need > group->width())
            clipped << Clip(group, group->title(), need);
    }
    for (const QComboBox* box : root->findChildren<QComboBox*>())
        if (!box->isHidden())
            ListItems(box, clipped);
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
        auto* gprs = new TfrmGPRS(window.Config().gprs, &window);
        window.SetGprsDialog(gprs);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QStringList clipped = ClippedTexts(&window);
        clipped.removeDuplicates();
        EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QStringLiteral("\n")).toStdString();
    }
    QApplication::setFont(desktop);
}

INSTANTIATE_TEST_SUITE_P(Points, DesktopFont, ::testing::Values(9, 10, 11));

} // namespace
} // namespace vk410::test
