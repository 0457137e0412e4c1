#include "ReportPdf.h"

#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace vk410 {

namespace {

// Installed with the program (fonts-dejavu-core); the layout falls back to
// the platform's sans-serif face when it is missing.
const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr int kFontPoints = 10;

// Unbuffered, so that a failed write shows in the file's error before the commit.
bool Commit(QSaveFile& file)
{
    if (file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

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

bool SaveReportPdf(const std::string& html, const QString& title, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    {
        // The writer puts the file out when its painting ends, inside print().
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Vedu VK410"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        PrintReport(html, writer);
    }
    return Commit(file);
}

bool SaveReportHtml(const std::string& html, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const qint64 size = qint64(html.size());
    if (file.write(html.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return Commit(file);
}

} // namespace vk410
