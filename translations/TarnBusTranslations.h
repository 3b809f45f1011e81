#pragma once

// Registers the embedded translations (":/translations/tarnbus_en.qm",
// ":/translations/tarnbus_zh.qm"): they
// sit in a static library, and nothing else would pull their registration
// into the program. Safe to call more than once.
void initTarnBusTranslations();
