#include "UpgradeLog.h"

Q_LOGGING_CATEGORY(lcUpgrade, "tarnbus.upgrade")
