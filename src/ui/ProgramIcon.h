#pragma once
#include <QImage>

namespace vk410 {

// The program's icon, drawn at any size from one 32-unit design: the window
// and the About box use it, and the build renders the desktop's icons from it.
QImage ProgramIconImage(int size);

} // namespace vk410
