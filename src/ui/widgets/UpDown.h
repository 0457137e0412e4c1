#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vk410 {

// A spin bound to an edit: it keeps a position within [min, max] and writes it
// into the edit as decimal text, so that the edit's own change rule runs. The
// edit stays a plain QLineEdit with its own rules; the spin never reads it
// except to step from the number the user typed.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return edit_; }

    void SetRange(int min, int max);
    int Min() const { return min_; }
    int Max() const { return max_; }

    int Position() const { return position_; }
    // Takes the nearest bound for a value outside the range and writes the
    // position into the edit.
    void SetPosition(int value);

    // Up and down keys in the edit step the spin (on by default).
    void SetArrowKeys(bool on) { arrowKeys_ = on; }
    bool ArrowKeys() const { return arrowKeys_; }

    // One step as a click on an arrow does; +1 up, -1 down.
    void Step(int direction);

signals:
    // After a user's step, with the position it shows now.
    void Stepped(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void WriteEdit();
    int Clamp(int value) const;

    QLineEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool arrowKeys_ = true;
};

} // namespace vk410
