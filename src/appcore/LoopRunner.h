#pragma once

#include "IoCheckout.h"
#include "OutputTestRule.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <optional>

// The loop rows of a check-out, verified by the tool: the output on, its
// wired input must follow; the output off, the input must follow again.
// Only the output under test is ever asked to be on, and every ending (the
// loops done, stop, force mode left, the link lost, a module gone) asks for
// it to be off.
//
// It knows no Adapter: it asks for output values with outputWrite and is
// told every notification of the adapter with onCycle, each carrying the
// inputs of the last process-data cycle. The window and tarnbus-cli forward
// both; the rule for ending is the IO test window's (OutputTestRule).
namespace appcore::checkout {

// How long a loop's input may take to follow its output: at least
// minCycles process-data cycles and settleMs, whichever ends later.
struct LoopTiming {
    static constexpr int kDefaultSettleMs = 1500;
    static constexpr int kDefaultMinCycles = 3;
    int settleMs = kDefaultSettleMs;
    int minCycles = kDefaultMinCycles;
};

class LoopRunner : public QObject
{
    Q_OBJECT

public:
    LoopRunner(Checkout &checkout, QObject *parent = nullptr);

    void setTiming(const LoopTiming &timing) { m_timing = timing; }
    // Who the results are signed by.
    void setCheckedBy(const QString &name) { m_checkedBy = name; }

    // Runs these loops (their output rows) in order; rows already done are
    // left alone. The adapter must be in force mode: the first cycle that
    // says otherwise ends the run.
    void start(const QList<int> &outputRows);
    // Ends the run: the output off, the loop under way left open.
    void stop();
    bool isRunning() const { return m_current >= 0; }
    // The output row under way; -1 when idle.
    int currentRow() const { return m_current >= 0 ? m_queue.value(m_current, -1) : -1; }
    int remaining() const { return isRunning() ? m_queue.size() - m_current : 0; }
    // Why the last run ended early (None when it ran to its end or was stopped).
    OutputTestEnd endReason() const { return m_endReason; }

    // The test value of an analog output and the tolerance its input is
    // judged by.
    static int analogTestValue(const Row &output);
    static int tolerance(const Row &input);
    // The input's value in the snapshots; nullopt when the module or the
    // item is gone.
    static std::optional<int> inputValue(const SlaveList &slaves, const Row &input);

public slots:
    // A notification of the adapter: the slaves with the inputs of the last
    // cycle, force mode and the link.
    void onCycle(const SlaveList &slaves, bool forceMode, bool linked);

signals:
    void outputWrite(quint64 recordId, int index, int value);
    // A loop was judged: both its rows hold the result.
    void rowDone(int outputRow);
    // The run is over: every loop judged, stopped, or ended by the bus (why).
    void finished(appcore::OutputTestEnd why);

private:
    enum class Phase { Begin, On, Off };
    void beginLoop(int rest, bool timedOut);
    // code: the note's language-neutral code (IoCheckout Row::noteCode).
    void judge(Result result, const QString &code, const QString &note);
    void end(OutputTestEnd why);
    void switchOff();

    Checkout &m_checkout;
    LoopTiming m_timing;
    QString m_checkedBy;
    QList<int> m_queue;
    int m_current = -1;
    Phase m_phase = Phase::Begin;
    int m_cycles = 0;
    QElapsedTimer m_since;
    int m_onValue = 1;
    int m_onRead = 0;
    OutputTestEnd m_endReason = OutputTestEnd::None;
    SlaveList m_lastSlaves; // the cycle being handled
};

} // namespace appcore::checkout
