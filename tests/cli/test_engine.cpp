#include "TestSupport.h"
#include "data/DataSet.h"
#include "engine/GridLayout.h"
#include "engine/ImageGrid.h"
#include "misc/Matrix.h"

#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <optional>
#include <vector>

using namespace TestSupport;

namespace {
// Counts destroyed cells: the hook through which the image grid owns its cells.
class CountingMatrix : public Misc::Matrix<int>
{
public:
    ~CountingMatrix() override { Clear(); }
    int destroyed = 0;

protected:
    void OnCellDestroyed(Cell*) override { ++destroyed; }
};
} // namespace

TEST(Matrix, OnlyOccupiedPositionsHoldCellsAndDroppedOnesAreDestroyed)
{
    CountingMatrix matrix;
    matrix.Resize(INT_MAX, 3);
    for (auto [nRow, nColumn] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {INT_MAX, 0}, {0, 3}})
        EXPECT_FALSE(matrix.SetValue(nRow, nColumn, 1)) << nRow << "," << nColumn;
    for (auto [nRow, nColumn] : std::vector<std::pair<int, int>>{{INT_MAX - 1, 0}, {1, 2}, {0, 0}, {1, 0}})
        EXPECT_TRUE(matrix.SetValue(nRow, nColumn, nRow % 10 + nColumn));
    EXPECT_EQ(matrix.GetCell(0, 1), nullptr);
    std::vector<int> visited;
    matrix.ForEachOccupied([&](int, int, const CountingMatrix::Cell& cell) { visited.push_back(cell.GetValue()); });
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 3, 6}));
    matrix.Resize(2, 1); // drops (1, 2) and the far row
    EXPECT_EQ(matrix.destroyed, 2);
    matrix.Clear();
    EXPECT_EQ(matrix.destroyed, 4);
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
        {"largest image decides",
         {{{{100, 50}}, {{80, 70}}}, {{{60, 30}}, {{90, 20}}}},
         {},
         {70, 30},
         {100, 90},
         190,
         100},
        {"lone cell keeps its overlap", {{square}}, {-1, -1, 10, false}, {100}, {100}, 100, 100},
        {"region caps lines",
         {{square, square}, {square, {{30, 20}}}},
         {50, 40, 0, false},
         {40, 40},
         {50, 50},
         100,
         80},
        {"empty lines take no space", {{square, none}, {none, none}}, {}, {100, 0}, {100, 0}, 100, 100},
        {"cut below zero is left out",
         {{{{15, 100}}, square, square}},
         {-1, -1, 10, false},
         {100},
         {5, 80, 90},
         175,
         100},
        {"never below zero", {{square, {{15, 100}}, square}}, {-1, -1, 10, false}, {100}, {90, 0, 90}, 180, 100},
    };
    for (const Case& c : cases) {
        std::vector<Engine::PlacedSize> placed;
        for (size_t nRow = 0; nRow < c.sizes.size(); ++nRow)
            for (size_t nColumn = 0; nColumn < c.sizes[nRow].size(); ++nColumn)
                if (c.sizes[nRow][nColumn])
                    placed.push_back({int(nRow), int(nColumn), *c.sizes[nRow][nColumn]});
        Engine::GridLayout layout;
        layout.Calculate(int(c.sizes.size()), int(c.sizes[0].size()), placed, c.cuts);
        std::vector<int> heights, widths;
        for (size_t nRow = 0; nRow < c.heights.size(); ++nRow)
            heights.push_back(layout.GetRowHeight(int(nRow)));
        for (size_t nColumn = 0; nColumn < c.widths.size(); ++nColumn)
            widths.push_back(layout.GetColumnWidth(int(nColumn)));
        EXPECT_EQ(heights, c.heights) << c.name;
        EXPECT_EQ(widths, c.widths) << c.name;
        EXPECT_EQ(layout.GetTotalWidth(), c.totalWidth) << c.name;
        EXPECT_EQ(layout.GetTotalHeight(), c.totalHeight) << c.name;
    }
}

// Whole-grid runs show the usual cuts; these are the ones that only clip or fail.
TEST(ImageGridCell, RegionClipsAtTheImageEdgeAndOverlapMayLeaveNothing)
{
    Sandbox dir;
    Save(CoordinateImage(100, 80, 9), dir / "cell.png");
    Engine::ImageGrid grid;
    Engine::ImageGridCell clipped(&grid, dir / "cell.png", 1, 2);
    clipped.CreateImage();
    ASSERT_TRUE(clipped.ReadImage());
    ASSERT_TRUE(clipped.ExtractRegion(40, 60)) << grid.GetLastError();
    EXPECT_EQ(clipped.GetImage().size(), Magick::Geometry(20, 20));
    EXPECT_EQ(PixelAt(clipped.GetImage(), 0, 0), (Rgba{80, 60, 9}));

    Engine::ImageGridCell narrow(&grid, dir / "cell.png", 0, 1);
    narrow.CreateImage();
    ASSERT_TRUE(narrow.ReadImage());
    EXPECT_FALSE(narrow.TrimOverlap(50, 3, 1));
    EXPECT_EQ(grid.GetLastError(),
              "An overlap of 50 pixels leaves nothing of the image " + dir / "cell.png" + " (100x80)");
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
    EXPECT_EQ(grid.GetLastError(),
              "The compound image of 1001x10 pixels is wider than ImageMagick's width limit (1KP)");
    for (ResourceType type : {MemoryResource, MapResource, DiskResource})
        SetMagickResourceLimit(type, 1024 * 1024);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(900, 2000), black));
    const std::string strError = grid.GetLastError();
    EXPECT_EQ(
        strError.rfind("The compound image of 900x2000 pixels (13.73MiB) exceeds ImageMagick's resource limits (", 0),
        0u)
        << strError;
    EXPECT_NE(strError.find("memory 1MiB, map 1MiB, disk 1MiB): "), std::string::npos) << strError;
    for (size_t n = 0; n < saved.size(); ++n)
        SetMagickResourceLimit(limited[n], saved[n]);
}

// Positions cost nothing until a file fills them, and no overlap can wrap a size around.
TEST(ImageGrid, HugeGridsAndOverlapsStayCheapAndExact)
{
    Sandbox dir;
    Save(CoordinateImage(30, 20, 1), dir / "a.png");
    Data::DataSet dataSet;
    ASSERT_TRUE(dataSet.AddInputFile(dir / "a.png", 0, 0, -1));
    ASSERT_TRUE(dataSet.AddInputFile(dir / "a.png", INT_MAX - 1, 0, -1));
    ASSERT_TRUE(dataSet.SetGridSize(1, INT_MAX));
    Engine::ImageGrid grid;
    grid.SetPrinter([](const std::string&) {});
    grid.SetDataSet(&dataSet);
    ASSERT_TRUE(grid.CreateGrid()) << grid.GetLastError();
    ASSERT_TRUE(grid.PreloadImages()) << grid.GetLastError();
    EXPECT_EQ(grid.GetLayout().GetTotalHeight(), 40);
    EXPECT_EQ(grid.GetLayout().GetRowOffset(INT_MAX - 1), 20);
    // Pinging keeps only what the layout needs, not the file's ping image.
    EXPECT_FALSE(grid.GetImageCell(0, 0)->HasImage());

    Engine::GridLayout layout;
    layout.Calculate(3, 1, {{0, 0, {30, 20}}, {1, 0, {30, 20}}, {2, 0, {30, 20}}}, {-1, -1, INT_MAX, false});
    EXPECT_EQ(layout.GetTotalHeight(), 0);
}
