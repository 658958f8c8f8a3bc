#include "TestSupport.h"
#include "data/DataSet.h"
#include "engine/GridLayout.h"
#include "engine/ImageGrid.h"
#include "threads/WorkerThreads.h"

#include <climits>
#include <mutex>
#include <thread>

#include <sys/stat.h>

using namespace TestSupport;

namespace {
// "heights / widths / canvas" of a grid given row by row as "WxH" sizes, "-" for an empty cell.
std::string LayoutOf(const std::vector<std::string>& rows, const Engine::LayoutCuts& cuts)
{
    std::vector<Engine::PlacedSize> placed;
    size_t nColumns = 0;
    for (size_t nRow = 0; nRow < rows.size(); ++nRow) {
        std::istringstream cells(rows[nRow]);
        int nColumn = 0;
        for (std::string strCell; cells >> strCell; ++nColumn)
            if (strCell != "-")
                placed.push_back(
                    {int(nRow), nColumn, {std::stoi(strCell), std::stoi(strCell.substr(strCell.find('x') + 1))}});
        nColumns = std::max(nColumns, size_t(nColumn));
    }
    Engine::GridLayout layout;
    layout.Calculate(int(rows.size()), int(nColumns), placed, cuts);
    std::string strHeights, strWidths;
    for (size_t nRow = 0; nRow < rows.size(); ++nRow)
        strHeights += std::to_string(layout.GetRowHeight(int(nRow))) + " ";
    for (size_t nColumn = 0; nColumn < nColumns; ++nColumn)
        strWidths += std::to_string(layout.GetColumnWidth(int(nColumn))) + " ";
    return strHeights + "/ " + strWidths + "/ " + std::to_string(layout.GetTotalWidth()) + "x"
           + std::to_string(layout.GetTotalHeight());
}
} // namespace

TEST(GridLayout, SizesRowsColumnsAndCanvas)
{
    const Engine::LayoutCuts none, overlap10{-1, -1, 10, false}, region50x40{50, 40, 0, false};
    EXPECT_EQ(LayoutOf({"100x50 80x70", "60x30 90x20"}, none), "70 30 / 100 90 / 190x100") << "largest image decides";
    EXPECT_EQ(LayoutOf({"100x100"}, overlap10), "100 / 100 / 100x100") << "a lone cell keeps its overlap";
    EXPECT_EQ(LayoutOf({"100x100 100x100", "100x100 30x20"}, region50x40), "40 40 / 50 50 / 100x80");
    EXPECT_EQ(LayoutOf({"100x100 -", "- -"}, none), "100 0 / 100 0 / 100x100") << "empty lines take no space";
    EXPECT_EQ(LayoutOf({"15x100 100x100 100x100"}, overlap10), "100 / 5 80 90 / 175x100") << "a cut below zero";
    EXPECT_EQ(LayoutOf({"100x100 15x100 100x100"}, overlap10), "100 / 90 0 90 / 180x100") << "never below zero";
}

// Outcomes come back in order with their own errors; jobs kept off the workers run on the
// caller's thread; the workers never start more than their window ahead of the caller.
TEST(RunAhead, HandsOutcomesBackInOrderWithinItsWindow)
{
    const size_t nJobs = 40;
    for (int nWorkers : {0, 3}) {
        std::mutex mutex;
        size_t nTaken = 0, nMostAhead = 0;
        std::vector<std::thread::id> ranOn(nJobs);
        Threads::RunAhead jobs(
            nJobs,
            [&](size_t n, std::string& strError) {
                std::lock_guard<std::mutex> lock(mutex);
                ranOn[n] = std::this_thread::get_id();
                nMostAhead = std::max(nMostAhead, n + 1 - nTaken);
                strError = "job " + std::to_string(n);
                return n % 5 != 4;
            },
            [](size_t n) { return n % 3 != 0; }, nWorkers);
        for (size_t n = 0; n < nJobs; ++n) {
            std::string strError;
            EXPECT_EQ(jobs.Take(n, strError), n % 5 != 4) << n;
            EXPECT_EQ(strError, "job " + std::to_string(n));
            std::lock_guard<std::mutex> lock(mutex);
            nTaken = n + 1;
            if (n % 3 == 0 || nWorkers == 0) {
                EXPECT_EQ(ranOn[n], std::this_thread::get_id()) << n;
            }
        }
        // One more than the window: the count of taken outcomes is updated after each Take.
        EXPECT_LE(nMostAhead, size_t(nWorkers) + 1);
    }
}

// Whole-grid runs show the usual cuts and the region clipped at the image edge.
TEST(ImageGridCell, OverlapMayLeaveNothing)
{
    Sandbox dir;
    Save(CoordinateImage(100, 80, 9), dir / "cell.png");
    Engine::ImageGrid grid;
    Engine::ImageGridCell cell(&grid, dir / "cell.png", 0, 1);
    cell.CreateImage();
    ASSERT_EQ(cell.ReadImage(false), Engine::ImageGridCell::ReadResult::Read);
    EXPECT_FALSE(cell.TrimOverlap(50, 3, 1));
    EXPECT_EQ(cell.GetLastError(),
              "An overlap of 50 pixels leaves nothing of the image " + dir / "cell.png" + " (100x80)");
}

TEST(ImageGrid, CanvasBeyondTheLibraryLimitsNamesTheLimitAndTheSize)
{
    Data::DataSet dataSet;
    Engine::ImageGrid grid;
    grid.SetDataSet(&dataSet);
    const Magick::Color black(0, 0, 0);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(0, 0), black));
    EXPECT_THAT(grid.GetLastError(), StartsWith("The compound image would be empty (0x0 pixels)"));
    using namespace MagickCore;
    const ResourceType limited[] = {WidthResource, HeightResource, MemoryResource, MapResource, DiskResource};
    std::vector<MagickSizeType> saved;
    for (ResourceType type : limited)
        saved.push_back(GetMagickResourceLimit(type));
    SetMagickResourceLimit(WidthResource, 1000);
    EXPECT_TRUE(grid.CreateCanvas(Magick::Geometry(1000, 10), black)) << grid.GetLastError();
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(1001, 10), black));
    EXPECT_EQ(grid.GetLastError(),
              "The compound image of 1001x10 pixels is wider than ImageMagick's width limit (1KP)");
    // A height limit of its own, below the width limit, so that a check of the wrong side fails.
    SetMagickResourceLimit(HeightResource, 500);
    EXPECT_TRUE(grid.CreateCanvas(Magick::Geometry(10, 500), black)) << grid.GetLastError();
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(10, 501), black));
    EXPECT_EQ(grid.GetLastError(),
              "The compound image of 10x501 pixels is higher than ImageMagick's height limit (500P)");
    SetMagickResourceLimit(HeightResource, saved[1]);
    for (ResourceType type : {MemoryResource, MapResource, DiskResource})
        SetMagickResourceLimit(type, 1024 * 1024);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(900, 2000), black));
    EXPECT_THAT(grid.GetLastError(), StartsWith("The compound image of 900x2000 pixels (13.73MiB) exceeds "
                                                "ImageMagick's resource limits ("));
    EXPECT_THAT(grid.GetLastError(), HasSubstr("memory 1MiB, map 1MiB, disk 1MiB): "));
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

// A file replaced after its ping is refused by name before its pixels are placed, whichever
// decoder reads it; a bigger one before the direct decoders allocate anything.
TEST(ImageGridCell, RefusesAFileThatChangedSinceItsPing)
{
    Sandbox dir;
    Data::DataSet dataSet;
    Engine::ImageGrid grid;
    grid.SetDataSet(&dataSet);
    for (const char* szName : {"cell.png", "cell.jpg", "cell.gif"}) {
        SCOPED_TRACE(szName);
        Save(CoordinateImage(30, 20, 1), dir / szName);
        Engine::ImageGridCell cell(&grid, dir / szName, 0, 0);
        ASSERT_TRUE(cell.PingImage()) << cell.GetLastError();
        Save(CoordinateImage(60, 40, 1), dir / szName);
        for (bool bDirect : {true, false}) {
            EXPECT_EQ(cell.ReadImage(bDirect), Engine::ImageGridCell::ReadResult::Refused);
            EXPECT_EQ(cell.GetLastError(),
                      "The image " + dir / szName + " changed since it was checked: 60x40 instead of 30x20");
        }
        // A FIFO in its place would block any reader.
        std::filesystem::remove(dir / szName);
        ASSERT_EQ(mkfifo((dir / szName).c_str(), 0600), 0);
        for (bool bDirect : {true, false}) {
            EXPECT_EQ(cell.ReadImage(bDirect), Engine::ImageGridCell::ReadResult::Refused);
            EXPECT_THAT(cell.GetLastError(), HasSubstr(dir / szName));
        }
        std::filesystem::remove(dir / szName);
    }
}
