#include "TestSupport.h"
#include "data/DataSet.h"
#include "engine/GridLayout.h"
#include "engine/ImageGrid.h"
#include "misc/Matrix.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
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

// Whole-grid runs show the usual cuts; these are the ones that only clip or fail.
TEST(ImageGridCell, RegionClipsAtTheImageEdgeAndOverlapMayLeaveNothing)
{
    TempDir dir;
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

TEST(ImageGrid, GridTooLargeForMemoryEndsWithAMessage)
{
    if (TestSupport::kAddressSanitizer)
        GTEST_SKIP() << "needs an address-space limit";
    Data::DataSet dataSet;
    ASSERT_TRUE(dataSet.AddInputFile("/a.png", 0, 0, -1));
    ASSERT_TRUE(dataSet.SetGridSize(200000, 200000));
    Engine::ImageGrid grid;
    grid.SetDataSet(&dataSet);

    // Cap the address space a little above what the process already uses, so the grid's
    // allocation fails here instead of exhausting the machine.
    long nPages = 0;
    std::ifstream("/proc/self/statm") >> nPages;
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(nPages) * sysconf(_SC_PAGESIZE) + (512u << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    const bool bCreated = grid.CreateGrid();
    setrlimit(RLIMIT_AS, &saved);

    EXPECT_FALSE(bCreated);
    EXPECT_EQ(grid.GetLastError(), "Not enough memory for a grid of 200000 row(s) and 200000 column(s)");
    EXPECT_EQ(grid.GetRowCount(), 0);
}
