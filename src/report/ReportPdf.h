#pragma once
#include <QString>
#include <string>

class QPagedPaintDevice;

namespace vk410 {

// Lays the sheet's HTML out on a paged device, a PDF writer or a printer, as
// real text in a font with Cyrillic letters.
void PrintReport(const std::string& html, QPagedPaintDevice& device);

// Write the sheet to a file; an existing file is replaced only by a complete
// new one. False when the file could not be written, with why in words.
bool SaveReportPdf(const std::string& html, const QString& title, const QString& path, QString* why = nullptr);
bool SaveReportHtml(const std::string& html, const QString& path, QString* why = nullptr);

} // namespace vk410
