#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal in the main thread. The signal
// handler only writes a byte into a pipe; the event loop reads it.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

signals:
    void interrupted();

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};
