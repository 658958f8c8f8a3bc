#pragma once

#include <map>
#include <vector>

namespace Engine {

struct ImageSize
{
    int width = 0;
    int height = 0;
};

// An image's size at its grid position.
struct PlacedSize
{
    int row = 0;
    int column = 0;
    ImageSize size;
};

// What is cut from every image before it is placed; a region side of -1 means no region.
struct LayoutCuts
{
    int regionWidth = -1;
    int regionHeight = -1;
    int overlap = 0;
    bool stack = false;
};

// Row heights, column widths, their offsets and the canvas size of a grid, from the sizes of its
// images. An image whose cut size would be negative is left out of its row and column; an empty
// row or column takes no space. Only lines that take space are kept, so a grid of many empty
// positions costs nothing; sums are 64-bit, so no cut or size can wrap around.
class GridLayout
{
public:
    void Calculate(int nRows, int nColumns, const std::vector<PlacedSize>& sizes, const LayoutCuts& cuts);

    int GetRowHeight(int nRow) const { return Find(m_rows, nRow).size; }
    int GetColumnWidth(int nColumn) const { return Find(m_columns, nColumn).size; }
    // Top of a row and left of a column on the canvas (0 when stacked).
    long long GetRowOffset(int nRow) const { return OffsetOf(m_rows, nRow); }
    long long GetColumnOffset(int nColumn) const { return OffsetOf(m_columns, nColumn); }
    long long GetTotalWidth() const { return m_totalWidth; }
    long long GetTotalHeight() const { return m_totalHeight; }

private:
    struct Line
    {
        int index = 0;
        int size = 0;
        long long offset = 0;
    };
    // The first line at or after nIndex.
    static std::vector<Line>::const_iterator LineAt(const std::vector<Line>& lines, int nIndex);
    static const Line& Find(const std::vector<Line>& lines, int nIndex);
    static long long OffsetOf(const std::vector<Line>& lines, int nIndex);
    // Lines (in index order) with their extents, sized and placed; returns the total.
    static long long Measure(std::vector<Line>& lines, const std::map<int, std::vector<int>>& extents, int nCount,
                             const LayoutCuts& cuts, int nRegion);

    std::vector<Line> m_rows;
    std::vector<Line> m_columns;
    long long m_totalWidth = 0;
    long long m_totalHeight = 0;
};

} // namespace Engine
