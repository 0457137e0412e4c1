#include "ReportPdf.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTextDocument>

#include "files/FileOps.h"

namespace vk410 {

namespace {

// Installed with the program (fonts-dejavu-core); the layout falls back to
// the platform's sans-serif face when it is missing.
const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr int kFontPoints = 10;

} // namespace

void PrintReport(const std::string& html, QPagedPaintDevice& device)
{
    QTextDocument doc;
    QFont font(kFontFamily, kFontPoints);
    // No ligatures: an APN copied from the sheet must read "fi", not one glyph.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    doc.setDefaultFont(font);
    doc.setHtml(QString::fromStdString(html));
    doc.print(&device);
}

bool SaveReportPdf(const std::string& html, const QString& title, const QString& path, QString* why)
{
    // Laid out in memory (a sheet is some hundred kilobytes), then saved as
    // every file is: a failed save keeps the old one and says why.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        // The writer puts the file out when its painting ends, inside print().
        QPdfWriter writer(&pdf);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Vedu VK410"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        PrintReport(html, writer);
    }
    const QByteArray& bytes = pdf.data();
    return SaveFileAtomically(path, std::string_view(bytes.constData(), std::size_t(bytes.size())), why);
}

bool SaveReportHtml(const std::string& html, const QString& path, QString* why)
{
    return SaveFileAtomically(path, html, why);
}

} // namespace vk410
