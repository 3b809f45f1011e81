#include "SlaveLog.h"

Q_LOGGING_CATEGORY(lcSlave, "tarnbus.slave")
