#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace vk410 {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent)
{
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void TUpDown::SetAssociate(QLineEdit* edit)
{
    if (edit_)
        edit_->removeEventFilter(this);
    edit_ = edit;
    if (edit_)
        edit_->installEventFilter(this);
}

void TUpDown::SetRange(int min, int max)
{
    min_ = min;
    max_ = max < min ? min : max;
    position_ = Clamp(position_);
}

int TUpDown::Clamp(int value) const { return value < min_ ? min_ : value > max_ ? max_ : value; }

void TUpDown::SetPosition(int value)
{
    position_ = Clamp(value);
    WriteEdit();
}

void TUpDown::WriteEdit()
{
    if (edit_)
        edit_->setText(QString::number(position_));
}

void TUpDown::Step(int direction)
{
    // Step from what the edit shows, as the user sees it.
    if (edit_) {
        bool ok = false;
        const int typed = edit_->text().toInt(&ok);
        if (ok)
            position_ = Clamp(typed);
    }
    const int next = Clamp(position_ + (direction > 0 ? 1 : -1));
    position_ = next;
    WriteEdit();
    emit Stepped(position_);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && arrowKeys_ && isEnabled() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    const int h = height() / 2;
    up_->setGeometry(0, 0, width(), h);
    down_->setGeometry(0, h, width(), height() - h);
}

} // namespace vk410
