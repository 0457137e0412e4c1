#pragma once

class QWidget;

namespace vk410 {

// The drop-down lists under `root` follow the mouse wheel only while they
// have the focus: a notch while the pointer merely passes over a list goes on
// to what lies beneath it, and the wheel no longer gives a list the focus.
void KeepWheelToFocusedLists(QWidget* root);

} // namespace vk410
