#pragma once

#include <QLoggingCategory>

// The window's debug log (tarnbus.app).
Q_DECLARE_LOGGING_CATEGORY(lcApp)
