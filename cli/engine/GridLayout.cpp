#include "engine/GridLayout.h"

#include <algorithm>
#include <map>

namespace Engine {

namespace {
// Size of one line (row or column) from the image extents along it. nIndex/nCount place the line
// in the grid, which tells on how many sides the overlap is cut.
int LineSize(const std::vector<int>& extents, int nIndex, int nCount, int nOverlap, int nRegion)
{
    long long nSize = 0;
    for (const int nExtent : extents) {
        long long nCut = nExtent;
        if (nIndex > 0)
            nCut -= nOverlap;
        if (nIndex < nCount - 1)
            nCut -= nOverlap;
        nSize = std::max(nSize, nCut);
    }
    if (nRegion >= 0)
        nSize = std::min<long long>(nSize, nRegion);
    // Never more than the largest image, which is an int.
    return static_cast<int>(nSize);
}
} // namespace

void GridLayout::Calculate(int nRows, int nColumns, const std::vector<PlacedSize>& sizes, const LayoutCuts& cuts)
{
    std::map<int, std::vector<int>> heights;
    std::map<int, std::vector<int>> widths;
    for (const PlacedSize& placed : sizes) {
        heights[placed.row].push_back(placed.size.height);
        widths[placed.column].push_back(placed.size.width);
    }
    m_totalHeight = Measure(m_rows, heights, nRows, cuts, cuts.regionHeight);
    m_totalWidth = Measure(m_columns, widths, nColumns, cuts, cuts.regionWidth);
}

long long GridLayout::Measure(std::vector<Line>& lines, const std::map<int, std::vector<int>>& extents, int nCount,
                              const LayoutCuts& cuts, int nRegion)
{
    lines.clear();
    long long nTotal = 0;
    for (const auto& [nIndex, lineExtents] : extents) {
        const int nSize = LineSize(lineExtents, nIndex, nCount, cuts.overlap, nRegion);
        lines.push_back(Line{nIndex, nSize, cuts.stack ? 0 : nTotal});
        nTotal = cuts.stack ? std::max<long long>(nTotal, nSize) : nTotal + nSize;
    }
    return nTotal;
}

std::vector<GridLayout::Line>::const_iterator GridLayout::LineAt(const std::vector<Line>& lines, int nIndex)
{
    return std::lower_bound(lines.begin(), lines.end(), nIndex,
                            [](const Line& line, int nWanted) { return line.index < nWanted; });
}

const GridLayout::Line& GridLayout::Find(const std::vector<Line>& lines, int nIndex)
{
    static const Line s_empty;
    const auto it = LineAt(lines, nIndex);
    return it != lines.end() && it->index == nIndex ? *it : s_empty;
}

long long GridLayout::OffsetOf(const std::vector<Line>& lines, int nIndex)
{
    const auto it = LineAt(lines, nIndex);
    if (it != lines.end())
        return it->offset;
    return lines.empty() ? 0 : lines.back().offset + lines.back().size;
}

} // namespace Engine
