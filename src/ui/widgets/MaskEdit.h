#pragma once
#include <QLineEdit>
#include <functional>
#include <vector>

namespace vk410 {

class MessageBoxes;

// One position of an edit mask.
struct MaskPosition {
    enum Kind { Literal, Digit, DigitOrSign, Letter, AlphaNum, AnyChar };
    Kind kind = Literal;
    bool required = false;
    QChar literal;
};

// A parsed edit mask "body;keep literals;blank": 0 required digit, 9 optional
// digit, # digit or sign, L/l letter, A/a letter or digit, C/c any character
// (upper case required), \ makes the next character a literal, ! puts the
// characters of a short text at the end, > and < are accepted and ignored.
struct EditMask {
    std::vector<MaskPosition> positions;
    bool keepLiterals = true;
    bool leadingBlanks = false;
    QChar blank = QLatin1Char('_');

    static EditMask Parse(const QString& mask);
    bool Empty() const { return positions.empty(); }
    bool Fits(QChar c, std::size_t pos) const;
    // The display text for a text given with or without the literals.
    QString Format(const QString& text) const;
    // What the text reads as: display with blanks as spaces, literals only when kept.
    QString Value(const QString& display) const;
    bool Complete(const QString& display) const;
    bool WellFormed(const QString& display) const;
};

// A line edit that follows an edit mask: typing overwrites positions, literals
// are skipped, and a text changed by the user that leaves a required position
// empty cannot be left: the edit keeps the focus, beeps and shows its message.
// Esc restores the text the edit had when the edit began.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    static const QString kInvalidInputMessage;

    TMaskEdit(MessageBoxes& msgs, QWidget* parent = nullptr);

    void SetEditMask(const QString& mask);
    QString EditMaskText() const { return maskText_; }
    const EditMask& Mask() const { return mask_; }

    // Sets the text through the mask; the edit begins again from it.
    void SetText(const QString& text);
    // The text as the mask reads it (";1" keeps the literals, ";0" drops them).
    QString Text() const;

    bool Modified() const { return modified_; }
    bool IsComplete() const;
    // True when the edit may be left: unchanged, or complete and accepted by
    // the extra check.
    bool CanLeave() const;
    // Back to the text the edit had when the edit began.
    void Restore();
    // Ends the edit as leaving it does, wherever the focus is: exited() when
    // the text may be left, otherwise the refusal.
    void Leave();
    // A further condition on a complete text (e.g. octets up to 255).
    void SetExtraCheck(std::function<bool(const QString&)> check) { extraCheck_ = std::move(check); }

signals:
    // The focus left with an acceptable text.
    void exited();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Apply(const QString& display, int cursor);
    void TypeChar(QChar c);
    bool TypeFieldEnd(QChar c, int pos);
    void EndNumber(int start, int typedEnd, int end, int cursor);
    bool IsLiteral(int pos) const;
    bool DigitField(int start, int end) const;
    int FieldStart(int pos) const;
    int FieldEnd(int pos) const;
    void InsertString(const QString& s);
    void ClearRange(int from, int to);
    void Backspace();
    void DeleteForward();
    int NextEditable(int from) const;
    void Refuse();

    MessageBoxes& msgs_;
    EditMask mask_;
    QString maskText_;
    QString original_;
    bool modified_ = false;
    bool refusing_ = false;
    bool boxPending_ = false;
    std::function<bool(const QString&)> extraCheck_;
};

} // namespace vk410
