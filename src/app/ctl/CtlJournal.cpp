// journal: the exchanges kept in the journal; and keeping them.
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

#include "Commands.h"
#include "ConsoleOut.h"
#include "files/FileTexts.h"

namespace vk410::ctl {
namespace {

// Numbered from 1, the newest, as --from-journal takes them.
QString PersonLine(std::size_t number, const JournalEntry& e)
{
    return QStringList{QString::number(number), JournalJson(e).value(QLatin1String("time")).toString(),
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
        Message(QStringLiteral("не удалось прочитать журнал в ") + JournalFolder() +
                (journal.why.isEmpty() ? QString() : QStringLiteral(": ") + journal.why));
        return kFileFailed;
    }
    if (journal.damaged > 0)
        Message(QStringLiteral("в журнале пропущены поврежденные строки: %1").arg(journal.damaged));
    if (json) {
        QJsonArray list;
        for (const JournalEntry& e : journal.entries)
            list.append(JournalJson(e));
        WriteText(stdout, QJsonDocument(list).toJson(QJsonDocument::Compact).append('\n').toStdString());
        return kDone;
    }
    for (std::size_t i = 0; i < journal.entries.size(); ++i)
        WriteText(stdout, PersonLine(i + 1, journal.entries[i]) + QLatin1Char('\n'));
    return kDone;
}

int JournalEntryToWrite(const Args& a, Configuration& cfg, GprsTexts& texts, bool& exact)
{
    bool ok = false;
    const QString text = a.Value("--from-journal");
    const qlonglong n = text.toLongLong(&ok);
    if (!ok || n < 1 || text != QString::number(n))
        return UsageError(QStringLiteral("номер записи журнала — целое число от 1: %1").arg(text), a.command);
    const JournalContents journal = ReadJournal();
    if (n > qlonglong(journal.entries.size())) {
        Message(QStringLiteral("в журнале нет записи %1 (записей: %2)").arg(n).arg(journal.entries.size()));
        return kFileFailed;
    }
    const JournalEntry& e = journal.entries[std::size_t(n - 1)];
    if (e.file.isEmpty()) {
        Message(QStringLiteral("запись журнала %1 не хранит конфигурации: %2").arg(n).arg(e.text));
        return kFileFailed;
    }
    exact = !e.bytes.isEmpty();
    if (!exact)
        return OpenFile(e.file, cfg, texts) ? kDone : kFileFailed;
    QString why;
    if (LoadJournalBytes(e.bytes, cfg, texts, why))
        return kDone;
    Message(QString::fromUtf8(kFileRejected) + QStringLiteral(": ") + why);
    return kFileFailed;
}

} // namespace vk410::ctl
