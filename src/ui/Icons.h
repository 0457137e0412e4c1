#pragma once
#include <QIcon>
#include <QPixmap>

namespace vk410 {

// The window's image list: 0..7 the loop types in type-code order, 8 loops page,
// 9 keypad, 10 radio, 11 expanders, 12 CXM-GSM. 16 x 16 pictures drawn here.
constexpr int kIconCount = 13;
constexpr int kIconPageLoops = 8;
constexpr int kIconPageKeypad = 9;
constexpr int kIconPageRadio = 10;
constexpr int kIconPageExpanders = 11;
constexpr int kIconPageGsm = 12;

// An empty pixmap for an index outside the list.
QPixmap ImageListPixmap(int index);
QIcon ImageListIcon(int index);

// The program's own icon: 32 x 32 (About box), and every size the desktop asks for.
QPixmap ProgramIconPixmap();
QIcon ProgramIcon();

} // namespace vk410
