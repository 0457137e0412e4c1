#pragma once
#include <QString>
#include <string>

class QPagedPaintDevice;

namespace vk410 {

struct ReportSheet;

// Lays the sheet out on a paged device, a PDF writer or a printer, as real
// text in a font with Cyrillic letters: every page after the first carries
// the running head, and every page "Стр. N из M".
void PrintReport(const ReportSheet& sheet, QPagedPaintDevice& device);

// Write the sheet to a file; an existing file is replaced only by a complete
// new one. False when the file could not be written, with why in words.
bool SaveReportPdf(const ReportSheet& sheet, const QString& path, QString* why = nullptr);
bool SaveReportHtml(const std::string& html, const QString& path, QString* why = nullptr);

} // namespace vk410
