#include "engine/GridLayout.h"

#include <algorithm>

namespace Engine {

namespace {
// Size of one line (row or column) from the image extents along it. nIndex/nCount place the line
// in the grid, which tells on how many sides the overlap is cut.
int LineSize(const std::vector<int>& extents, int nIndex, int nCount, int nOverlap, int nRegion)
{
    int nSize = 0;
    for (int nExtent : extents) {
        if (nIndex > 0)
            nExtent -= nOverlap;
        if (nIndex < nCount - 1)
            nExtent -= nOverlap;
        nSize = std::max(nSize, nExtent);
    }
    if (nRegion >= 0)
        nSize = std::min(nSize, nRegion);
    return nSize;
}

int Accumulate(int nTotal, int nSize, bool bStack)
{
    return bStack ? std::max(nTotal, nSize) : nTotal + nSize;
}
} // namespace

void GridLayout::Calculate(const std::vector<std::vector<std::optional<ImageSize>>>& sizes, const LayoutCuts& cuts)
{
    const int nRows = static_cast<int>(sizes.size());
    const int nColumns = sizes.empty() ? 0 : static_cast<int>(sizes.front().size());
    m_rowHeights.clear();
    m_columnWidths.clear();
    m_totalWidth = 0;
    m_totalHeight = 0;

    for (int nRow = 0; nRow < nRows; ++nRow) {
        std::vector<int> heights;
        for (const auto& size : sizes[nRow])
            if (size)
                heights.push_back(size->height);
        const int nHeight = LineSize(heights, nRow, nRows, cuts.overlap, cuts.regionHeight);
        m_rowHeights.push_back(nHeight);
        m_totalHeight = Accumulate(m_totalHeight, nHeight, cuts.stack);
    }
    for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
        std::vector<int> widths;
        for (const auto& row : sizes)
            if (row[nColumn])
                widths.push_back(row[nColumn]->width);
        const int nWidth = LineSize(widths, nColumn, nColumns, cuts.overlap, cuts.regionWidth);
        m_columnWidths.push_back(nWidth);
        m_totalWidth = Accumulate(m_totalWidth, nWidth, cuts.stack);
    }
}

} // namespace Engine
