#include "DropDownBox.h"

#include <QAbstractItemView>
#include <algorithm>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace vk410 {
namespace {

// The description as a second line of the item, in the list only.
class TwoLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString description = index.data(Qt::ToolTipRole).toString();
        if (!description.isEmpty())
            option->text += QChar::LineSeparator + description;
    }
};

constexpr int kMaxListWidth = 480;

} // namespace

TDropDownBox::TDropDownBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new TwoLineDelegate(this));
    connect(this, &QComboBox::editTextChanged, this, &TDropDownBox::ShowDescriptionAsToolTip);
    connect(this, &QComboBox::currentTextChanged, this, &TDropDownBox::ShowDescriptionAsToolTip);
}

void TDropDownBox::SetItems(const QStringList& items, const QStringList& descriptions)
{
    const QString text = currentText();
    {
        const QSignalBlocker quiet(this);
        clear();
        for (qsizetype i = 0; i < items.size(); ++i) {
            addItem(items[i]);
            if (i < descriptions.size() && !descriptions[i].isEmpty())
                setItemData(int(i), descriptions[i], Qt::ToolTipRole);
        }
        setCurrentIndex(findText(text, Qt::MatchExactly));
        if (isEditable())
            setEditText(text);
    }
    ShowDescriptionAsToolTip();
}

void TDropDownBox::showPopup()
{
    emit dropDown();
    // Wide enough for the descriptions, which the box itself has no room for.
    view()->setMinimumWidth(std::min(view()->sizeHintForColumn(0) + 24, kMaxListWidth));
    QComboBox::showPopup();
}

void TDropDownBox::ShowDescriptionAsToolTip()
{
    const int index = findText(currentText(), Qt::MatchExactly);
    setToolTip(index >= 0 ? itemData(index, Qt::ToolTipRole).toString() : QString());
}

} // namespace vk410
