// The configuration in words on the command line: show's text, diff and report.
#include <QDate>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
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

// diff [--json] [--port PORT] FILE...; report FILE -o OUT.
struct DescribeArgs {
    QStringList files;
    QString port, out;
    bool json = false;
    bool journal = true;
};

bool ParseDescribeArgs(const QStringList& args, bool isReport, DescribeArgs& a)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& s = args[i];
        const bool hasValue = i + 1 < args.size();
        if (!isReport && s == QLatin1String("--json"))
            a.json = true;
        else if (!isReport && s == QLatin1String("--port") && hasValue)
            a.port = args[++i];
        else if (!isReport && s == QLatin1String("--no-journal"))
            a.journal = false;
        else if (isReport && s == QLatin1String("-o") && hasValue)
            a.out = args[++i];
        else if (s.startsWith(QLatin1Char('-')))
            return false;
        else
            a.files << s;
    }
    if (isReport)
        return a.files.size() == 1 && !a.out.isEmpty();
    return a.files.size() == (a.port.isEmpty() ? 2 : 1);
}

int Usage()
{
    PrintUsage();
    return kUsage;
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

int CmdDiff(const QStringList& args)
{
    DescribeArgs a;
    if (!ParseDescribeArgs(args, false, a))
        return Usage();
    Configuration cfgA = StartupConfiguration(), cfgB = StartupConfiguration();
    GprsTexts textsA, textsB;
    // The file first: a rejected file costs no exchange.
    if (!OpenFile(a.files.back(), cfgB, textsB))
        return kFileFailed;
    if (a.port.isEmpty()) {
        if (!OpenFile(a.files.front(), cfgA, textsA))
            return kFileFailed;
    } else {
        int version = -1;
        const int rc = ReadPanel(a.port, cfgA, textsA, version, a.journal);
        if (rc != kDone)
            return rc;
    }
    const std::vector<Difference> diffs = Compare(Describe(cfgA, textsA), Describe(cfgB, textsB));
    if (!diffs.empty() || a.json)
        std::fputs(DiffText(diffs, a.json).c_str(), stdout);
    return diffs.empty() ? kDone : kDifferent;
}

int CmdReport(const QStringList& args)
{
    DescribeArgs a;
    if (!ParseDescribeArgs(args, true, a))
        return Usage();
    const QString suffix = QFileInfo(a.out).suffix().toLower();
    const bool pdf = suffix == QLatin1String("pdf");
    if (!pdf && suffix != QLatin1String("html") && suffix != QLatin1String("htm"))
        return Usage();
    Configuration cfg = StartupConfiguration();
    GprsTexts texts;
    if (!OpenFile(a.files.front(), cfg, texts))
        return kFileFailed;
    const ReportInfo info{QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString(), std::nullopt};
    const std::string html = ReportHtml(cfg, texts, info);
    const bool saved = pdf ? SaveReportPdf(html, QString::fromStdString(ReportTitle(cfg)), a.out)
                           : SaveReportHtml(html, a.out);
    if (saved)
        return kDone;
    std::fprintf(stderr, "vedu-vk410ctl: не удалось записать файл: %s\n", a.out.toUtf8().constData());
    return kFileFailed;
}

} // namespace vk410::ctl
