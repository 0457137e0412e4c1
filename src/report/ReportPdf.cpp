#include "ReportPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QBuffer>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>

#include "ReportHtml.h"
#include "files/FileOps.h"

namespace vk410 {

namespace {

// Installed with the program (fonts-dejavu-core); the layout falls back to
// the platform's sans-serif face when it is missing.
const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr int kFontPoints = 10;
constexpr qreal kBandPoints = 20; // above and below the text: the running head, the page number
constexpr qreal kMarginMm = 12;   // at least, whatever a printer offers

QFont SheetFont(qreal points)
{
    QFont font(kFontFamily);
    font.setPointSizeF(points);
    // No ligatures: an APN copied from the sheet must read "fi", not one glyph.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    return font;
}

void KeepMargins(QPagedPaintDevice& device)
{
    const QMarginsF m = device.pageLayout().margins(QPageLayout::Millimeter);
    device.setPageMargins(QMarginsF(std::max(m.left(), kMarginMm), std::max(m.top(), kMarginMm),
                                    std::max(m.right(), kMarginMm), std::max(m.bottom(), kMarginMm)),
                          QPageLayout::Millimeter);
}

void PaintBands(QPainter& painter, const QRectF& page, qreal band, const QString& head, const QString& foot)
{
    painter.save();
    painter.setFont(SheetFont(8));
    painter.setPen(QColor(0x40, 0x40, 0x40));
    if (!head.isEmpty()) {
        const QRectF top(page.left(), page.top(), page.width(), band * 0.7);
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, head);
        painter.drawLine(top.bottomLeft(), top.bottomRight());
    }
    painter.drawText(QRectF(page.left(), page.bottom() - band * 0.7, page.width(), band * 0.7),
                     Qt::AlignRight | Qt::AlignVCenter, foot);
    painter.restore();
}

} // namespace

void PrintReport(const ReportSheet& sheet, QPagedPaintDevice& device)
{
    KeepMargins(device);
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    const qreal band = kBandPoints * device.logicalDpiY() / 72.0;
    const QRectF page(0, 0, device.width(), device.height());
    const QSizeF body(page.width(), page.height() - 2 * band);

    QTextDocument doc;
    // Laid out at the device's own resolution: sizes in points stay points.
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDefaultFont(SheetFont(kFontPoints));
    doc.setHtml(QString::fromStdString(sheet.html));
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setMargin(0);
    doc.rootFrame()->setFrameFormat(root);
    doc.setPageSize(body);

    const int pages = doc.pageCount();
    const QString head = QString::fromStdString(sheet.runningHead);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        painter.translate(0, band - i * body.height());
        doc.drawContents(&painter, QRectF(QPointF(0, i * body.height()), body));
        painter.restore();
        PaintBands(painter, page, band, i > 0 ? head : QString(),
                   QStringLiteral("Стр. %1 из %2").arg(i + 1).arg(pages));
    }
}

bool SaveReportPdf(const ReportSheet& sheet, const QString& path, QString* why)
{
    // Laid out in memory (a sheet is some hundred kilobytes), then saved as
    // every file is: a failed save keeps the old one and says why.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        // The writer puts the file out when its painting ends, inside PrintReport().
        QPdfWriter writer(&pdf);
        writer.setTitle(QString::fromStdString(sheet.title));
        writer.setCreator(QStringLiteral("Vedu VK410"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        PrintReport(sheet, writer);
    }
    const QByteArray& bytes = pdf.data();
    return SaveFileAtomically(path, std::string_view(bytes.constData(), std::size_t(bytes.size())), why);
}

bool SaveReportHtml(const std::string& html, const QString& path, QString* why)
{
    return SaveFileAtomically(path, html, why);
}

} // namespace vk410
