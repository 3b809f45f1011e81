#pragma once

#include <QMetaType>

// Kind of a report from a running upgrade; the first argument of
// UpdateManege::sigUpdateProcess and sigRunBurningFailed.
enum Update {
    UPDATE_PHASE = 1,         // with 0 (transfer begins), 100 (written, restarting) or 101 (complete)
    UPDATE_PROGRESS = 2,      // with the file offset of the 60-byte piece about to be sent
    UPDATE_ENTER_REFUSED = 3, // the device did not enter upgrade mode
    UPDATE_BURN_REFUSED = 4,  // the device did not start burning
};

Q_DECLARE_METATYPE(Update)

namespace upgradephase {
constexpr int kBegun = 0;
constexpr int kWritten = 100;
constexpr int kComplete = 101;
}

// Registers Update under its own name for queued signals; safe to call often.
void registerUpgradeMetaTypes();
