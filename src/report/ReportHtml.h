#pragma once
#include <optional>
#include <string>

#include "model/Configuration.h"

namespace vk410 {

// What the sheet says besides the configuration.
struct ReportInfo {
    std::string date;           // as printed
    std::optional<int> version; // the panel's firmware version, for a configuration read from a panel
    bool keepsRadio = true;     // false: a file's, which keeps no radio settings
};

// The programming sheet as one self-contained HTML page (UTF-8): every entry
// of the description, a table per page, values that differ from the model's
// start-up configuration marked. The same text lays out the PDF and the print.
std::string ReportHtml(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info);

// The sheet's title: "Карта программирования" and the model's name.
std::string ReportTitle(const Configuration& cfg);

} // namespace vk410
