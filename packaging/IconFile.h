#pragma once
#include <QByteArray>
#include <QList>

namespace vk410 {

// The program's icon at the given sizes as a Windows icon file: 32-bit
// images, the largest (256) as PNG as the shell reads it, the rest as DIBs.
QByteArray ProgramIconFile(const QList<int>& sizes);

} // namespace vk410
