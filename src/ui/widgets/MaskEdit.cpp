#include "MaskEdit.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>
#include <memory>
#include <algorithm>

#include "ui/Dialogs.h"

namespace vk410 {

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

MaskPosition Editable(MaskPosition::Kind kind, bool required) { return {kind, required, QChar()}; }

// Changes made outside the key handler (context menu, input methods) must
// still leave a text of the mask's shape.
class ShapeValidator : public QValidator {
public:
    ShapeValidator(const EditMask& mask, QObject* parent) : QValidator(parent), mask_(mask) {}
    State validate(QString& input, int&) const override
    {
        return mask_.Empty() || mask_.WellFormed(input) ? Acceptable : Invalid;
    }

private:
    const EditMask& mask_;
};

} // namespace

EditMask EditMask::Parse(const QString& mask)
{
    EditMask m;
    QString body = mask;
    const qsizetype last = body.lastIndexOf(QLatin1Char(';'));
    if (last >= 0) {
        const qsizetype prev = last > 0 ? body.lastIndexOf(QLatin1Char(';'), last - 1) : -1;
        if (prev >= 0 && prev < last) {
            if (last + 1 < body.size())
                m.blank = body.at(last + 1);
            m.keepLiterals = body.mid(prev + 1, last - prev - 1) != QLatin1String("0");
            body.truncate(prev);
        } else {
            m.keepLiterals = body.mid(last + 1) != QLatin1String("0");
            body.truncate(last);
        }
    }
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        switch (c.unicode()) {
        case '!': m.leadingBlanks = true; break;
        case '>':
        case '<': break;
        case '0': m.positions.push_back(Editable(MaskPosition::Digit, true)); break;
        case '9': m.positions.push_back(Editable(MaskPosition::Digit, false)); break;
        case '#': m.positions.push_back(Editable(MaskPosition::DigitOrSign, false)); break;
        case 'L': m.positions.push_back(Editable(MaskPosition::Letter, true)); break;
        case 'l': m.positions.push_back(Editable(MaskPosition::Letter, false)); break;
        case 'A': m.positions.push_back(Editable(MaskPosition::AlphaNum, true)); break;
        case 'a': m.positions.push_back(Editable(MaskPosition::AlphaNum, false)); break;
        case 'C': m.positions.push_back(Editable(MaskPosition::AnyChar, true)); break;
        case 'c': m.positions.push_back(Editable(MaskPosition::AnyChar, false)); break;
        case '\\':
            if (i + 1 < body.size())
                ++i;
            m.positions.push_back({MaskPosition::Literal, false, body.at(i)});
            break;
        default: m.positions.push_back({MaskPosition::Literal, false, c});
        }
    }
    return m;
}

bool EditMask::Fits(QChar c, std::size_t pos) const
{
    if (pos >= positions.size())
        return false;
    switch (positions[pos].kind) {
    case MaskPosition::Literal: return c == positions[pos].literal;
    case MaskPosition::Digit: return IsAsciiDigit(c);
    case MaskPosition::DigitOrSign:
        return IsAsciiDigit(c) || c == QLatin1Char('+') || c == QLatin1Char('-');
    case MaskPosition::Letter: return c.isLetter();
    case MaskPosition::AlphaNum: return c.isLetterOrNumber();
    case MaskPosition::AnyChar: return c.isPrint();
    }
    return false;
}

QString EditMask::Format(const QString& text) const
{
    QString out;
    out.reserve(qsizetype(positions.size()));
    qsizetype j = 0;
    std::size_t skip = 0; // editable positions left blank in front of a short text
    if (!keepLiterals && leadingBlanks) {
        const auto editable = std::size_t(std::count_if(positions.begin(), positions.end(), [](const MaskPosition& p) {
            return p.kind != MaskPosition::Literal;
        }));
        if (std::size_t(text.size()) < editable)
            skip = editable - std::size_t(text.size());
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const MaskPosition& p = positions[i];
        if (p.kind == MaskPosition::Literal) {
            if (keepLiterals && j < text.size() && text.at(j) == p.literal)
                ++j;
            out.append(p.literal);
        } else if (skip > 0) {
            --skip;
            out.append(blank);
        } else if (j < text.size()) {
            const QChar c = text.at(j++);
            out.append(Fits(c, i) ? c : blank);
        } else {
            out.append(blank);
        }
    }
    return out;
}

QString EditMask::Value(const QString& display) const
{
    QString out;
    for (std::size_t i = 0; i < positions.size() && qsizetype(i) < display.size(); ++i) {
        if (positions[i].kind == MaskPosition::Literal) {
            if (keepLiterals)
                out.append(positions[i].literal);
            continue;
        }
        const QChar c = display.at(qsizetype(i));
        out.append(c == blank ? QChar(QLatin1Char(' ')) : c);
    }
    return out;
}

bool EditMask::Complete(const QString& display) const
{
    if (!WellFormed(display))
        return false;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i].required && (display.at(qsizetype(i)) == blank || !Fits(display.at(qsizetype(i)), i)))
            return false;
    }
    return true;
}

bool EditMask::WellFormed(const QString& display) const
{
    if (std::size_t(display.size()) != positions.size())
        return false;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const QChar c = display.at(qsizetype(i));
        if (positions[i].kind == MaskPosition::Literal ? c != positions[i].literal : c != blank && !Fits(c, i))
            return false;
    }
    return true;
}

const QString TMaskEdit::kInvalidInputMessage =
    QStringLiteral("Invalid input value.  Use escape key to abandon changes");

TMaskEdit::TMaskEdit(MessageBoxes& msgs, QWidget* parent) : QLineEdit(parent), msgs_(msgs)
{
    setValidator(new ShapeValidator(mask_, this));
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, [this] { modified_ = true; });
}

void TMaskEdit::SetEditMask(const QString& mask)
{
    maskText_ = mask;
    mask_ = EditMask::Parse(mask);
    setMaxLength(mask_.Empty() ? 32767 : int(mask_.positions.size()));
    SetText(QString());
}

void TMaskEdit::SetText(const QString& text)
{
    QLineEdit::setText(mask_.Empty() ? text : mask_.Format(text));
    original_ = QLineEdit::text();
    modified_ = false;
}

QString TMaskEdit::Text() const { return mask_.Empty() ? QLineEdit::text() : mask_.Value(QLineEdit::text()); }

bool TMaskEdit::IsComplete() const { return mask_.Empty() || mask_.Complete(QLineEdit::text()); }

bool TMaskEdit::CanLeave() const
{
    if (!modified_)
        return true;
    return IsComplete() && (!extraCheck_ || extraCheck_(Text()));
}

void TMaskEdit::Restore()
{
    QLineEdit::setText(original_);
    modified_ = false;
}

void TMaskEdit::Leave()
{
    if (CanLeave())
        emit exited();
    else
        Refuse();
}

void TMaskEdit::Apply(const QString& display, int cursor)
{
    if (display != QLineEdit::text()) {
        QLineEdit::setText(display);
        modified_ = true;
    }
    setCursorPosition(cursor);
}

int TMaskEdit::NextEditable(int from) const
{
    for (int i = std::max(from, 0); i < int(mask_.positions.size()); ++i)
        if (mask_.positions[std::size_t(i)].kind != MaskPosition::Literal)
            return i;
    return -1;
}

void TMaskEdit::ClearRange(int from, int to)
{
    QString d = QLineEdit::text();
    for (int i = std::max(from, 0); i < to && i < d.size(); ++i)
        if (mask_.positions[std::size_t(i)].kind != MaskPosition::Literal)
            d[i] = mask_.blank;
    Apply(d, from);
}

bool TMaskEdit::IsLiteral(int pos) const { return mask_.positions[std::size_t(pos)].kind == MaskPosition::Literal; }

int TMaskEdit::FieldStart(int pos) const
{
    while (pos > 0 && !IsLiteral(pos - 1))
        --pos;
    return pos;
}

int TMaskEdit::FieldEnd(int pos) const
{
    while (pos < int(mask_.positions.size()) && !IsLiteral(pos))
        ++pos;
    return pos;
}

bool TMaskEdit::DigitField(int start, int end) const
{
    for (int i = start; i < end; ++i)
        if (mask_.positions[std::size_t(i)].kind != MaskPosition::Digit)
            return false;
    return start < end;
}

// The digits typed into [start, typedEnd) become the number of the field of
// digits [start, end): right-aligned, with leading zeros.
void TMaskEdit::EndNumber(int start, int typedEnd, int end, int cursor)
{
    QString d = QLineEdit::text();
    if (hasSelectedText())
        for (int i = selectionStart(); i < selectionEnd(); ++i)
            if (!IsLiteral(i))
                d[i] = mask_.blank;
    QString digits;
    for (int i = start; i < typedEnd; ++i)
        if (d.at(i) != mask_.blank)
            digits.append(d.at(i));
    const auto zeros = end - start - int(digits.size());
    for (int i = start; i < end; ++i)
        d[i] = i - start < zeros ? QLatin1Char('0') : digits.at(i - start - zeros);
    Apply(d, cursor);
}

// The literal that ends a field of digits ends the number typed there, as an
// address is written: "1." gives "001." and the cursor moves on.
bool TMaskEdit::TypeFieldEnd(QChar c, int p)
{
    const int start = FieldStart(p);
    const int end = FieldEnd(p);
    if (end >= int(mask_.positions.size()) || mask_.positions[std::size_t(end)].literal != c ||
        !DigitField(start, end))
        return false;
    // Right after the number's last digit the cursor has moved on already.
    if (p == start)
        return true;
    const int next = NextEditable(end + 1);
    EndNumber(start, p, end, next < 0 ? end + 1 : next);
    return true;
}

void TMaskEdit::TypeChar(QChar c)
{
    const int p = hasSelectedText() ? selectionStart() : cursorPosition();
    if (TypeFieldEnd(c, p))
        return;
    const auto n = int(mask_.positions.size());
    const bool literal = p < n && IsLiteral(p) && c == mask_.positions[std::size_t(p)].literal;
    const int q = NextEditable(p);
    // A refused character leaves the text and its selection as they were.
    if (!literal && (q < 0 || !mask_.Fits(c, std::size_t(q))))
        return;
    if (hasSelectedText())
        ClearRange(p, p + int(selectedText().size()));
    if (literal) {
        setCursorPosition(p + 1);
        return;
    }
    QString d = QLineEdit::text();
    d[q] = c;
    const int next = NextEditable(q + 1);
    Apply(d, next < 0 ? q + 1 : next);
}

void TMaskEdit::InsertString(const QString& s)
{
    for (QChar c : s)
        TypeChar(c);
    // Pasted as written ("10.0.0.1:5000"), the text's end ends its last number.
    const bool written = std::any_of(mask_.positions.begin(), mask_.positions.end(), [&s](const MaskPosition& m) {
        return m.kind == MaskPosition::Literal && s.contains(m.literal);
    });
    const int p = cursorPosition();
    if (!written || p >= int(mask_.positions.size()) || IsLiteral(p))
        return;
    const int start = FieldStart(p);
    const int end = FieldEnd(p);
    if (p > start && DigitField(start, end))
        EndNumber(start, p, end, end);
}

void TMaskEdit::Backspace()
{
    if (hasSelectedText()) {
        ClearRange(selectionStart(), selectionStart() + int(selectedText().size()));
        return;
    }
    for (int q = cursorPosition() - 1; q >= 0; --q) {
        if (mask_.positions[std::size_t(q)].kind != MaskPosition::Literal) {
            QString d = QLineEdit::text();
            d[q] = mask_.blank;
            Apply(d, q);
            return;
        }
    }
}

void TMaskEdit::DeleteForward()
{
    if (hasSelectedText()) {
        ClearRange(selectionStart(), selectionStart() + int(selectedText().size()));
        return;
    }
    const int p = cursorPosition();
    const int q = NextEditable(p);
    if (q < 0)
        return;
    QString d = QLineEdit::text();
    d[q] = mask_.blank;
    Apply(d, p);
}

void TMaskEdit::keyPressEvent(QKeyEvent* e)
{
    if (mask_.Empty()) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        InsertString(QGuiApplication::clipboard()->text());
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            copy();
            ClearRange(selectionStart(), selectionStart() + int(selectedText().size()));
        }
        return;
    }
    switch (e->key()) {
    case Qt::Key_Backspace: Backspace(); return;
    case Qt::Key_Delete: DeleteForward(); return;
    case Qt::Key_Escape:
        if (modified_) {
            Restore();
            return;
        }
        e->ignore();
        return;
    default: break;
    }
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!e->text().isEmpty() && e->text().at(0).isPrint() && !(e->modifiers() & commands)) {
        InsertString(e->text());
        return;
    }
    // Only movement, selection and copy reach the plain edit; its other
    // editing keys would break the mask's shape.
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::SelectAll) || e->key() == Qt::Key_Left ||
        e->key() == Qt::Key_Right || e->key() == Qt::Key_Home || e->key() == Qt::Key_End ||
        e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    e->ignore();
}

void TMaskEdit::contextMenuEvent(QContextMenuEvent* e)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's paste goes through the mask as Ctrl+V does.
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu->actions()) {
        if (mask_.Empty() || !action->text().startsWith(paste))
            continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this, [this] { InsertString(QGuiApplication::clipboard()->text()); });
    }
    menu->exec(e->globalPos());
}

void TMaskEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    const Qt::FocusReason r = e->reason();
    if (!refusing_ && r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason) {
        original_ = QLineEdit::text();
        modified_ = false;
        // Focus given by the program (an editor opened over a cell) selects
        // the text, so that typing replaces it from the first position.
        if (r == Qt::OtherFocusReason && !mask_.Empty())
            selectAll();
    }
}

void TMaskEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    const Qt::FocusReason r = e->reason();
    if (refusing_ || r == Qt::PopupFocusReason || r == Qt::ActiveWindowFocusReason)
        return;
    if (!CanLeave()) {
        if (isVisible() && isEnabled()) {
            Refuse();
            return;
        }
        // Hidden or disabled under the user's hands: the changes are abandoned.
        Restore();
    }
    emit exited();
}

void TMaskEdit::Refuse()
{
    refusing_ = true;
    setFocus(Qt::OtherFocusReason);
    refusing_ = false;
    // A click on a button refuses twice, on the press and in the command it
    // runs: one box for both.
    if (boxPending_)
        return;
    boxPending_ = true;
    msgs_.Beep();
    // The box waits until the focus change is over: a modal loop inside it
    // would run in the middle of the toolkit's focus bookkeeping.
    QMetaObject::invokeMethod(
        this,
        [this] {
            boxPending_ = false;
            // A window closed meanwhile takes its box with it.
            if (isVisible())
                msgs_.ShowError(kInvalidInputMessage);
        },
        Qt::QueuedConnection);
}

} // namespace vk410
