#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"

#include <QString>

// The language-neutral code of every result the adapter manager tells the
// user about: the key that scripts (tarnbus-cli --json) and support (the
// message log) match, whatever the language of the text beside it. A code
// is a dotted name of snake_case words, "<what>.<how>" ("store.refused",
// "link.lost"); once published it never changes. docs/cli.md lists them.
namespace appcore {

// The code of a result an Adapter reports (sigErrMessage); empty for a
// report that says nothing to the user (a load notification).
QString resultCode(adapter_message_type type, int err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK);

// Why an exchange failed, as the last word of a failure's code:
// "refused", "timeout", "checksum_error", "wrong_reply", "link_lost",
// "error_report", "busy", "no_data"; "failed" for anything else.
QString linkFailureCode(COMM_STATUS_TYPE status);

// The operation that failed, as the first word of its failure's code
// (AdapterOperation): "store", "settings_write", "lamp", ...
QString operationCode(int operation);

// The USB device of an adapter could not be opened (sigOpenSerialPortFail).
QString openFailedCode();

// One imported line of a configuration file: "import.line_applied",
// "import.line_skipped" (station 0 without UID) or "import.line_no_type".
QString importLineCode(const CsvImportResult &result);

// Why a download did not write a module's record (DownloadSkip or a link
// result): "download.skipped.not_on_bus", ..., "download.skipped.<link failure>".
QString downloadSkipCode(int reason);

} // namespace appcore
