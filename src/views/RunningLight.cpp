#include "RunningLight.h"

void RunningLight::start(int outputs, int loopCount, int inputs)
{
    m_outputs = std::max(0, outputs);
    m_loopCount = loopCount;
    m_position = 0;
    m_cycles = 0;
    m_running = true;
    m_finished = false;
    m_hits = QVector<int>(std::max(0, inputs), 0);
}

QVector<int> RunningLight::patternAt(int outputs, int position)
{
    QVector<int> pattern(outputs, 0);
    for (int i = 0; i < outputs; ++i)
        pattern[i] = (i == position || position > outputs) ? 1 : 0;
    return pattern;
}

QVector<int> RunningLight::step()
{
    const QVector<int> pattern = patternAt(m_outputs, m_position);
    if (m_position > m_outputs + 1) {
        ++m_cycles;
        m_position = 0;
    } else {
        ++m_position;
    }
    if (m_cycles >= m_loopCount) {
        m_finished = true;
        m_running = false;
    }
    return pattern;
}

void RunningLight::addInputs(const QList<int> &values)
{
    for (int i = 0; i < values.size() && i < m_hits.size(); ++i)
        m_hits[i] += values.at(i);
}

QList<int> RunningLight::missingChannels() const
{
    QList<int> missing;
    if (m_cycles == 0)
        return missing;
    for (int i = 0; i < m_hits.size(); ++i) {
        if (m_hits.at(i) < 2 * m_cycles)
            missing << i;
    }
    return missing;
}
