#pragma once

#include "SlaveSnapshot.h"

#include <QMetaType>

// The rule every test that drives a module's outputs follows (the IO test
// window's running light, the IO check-out): outputs are driven only in
// force mode, over a live link, on a running module, inside the area the
// module holds; and when any of these is gone the test ends at once with
// its outputs switched off.
namespace appcore {

enum class OutputTestEnd {
    None,
    SlaveGone,     // the record is no longer on the adapter's list
    LinkLost,
    ForceLeft,
    ModuleStopped, // the module no longer answers on the bus
};

// Why a test driving the outputs of this record has to end now; None while
// it may go on. The causes are checked in the order of the enumeration.
OutputTestEnd outputTestEnd(const SlaveList &slaves, quint64 recordId, bool forceMode, bool linked);

// Whether this output item of the slave may be driven now (force mode and
// the link are the adapter's, as last reported).
bool outputDrivable(const SlaveState &slave, const ItemState &item, bool forceMode, bool linked);

} // namespace appcore

Q_DECLARE_METATYPE(appcore::OutputTestEnd)
