#include "StartupTrace.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

// Reports the first expose of the window it watches, then the first paint
// of the widget, and goes away.
class FirstPicture : public QObject
{
public:
    FirstPicture(QWidget *widget, QWindow *window, std::function<void()> then)
        : QObject(window)
        , m_widget(widget)
        , m_then(std::move(then))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_mapped && event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            m_mapped = true;
            StartupTrace::mark("mapped");
            m_widget->installEventFilter(this);
        } else if (m_mapped && watched == m_widget && event->type() == QEvent::Paint) {
            // After the widget's own paint handler: filters run before it,
            // so the mark waits for the end of this event.
            m_widget->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [this] {
                StartupTrace::mark("painted");
                if (m_then)
                    m_then();
                deleteLater();
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *m_widget;
    std::function<void()> m_then;
    bool m_mapped = false;
};

} // namespace

namespace StartupTrace {

bool enabled()
{
    static const bool on = [] {
        const char *value = std::getenv("TARNBUS_STARTUP_TRACE");
        return value && *value;
    }();
    return on;
}

void mark(const char *phase)
{
    if (!enabled())
        return;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    char line[160];
    const int length = std::snprintf(line, sizeof line, "tarnbus-startup %s %lld\n", phase,
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (length > 0)
        (void)!::write(STDERR_FILENO, line, size_t(length) < sizeof line ? size_t(length) : sizeof line - 1);
}

void watchWindow(QWidget *window, std::function<void()> then)
{
    if (!enabled() || !window->windowHandle())
        return;
    new FirstPicture(window, window->windowHandle(), std::move(then));
}

} // namespace StartupTrace
