#include "ReportHtml.h"

#include "files/NativeXml.h"
#include "model/Description.h"
#include "model/Devices.h"

namespace vk410 {

namespace {

// Styles a browser and the PDF's text layout both understand; the table
// attributes repeat them for the latter. Lengths in px: the text layout
// takes no pt for a margin or a padding.
const char* const kHead = "<style>\n"
                          "body { font-family: 'DejaVu Sans', sans-serif; font-size: 10pt; }\n"
                          "h1 { font-size: 16pt; }\n"
                          "th.page { font-size: 12pt; background-color: transparent; border: none; "
                          "padding: 16px 0 6px 0; }\n"
                          "table { border-collapse: collapse; width: 100%; }\n"
                          "th, td { border: 1px solid #808080; padding: 4px 6px; text-align: left; "
                          "vertical-align: top; }\n"
                          "th { background-color: #e8e8e8; }\n"
                          ".changed { font-weight: bold; }\n"
                          "table.paper td { border: none; padding: 8px 6px 2px 0; }\n"
                          "table.paper td.line { border-bottom: 1px solid #000000; }\n"
                          "</style>\n";

const char* const kTable = "<table border=\"0\" cellspacing=\"0\" width=\"100%\">\n";
const char* const kMark = " *";

std::string Cell(const std::string& text, const std::string& attributes = {})
{
    return "<td" + attributes + ">" + text + "</td>";
}

std::string ValueCell(const DescriptionEntry& e, bool changed, bool passwords)
{
    const std::string shown = e.secret && !passwords && !e.value.empty() ? kMaskedPassword : EscapeXml(e.value);
    if (!changed)
        return Cell(shown);
    return Cell("<b>" + shown + kMark + "</b>", " class=\"changed\"");
}

// The rows from `first` on that share its item: an item's name spans them,
// a field without an item is an item of its own.
std::size_t ItemRows(const Description& d, std::size_t first, const std::vector<bool>& changed, bool passwords,
                     std::string& out)
{
    const DescriptionEntry& head = d[first];
    std::size_t end = first + 1;
    while (!head.item.empty() && end < d.size() && d[end].page == head.page && d[end].item == head.item)
        ++end;
    for (std::size_t i = first; i < end; ++i) {
        out += "<tr>";
        if (head.item.empty())
            out += Cell(EscapeXml(d[i].field), " colspan=\"2\"");
        else if (i == first)
            out += Cell(EscapeXml(head.item), " rowspan=\"" + std::to_string(end - first) + "\"") +
                   Cell(EscapeXml(d[i].field));
        else
            out += Cell(EscapeXml(d[i].field));
        out += ValueCell(d[i], changed[i], passwords) + "</tr>\n";
    }
    return end;
}

std::string Tables(const Description& d, const std::vector<bool>& changed, bool passwords)
{
    std::string out;
    std::size_t i = 0;
    while (i < d.size()) {
        const std::string& page = d[i].page;
        // The page's name heads its table: the layout keeps a table's head
        // with its first row and repeats it on every page the table goes on.
        out += std::string(kTable) + "<thead><tr><th class=\"page\" colspan=\"3\">" + EscapeXml(page) +
               "</th></tr>\n<tr><th width=\"25%\">Раздел</th><th width=\"35%\">Параметр</th><th>Значение</th></tr>"
               "</thead>\n";
        while (i < d.size() && d[i].page == page)
            i = ItemRows(d, i, changed, passwords, out);
        out += "</table>\n";
    }
    return out;
}

// Lines to fill in and sign on the paper, the given ones already filled.
std::string PaperBlock(const ReportInfo& info)
{
    const std::pair<const char*, const std::string*> lines[] = {
        {"Объект", &info.object}, {"Адрес", &info.address}, {"Монтажник", &info.installer}, {"Дата", &info.date}};
    std::string out = "<table class=\"paper\" border=\"0\" cellspacing=\"0\" width=\"100%\">\n";
    for (const auto& [caption, value] : lines)
        out += "<tr>" + Cell(caption, " width=\"20%\"") + Cell(value->empty() ? "&#160;" : EscapeXml(*value),
                                                               " class=\"line\"") + "</tr>\n";
    out += "<tr>" + Cell("Подпись", " width=\"20%\"") + Cell("&#160;", " class=\"line\"") + "</tr>\n</table>\n";
    return out;
}

} // namespace

std::string ReportTitle(const Configuration& cfg)
{
    const TDevices* row = DeviceRow(cfg.model);
    return std::string("Карта программирования ") + (row ? row->name : "");
}

ReportSheet MakeReport(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info)
{
    const Description d = Describe(cfg, texts, DescribeScope::Used, info.keepsRadio);
    ReportSheet sheet;
    sheet.title = ReportTitle(cfg);
    sheet.runningHead = info.date.empty() ? sheet.title : sheet.title + ", " + info.date;
    const std::string title = EscapeXml(sheet.title);
    std::string& out = sheet.html;
    out = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title + "</title>\n" +
          kHead + "</head>\n<body>\n<h1>" + title + "</h1>\n" + PaperBlock(info) + "<p>";
    if (info.version)
        out += "Версия прибора: " + std::to_string(*info.version) + "<br>\n";
    out += "* отличается от значения по умолчанию</p>\n";
    out += Tables(d, DiffersFromStartup(d, cfg.model), info.passwords);
    out += "</body>\n</html>\n";
    return sheet;
}

std::string ReportHtml(const Configuration& cfg, const GprsTexts& texts, const ReportInfo& info)
{
    return MakeReport(cfg, texts, info).html;
}

} // namespace vk410
