#pragma once

#include <QMetaObject>
#include <QThread>

// The Adapter's slaves live in its worker thread and are touched only
// there. The few Adapter operations that other threads may call run their
// work through this.
template <typename Object, typename Fn>
auto runInThread(Object *object, Fn fn)
{
    using Result = decltype(fn());
    if (QThread::currentThread() == object->thread() || !object->thread()->isRunning())
        return fn();
    Result result{};
    QMetaObject::invokeMethod(object, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
}
