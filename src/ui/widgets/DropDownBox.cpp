#include "DropDownBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace vk410 {
namespace {

// The description as a second, paler line of the item, in the list only.
class TwoLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString description = index.data(Qt::ToolTipRole).toString();
        if (description.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString name = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        QColor pale = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        pale.setAlphaF(0.65f);
        const int line = opt.fontMetrics.height();
        painter->save();
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRect(text.left(), text.top(), text.width(), line), Qt::AlignLeft | Qt::AlignVCenter, name);
        painter->setPen(pale);
        painter->drawText(QRect(text.left(), text.top() + line, text.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(description, Qt::ElideRight, text.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString description = index.data(Qt::ToolTipRole).toString();
        if (!description.isEmpty()) {
            size.rheight() += option.fontMetrics.height();
            size.setWidth(std::max(size.width(), option.fontMetrics.horizontalAdvance(description) + 12));
        }
        return size;
    }
};

constexpr int kMaxListWidth = 480;

} // namespace

TDropDownBox::TDropDownBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new TwoLineDelegate(this));
    connect(this, &QComboBox::editTextChanged, this, &TDropDownBox::UpdateToolTip);
    connect(this, &QComboBox::currentTextChanged, this, &TDropDownBox::UpdateToolTip);
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
    UpdateToolTip();
}

void TDropDownBox::showPopup()
{
    emit dropDown();
    // Wide enough for the descriptions, which the box itself has no room for.
    view()->setMinimumWidth(std::min(view()->sizeHintForColumn(0) + 24, kMaxListWidth));
    QComboBox::showPopup();
}

void TDropDownBox::UpdateToolTip()
{
    const QString text = currentText();
    const int index = findText(text, Qt::MatchExactly);
    QStringList lines{text, meaningOf ? meaningOf(text) : QString(),
                      index >= 0 ? itemData(index, Qt::ToolTipRole).toString() : QString()};
    lines.removeAll(QString());
    setToolTip(lines.join(QLatin1Char('\n')));
}

} // namespace vk410
