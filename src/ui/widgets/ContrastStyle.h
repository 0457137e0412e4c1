#pragma once
#include <QProxyStyle>

namespace vk410 {

// The desktop's own style, except that a disabled check box keeps a visible
// frame on a dark palette (some styles draw it in the window's own colour).
class TContrastStyle : public QProxyStyle {
public:
    explicit TContrastStyle(const QString& baseStyle);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// A palette whose windows are darker than their text.
bool IsDarkPalette(const QPalette& palette);

} // namespace vk410
