#pragma once
// The configuration from the JSON that ConfigJson writes: the way back, for
// the journal's exact bytes.
#include <QByteArray>
#include <QString>

#include "model/Configuration.h"

namespace vk410 {

// Every payload byte as the text holds it; block 3 gets its data-frame
// header and check byte back. False, with why in words, when the text is not
// such an object (a wrong length, a bad hex digit, a text too long for its
// block): cfg and texts are then untouched.
bool ConfigFromJson(const QByteArray& json, Configuration& cfg, GprsTexts& texts, QString& why);

} // namespace vk410
