#pragma once
#include <optional>
#include <string>

#include "model/Configuration.h"

namespace vk410 {

// What the sheet says besides the configuration.
struct ReportInfo {
    std::string date;           // as printed: in the head block and the running head
    std::optional<int> version; // the panel's firmware version, for a configuration read from a panel
    bool keepsRadio = true;     // false: a file's, which keeps no radio settings
    bool passwords = false;     // the APN passwords in clear; masked otherwise
    // The head block for the paper; an empty one is a line to fill in by hand.
    std::string object, address, installer;
};

// The sheet as the print, the PDF and the HTML page take it.
struct ReportSheet {
    std::string title;       // "Карта программирования" and the model's name
    std::string runningHead; // heads every page after the first: the title and the date
    std::string html;        // one self-contained page (UTF-8)
};

// The programming sheet: a head block to sign, the legend, every entry of the
// description in a table per page, each row under its own item, values that
// differ from the model's start-up configuration marked.
ReportSheet MakeReport(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info);

// The sheet's HTML alone.
std::string ReportHtml(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info);

// The sheet's title: "Карта программирования" and the model's name.
std::string ReportTitle(const Configuration& cfg);

// What the sheet prints for a password it is not asked to show.
inline constexpr const char* kMaskedPassword = "••••••";

} // namespace vk410
