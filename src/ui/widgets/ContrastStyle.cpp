#include "ContrastStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace vk410 {

TContrastStyle::TContrastStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

bool IsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void TContrastStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox || (option->state & State_Enabled) || !IsDarkPalette(option->palette))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(option->palette.color(QPalette::Disabled, QPalette::WindowText));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

} // namespace vk410
