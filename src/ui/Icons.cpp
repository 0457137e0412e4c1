#include "Icons.h"

#include <QPainter>
#include <algorithm>
#include <QPainterPath>

#include "ProgramIcon.h"

namespace vk410 {

namespace {

void Dot(QPainter& p, QColor fill)
{
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
}

void Flame(QPainter& p)
{
    QPainterPath path;
    path.moveTo(8, 1);
    path.cubicTo(13, 6, 14, 10, 12, 13);
    path.cubicTo(10, 16, 6, 16, 4, 13);
    path.cubicTo(2, 10, 5, 8, 8, 1);
    p.setPen(QPen(QColor(150, 30, 0), 1));
    p.setBrush(QColor(240, 90, 20));
    p.drawPath(path);
    p.setBrush(QColor(255, 210, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(6, 9, 4, 5));
}

void Shield(QPainter& p, QColor fill)
{
    QPainterPath path;
    path.moveTo(8, 1);
    path.lineTo(14, 3);
    path.cubicTo(14, 10, 11, 13, 8, 15);
    path.cubicTo(5, 13, 2, 10, 2, 3);
    path.closeSubpath();
    p.setPen(QPen(fill.darker(170), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void Door(QPainter& p)
{
    p.setPen(QPen(QColor(90, 50, 10), 1));
    p.setBrush(QColor(180, 110, 50));
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
    p.setBrush(QColor(250, 220, 80));
    p.drawEllipse(QRectF(9, 7, 2, 2));
}

void Wrench(QPainter& p)
{
    p.setPen(QPen(QColor(90, 90, 100), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 12), QPointF(11, 5));
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(9, 1.5, 5, 5));
}

void House(QPainter& p)
{
    p.setPen(QPen(QColor(40, 60, 120), 1));
    p.setBrush(QColor(120, 160, 230));
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    QPolygonF roof({QPointF(1.5, 8), QPointF(8, 2), QPointF(14.5, 8)});
    p.setBrush(QColor(200, 60, 50));
    p.drawPolygon(roof);
}

void Cross(QPainter& p)
{
    p.setPen(QPen(QColor(150, 150, 150), 2));
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.drawLine(QPointF(4, 12), QPointF(12, 4));
}

void Loops(QPainter& p)
{
    p.setPen(QPen(QColor(30, 90, 30), 1.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(2 + i, 3 + 3 * i, 12 - 2 * i, 4), 2, 2);
}

void Keypad(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(70, 70, 70));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(3.5 + 3.5 * c, 3.5 + 3.5 * r, 2, 2));
}

void Antenna(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 140), 1.5));
    p.drawLine(QPointF(8, 5), QPointF(8, 15));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 1, 10, 10), 30 * 16, 120 * 16);
    p.drawArc(QRectF(5, 3, 6, 6), 30 * 16, 120 * 16);
}

void Blocks(QPainter& p)
{
    p.setPen(QPen(QColor(20, 70, 120), 1));
    p.setBrush(QColor(100, 180, 220));
    p.drawRect(QRectF(1.5, 4.5, 5, 8));
    p.drawRect(QRectF(9.5, 4.5, 5, 8));
    p.drawLine(QPointF(6.5, 8.5), QPointF(9.5, 8.5));
}

void Phone(QPainter& p)
{
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(60, 120, 60));
    p.drawRoundedRect(QRectF(4.5, 1.5, 7, 13), 1.5, 1.5);
    p.setBrush(QColor(200, 240, 200));
    p.drawRect(QRectF(5.5, 3.5, 5, 4));
}

void Draw(QPainter& p, int index)
{
    switch (index) {
    case 0: Cross(p); break;
    case 1: Dot(p, QColor(220, 30, 30)); break;
    case 2: Dot(p, QColor(150, 60, 170)); break;
    case 3: Flame(p); break;
    case 4: Wrench(p); break;
    case 5: Shield(p, QColor(50, 110, 220)); break;
    case 6: House(p); break;
    case 7: Door(p); break;
    case kIconPageLoops: Loops(p); break;
    case kIconPageKeypad: Keypad(p); break;
    case kIconPageRadio: Antenna(p); break;
    case kIconPageExpanders: Blocks(p); break;
    case kIconPageGsm: Phone(p); break;
    default: break;
    }
}

// A pale rim around the strokes: a dark stroke stays visible on a dark
// palette, and the rim is lost in a light one.
QImage WithRim(const QImage& picture)
{
    QImage out(picture.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            int alpha = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (picture.valid(x + dx, y + dy))
                        alpha = std::max(alpha, qAlpha(picture.pixel(x + dx, y + dy)));
            out.setPixel(x, y, qPremultiply(qRgba(255, 255, 255, std::min(255, alpha * 2) * 7 / 10)));
        }
    }
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    return out;
}

} // namespace

QPixmap ImageListPixmap(int index)
{
    if (index < 0 || index >= kIconCount)
        return {};
    QImage picture(16, 16, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        Draw(p, index);
    }
    return QPixmap::fromImage(WithRim(picture));
}

QIcon ImageListIcon(int index) { return QIcon(ImageListPixmap(index)); }

QPixmap ProgramIconPixmap() { return QPixmap::fromImage(ProgramIconImage(32)); }

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

} // namespace vk410
