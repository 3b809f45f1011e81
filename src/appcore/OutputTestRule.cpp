#include "OutputTestRule.h"

namespace appcore {

OutputTestEnd outputTestEnd(const SlaveList &slaves, quint64 recordId, bool forceMode, bool linked)
{
    const SlaveSnapshot slave = findSnapshot(slaves, recordId);
    if (!slave)
        return OutputTestEnd::SlaveGone;
    if (!linked)
        return OutputTestEnd::LinkLost;
    if (!forceMode)
        return OutputTestEnd::ForceLeft;
    if (slave->statusRun == 0)
        return OutputTestEnd::ModuleStopped;
    return OutputTestEnd::None;
}

bool outputDrivable(const SlaveState &slave, const ItemState &item, bool forceMode, bool linked)
{
    // An output outside the module's area is no output of this module: its
    // bit belongs to another module, or to none.
    return forceMode && linked && slave.statusRun != 0 && slave.ioWindow.outputBits > 0 && item.hasAddress();
}

} // namespace appcore
