// journal: the exchanges kept in the journal; and keeping them.
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

#include "Commands.h"

namespace vk410::ctl {
namespace {

QString PersonLine(const JournalEntry& e)
{
    return QStringList{JournalJson(e).value(QLatin1String("time")).toString(),
                       JournalOpTitle(e.op).toLower(), e.port,
                       JournalModelName(e), e.version ? QString::number(*e.version) : QStringLiteral("—"), e.text}
        .join(QLatin1Char('\t'));
}

} // namespace

void KeepInJournal(const FinishedExchange& x)
{
    if (x.code < 0)
        return; // no exchange ran
    if (const QString why = AddToJournal(x); !why.isEmpty())
        Message(QStringLiteral("запись журнала не сохранена: ") + why);
}

int CmdJournal(const Args& a)
{
    const bool json = a.Has("--json");
    const JournalContents journal = ReadJournal();
    if (!journal.readable) {
        Message(QStringLiteral("не удалось прочитать журнал в ") + JournalFolder());
        return kFileFailed;
    }
    if (journal.damaged > 0)
        Message(QStringLiteral("в журнале пропущены поврежденные строки: %1").arg(journal.damaged));
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
