#include "CompareWrite.h"

#include "ResultCodes.h"
#include "ResultMessages.h"
#include "SlaveEditChecks.h"
#include "SlaveEditRecord.h"
#include "TarnBaseConvert.h"

#include <QCoreApplication>

namespace appcore::Compare {

namespace {

// tr() of the context "ConfigCompare", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ConfigCompare)
};

// The editor's record of one direction: the configured area, or none.
void placeArea(const Area &configured, int extraChannels, int &start, int &count)
{
    start = configured.start;
    count = configured.held ? configured.channels + extraChannels : 0;
}

bool isConflict(int code)
{
    return code == SlaveConfigResult::StationTaken || code == SlaveConfigResult::InputConflict
           || code == SlaveConfigResult::OutputConflict;
}

} // namespace

bool isWritable(const Result &result, const Row &row)
{
    if (row.kind != Kind::Differs || row.configured.size() != 1 || row.bus.size() != 1)
        return false;
    const Module &c = result.configuredModule(row);
    const Module &b = result.busModule(row);
    return c.described && b.described && b.slave && c.moduleIdent == b.moduleIdent;
}

std::optional<RowWrite> writeFor(const Result &result, int rowIndex)
{
    if (rowIndex < 0 || rowIndex >= result.rows.size())
        return std::nullopt;
    const Row &row = result.rows.at(rowIndex);
    if (!isWritable(result, row))
        return std::nullopt;
    const Module &c = result.configuredModule(row);
    const Module &b = result.busModule(row);
    const SlaveState &bus = *b.slave;

    SlaveEdit edit = SlaveEdit::of(bus);
    // The adapter's own module has no station to set.
    if (!b.local)
        edit.newStation = c.station;
    if (b.inputs.present)
        placeArea(c.inputs, bus.inputOffs, edit.inputStart, edit.inputCount);
    if (b.outputs.present)
        placeArea(c.outputs, bus.outputOffs, edit.outputStart, edit.outputCount);
    for (const Parameter &p : c.parameters)
        edit.parameters[p.paramType] = p.value;

    RowWrite write;
    write.row = rowIndex;
    write.recordId = bus.recordId;
    write.record = edit.record();
    write.byIdentity = editsByIdentity(bus);
    return write;
}

QList<RowWrite> writesFor(const Result &result, const QList<int> &rows)
{
    QList<RowWrite> writes;
    for (int row : rows) {
        if (const std::optional<RowWrite> write = writeFor(result, row))
            writes << *write;
    }
    return writes;
}

WriteOutcome outcomeOf(const RowWrite &write, const QList<Report> &reports)
{
    WriteOutcome outcome;
    bool confirmed = false;
    std::optional<Report> failure;
    for (const Report &report : reports) {
        if (report.type == MSG_USB_STATE && qint8(report.err) == -2)
            outcome.linkLost = true;
        if (report.type == MSG_SLAVE_CONFIG_RESULT && qint8(report.err) == SlaveConfigResult::Success)
            confirmed = true;
        if (!failure && resultMessage(report.type, report.err, report.sid, report.status).isFailure())
            failure = report;
    }
    if (failure) {
        const ResultMessage message = resultMessage(failure->type, failure->err, failure->sid, failure->status);
        const bool toolRefused = failure->type == MSG_SLAVE_CONFIG_RESULT;
        outcome.state = toolRefused || failure->status == COMM_REFUSED ? WriteOutcome::Refused : WriteOutcome::Failed;
        outcome.text = message.boxText.trimmed();
        outcome.code = message.code;
        outcome.report = failure;
        outcome.retryable = toolRefused && isConflict(qint8(failure->err));
        outcome.linkLost = outcome.linkLost || failure->status == COMM_NOT_CONNECTED;
        return outcome;
    }
    if (outcome.linkLost) {
        outcome.state = WriteOutcome::Failed;
        outcome.text = resultMessage(MSG_USB_STATE, -2).boxText.trimmed();
        outcome.code = resultCode(MSG_USB_STATE, -2);
        return outcome;
    }
    // A write by identity is confirmed; the adapter's own module is written
    // unless a failure said otherwise.
    if (write.byIdentity && !confirmed) {
        outcome.state = WriteOutcome::Failed;
        outcome.text = Texts::tr("适配器未确认写入");
        outcome.code = QStringLiteral("compare.write_unconfirmed");
        return outcome;
    }
    outcome.state = WriteOutcome::Written;
    outcome.text = Texts::tr("已写入");
    outcome.code = QStringLiteral("compare.written");
    return outcome;
}

WriteRun::WriteRun(const QList<RowWrite> &writes)
    : m_queue(writes)
{
}

std::optional<RowWrite> WriteRun::next()
{
    m_current.reset();
    if (m_stopped)
        return std::nullopt;
    while (m_position >= m_queue.size()) {
        // Another pass only while the last one moved something.
        if (m_retry.isEmpty() || !m_progress) {
            m_stopped = true;
            return std::nullopt;
        }
        m_queue = m_retry;
        m_retry.clear();
        m_position = 0;
        m_progress = false;
    }
    m_current = m_queue.at(m_position++);
    return m_current;
}

void WriteRun::take(const QList<Report> &reports)
{
    if (!m_current)
        return;
    const WriteOutcome outcome = outcomeOf(*m_current, reports);
    m_outcomes.insert(m_current->row, outcome);
    if (outcome.ok())
        m_progress = true;
    if (outcome.retryable)
        m_retry << *m_current;
    if (outcome.linkLost) {
        WriteOutcome unsent;
        unsent.text = Texts::tr("链接断开,未写入");
        unsent.code = QStringLiteral("compare.write_not_sent");
        for (int i = m_position; i < m_queue.size(); ++i)
            m_outcomes.insert(m_queue.at(i).row, unsent);
        m_stopped = true;
    }
    m_current.reset();
}

bool WriteRun::done() const
{
    return m_stopped;
}

int WriteRun::count(WriteOutcome::State state) const
{
    int n = 0;
    for (const WriteOutcome &outcome : m_outcomes)
        n += outcome.state == state ? 1 : 0;
    return n;
}

} // namespace appcore::Compare
