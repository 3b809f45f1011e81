#include "TopologyLog.h"

Q_LOGGING_CATEGORY(lcTopology, "tarnbus.topology")
