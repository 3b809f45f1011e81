#pragma once

// What the module views' tests share: snapshots made by hand, and the
// notices and dialogs on screen.

#include "MessageBox.h"
#include "SlaveSnapshot.h"
#include "WidgetTestSupport.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>

namespace viewtest {

// A snapshot of a described slave at a station, with the fields a test sets.
inline std::shared_ptr<SlaveState> slaveState(quint64 recordId, int station, const QByteArray &uid = QByteArray())
{
    auto state = std::make_shared<SlaveState>();
    state->recordId = recordId;
    state->stationId = state->newStationId = quint8(station);
    state->uuid = uid;
    state->typeName = QStringLiteral("TB-DI8-N");
    state->typeCode = 0;
    state->described = true;
    state->statusRun = 1;
    return state;
}

using widgettest::boxTexts;
using widgettest::visibleTopLevels;

// Closes the notices and the fault dialogs on screen.
inline void closeBoxes()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(w);
        if (dialog && dialog->isVisible() && (qobject_cast<MessageBox *>(w) || w->inherits("FaultView")))
            dialog->reject();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace viewtest
