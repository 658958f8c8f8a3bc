#pragma once

#include <QByteArray>

namespace Core {

// Follows what tesscli prints during a composition: one step per pinged image, one per composed
// cell ("*"), one for saving. Fed with the output as it arrives, in pieces of any size.
class CombineProgress
{
public:
    enum class Phase {
        Preloading,
        Combining,
        Saving
    };

    explicit CombineProgress(int nImageCount);

    // Returns whether the phase or the step changed.
    bool Feed(const QByteArray& output);

    Phase GetPhase() const { return m_phase; }
    int GetStep() const { return m_step; }
    int GetStepCount() const { return 2 * m_imageCount + 1; }

private:
    void FeedChar(char ch);
    void FinishLine();

    int m_imageCount;
    Phase m_phase = Phase::Preloading;
    int m_step = 0;
    QByteArray m_line;
};

} // namespace Core
