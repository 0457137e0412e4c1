#pragma once

namespace vk410 {

// On the offscreen platform Qt reads its fonts from a folder, not from the
// system: on Windows that folder is the system's own Fonts folder unless
// QT_QPA_FONTDIR names another; elsewhere fontconfig finds them and nothing
// is done. Call before the application object exists.
void UseSystemFontsOffscreen();

} // namespace vk410
