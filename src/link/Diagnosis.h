#pragma once
// Why an exchange failed, in words: the record read back against a table of
// causes. The rules' own outcome texts stay as they are; this is the line an
// installer or the maker's support reads after them. No Qt.
#include <string>
#include <vector>

#include "ExchangeRecord.h"

namespace vk410 {

enum class Cause {
    None,         // the exchange did not fail
    NoBytes,      // not a byte came: the port, the cable, the panel's power
    NoFrame,      // bytes came but never a frame: the line's speed, noise
    BadCheck,     // a frame with a wrong check byte
    LongFrame,    // a frame longer than its length byte says
    Truncated,    // a frame that broke off before its length byte's count
    OtherModel,   // a reply of a model other than the one expected
    ModuleSilent, // block 1 answered, the module "КСМ" did not
    EchoDiffers,  // an echo that differs from what was written
    PortVanished, // the port went away during the exchange
    Unknown,
};

struct Diagnosis {
    Cause cause = Cause::None;
    std::string text; // UTF-8, one line; empty for Cause::None
};

// The cause of a failed exchange from its record; Cause::None when it did not fail.
Diagnosis Diagnose(const std::vector<RecordEntry>& record, bool failed);

} // namespace vk410
