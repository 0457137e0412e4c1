// journal: the exchanges kept in the journal; and keeping them.
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

#include "Commands.h"

namespace vk410::ctl {
namespace {

void Warn(const QString& text) { std::fprintf(stderr, "vedu-vk410ctl: %s\n", text.toUtf8().constData()); }

QString PersonLine(const JournalEntry& e)
{
    return QStringList{JournalJson(e).value(QLatin1String("time")).toString(),
                       e.isWrite ? QStringLiteral("запись") : QStringLiteral("чтение"), e.port,
                       JournalModelName(e), e.version ? QString::number(*e.version) : QStringLiteral("—"), e.text}
        .join(QLatin1Char('\t'));
}

} // namespace

void KeepInJournal(const FinishedExchange& x)
{
    if (x.code < 0)
        return; // no exchange ran
    if (const QString why = AddToJournal(x); !why.isEmpty())
        Warn(QStringLiteral("запись журнала не сохранена: ") + why);
}

int CmdJournal(const QStringList& args)
{
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!json && !args.isEmpty()) {
        PrintUsage();
        return kUsage;
    }
    const JournalContents journal = ReadJournal();
    if (!journal.readable) {
        Warn(QStringLiteral("не удалось прочитать журнал в ") + JournalFolder());
        return kFileFailed;
    }
    if (journal.damaged > 0)
        Warn(QStringLiteral("в журнале пропущены поврежденные строки: %1").arg(journal.damaged));
    if (json) {
        QJsonArray list;
        for (const JournalEntry& e : journal.entries)
            list.append(JournalJson(e));
        std::printf("%s\n", QJsonDocument(list).toJson(QJsonDocument::Compact).constData());
        return kDone;
    }
    for (const JournalEntry& e : journal.entries)
        std::printf("%s\n", PersonLine(e).toUtf8().constData());
    return kDone;
}

} // namespace vk410::ctl
