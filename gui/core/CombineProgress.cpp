#include "core/CombineProgress.h"

#include <algorithm>

namespace Core {

namespace {
const QByteArray CombiningStart = "    Combining images... [";
const QByteArray SavingStart = "    Saving to ";
const QByteArray PingDone = "... done";
} // namespace

CombineProgress::CombineProgress(int nImageCount) : m_imageCount(std::max(0, nImageCount)) {}

bool CombineProgress::Feed(const QByteArray& output)
{
    const Phase phaseBefore = m_phase;
    const int nStepBefore = m_step;
    for (const char ch : output)
        FeedChar(ch);
    // Never beyond the end, whatever extra lines a newer tesscli may print.
    m_step = std::min(m_step, GetStepCount());
    return m_phase != phaseBefore || m_step != nStepBefore;
}

void CombineProgress::FeedChar(char ch)
{
    if (ch == '\n') {
        FinishLine();
        return;
    }
    m_line.append(ch);
    // The composing line grows one "*" per cell; its end comes much later.
    if (m_phase == Phase::Preloading && m_line == CombiningStart) {
        m_phase = Phase::Combining;
        m_step = m_imageCount;
    } else if (m_phase == Phase::Combining && ch == '*' && m_line.startsWith(CombiningStart)) {
        ++m_step;
    } else if (m_phase == Phase::Combining && m_line == SavingStart) {
        m_phase = Phase::Saving;
        m_step = 2 * m_imageCount;
    }
}

void CombineProgress::FinishLine()
{
    // Only the indented ping lines count: the banner and the summary never end like them.
    if (m_phase == Phase::Preloading && m_line.startsWith("    ") && m_line.endsWith(PingDone))
        ++m_step;
    else if (m_phase == Phase::Saving && m_line.startsWith(SavingStart) && m_line.endsWith(" done"))
        m_step = GetStepCount();
    m_line.clear();
}

} // namespace Core
