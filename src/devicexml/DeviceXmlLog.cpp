#include "DeviceXmlLog.h"

Q_LOGGING_CATEGORY(lcDeviceXml, "tarnbus.devicexml")
