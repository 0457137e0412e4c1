#include "ListKeys.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTabWidget>

namespace vk410 {

namespace {

class PageKeysFilter : public QObject {
public:
    PageKeysFilter(QTabWidget* pages, QObject* parent) : QObject(parent), pages_(pages) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::ControlModifier) ||
            (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab))
            return false;
        // The tab widget's own handling skips the pages that are switched off.
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
        QCoreApplication::sendEvent(pages_, &copy);
        return true;
    }

private:
    QTabWidget* pages_;
};

} // namespace

void PassPageKeysFromLists(QWidget* root, QTabWidget* pages)
{
    auto* filter = new PageKeysFilter(pages, root);
    for (QComboBox* list : root->findChildren<QComboBox*>())
        list->installEventFilter(filter);
}

} // namespace vk410
