#include "LoopRunner.h"

#include <QCoreApplication>

#include <cstdlib>

namespace appcore::checkout {

LoopRunner::LoopRunner(Checkout &checkout, QObject *parent)
    : QObject(parent)
    , m_checkout(checkout)
{
}

int LoopRunner::analogTestValue(const Row &output)
{
    // Half the range: far from both ends, so that a channel stuck at either
    // end, or one that reads another channel's zero, cannot pass.
    return output.kind == Kind::Digital ? 1 : std::max(1, output.fullScale / 2);
}

int LoopRunner::tolerance(const Row &input)
{
    return input.kind == Kind::Digital ? 0 : std::max(1, input.fullScale / 100);
}

std::optional<int> LoopRunner::inputValue(const SlaveList &slaves, const Row &input)
{
    const SlaveSnapshot slave = findSnapshot(slaves, input.recordId);
    const ItemState *item = slave ? slave->groupItem(Slave::kRxPdo, input.channel) : nullptr;
    if (!item)
        return std::nullopt;
    const int value = item->value.toInt();
    return input.kind == Kind::Digital ? (value != 0 ? 1 : 0) : value;
}

void LoopRunner::start(const QList<int> &outputRows)
{
    if (isRunning())
        return;
    m_queue.clear();
    for (int row : outputRows) {
        if (row >= 0 && row < m_checkout.rows.size() && m_checkout.rows.at(row).isLoop()
            && m_checkout.rows.at(row).isOutput() && !m_checkout.rows.at(row).isDone())
            m_queue << row;
    }
    m_endReason = OutputTestEnd::None;
    if (m_queue.isEmpty()) {
        emit finished(OutputTestEnd::None);
        return;
    }
    m_current = 0;
    m_phase = Phase::Begin;
    m_cycles = 0;
    m_since.start();
}

void LoopRunner::stop()
{
    if (!isRunning())
        return;
    end(OutputTestEnd::None);
}

void LoopRunner::switchOff()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const Row &output = m_checkout.rows.at(row);
    emit outputWrite(output.recordId, output.channel, 0);
}

void LoopRunner::end(OutputTestEnd why)
{
    switchOff();
    m_lastSlaves.clear();
    m_endReason = why;
    m_current = -1;
    m_queue.clear();
    emit finished(why);
}

void LoopRunner::onCycle(const SlaveList &slaves, bool forceMode, bool linked)
{
    if (!isRunning())
        return;
    const Row &output = m_checkout.rows.at(currentRow());
    const Row &input = m_checkout.rows.at(output.partner);
    // The IO test window's rule, for both ends of the loop: the output's
    // module, the input's module, force mode and the link.
    for (const quint64 record : {output.recordId, input.recordId}) {
        const OutputTestEnd why = outputTestEnd(slaves, record, forceMode, linked);
        if (why != OutputTestEnd::None) {
            end(why);
            return;
        }
    }
    m_lastSlaves = slaves;
    const std::optional<int> read = inputValue(slaves, input);
    if (!read) {
        end(OutputTestEnd::SlaveGone);
        return;
    }
    const int tol = tolerance(input);
    const bool timedOut = m_cycles >= m_timing.minCycles && m_since.elapsed() >= m_timing.settleMs;
    switch (m_phase) {
    case Phase::Begin:
        beginLoop(*read, timedOut);
        return;
    case Phase::On:
        ++m_cycles;
        if (std::abs(*read - m_onValue) <= tol) {
            m_onRead = *read;
            m_phase = Phase::Off;
            m_cycles = 0;
            m_since.start();
            emit outputWrite(output.recordId, output.channel, 0);
        } else if (timedOut) {
            judge(Result::Fail, QStringLiteral("loop.input_not_following"),
                  tr("输出%1接通后,输入%2未跟随(读到 %3,应为 %4)")
                      .arg(output.channelName(), input.channelName())
                      .arg(*read)
                      .arg(m_onValue));
        }
        return;
    case Phase::Off:
        ++m_cycles;
        if (std::abs(*read) <= tol) {
            judge(Result::Pass, QStringLiteral("loop.passed"), QString());
        } else if (timedOut) {
            judge(Result::Fail, QStringLiteral("loop.input_not_reset"),
                  tr("输出%1断开后,输入%2未复位(读到 %3)").arg(output.channelName(), input.channelName()).arg(*read));
        }
        return;
    }
}

// The input must be at rest before its output goes on, or the loop proves
// nothing; it is given the same time to settle as a step.
void LoopRunner::beginLoop(int rest, bool timedOut)
{
    const Row &output = m_checkout.rows.at(currentRow());
    const Row &input = m_checkout.rows.at(output.partner);
    ++m_cycles;
    if (std::abs(rest) > tolerance(input)) {
        if (timedOut)
            judge(Result::Fail, QStringLiteral("loop.input_not_at_rest"),
                  tr("输出%1接通前,输入%2已为 %3").arg(output.channelName(), input.channelName()).arg(rest));
        return;
    }
    m_onValue = analogTestValue(output);
    m_phase = Phase::On;
    m_cycles = 0;
    m_since.start();
    emit outputWrite(output.recordId, output.channel, m_onValue);
}

void LoopRunner::judge(Result result, const QString &code, const QString &note)
{
    const int row = currentRow();
    Row &output = m_checkout.rows[row];
    const int inputRow = output.partner;
    const Row &input = m_checkout.rows.at(inputRow);
    // Off in any case before the next loop begins.
    emit outputWrite(output.recordId, output.channel, 0);
    const QString value = result == Result::Pass
                              ? tr("接通 %1 读 %2, 断开 0 读 0").arg(m_onValue).arg(m_onRead)
                              : QString();
    const QDateTime now = QDateTime::currentDateTime();
    const QString by = m_checkedBy.isEmpty() ? tr("自动回路") : m_checkedBy;
    m_checkout.record(row, result, value, note.isEmpty() ? tr("回路 → %1").arg(input.channelName()) : note, by, now);
    m_checkout.record(inputRow, result, value, note.isEmpty() ? tr("回路 ← %1").arg(output.channelName()) : note, by, now);
    m_checkout.rows[row].noteCode = code;
    m_checkout.rows[inputRow].noteCode = code;
    emit rowDone(row);
    ++m_current;
    m_phase = Phase::Begin;
    m_cycles = 0;
    m_since.start();
    if (m_current >= m_queue.size()) {
        m_current = -1;
        m_queue.clear();
        m_lastSlaves.clear();
        emit finished(OutputTestEnd::None);
        return;
    }
    // The next loop begins with the inputs of this cycle: a cycle of the
    // bus is some hundred milliseconds, and a rig checks hundreds of loops.
    const Row &next = m_checkout.rows.at(m_checkout.rows.at(currentRow()).partner);
    if (const std::optional<int> rest = inputValue(m_lastSlaves, next))
        beginLoop(*rest, false);
}

} // namespace appcore::checkout
