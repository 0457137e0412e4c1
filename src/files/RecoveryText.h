#pragma once
// The text of a recovery copy (no Qt); the copy on disk is Recovery.h.
//
// One "name value" pair a line: the origin, the panel's facts, and the
// content and the baseline as whole block buffers and texts in hex, so that
// the copy gives back exactly what the window held, radio bytes included.
#include <string>
#include <string_view>

#include "model/Document.h"

namespace vk410 {

std::string RecoveryText(const DocumentCopy& copy);

// False, and copy untouched, for a text that is not a whole copy of ours.
bool ReadRecoveryText(std::string_view text, DocumentCopy& copy);

} // namespace vk410
