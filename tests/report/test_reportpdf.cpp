// The sheet on paper of several sizes, read back as text: headings stay with
// their tables, every page is numbered "of M", later pages carry the running
// head, and each row stands under its own item.
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>

#include "model/CXMGSM.h"
#include "report/OffscreenFonts.h"
#include "report/ReportHtml.h"
#include "report/ReportPdf.h"

namespace vk410 {
namespace {

const char* const kHeadings[] = {"Прибор", "Шлейфы", "Доп.разделы", "Клавиатура", "КСМ-GSM", "Параметры GPRS",
                                 "Радиоканал"};

ReportSheet Sheet()
{
    Configuration cfg = StartupConfiguration(1);
    cfg.main.at(MainOff::state) = 1;
    cfg.gsm.at(GsmOff::useGPRScfg) = 1;
    ReportInfo info;
    info.date = "01.02.2025";
    return MakeReport(cfg, {"apn.one", "user", "pass", "", "", ""}, info);
}

// The text of each page, laid out as on the paper.
QStringList PrintedPages(const ReportSheet& sheet, const QSizeF& pageMm)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(pageMm, QPageSize::Millimeter));
        writer.setResolution(150);
        PrintReport(sheet, writer);
    }
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(text.waitForFinished(60000)) << "pdftotext (poppler-utils, scripts/setup) did not run";
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeAll(QString());
    return pages;
}

QStringList Lines(const QString& page)
{
    QStringList lines = page.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& l) { return l.trimmed().isEmpty(); });
    return lines;
}

TEST(ReportPdf, HeadingsStayWithTheirTablesAndEveryPageSaysWhereItIs)
{
    const ReportSheet sheet = Sheet();
    int headedPages = 0;
    // Paper from A4 down to a few rows a page: somewhere a heading falls at the foot.
    for (qreal height = 297; height >= 120; height -= 9) {
        SCOPED_TRACE(testing::Message() << "page height " << height << " mm");
        const QStringList pages = PrintedPages(sheet, QSizeF(210, height));
        ASSERT_GE(pages.size(), 2);
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const QStringList lines = Lines(pages[i]);
            ASSERT_GE(lines.size(), 3) << "page " << i + 1;
            EXPECT_EQ(lines.back().trimmed(), QStringLiteral("Стр. %1 из %2").arg(i + 1).arg(pages.size()));
            const QString last = lines[lines.size() - 2].trimmed();
            for (const char* heading : kHeadings)
                EXPECT_NE(last, QString::fromUtf8(heading)) << "page " << i + 1 << " ends with its heading";
            if (i > 0) {
                EXPECT_EQ(lines.front().trimmed(), QStringLiteral("Карта программирования VK-410QZ8NL, 01.02.2025"));
                const QString second = lines[1].trimmed();
                headedPages += std::count_if(std::begin(kHeadings), std::end(kHeadings),
                                               [&](const char* h) { return second == QString::fromUtf8(h); });
            }
        }
        // The lines to sign and the legend are on the first page.
        EXPECT_TRUE(pages.front().contains(QStringLiteral("Подпись")));
        EXPECT_TRUE(pages.front().contains(QStringLiteral("* отличается от значения по умолчанию")));
    }
    EXPECT_GT(headedPages, 0) << "no page ever opened with a heading: the paper sizes test nothing";
}

// A field without an item spans the item's column; in the text it starts
// where the item names start, not under the item before it.
TEST(ReportPdf, FieldsWithoutAnItemStandOnTheirOwn)
{
    const QString text = PrintedPages(Sheet(), QSizeF(210, 297)).join(QLatin1Char('\n'));
    const auto column = [&](const QString& what) {
        for (const QString& line : text.split(QLatin1Char('\n')))
            if (line.contains(what))
                return line.indexOf(what);
        return qsizetype(-1);
    };
    const qsizetype items = column(QStringLiteral("ШС1"));
    const qsizetype fields = column(QStringLiteral("Выход"));
    ASSERT_GE(items, 0);
    ASSERT_GT(fields, items + 5);
    for (const char* field : {"Включить шину Меридиан", "Количество датчиков", "Использовать конфигурацию GPRS",
                              "Модуль КСМ подключен"})
        EXPECT_LE(std::abs(column(QString::fromUtf8(field)) - items), 2) << field;
}

} // namespace
} // namespace vk410

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    vk410::UseSystemFontsOffscreen();
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
