#pragma once

#include <optional>
#include <vector>

namespace Engine {

struct ImageSize
{
    int width = 0;
    int height = 0;
};

// What is cut from every image before it is placed; a region side of -1 means no region.
struct LayoutCuts
{
    int regionWidth = -1;
    int regionHeight = -1;
    int overlap = 0;
    bool stack = false;
};

// Row heights, column widths and the canvas size of a grid, from the sizes of its images
// ([row][column], empty where a cell has no image). An image whose cut size would be negative
// is left out of its row and column; an empty row or column takes no space.
class GridLayout
{
public:
    void Calculate(const std::vector<std::vector<std::optional<ImageSize>>>& sizes, const LayoutCuts& cuts);

    const std::vector<int>& GetRowHeights() const { return m_rowHeights; }
    const std::vector<int>& GetColumnWidths() const { return m_columnWidths; }
    int GetTotalWidth() const { return m_totalWidth; }
    int GetTotalHeight() const { return m_totalHeight; }

private:
    std::vector<int> m_rowHeights;
    std::vector<int> m_columnWidths;
    int m_totalWidth = 0;
    int m_totalHeight = 0;
};

} // namespace Engine
