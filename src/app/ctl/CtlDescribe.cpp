// The configuration in words on the command line: show's text, diff and report.
#include <QDate>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "ConsoleOut.h"
#include "report/ReportHtml.h"
#include "report/ReportPdf.h"

namespace vk410::ctl {

namespace {

// An empty value (an off destination's address) still shows that it is there.
std::string Shown(const std::string& value) { return value.empty() ? "—" : value; }

std::string Quoted(const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "—"; }

QJsonValue JsonValue(const std::optional<std::string>& value)
{
    return value ? QJsonValue(QString::fromStdString(*value)) : QJsonValue(QJsonValue::Null);
}

std::string DiffText(const std::vector<Difference>& diffs, bool json)
{
    if (json) {
        QJsonArray array;
        for (const Difference& d : diffs)
            array.append(QJsonObject{{QStringLiteral("page"), QString::fromStdString(d.page)},
                                     {QStringLiteral("item"), QString::fromStdString(d.item)},
                                     {QStringLiteral("field"), QString::fromStdString(d.field)},
                                     {QStringLiteral("a"), JsonValue(d.a)},
                                     {QStringLiteral("b"), JsonValue(d.b)}});
        return QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString() + "\n";
    }
    std::string out;
    for (const Difference& d : diffs)
        out += PlaceText(d.page, d.item) + " / " + d.field + ": " + Quoted(d.a) + " -> " + Quoted(d.b) + "\n";
    return out;
}

} // namespace

std::string PersonText(const Description& d)
{
    std::string out;
    for (std::size_t i = 0; i < d.size(); ++i) {
        const bool newPage = i == 0 || d[i].page != d[i - 1].page;
        if (newPage)
            out += d[i].page + "\n";
        if (!d[i].item.empty() && (newPage || d[i].item != d[i - 1].item))
            out += "  " + d[i].item + "\n";
        out += std::string(d[i].item.empty() ? "  " : "    ") + d[i].field + ": " + Shown(d[i].value) + "\n";
    }
    return out;
}

int CmdDiff(const Args& a)
{
    const bool withPanel = a.Has("--port");
    if (withPanel && a.operands.size() != 1)
        return UsageError(QStringLiteral("с --port сравнивается один файл: лишний аргумент %1").arg(a.operands[1]),
                          a.command);
    if (!withPanel && a.operands.size() != 2)
        return UsageError(QStringLiteral("не хватает аргумента B.cf8 (или --port PORT)"), a.command);
    if (withPanel && !PortUnderstood(a))
        return kUsage;
    if (!withPanel && a.Has("--trace"))
        return UsageError(QStringLiteral("параметр --trace — только вместе с --port"), a.command);
    Configuration cfgA = StartupConfiguration(), cfgB = StartupConfiguration();
    GprsTexts textsA, textsB;
    // The file first: a rejected file costs no exchange.
    if (!OpenFile(a.operands.back(), cfgB, textsB))
        return kFileFailed;
    if (!withPanel) {
        if (!OpenFile(a.operands.front(), cfgA, textsA))
            return kFileFailed;
    } else {
        int version = -1;
        const int rc = ReadPanel(a.Value("--port"), cfgA, textsA, version, OptionsOf(a, JournalOp::Compare));
        if (rc != kDone)
            return rc;
    }
    const bool json = a.Has("--json");
    // A panel keeps its radio settings; a file does not.
    const std::vector<Difference> diffs =
        Compare(Describe(cfgA, textsA, DescribeScope::Used, withPanel), Describe(cfgB, textsB, DescribeScope::Used, false));
    if (!diffs.empty() || json)
        WriteText(stdout, DiffText(diffs, json));
    return diffs.empty() ? kDone : kDifferent;
}

int CmdReport(const Args& a)
{
    const QString out = a.Value("-o");
    const QString suffix = QFileInfo(out).suffix().toLower();
    const bool pdf = suffix == QLatin1String("pdf");
    if (!pdf && suffix != QLatin1String("html") && suffix != QLatin1String("htm"))
        return UsageError(QStringLiteral("отчёт сохраняется в .pdf или .html, а не в %1").arg(out), a.command);
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.operands[0], cfg, texts))
        return kFileFailed;
    ReportInfo info;
    info.date = (a.Has("--date") ? a.Value("--date") : QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
                    .toStdString();
    info.keepsRadio = false;
    info.passwords = a.Has("--passwords");
    info.object = a.Value("--object").toStdString();
    info.address = a.Value("--address").toStdString();
    info.installer = a.Value("--installer").toStdString();
    const ReportSheet sheet = MakeReport(cfg, texts, info);
    QString why;
    const bool saved = pdf ? SaveReportPdf(sheet, out, &why) : SaveReportHtml(sheet.html, out, &why);
    if (saved)
        return kDone;
    FileNotSaved(out, why);
    return kFileFailed;
}

} // namespace vk410::ctl
