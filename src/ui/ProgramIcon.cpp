#include "ProgramIcon.h"

#include <QPainter>

namespace vk410 {

QImage ProgramIconImage(int size)
{
    constexpr qreal kDesign = 32;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kDesign, size / kDesign);
    p.setPen(QPen(QColor(20, 40, 90), 1.5));
    p.setBrush(QColor(40, 80, 160));
    p.drawRoundedRect(QRectF(2, 4, 28, 24), 4, 4);
    p.setBrush(QColor(190, 230, 190));
    p.drawRect(QRectF(6, 8, 20, 8));
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QRectF(6, 19, 5, 5));
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QRectF(13.5, 19, 5, 5));
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(QRectF(21, 19, 5, 5));
    return image;
}

} // namespace vk410
