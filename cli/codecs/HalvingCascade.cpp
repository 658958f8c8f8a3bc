#include "codecs/HalvingCascade.h"

#include <algorithm>
#include <cstring>

namespace Codecs {

HalvingCascade::HalvingCascade(const std::vector<PyramidGeometry::Size>& levels, int nChannels, int nTileSize,
                               int nOverlap, Consumer consume)
    : m_channels(nChannels), m_tileSize(nTileSize), m_overlap(nOverlap), m_consume(std::move(consume))
{
    for (const PyramidGeometry::Size& size : levels) {
        Level level;
        level.size = size;
        level.rows.reserve(static_cast<size_t>(size.width) * nChannels
                           * std::min(size.height, nTileSize + 2 * nOverlap));
        m_levels.push_back(std::move(level));
        m_halved.emplace_back(static_cast<size_t>(size.width) * nChannels);
    }
}

unsigned long long HalvingCascade::BufferBytes(const std::vector<PyramidGeometry::Size>& levels, int nChannels,
                                               int nTileSize, int nOverlap)
{
    unsigned long long nBytes = 0;
    for (const PyramidGeometry::Size& size : levels)
        nBytes += static_cast<unsigned long long>(size.width) * nChannels
                  * (std::min(size.height, nTileSize + 2 * nOverlap) + 3);
    return nBytes;
}

bool HalvingCascade::IsComplete() const
{
    return std::all_of(m_levels.begin(), m_levels.end(),
                       [](const Level& level) { return level.rowsTaken == level.size.height; });
}

bool HalvingCascade::AddRows(const uint8_t* pRows, int nRows)
{
    const size_t nRowBytes = static_cast<size_t>(m_levels[0].size.width) * m_channels;
    for (int nRow = 0; nRow < nRows; ++nRow)
        if (!AddRow(0, pRows + nRow * nRowBytes))
            return false;
    return true;
}

void HalvingCascade::Halve(const Level& level, const uint8_t* pUpper, const uint8_t* pLower, uint8_t* pOut) const
{
    const int nPairs = level.size.width / 2;
    const int nChannels = m_channels;
    for (int nX = 0; nX < nPairs; ++nX, pUpper += 2 * nChannels, pLower += 2 * nChannels)
        for (int c = 0; c < nChannels; ++c)
            *pOut++ =
                static_cast<uint8_t>((pUpper[c] + pUpper[c + nChannels] + pLower[c] + pLower[c + nChannels] + 2) >> 2);
    if (level.size.width % 2 != 0)
        for (int c = 0; c < nChannels; ++c)
            *pOut++ = static_cast<uint8_t>((pUpper[c] + pLower[c] + 1) >> 1);
}

bool HalvingCascade::AddRow(size_t nLevel, const uint8_t* pRow)
{
    Level& level = m_levels[nLevel];
    const size_t nRowBytes = static_cast<size_t>(level.size.width) * m_channels;
    level.rows.insert(level.rows.end(), pRow, pRow + nRowBytes);
    const int nY = level.rowsTaken++;

    // With an overlap wider than the last tile row, the rows that complete one complete the next too.
    const int nTileRows = (level.size.height + m_tileSize - 1) / m_tileSize;
    while (level.tileRow < nTileRows
           && nY + 1 == std::min((level.tileRow + 1) * m_tileSize + m_overlap, level.size.height))
        if (!EmitTileRow(level, nLevel))
            return false;

    if (nLevel + 1 == m_levels.size())
        return true;
    const bool bLast = nY + 1 == level.size.height;
    if (nY % 2 == 0 && !bLast) {
        level.upperRow.assign(pRow, pRow + nRowBytes);
        return true;
    }
    const uint8_t* pUpper = nY % 2 == 0 ? pRow : level.upperRow.data();
    std::vector<uint8_t>& halved = m_halved[nLevel + 1];
    Halve(level, pUpper, pRow, halved.data());
    return AddRow(nLevel + 1, halved.data());
}

bool HalvingCascade::EmitTileRow(Level& level, size_t nLevel)
{
    const size_t nRowBytes = static_cast<size_t>(level.size.width) * m_channels;
    Band band;
    band.level = static_cast<int>(nLevel);
    band.tileRow = level.tileRow;
    band.top = level.bandTop;
    band.rows = level.rowsTaken - level.bandTop;
    band.width = level.size.width;
    band.pixels = level.rows.data();
    if (!m_consume(band))
        return false;
    // The next tile row starts its overlap above its first row.
    ++level.tileRow;
    const int nNextTop = std::max(level.tileRow * m_tileSize - m_overlap, 0);
    const size_t nDropped = static_cast<size_t>(std::min(nNextTop, level.rowsTaken) - level.bandTop) * nRowBytes;
    level.rows.erase(level.rows.begin(), level.rows.begin() + static_cast<std::ptrdiff_t>(nDropped));
    level.bandTop = std::min(nNextTop, level.rowsTaken);
    return true;
}

} // namespace Codecs
