#pragma once

class QTabWidget;
class QWidget;

namespace vk410 {

// Ctrl+Tab and Ctrl+Shift+Tab in a drop-down list under `root` change the
// page of `pages`, as they do from any other control: a list would otherwise
// take them for a search among its items.
void PassPageKeysFromLists(QWidget* root, QTabWidget* pages);

} // namespace vk410
