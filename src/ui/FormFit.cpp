// A screen whose free area is smaller than the window (a small laptop at a
// large scale): the pages scroll inside the window, so that the status bar,
// where every outcome is reported, and the buttons stay on the screen.
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "FormUnit1.h"

namespace vk410 {

namespace {
constexpr int kMargin = 8;       // left of the pages, between them and the buttons
constexpr int kPanelWidth = 108; // the buttons' panel
constexpr int kExitFromBottom = 35;
} // namespace

void TForm1::FitInto(const QSize& room)
{
    const QSize full = size();
    if (full.width() <= room.width() && full.height() <= room.height())
        return; // pixel for pixel as laid out
    QWidget* central = centralWidget();
    QWidget* panel = central->findChild<QWidget*>(QStringLiteral("PanelRight"));
    const QRect pages = PageMain->geometry();
    auto* scroll = new QScrollArea(central);
    scroll->setObjectName(QStringLiteral("scrPages"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(PageMain); // keeps its size: the pages stay as they are laid out
    const int bar = scroll->verticalScrollBar()->sizeHint().width();
    const int width = std::min(full.width() + bar, room.width());
    const int height = std::min(full.height(), room.height());
    const int pagesWidth = std::min(pages.width() + bar, width - 2 * kMargin - kPanelWidth);
    const int pagesHeight = height - (full.height() - pages.height());
    scroll->setGeometry(pages.left(), pages.top(), pagesWidth, pagesHeight);
    panel->setGeometry(pages.left() + pagesWidth + kMargin, panel->y(), kPanelWidth, pagesHeight);
    BtnClose->move(BtnClose->x(), pagesHeight - kExitFromBottom);
    setFixedSize(width, height);
}

} // namespace vk410
