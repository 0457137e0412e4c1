#pragma once
#include <QObject>
#include <functional>

namespace vk410 {

// An event filter that hands the watched object's events to a function; true
// from the function swallows the event. Parented to the watched object. A
// hook on the application sees every object's events, with the object.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;
    using TargetHandler = std::function<bool(QObject* target, QEvent*)>;
    EventHook(QObject* watched, Handler handler)
        : EventHook(watched, [handler = std::move(handler)](QObject*, QEvent* event) { return handler && handler(event); })
    {
    }
    EventHook(QObject* watched, TargetHandler handler) : QObject(watched), handler_(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* target, QEvent* event) override { return handler_ && handler_(target, event); }

private:
    TargetHandler handler_;
};

} // namespace vk410
