#include "core/CombineProgress.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Core {

namespace {
const QByteArray CombiningStart = "    Combining images... [";
const QByteArray CombiningDone = "] done";
const QByteArray SavingStart = "    Saving to ";
const QByteArray PingDone = "... done";
// Reading the image headers is a sliver of the work.
constexpr double PingShare = 0.02;
// A band is never shown as more written than this before tesscli confirms it.
constexpr double MaxUnconfirmedBand = 0.9;
} // namespace

CombineProgress::CombineProgress(const QList<int>& cellsPerBand)
    : m_cellsPerBand(cellsPerBand), m_imageCount(std::accumulate(cellsPerBand.begin(), cellsPerBand.end(), 0))
{}

int CombineProgress::GetRow() const
{
    if (m_phase == Phase::Preloading)
        return 0;
    if (m_phase == Phase::Saving)
        return GetRowCount();
    // The band of the next cell to be composed.
    int nCells = 0;
    for (int nBand = 0; nBand < GetRowCount(); ++nBand) {
        nCells += m_cellsPerBand[nBand];
        if (m_stars < nCells)
            return nBand + 1;
    }
    return GetRowCount();
}

bool CombineProgress::Feed(const QByteArray& output, qint64 nElapsedMs)
{
    const Shown before = GetShown();
    for (const char ch : output)
        FeedChar(ch, nElapsedMs);
    Estimate(nElapsedMs);
    return GetShown() != before;
}

bool CombineProgress::Advance(qint64 nElapsedMs)
{
    const Shown before = GetShown();
    Estimate(nElapsedMs);
    return GetShown() != before;
}

void CombineProgress::FeedChar(char ch, qint64 nElapsedMs)
{
    if (ch == '\n') {
        if (m_phase == Phase::Combining && m_line.startsWith(CombiningStart) && m_line.endsWith(CombiningDone)) {
            // Every band is composed; the last one is still being written.
            m_phase = Phase::Saving;
            SetBandsWritten(GetRowCount() - 1, nElapsedMs);
        } else if (m_phase == Phase::Saving && m_line.startsWith(SavingStart) && m_line.endsWith(" done")) {
            SetBandsWritten(GetRowCount(), nElapsedMs);
        }
        FinishLine();
        return;
    }
    m_line.append(ch);
    // The composing line grows one "*" per cell; its end comes much later.
    if (m_phase == Phase::Preloading && m_line == CombiningStart) {
        m_phase = Phase::Combining;
        m_combineStartMs = m_lastWrittenMs = nElapsedMs;
    } else if (m_phase == Phase::Combining && ch == '*' && m_line.startsWith(CombiningStart)) {
        AddStar(nElapsedMs);
    }
}

void CombineProgress::FinishLine()
{
    // Only the indented ping lines count: the banner and the summary never end like them.
    if (m_phase == Phase::Preloading && m_line.startsWith("    ") && m_line.endsWith(PingDone))
        m_pinged = std::min(m_pinged + 1, m_imageCount);
    m_line.clear();
}

void CombineProgress::AddStar(qint64 nElapsedMs)
{
    // A band's first cell is composed once the writer has taken the band before it, which waits
    // for the band before that to be written.
    int nCells = 0;
    for (int nBand = 0; nBand < GetRowCount() && nCells <= m_stars; ++nBand) {
        if (nCells == m_stars && nBand >= 2)
            SetBandsWritten(nBand - 1, nElapsedMs);
        nCells += m_cellsPerBand[nBand];
    }
    ++m_stars;
}

void CombineProgress::SetBandsWritten(int nBands, qint64 nElapsedMs)
{
    if (nBands <= m_bandsWritten)
        return;
    m_bandsWritten = nBands;
    m_lastWrittenMs = nElapsedMs;
}

void CombineProgress::Estimate(qint64 nElapsedMs)
{
    const int nRows = GetRowCount();
    if (m_phase == Phase::Preloading || nRows == 0) {
        m_value = int(Scale * PingShare * m_pinged / std::max(1, m_imageCount));
        return;
    }
    double bands = m_bandsWritten;
    double msPerBand = -1;
    if (m_bandsWritten > 0)
        msPerBand = double(m_lastWrittenMs - m_combineStartMs) / m_bandsWritten;
    if (m_bandsWritten < nRows) {
        double part = 0;
        if (msPerBand > 0) {
            part = (nElapsedMs - m_lastWrittenMs) / msPerBand;
        } else {
            // Nothing written yet: the writer takes the first two bands as they are composed.
            const int nFirstTwo = m_cellsPerBand[0] + (nRows > 1 ? m_cellsPerBand[1] : 0);
            part = nFirstTwo > 0 ? double(std::min(m_stars, nFirstTwo)) / nFirstTwo : 0;
        }
        bands += std::min(part, MaxUnconfirmedBand);
    }
    // The bar never goes back, even when a band takes longer than those before it.
    m_value = std::max(m_value, int(std::lround(Scale * (PingShare + (1 - PingShare) * bands / nRows))));
    if (m_bandsWritten >= nRows)
        m_secondsLeft = 0;
    else if (msPerBand > 0)
        m_secondsLeft = int(std::lround(msPerBand * (nRows - bands) / 1000));
}

} // namespace Core
