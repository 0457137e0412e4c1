// The command line of vedu-vk410ctl: options, operands, help and what was wrong.
#include <algorithm>

#include "Commands.h"
#include "ConsoleOut.h"

namespace vk410::ctl {

namespace {

const QString kProgram = QStringLiteral("vedu-vk410ctl");

void Put(const QString& text, std::FILE* to) { WriteText(to, text); }

QString Utf8(const char* text) { return QString::fromUtf8(text); }

const OptionSpec* FindOption(const CommandSpec& spec, const QString& name)
{
    for (const OptionSpec& o : spec.options)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}

QString OptionText(const OptionSpec& o)
{
    return o.value ? Utf8(o.name) + QLatin1Char(' ') + Utf8(o.value) : Utf8(o.name);
}

// Two columns; a left text too long for its column puts the right one below
// it, and the right one's further lines keep to its column.
QString Columns(const QString& left, const QString& rightText, qsizetype width)
{
    const QString indent(width + 4, QLatin1Char(' '));
    QString right = rightText;
    right.replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
    if (left.size() > width)
        return QStringLiteral("  ") + left + QLatin1Char('\n') + indent + right + QLatin1Char('\n');
    return QStringLiteral("  ") + left.leftJustified(width + 2) + right + QLatin1Char('\n');
}

void PrintCommandHelp(const CommandSpec& spec)
{
    QString summary = Utf8(spec.summary);
    summary[0] = summary[0].toUpper();
    QString text = QStringLiteral("Использование: %1 %2 %3\n%4.\n\n")
                       .arg(kProgram, Utf8(spec.name), Utf8(spec.synopsis), summary);
    qsizetype width = 10;
    for (const OptionSpec& o : spec.options)
        width = std::max(width, OptionText(o).size());
    for (const OptionSpec& o : spec.options)
        text += Columns(OptionText(o), Utf8(o.help), width);
    text += Columns(QStringLiteral("-h, --help"), QStringLiteral("эта справка"), width);
    if (!spec.details.empty())
        text += QLatin1Char('\n') + QString::fromStdString(spec.details);
    Put(text, stdout);
}

bool Fail(int& code, const QString& text, const CommandSpec& spec)
{
    code = UsageError(text, &spec);
    return false;
}

bool IsHelp(const QString& s) { return s == QLatin1String("--help") || s == QLatin1String("-h"); }

// Where a value written into the option's own argument begins: "--name=value",
// and for a one-letter option "-oVALUE" or "-o=VALUE"; -1 when there is none.
qsizetype InlineValueAt(const CommandSpec& spec, const QString& s)
{
    if (s.startsWith(QLatin1String("--"))) {
        const qsizetype eq = s.indexOf(QLatin1Char('='));
        return eq < 0 ? -1 : eq + 1;
    }
    if (s.size() <= 2 || !FindOption(spec, s.left(2)))
        return -1;
    return s.at(2) == QLatin1Char('=') ? 3 : 2;
}

} // namespace

QString Args::Value(const char* option) const
{
    const auto it = given_.find(option);
    return it == given_.end() ? QString() : it->second;
}

void Message(const QString& text) { Put(kProgram + QStringLiteral(": ") + text + QLatin1Char('\n'), stderr); }

void PrintLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    Put(line + QLatin1Char('\n'), stderr);
    std::fflush(stderr);
}

int UsageError(const QString& text, const CommandSpec* command)
{
    Message(text);
    const QString help = command ? kProgram + QLatin1Char(' ') + Utf8(command->name) : kProgram;
    Put(QStringLiteral("Справка: %1 --help\n").arg(help), stderr);
    return kUsage;
}

void PrintOverview(const std::vector<CommandSpec>& commands, const std::string& footer, std::FILE* to)
{
    QString text = QStringLiteral("Использование: %1 КОМАНДА [ПАРАМЕТРЫ] [ФАЙЛЫ]\n"
                                  "Программатор приборов Varko-410 без окна.\n\nКоманды:\n").arg(kProgram);
    for (const CommandSpec& c : commands)
        text += Columns(Utf8(c.name) + QLatin1Char(' ') + Utf8(c.synopsis), Utf8(c.summary), 38);
    Put(text + QLatin1Char('\n') + QString::fromStdString(footer), to);
}

bool ParseArgs(const CommandSpec& spec, const QStringList& argv, Args& out, int& code)
{
    out.command = &spec;
    // Asking for help is never wrong, whatever else the line holds.
    const auto end = std::find(argv.begin(), argv.end(), QStringLiteral("--"));
    if (std::any_of(argv.begin(), end, IsHelp)) {
        PrintCommandHelp(spec);
        code = kDone;
        return false;
    }
    bool optionsEnded = false;
    for (qsizetype i = 0; i < argv.size(); ++i) {
        const QString& s = argv[i];
        if (!optionsEnded && s == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && s == QLatin1String("-"))
            return Fail(code, QStringLiteral("стандартный ввод не читается: укажите файл (файл с именем «-» — ./-)"),
                        spec);
        if (optionsEnded || !s.startsWith(QLatin1Char('-'))) {
            if (s.isEmpty())
                return Fail(code, QStringLiteral("пустой аргумент"), spec);
            out.operands << s;
            continue;
        }
        const qsizetype at = InlineValueAt(spec, s);
        const QString name = at < 0 ? s : s.left(s.startsWith(QLatin1String("--")) ? at - 1 : 2);
        const OptionSpec* o = FindOption(spec, name);
        if (!o)
            return Fail(code, QStringLiteral("неизвестный параметр %1").arg(name), spec);
        if (out.Has(o->name))
            return Fail(code, QStringLiteral("параметр %1 указан дважды").arg(name), spec);
        if (!o->value) {
            if (at >= 0)
                return Fail(code, QStringLiteral("у параметра %1 не бывает значения").arg(name), spec);
            out.Set(o->name, {});
            continue;
        }
        QString value;
        if (at >= 0)
            value = s.mid(at);
        else if (i + 1 < argv.size() && !FindOption(spec, argv[i + 1]))
            value = argv[++i];
        else
            return Fail(code, QStringLiteral("у параметра %1 нет значения %2").arg(name, Utf8(o->value)), spec);
        if (value.isEmpty())
            return Fail(code, QStringLiteral("пустое значение параметра %1").arg(name), spec);
        out.Set(o->name, value);
    }
    for (const OptionSpec& o : spec.options)
        if (o.required && !out.Has(o.name))
            return Fail(code, QStringLiteral("не указан параметр %1").arg(OptionText(o)), spec);
    const std::size_t count = std::size_t(out.operands.size());
    if (count < spec.minOperands)
        return Fail(code, QStringLiteral("не хватает аргумента %1").arg(Utf8(spec.operands[count])), spec);
    if (count > spec.operands.size())
        return Fail(code, QStringLiteral("лишний аргумент %1").arg(out.operands[qsizetype(spec.operands.size())]),
                    spec);
    return true;
}

} // namespace vk410::ctl
