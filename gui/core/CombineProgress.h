#pragma once

#include <QByteArray>
#include <QList>

namespace Core {

// Follows what tesscli prints during a composition and turns it into the share of the work done.
// Pinging is cheap; the work is composing each band (a grid row, or the whole stack) and writing
// it. tesscli prints a "*" per composed cell and composes a row while the row before it is still
// being written, so the file lags the stars by up to two rows: the first cell of a row is
// composed only once the band two rows up has been written. Between those landmarks the share
// moves on at the pace the written bands set. Fed with the output as it arrives, in pieces of any
// size, with the time since the start, so that it can be replayed without a clock.
class CombineProgress
{
public:
    enum class Phase {
        Preloading,
        Combining,
        Saving
    };

    // The progress value runs from 0 to Scale.
    static constexpr int Scale = 1000;

    // cellsPerBand: how many images each band tesscli writes holds (grid rows without images
    // take no band).
    explicit CombineProgress(const QList<int>& cellsPerBand);

    // Both return whether anything shown changed: the phase, the row, the value or the estimate.
    bool Feed(const QByteArray& output, qint64 nElapsedMs);
    // The time passing on its own, between lines.
    bool Advance(qint64 nElapsedMs);

    Phase GetPhase() const { return m_phase; }
    int GetValue() const { return m_value; }
    // 1-based; the band whose cells are being composed.
    int GetRow() const;
    int GetRowCount() const { return int(m_cellsPerBand.size()); }
    // Seconds left, or -1 while there is nothing to go by.
    int GetSecondsLeft() const { return m_secondsLeft; }

private:
    struct Shown
    {
        Phase phase;
        int row, value, secondsLeft;
        bool operator!=(const Shown& other) const
        {
            return phase != other.phase || row != other.row || value != other.value || secondsLeft != other.secondsLeft;
        }
    };
    Shown GetShown() const { return {m_phase, GetRow(), m_value, m_secondsLeft}; }
    void FeedChar(char ch, qint64 nElapsedMs);
    void FinishLine();
    void AddStar(qint64 nElapsedMs);
    void SetBandsWritten(int nBands, qint64 nElapsedMs);
    void Estimate(qint64 nElapsedMs);

    QList<int> m_cellsPerBand;
    int m_imageCount = 0;
    Phase m_phase = Phase::Preloading;
    int m_pinged = 0;
    int m_stars = 0;
    // Bands certainly written, and when the last of them was known to be.
    int m_bandsWritten = 0;
    qint64 m_combineStartMs = -1;
    qint64 m_lastWrittenMs = -1;
    int m_value = 0;
    int m_secondsLeft = -1;
    QByteArray m_line;
};

} // namespace Core
