#include "ListWheel.h"

#include <QComboBox>
#include <QEvent>

namespace vk410 {

namespace {

class ListWheelFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        // Ignored, the notch travels on to the parents.
        event->ignore();
        return true;
    }
};

} // namespace

void KeepWheelToFocusedLists(QWidget* root)
{
    auto* filter = new ListWheelFilter(root);
    for (QComboBox* list : root->findChildren<QComboBox*>()) {
        list->setFocusPolicy(Qt::StrongFocus);
        list->installEventFilter(filter);
    }
}

} // namespace vk410
