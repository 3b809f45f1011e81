#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"

#include <QString>

// What the adapter manager shows for one result an Adapter reported
// (sigErrMessage): a timed box, an about-box, a line in the message list,
// and what happens to the progress dialog and the status panel. Pure, so
// that every row of the tables can be checked without a window.
struct ManagerNotice {
    enum class Box { None, Timed, About };
    enum class LoadingAction { Keep, Hide, Show, AdvanceConfig };

    Box box = Box::None;
    QString title;       // "警告" unless "提示" is said
    QString text;
    bool information = false; // the information icon; otherwise the warning icon
    int width = 0;            // minimum width in pixels
    int timeoutMs = 10000;
    int logLevel = -1;        // -1: no line in the message list
    QString logText;
    LoadingAction loading = LoadingAction::Hide;
    bool statusReset = false;
    bool forceOff = false;        // the force indicator shows "off"
    bool batchSummary = false;    // type 16 err 2: the download's summary follows
    bool downloadDone = false;    // type 33: the configuration download has finished
    bool downloadRefused = false; // the download was refused before anything was sent

    bool isEmpty() const { return box == Box::None && logLevel < 0; }
};

// err as the Adapter sent it (a signed char); status the COMM_STATUS_TYPE argument.
ManagerNotice noticeForResult(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status);

// The texts of the one-slave (table 1) and address (table 2) result codes.
QString slaveResultText(quint8 code);
QString addressResultText(quint8 code);
