#include "ReportHtml.h"

#include "files/NativeXml.h"
#include "model/Description.h"
#include "model/Devices.h"

namespace vk410 {

namespace {

// Styles a browser and the PDF's text layout both understand; the table
// attributes repeat them for the latter.
const char* const kHead = "<style>\n"
                          "body { font-family: 'DejaVu Sans', sans-serif; font-size: 10pt; }\n"
                          "h1 { font-size: 16pt; }\n"
                          "h2 { font-size: 12pt; margin-top: 12pt; }\n"
                          "table { border-collapse: collapse; width: 100%; }\n"
                          "th, td { border: 1px solid #808080; padding: 2pt 4pt; text-align: left; }\n"
                          "th { background-color: #e8e8e8; }\n"
                          ".changed { font-weight: bold; }\n"
                          "</style>\n";

const char* const kMark = " *";

std::string Row(const std::string& item, const DescriptionEntry& e, bool changed)
{
    const std::string value = EscapeXml(e.value) + (changed ? kMark : "");
    return "<tr><td>" + EscapeXml(item) + "</td><td>" + EscapeXml(e.field) + "</td>" +
           (changed ? "<td class=\"changed\"><b>" + value + "</b></td>" : "<td>" + value + "</td>") + "</tr>\n";
}

std::string Tables(const Description& d, const std::vector<bool>& changed)
{
    std::string out;
    for (std::size_t i = 0; i < d.size(); ++i) {
        const bool newPage = i == 0 || d[i].page != d[i - 1].page;
        if (newPage) {
            if (i > 0)
                out += "</table>\n";
            out += "<h2>" + EscapeXml(d[i].page) + "</h2>\n"
                   "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n"
                   "<tr><th width=\"25%\">Раздел</th><th width=\"35%\">Параметр</th><th>Значение</th></tr>\n";
        }
        // An item's name heads its first row only.
        const bool sameItem = !newPage && d[i].item == d[i - 1].item;
        out += Row(sameItem ? std::string() : d[i].item, d[i], changed[i]);
    }
    return d.empty() ? out : out + "</table>\n";
}

} // namespace

std::string ReportTitle(const Configuration& cfg)
{
    const TDevices* row = DeviceRow(cfg.model);
    return std::string("Карта программирования ") + (row ? row->name : "");
}

std::string ReportHtml(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info)
{
    const Description d = Describe(cfg, texts, DescribeScope::Used, info.keepsRadio);
    const std::string title = EscapeXml(ReportTitle(cfg));
    std::string out = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title +
                      "</title>\n" + kHead + "</head>\n<body>\n<h1>" + title + "</h1>\n<p>";
    if (info.version)
        out += "Версия прибора: " + std::to_string(*info.version) + "<br>\n";
    out += "Дата: " + EscapeXml(info.date) + "</p>\n";
    out += Tables(d, DiffersFromStartup(d, cfg.model));
    out += "<p>* отличается от значения по умолчанию</p>\n</body>\n</html>\n";
    return out;
}

} // namespace vk410
