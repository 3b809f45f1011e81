#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"

#include <QString>

// What the adapter manager tells the user about one result an Adapter
// reports (sigErrMessage): the timed message box, the line of the message
// list, and what becomes of the status panel and the progress dialog. A pure
// function of the report, so that the window and the command-line tool say
// the same thing for the same result.
namespace appcore {

enum class MessageIcon {
    None,
    Information, // "slave.png"
    Warning,     // "abnormal.png"
    Progress,    // "wait.png": the work still runs
};

// Level of a message-list line.
enum class MessageLevel {
    None = 0,
    Error = 1,
    Waring = 2,
    Inform = 3,
};

// What happens to the shared progress dialog (Loading).
enum class LoadingStep {
    Hide,
    Keep,
    Show,
    Advance, // one step further, with loadingText
};

struct ResultMessage {
    static constexpr int kDefaultCloseMs = 10000;

    // The language-neutral code of the result (ResultCodes.h), kept beside
    // the text in the message log and in tarnbus-cli's JSON.
    QString code;

    // The timed message box; none when boxText is empty.
    QString boxText;
    QString boxTitle;
    MessageIcon icon = MessageIcon::None;
    int boxWidth = 0; // minimum width in pixels
    int boxCloseMs = kDefaultCloseMs;

    // The message-list line (source "TarnBUS"); none when logText is empty.
    QString logText;
    MessageLevel level = MessageLevel::None;

    // Status panel back to its initial values (1, 1, 1, 0, 1, 0, 0, 1, 0)
    // with the force indicator greyed.
    bool resetStatusPanel = false;
    bool forceIndicatorOff = false;
    LoadingStep loading = LoadingStep::Hide;
    QString loadingText;
    // A configuration download has ended: the local configuration summary
    // (LocalConfigView) shows the configured and the remaining modules.
    bool showConfigurationSummary = false;

    bool hasBox() const { return !boxText.isEmpty(); }
    bool isLogged() const { return !logText.isEmpty(); }
    // The result is a failure the user is warned about.
    bool isFailure() const { return hasBox() && icon == MessageIcon::Warning; }
};

// The manager's notification for sigErrMessage(type, err, sid, status).
// err is the report's byte: -1 and 255 are the same code.
ResultMessage resultMessage(adapter_message_type type, int err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK);

// The about-box when the adapter's USB device cannot be opened
// (sigOpenSerialPortFail).
ResultMessage openFailedMessage();

// The message-list line for one imported line of a configuration file:
// applied, skipped (station 0 without UID, naming no module) or failed.
ResultMessage importLineMessage(const CsvImportResult &result);

// The warning of the automatic allocation's confirmation (AutoConfigView)
// for the bits all modules would take; empty while both fit in 512 bits.
QString allocationWarning(int inputBits, int outputBits);

// Why a download did not write a module's record (a DownloadSkip or a link
// result, as sigDownloadSkipped gives it).
QString downloadSkipText(int reason);

// Why a configuration of this many modules cannot be stored in the adapter
// (modules without a station come on top of the 128 stations); empty when
// it can.
QString storeRefusal(int moduleCount);

} // namespace appcore
