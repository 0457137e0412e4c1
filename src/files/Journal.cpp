#include "Journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <cmath>
#include <cstdlib>
#include <set>

#include "model/Devices.h"
#include "ConfigJson.h"
#include "ConfigJsonReader.h"
#include "FileOps.h"
#include "link/PanelLink.h"
#include "link/WriteSession.h"
#include "Settings.h"
#include "JournalLock.h"
#include "SystemError.h"

namespace vk410 {
namespace {

const QString kIndexName = QStringLiteral("index.jsonl");
constexpr QFileDevice::Permissions kFolderMode =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kFileMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kMaxLine = 64 * 1024; // an entry is a few hundred bytes

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// ": why" behind a message, or nothing when the reason is unknown.
QString Reason(const QString& why) { return why.isEmpty() ? QString() : QStringLiteral(": ") + why; }
QString ReasonAfter(int error)
{
    return error == 0 ? QString() : Reason(QString::fromStdString(ErrorWords(error, FileAccess::Write)));
}

QString IsoTime(const QDateTime& t)
{
    const int offset = t.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QLatin1Char zero('0');
    return t.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, zero).arg(minutes % 60, 2, 10, zero);
}

QJsonValue OrNull(const std::optional<int>& v) { return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null); }

// An integer within [lo, hi], or none; null is none too, told apart by the caller.
std::optional<int> IntIn(const QJsonValue& v, int lo, int hi)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < lo || d > hi)
        return std::nullopt;
    return int(d);
}

const QString kCf8 = QStringLiteral(".cf8");
const QString kBytes = QStringLiteral(".json");
const QString kTrace = QStringLiteral(".txt");

// Only names the journal gives its own files: an index line can never point
// "Открыть" or the removal of old entries anywhere else.
bool IsEntryFileName(const QString& name, const QString& extension)
{
    if (!name.endsWith(extension) || name.size() <= extension.size())
        return false;
    for (const QChar c : name.chopped(extension.size()))
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('-')))
            return false;
    return true;
}

struct OpName {
    JournalOp op;
    const char* key;
    const char* title;
};
const OpName kOpNames[] = {
    {JournalOp::Read, "read", "Чтение"},
    {JournalOp::Write, "write", "Запись"},
    {JournalOp::Compare, "compare", "Сравнение"},
    {JournalOp::Backup, "backup", "Чтение перед записью"},
    {JournalOp::Rollback, "rollback", "Возврат прежних настроек"},
};

const OpName& NameOf(JournalOp op)
{
    for (const OpName& n : kOpNames)
        if (n.op == op)
            return n;
    return kOpNames[0];
}

std::optional<JournalOp> OpFromKey(const QString& key)
{
    for (const OpName& n : kOpNames)
        if (key == QLatin1String(n.key))
            return n.op;
    return std::nullopt;
}

// The entry of one index line; file stays the name within the folder.
std::optional<JournalEntry> EntryFromLine(const QByteArray& line)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    JournalEntry e;
    e.time = QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODate);
    const std::optional<JournalOp> op = OpFromKey(o.value(QLatin1String("operation")).toString());
    const QJsonValue model = o.value(QLatin1String("model")), version = o.value(QLatin1String("version"));
    const std::optional<int> outcome = IntIn(o.value(QLatin1String("outcome")), 0, 4);
    for (const char* key : {"port", "device", "text", "file"})
        if (!o.value(QLatin1String(key)).isString())
            return std::nullopt;
    e.port = o.value(QLatin1String("port")).toString();
    e.device = o.value(QLatin1String("device")).toString();
    e.text = o.value(QLatin1String("text")).toString();
    e.file = o.value(QLatin1String("file")).toString();
    // Keys that older entries lack.
    for (const char* key : {"bytes", "trace", "diagnosis"}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isString())
            return std::nullopt;
    }
    e.bytes = o.value(QLatin1String("bytes")).toString();
    e.trace = o.value(QLatin1String("trace")).toString();
    e.diagnosis = o.value(QLatin1String("diagnosis")).toString();
    e.model = IntIn(model, 0, 1);
    e.version = IntIn(version, 0, 255);
    if (!e.time.isValid() || !op || !outcome ||
        *outcome == kReportReplyArriving || (!model.isNull() && !e.model) || (!version.isNull() && !e.version) ||
        (!e.file.isEmpty() && !IsEntryFileName(e.file, kCf8)) || (!e.bytes.isEmpty() && !IsEntryFileName(e.bytes, kBytes)) ||
        (!e.trace.isEmpty() && !IsEntryFileName(e.trace, kTrace)))
        return std::nullopt;
    e.op = *op;
    e.outcome = *outcome;
    return e;
}

struct IndexLine {
    QByteArray raw;
    std::optional<JournalEntry> entry;
};

// Every non-empty line of the index, oldest first; an overlong line counts
// as damaged. False when the index cannot be read, with why.
bool ReadIndex(const QString& path, std::vector<IndexLine>& lines, QString* why = nullptr)
{
    QFile file;
    if (!OpenRegularForReading(file, path, why))
        return false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(kMaxLine);
        bool overlong = false;
        while (!line.endsWith('\n') && !file.atEnd()) {
            overlong = true;
            line = file.readLine(kMaxLine);
        }
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        lines.push_back({line, overlong ? std::nullopt : EntryFromLine(line)});
    }
    if (file.error() == QFileDevice::NoError)
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

// One line at the end, flushed; empty, or why not. A line an earlier failure
// cut short is ended first, so that it cannot swallow this one.
QString AppendLine(const QString& path, QByteArray line)
{
    QFile file;
    QString why;
    if (!OpenRegularForAppending(file, path, &why))
        return why;
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n")
        line.prepend('\n');
    QFile::setPermissions(path, kFileMode);
    errno = 0;
    if (file.write(line) == line.size() && file.flush())
        return {};
    return FailureWords(file, errno, true);
}

// Drops the oldest entries beyond the limit, with their files. The index is
// replaced as a whole, so a failure here leaves it as it was.
void Prune(const QDir& dir)
{
    const QString path = dir.filePath(kIndexName);
    std::vector<IndexLine> lines;
    if (!ReadIndex(path, lines) || lines.size() <= std::size_t(kJournalLimit))
        return;
    std::ptrdiff_t surplus = -std::ptrdiff_t(kJournalLimit);
    for (const IndexLine& l : lines)
        surplus += l.entry ? 1 : 0;
    QByteArray kept;
    std::set<QString> keptFiles, dropped;
    for (const IndexLine& l : lines) {
        if (!l.entry)
            continue;
        std::set<QString>& files = surplus-- > 0 ? dropped : keptFiles;
        files.insert(l.entry->file);
        files.insert(l.entry->bytes);
        files.insert(l.entry->trace);
        if (&files == &keptFiles)
            kept += l.raw + '\n';
    }
    if (!SaveFileAtomically(path, std::string_view(kept.constData(), std::size_t(kept.size()))))
        return;
    QFile::setPermissions(path, kFileMode);
    for (const QString& name : dropped)
        if (!name.isEmpty() && !keptFiles.count(name))
            QFile::remove(dir.filePath(name));
}

// A name of its own for the entry's files (without extension); the caller
// holds the lock.
QString FreeStem(const QDir& dir, const JournalEntry& e)
{
    const QString base = e.time.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                         QLatin1Char('-') + JournalOpKey(e.op);
    QString stem = base;
    const auto taken = [&dir](const QString& s) {
        for (const QString& extension : {kCf8, kBytes, kTrace})
            if (QFileInfo::exists(dir.filePath(s + extension)))
                return true;
        return false;
    };
    for (int n = 2; taken(stem); ++n)
        stem = base + QStringLiteral("-%1").arg(n);
    return stem;
}

// Saves the entry's .cf8 and its bytes; on failure removes what it wrote
// and names the file that failed, and why.
bool SaveEntryFiles(const QDir& dir, const QString& stem, const FinishedExchange& x, const Configuration& cfg,
                    const GprsTexts& texts, QString& failed, QString& why)
{
    const QString cf8 = dir.filePath(stem + kCf8), bytes = dir.filePath(stem + kBytes);
    const std::optional<int> version = x.result.version >= 0 ? std::optional(x.result.version) : std::nullopt;
    bool saved = false;
    try {
        failed = cf8;
        saved = SaveConfigFile(cf8, cfg, texts, cfg.model, &why) && QFile::setPermissions(cf8, kFileMode);
        if (saved)
            failed = bytes;
        saved = saved && SaveFileAtomically(bytes, ConfigJson(cfg, texts, version) + "\n", &why) &&
                QFile::setPermissions(bytes, kFileMode);
    } catch (const std::exception& error) {
        why = QString::fromUtf8(error.what());
        saved = false;
    }
    if (!saved) {
        QFile::remove(cf8);
        QFile::remove(bytes);
    }
    return saved;
}

JournalEntry EntryFor(const FinishedExchange& x)
{
    const ExchangeResult& r = x.result;
    const QDateTime now = QDateTime::currentDateTime();
    JournalEntry e;
    e.time = now.toOffsetFromUtc(now.offsetFromUtc());
    e.op = OpOf(x);
    e.port = x.port;
    e.device = x.device;
    if (r.isWrite || r.mainTaken)
        e.model = r.blocks.model;
    if (r.version >= 0)
        e.version = r.version;
    e.outcome = x.code;
    e.text = JournalOutcomeText(x);
    e.diagnosis = DiagnosisText(x.code, r);
    return e;
}

// The exchange's record as text beside the entry; false when it could not be saved.
bool SaveTrace(const QString& path, const ExchangeRecord& record, QString& why)
{
    const std::string text = RecordText(record.Entries(), record.IsWrite());
    return SaveFileAtomically(path, text, &why) && QFile::setPermissions(path, kFileMode);
}

QString ConfirmedText(const ExchangeResult& r)
{
    const QStringList blocks = BlockNames(ConfirmedBlocks(r));
    return blocks.isEmpty() ? QStringLiteral(". Прибор не подтвердил ни одного блока")
                            : QStringLiteral(". ") + StatusText::Confirmed + blocks.join(QStringLiteral(", "));
}

} // namespace

JournalOp JournalOpOf(WriteStep step)
{
    switch (step) {
    case WriteStep::Backup:
        return JournalOp::Backup;
    case WriteStep::Rollback:
        return JournalOp::Rollback;
    default:
        return JournalOp::Write;
    }
}

QString JournalOpKey(JournalOp op) { return QString::fromLatin1(NameOf(op).key); }

QString JournalOpTitle(JournalOp op) { return QString::fromUtf8(NameOf(op).title); }

JournalOp OpOf(const FinishedExchange& x)
{
    return x.op.value_or(x.result.isWrite ? JournalOp::Write : JournalOp::Read);
}

QString JournalFolder()
{
    const QString data = ProgrammerDataFolder();
    return data.isEmpty() ? QString() : data + QStringLiteral("/journal");
}

QString JournalOutcomeText(const FinishedExchange& x)
{
    const ExchangeResult& r = x.result;
    switch (x.code) {
    case kReportDone:
        return r.isWrite ? StatusText::WriteDone : StatusText::ReadDone + QString::number(r.version);
    case kReportPortFailed:
        // The box's text on one line, when there is no reason to give.
        if (x.openError.isEmpty())
            return QString(StatusText::PortFailedText).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        return x.openError;
    case kReportReadFailed:
        return StatusText::ReadFailed;
    default:
        if (r.refused)
            return StatusText::NoGprsSettings;
        return StatusText::WriteFailed + (r.mainTaken ? ConfirmedText(r) : QString());
    }
}

bool JournalConfiguration(const FinishedExchange& x, Configuration& cfg, GprsTexts& texts)
{
    const ExchangeResult& r = x.result;
    if (!r.mainTaken)
        return false;
    if (r.isWrite) {
        cfg = r.blocks;
        texts = x.sentTexts;
        return true;
    }
    cfg = StartupConfiguration(r.blocks.model);
    ApplyExchangeResult(r, cfg);
    cfg.model = r.blocks.model; // a failed read leaves the model to its caller
    texts = {};
    LoadGprsTexts(cfg.gprs, texts);
    return true;
}

bool LoadJournalBytes(const QString& path, Configuration& cfg, GprsTexts& texts, QString& why)
{
    constexpr qint64 kMaxBytesFile = 16 * 1024; // a few hundred bytes of hex
    QFile file;
    // A pipe or a device would be read without end, or waited on.
    if (!OpenRegularForReading(file, path, &why) || file.size() > kMaxBytesFile) {
        why = Native(path) + QStringLiteral(": ") + (why.isEmpty() ? QStringLiteral("слишком большой файл") : why);
        return false;
    }
    if (!ConfigFromJson(file.read(kMaxBytesFile), cfg, texts, why)) {
        why = Native(path) + QStringLiteral(": ") + why;
        return false;
    }
    return true;
}

QString JournalBytesOf(const QString& entryFile)
{
    if (!entryFile.endsWith(kCf8))
        return {};
    const QString bytes = entryFile.chopped(kCf8.size()) + kBytes;
    return QFileInfo(bytes).isFile() ? bytes : QString();
}

bool MakeJournalFolder(const QString& folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    // Best effort: where the system knows no such mode, the user's profile keeps it private.
    QFile::setPermissions(folder, kFolderMode);
    return true;
}

QString JournalModelName(const JournalEntry& e)
{
    const TDevices* row = e.model ? DeviceRow(unsigned(*e.model)) : nullptr;
    return row ? QString::fromUtf8(row->name) : QStringLiteral("—");
}

QString AddToJournal(const FinishedExchange& x, const QString& folder)
{
    if (folder.isEmpty())
        return QStringLiteral("папка данных пользователя не известна");
    const QDir dir(folder);
    errno = 0;
    if (!MakeJournalFolder(folder))
        return QStringLiteral("не удалось создать папку %1").arg(Native(folder)) + ReasonAfter(errno);
    // The exchange's time, not the lock's.
    JournalEntry e = EntryFor(x);
    const JournalLock lock(folder);
    if (!lock.Held())
        return lock.Why();
    const QString stem = FreeStem(dir, e);
    Configuration cfg;
    GprsTexts texts;
    if (JournalConfiguration(x, cfg, texts)) {
        QString failed, why;
        if (!SaveEntryFiles(dir, stem, x, cfg, texts, failed, why))
            return QStringLiteral("не удалось записать файл %1").arg(Native(failed)) + Reason(why);
        e.file = stem + kCf8;
        e.bytes = stem + kBytes;
    }
    const auto removeFiles = [&] {
        for (const QString& name : {e.file, e.bytes, e.trace})
            if (!name.isEmpty())
                QFile::remove(dir.filePath(name));
    };
    if (x.result.record && x.result.record->Size() > 0) {
        QString why;
        if (!SaveTrace(dir.filePath(stem + kTrace), *x.result.record, why)) {
            removeFiles();
            return QStringLiteral("не удалось записать файл %1").arg(Native(dir.filePath(stem + kTrace))) + Reason(why);
        }
        e.trace = stem + kTrace;
    }
    const QString index = dir.filePath(kIndexName);
    if (const QString why = AppendLine(index, QJsonDocument(JournalJson(e)).toJson(QJsonDocument::Compact) + '\n');
        !why.isEmpty()) {
        removeFiles();
        return QStringLiteral("не удалось дополнить файл %1").arg(Native(index)) + Reason(why);
    }
    Prune(dir);
    return {};
}

JournalContents ReadJournal(const QString& folder)
{
    JournalContents c;
    if (folder.isEmpty())
        return c;
    const QDir dir(folder);
    const QString index = dir.filePath(kIndexName);
    if (!QFileInfo::exists(index))
        return c;
    std::vector<IndexLine> lines;
    c.readable = ReadIndex(index, lines, &c.why);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (!it->entry) {
            ++c.damaged;
            continue;
        }
        JournalEntry e = *it->entry;
        for (QString* name : {&e.file, &e.bytes, &e.trace})
            if (!name->isEmpty())
                *name = QFileInfo(dir.filePath(*name)).absoluteFilePath();
        c.entries.push_back(e);
    }
    return c;
}

QJsonObject JournalJson(const JournalEntry& e)
{
    return QJsonObject{
        {QStringLiteral("time"), IsoTime(e.time)},
        {QStringLiteral("operation"), JournalOpKey(e.op)},
        {QStringLiteral("port"), e.port},
        {QStringLiteral("device"), e.device},
        {QStringLiteral("model"), OrNull(e.model)},
        {QStringLiteral("version"), OrNull(e.version)},
        {QStringLiteral("outcome"), e.outcome},
        {QStringLiteral("text"), e.text},
        {QStringLiteral("file"), e.file},
        {QStringLiteral("bytes"), e.bytes},
        {QStringLiteral("trace"), e.trace},
        {QStringLiteral("diagnosis"), e.diagnosis},
    };
}

} // namespace vk410
