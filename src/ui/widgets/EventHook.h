#pragma once
#include <QObject>
#include <functional>

namespace vk410 {

// An event filter that hands the watched object's events to a function; true
// from the function swallows the event. Parented to the watched object.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;
    EventHook(QObject* watched, Handler handler) : QObject(watched), handler_(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return handler_ && handler_(event); }

private:
    Handler handler_;
};

} // namespace vk410
