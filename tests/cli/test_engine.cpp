#include "TestSupport.h"
#include "data/DataSet.h"
#include "engine/GridLayout.h"
#include "engine/ImageGrid.h"
#include "misc/Matrix.h"

#include <optional>
#include <vector>

using namespace TestSupport;

namespace {
// Counts destroyed cells: the hook through which the image grid owns its cells.
class CountingMatrix : public Misc::Matrix<int>
{
public:
    CountingMatrix() : Misc::Matrix<int>(7) {}
    ~CountingMatrix() override { Clear(); }
    int destroyed = 0;

protected:
    void OnCellDestroyed(Cell*) override { ++destroyed; }
};
} // namespace

TEST(Matrix, ResizeAndClearDestroyEveryDroppedCell)
{
    CountingMatrix matrix;
    matrix.Resize(2, 3);
    EXPECT_EQ(matrix.GetCell(1, 2)->GetValue(), 7);
    for (auto [nRow, nColumn] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 3}})
        EXPECT_EQ(matrix.GetCell(nRow, nColumn), nullptr) << nRow << "," << nColumn;
    matrix.Resize(3, 1); // two cells from each old row
    EXPECT_EQ(matrix.destroyed, 4);
    EXPECT_EQ(matrix.GetCell(2, 0)->GetValue(), 7);
    matrix.Resize(1, 4); // two rows of one cell
    EXPECT_EQ(matrix.destroyed, 6);
    EXPECT_EQ(matrix.GetColumnCount(), 4);
    matrix.Clear();
    EXPECT_EQ(matrix.destroyed, 10);
    EXPECT_EQ(matrix.GetColumnCount(), 0);
}

TEST(GridLayout, SizesRowsColumnsAndCanvas)
{
    using Sizes = std::vector<std::vector<std::optional<Engine::ImageSize>>>;
    const Engine::ImageSize square{100, 100};
    const std::optional<Engine::ImageSize> none;
    struct Case
    {
        const char* name;
        Sizes sizes;
        Engine::LayoutCuts cuts;
        std::vector<int> heights, widths;
        int totalWidth, totalHeight;
    };
    const Case cases[] = {
        {"largest image decides", {{{{100, 50}}, {{80, 70}}}, {{{60, 30}}, {{90, 20}}}}, {}, {70, 30}, {100, 90}, 190, 100},
        {"lone cell keeps its overlap", {{square}}, {-1, -1, 10, false}, {100}, {100}, 100, 100},
        {"region caps lines", {{square, square}, {square, {{30, 20}}}}, {50, 40, 0, false}, {40, 40}, {50, 50}, 100, 80},
        {"empty lines take no space", {{square, none}, {none, none}}, {}, {100, 0}, {100, 0}, 100, 100},
        {"cut below zero is left out", {{{{15, 100}}, square, square}}, {-1, -1, 10, false}, {100}, {5, 80, 90}, 175, 100},
        {"never below zero", {{square, {{15, 100}}, square}}, {-1, -1, 10, false}, {100}, {90, 0, 90}, 180, 100},
    };
    for (const Case& c : cases) {
        Engine::GridLayout layout;
        layout.Calculate(c.sizes, c.cuts);
        EXPECT_EQ(layout.GetRowHeights(), c.heights) << c.name;
        EXPECT_EQ(layout.GetColumnWidths(), c.widths) << c.name;
        EXPECT_EQ(layout.GetTotalWidth(), c.totalWidth) << c.name;
        EXPECT_EQ(layout.GetTotalHeight(), c.totalHeight) << c.name;
    }
}

TEST(ImageGridCell, CutsKeepTheRightBlockOrFailWhenNothingRemains)
{
    TempDir dir;
    Save(CoordinateImage(100, 80, 9), dir / "cell.png");
    Engine::ImageGrid grid;
    struct Case
    {
        const char* name;
        int row, column;
        bool region;     // else overlap 10 in a 3x3 grid
        int width, height; // region size, or image width for the overlap cases
        int keptWidth, keptHeight, originX, originY; // kept 0x0: the cut must fail
    };
    const Case cases[] = {
        {"region of row 1, column 1", 1, 1, true, 50, 40, 50, 40, 50, 40},
        {"region clipped at the edge", 1, 2, true, 40, 60, 20, 20, 80, 60},
        {"region outside the image", 0, 2, true, 50, 50, 0, 0, 0, 0},
        {"overlap of a corner cell", 0, 0, false, 0, 0, 90, 70, 0, 0},
        {"overlap of the middle cell", 1, 1, false, 0, 0, 80, 60, 10, 10},
    };
    for (const Case& c : cases) {
        Engine::ImageGridCell cell(&grid, dir / "cell.png", c.row, c.column);
        cell.CreateImage();
        ASSERT_TRUE(cell.ReadImage());
        const bool bKept = c.region ? cell.ExtractRegion(c.width, c.height) : cell.TrimOverlap(10, 3, 3);
        ASSERT_EQ(bKept, c.keptWidth > 0) << c.name;
        if (!bKept)
            continue;
        EXPECT_EQ(cell.GetImage().columns(), size_t(c.keptWidth)) << c.name;
        EXPECT_EQ(cell.GetImage().rows(), size_t(c.keptHeight)) << c.name;
        EXPECT_EQ(PixelAt(cell.GetImage(), 0, 0), (Rgba{unsigned(c.originX), unsigned(c.originY), 9})) << c.name;
    }

    Engine::ImageGridCell narrow(&grid, dir / "cell.png", 0, 1);
    narrow.CreateImage();
    ASSERT_TRUE(narrow.ReadImage());
    EXPECT_FALSE(narrow.TrimOverlap(50, 3, 1));
    EXPECT_EQ(grid.GetLastError(), "An overlap of 50 pixels leaves nothing of the image " + dir / "cell.png" + " (100x80)");
}

TEST(ImageGrid, CanvasBeyondTheLibraryLimitsNamesTheLimitAndTheSize)
{
    Data::DataSet dataSet;
    Engine::ImageGrid grid;
    grid.SetDataSet(&dataSet);
    const Magick::Color black(0, 0, 0);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(0, 0), black));
    EXPECT_EQ(grid.GetLastError().rfind("The compound image would be empty (0x0 pixels)", 0), 0u);

    using namespace MagickCore;
    const ResourceType limited[] = {WidthResource, MemoryResource, MapResource, DiskResource};
    std::vector<MagickSizeType> saved;
    for (ResourceType type : limited)
        saved.push_back(GetMagickResourceLimit(type));
    SetMagickResourceLimit(WidthResource, 1000);
    EXPECT_TRUE(grid.CreateCanvas(Magick::Geometry(1000, 10), black)) << grid.GetLastError();
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(1001, 10), black));
    EXPECT_EQ(grid.GetLastError(), "The compound image of 1001x10 pixels is wider than ImageMagick's width limit (1KP)");
    for (ResourceType type : {MemoryResource, MapResource, DiskResource})
        SetMagickResourceLimit(type, 1024 * 1024);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(900, 2000), black));
    const std::string strError = grid.GetLastError();
    EXPECT_EQ(strError.rfind("The compound image of 900x2000 pixels (13.73MiB) exceeds ImageMagick's resource limits (", 0), 0u)
        << strError;
    EXPECT_NE(strError.find("memory 1MiB, map 1MiB, disk 1MiB): "), std::string::npos) << strError;
    for (size_t n = 0; n < saved.size(); ++n)
        SetMagickResourceLimit(limited[n], saved[n]);
}
