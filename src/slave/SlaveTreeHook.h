#pragma once

#include <QColor>
#include <QString>

class QTreeWidgetItem;

// The slave model shows its state in the project tree without knowing any
// widget: the tree installs this hook once, and a slave calls it with the
// text and colour its tree item should show. The hook runs in the slave's
// thread (an adapter's worker thread), so an implementation that touches
// widgets must hand the work over to the GUI thread, and it must repaint the
// tree itself.
using SlaveTreeHook = void (*)(QTreeWidgetItem *item, const QString &text, const QColor &color);

// Installs hook (null removes it).
void installSlaveTreeHook(SlaveTreeHook hook);
SlaveTreeHook slaveTreeHook();
