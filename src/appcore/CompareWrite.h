#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"
#include "ConfigCompare.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Writing rows of a comparison to the adapter: each differing module gets
// the parameter editor's record with the configuration's station, areas and
// parameters, through the Adapter's own record writes. The window and the
// command line send the writes one at a time and hand back what the adapter
// reported for each; this decides what became of every row.
namespace appcore::Compare {

struct RowWrite {
    int row = -1;            // index into Result::rows
    quint64 recordId = 0;    // the bus module's record
    QByteArray record;       // the editor's 32-byte record
    // Adapter::requestSlaveEditedConfig; the adapter's own module takes its
    // record by station (Adapter::requestSlaveConfig).
    bool byIdentity = true;
};

// A row can be written: it differs, and both modules have a description of
// their own (same type, matched one to one).
bool isWritable(const Result &result, const Row &row);
std::optional<RowWrite> writeFor(const Result &result, int row);
// The writes of the given rows, those not writable left out.
QList<RowWrite> writesFor(const Result &result, const QList<int> &rows);

// One report of the Adapter (sigErrMessage).
struct Report {
    adapter_message_type type = MSG_LOAD_FINISHED;
    int err = 0;
    int sid = 0;
    COMM_STATUS_TYPE status = COMM_OK;
};

struct WriteOutcome {
    enum State {
        Written,
        Refused, // by the adapter, or by the tool before anything was sent
        Failed,  // no answer, a bad answer, the link lost
        NotSent, // the link was lost before its turn
    };
    State state = NotSent;
    QString text;                 // the window's words
    QString code;                 // the same, language-neutral (ResultCodes.h)
    std::optional<Report> report; // the report that says why it was not written
    // Refused by the tool for a station or bits that another module still
    // holds: worth asking again once others have moved.
    bool retryable = false;
    bool linkLost = false;

    bool ok() const { return state == Written; }
};

WriteOutcome outcomeOf(const RowWrite &write, const QList<Report> &reports);

// The writes of a run, in passes: a write refused for a station or bits
// another module of the run still held is asked again after a pass in which
// some write went through (modules moving into each other's old places);
// once the link is lost nothing more is sent.
class WriteRun
{
public:
    explicit WriteRun(const QList<RowWrite> &writes);

    // The write to send next; none when the run is over.
    std::optional<RowWrite> next();
    // What the adapter reported for the write next() gave last.
    void take(const QList<Report> &reports);

    bool done() const;
    // By row; a row not yet answered has none.
    const QMap<int, WriteOutcome> &outcomes() const { return m_outcomes; }
    int count(WriteOutcome::State state) const;

private:
    QList<RowWrite> m_queue;
    QList<RowWrite> m_retry;
    int m_position = 0;
    bool m_progress = false; // a write went through in this pass
    bool m_stopped = false;
    std::optional<RowWrite> m_current;
    QMap<int, WriteOutcome> m_outcomes;
};

} // namespace appcore::Compare
