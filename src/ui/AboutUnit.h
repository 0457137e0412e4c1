#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "VersionRecord.h"

class QDialog;
class QWidget;

namespace vk410 {

// The four lines of the About box, in their order; an absent line is nullopt.
struct AboutLines {
    std::optional<QString> product; // bold navy
    std::optional<QString> version; // "Версия: " + first five characters
    std::optional<QString> company; // "Компания: " + value
    std::optional<QString> author;  // "Автор: " + value
};

// The lines that a record's first translation yields. A line is shown only
// when its value's reported length (terminating zero counted) exceeds 1.
AboutLines AboutLinesFromRecord(const VersionRecord& record);

// Layout from the sizes of what the box holds. Width and height are the
// window's outer size, frame included; positions are in the client area,
// whose size is the outer size less the frame.
struct AboutLayout {
    QRect image;
    std::vector<QRect> labels; // the shown lines, top to bottom
    int width = 0;
    int height = 0;
    QSize client;
    QRect button;
    QRect bevel; // aligned to the client area's bottom
};

// What a dialog's frame and caption add to its client size.
inline constexpr QSize kDialogFrame(6, 25);

// The label sizes are those of the shown lines, in line order; productShown
// says whether the first of them is the product name (which stands level with
// the image).
AboutLayout ComputeAboutLayout(QSize imageSize, const std::vector<QSize>& labelSizes,
                               bool productShown, QSize buttonSize, QSize frame = kDialogFrame);

// Nearest integer to n / 2, a half going to the even neighbour.
int HalfRoundedToEven(int n);

// The box built for a record; nullptr when the record has no translation.
std::unique_ptr<QDialog> BuildAboutBox(const VersionRecord& record, const QString& appTitle,
                                       QWidget* parent = nullptr);

// "О программе...": the running program's record; nothing at all when it has none.
void ShowAboutBox(QWidget* parent = nullptr);

} // namespace vk410
