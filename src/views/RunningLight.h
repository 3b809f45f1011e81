#pragma once

#include <QList>
#include <QVector>

// The running-light test of a module's outputs, without timers or widgets:
// each step switches the outputs to a pattern, and the inputs of a
// monitored module are summed meanwhile.
//
// A cycle over n outputs has n + 3 steps: each output on alone (positions
// 0 to n - 1), all off (n), all on (n + 1 and n + 2). The test ends at the
// step that completes its last cycle; the inputs that did not follow are
// those whose sum stayed below twice the cycles completed.
class RunningLight
{
public:
    // Begins a test of loopCount cycles over outputs outputs, with inputs
    // monitored channels.
    void start(int outputs, int loopCount, int inputs);
    // The next step's output pattern; afterwards finished() tells whether
    // that step ended the test.
    QVector<int> step();
    bool finished() const { return m_finished; }
    bool isRunning() const { return m_running; }
    // Ends the test where it is (stopped by the user or by the bus).
    void stop() { m_running = false; }

    int position() const { return m_position; }
    int cyclesDone() const { return m_cycles; }
    int outputs() const { return m_outputs; }

    // One reading of the monitored inputs; values beyond the channels are ignored.
    void addInputs(const QList<int> &values);
    const QVector<int> &hitCounts() const { return m_hits; }
    // Channels whose inputs did not follow, over the cycles completed; none
    // before a cycle has been completed.
    QList<int> missingChannels() const;

    // The pattern of a position: the output at the position alone, none at
    // n, all past n.
    static QVector<int> patternAt(int outputs, int position);
    static QVector<int> allOff(int outputs) { return QVector<int>(outputs, 0); }

private:
    int m_outputs = 0;
    int m_loopCount = 0;
    int m_position = 0;
    int m_cycles = 0;
    bool m_running = false;
    bool m_finished = false;
    QVector<int> m_hits;
};
