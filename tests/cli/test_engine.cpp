#include "data/DataSet.h"
#include "engine/GridLayout.h"
#include "engine/ImageGrid.h"
#include "engine/ImageGridCell.h"
#include "engine/ReplacingFileWriter.h"
#include "misc/Matrix.h"
#include "test_engine_support.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <vector>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {

// Counts the cells a matrix destroys, the hook the image grid uses to own its cells.
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

TEST(Matrix, ResizesRowsAndColumnsAndReportsEveryDestroyedCell)
{
    CountingMatrix matrix;
    EXPECT_EQ(matrix.GetColumnCount(), 0);
    matrix.Resize(2, 3);
    ASSERT_EQ(matrix.GetRowCount(), 2);
    ASSERT_EQ(matrix.GetColumnCount(), 3);
    EXPECT_EQ(matrix.GetCell(1, 2)->GetValue(), 7);
    matrix.GetCell(1, 2)->SetValue(42);

    matrix.Resize(3, 1); // drops two cells from each of the two old rows
    EXPECT_EQ(matrix.destroyed, 4);
    EXPECT_EQ(matrix.GetColumnCount(), 1);
    EXPECT_EQ(matrix.GetCell(2, 0)->GetValue(), 7);

    matrix.Resize(1, 4); // drops two rows of one cell
    EXPECT_EQ(matrix.destroyed, 6);
    EXPECT_EQ(matrix.GetRowCount(), 1);
    EXPECT_NE(matrix.GetCell(0, 3), nullptr);

    matrix.Clear();
    EXPECT_EQ(matrix.destroyed, 10);
    EXPECT_EQ(matrix.GetRowCount(), 0);
    EXPECT_EQ(matrix.GetColumnCount(), 0);
}

TEST(Matrix, GetCellRejectsPositionsOutsideTheTable)
{
    CountingMatrix matrix;
    matrix.Resize(2, 2);
    for (auto [nRow, nColumn] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 2}})
        EXPECT_EQ(matrix.GetCell(nRow, nColumn), nullptr) << nRow << "," << nColumn;
}

namespace {
using SizeTable = std::vector<std::vector<std::optional<Engine::ImageSize>>>;
const std::optional<Engine::ImageSize> kNone;
Engine::ImageSize Size(int nWidth, int nHeight) { return {nWidth, nHeight}; }
} // namespace

TEST(GridLayout, SizesRowsColumnsAndCanvas)
{
    struct Case
    {
        const char* name;
        SizeTable sizes;
        Engine::LayoutCuts cuts;
        std::vector<int> heights, widths;
        int totalWidth, totalHeight;
    };
    const Case cases[] = {
        {"tallest and widest image decide", {{Size(100, 50), Size(80, 70)}, {Size(60, 30), Size(90, 20)}}, {},
         {70, 30}, {100, 90}, 190, 100},
        {"overlap cut on inner sides of three rows", {{Size(100, 100)}, {Size(100, 100)}, {Size(100, 100)}},
         {-1, -1, 10, false}, {90, 80, 90}, {100}, 100, 260},
        {"single row and column lose no overlap", {{Size(100, 100)}}, {-1, -1, 10, false}, {100}, {100}, 100, 100},
        {"region caps every line", {{Size(100, 100), Size(100, 100)}, {Size(100, 100), Size(30, 20)}},
         {50, 40, 0, false}, {40, 40}, {50, 50}, 100, 80},
        {"stacking takes the largest line", {{Size(100, 80), Size(120, 60)}}, {-1, -1, 0, true}, {80}, {100, 120},
         120, 80},
        {"empty row and column take no space", {{Size(10, 10), kNone}, {kNone, kNone}}, {}, {10, 0}, {10, 0}, 10,
         10},
        {"image cut below zero is left out", {{Size(15, 100), Size(100, 100), Size(100, 100)}}, {-1, -1, 10, false},
         {100}, {5, 80, 90}, 175, 100},
        {"middle image cut below zero gives zero", {{Size(100, 100), Size(15, 100), Size(100, 100)}},
         {-1, -1, 10, false}, {100}, {90, 0, 90}, 180, 100},
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

namespace {
// A grid whose cells read images from a temporary directory, with progress captured.
class EngineTest : public ::testing::Test
{
protected:
    std::string AddImage(const std::string& strName, Magick::Image image)
    {
        const std::string strPath = dir / strName;
        Save(std::move(image), strPath);
        return strPath;
    }

    // Lays the named files out as the given rows ("None" for an empty cell).
    void SetRows(const std::vector<std::vector<std::string>>& rows)
    {
        for (size_t nRow = 0; nRow < rows.size(); ++nRow)
            for (size_t nColumn = 0; nColumn < rows[nRow].size(); ++nColumn) {
                const std::string& strName = rows[nRow][nColumn];
                const std::string strPath = strName == "None" ? strName : dir / strName;
                ASSERT_TRUE(dataSet.AddInputFile(strPath, static_cast<int>(nRow), static_cast<int>(nColumn), -1));
            }
        ASSERT_TRUE(dataSet.SetOutputFile(dir / "out.png"));
        ASSERT_TRUE(dataSet.ArrangeInputFiles()) << dataSet.GetLastError();
        grid.SetDataSet(&dataSet);
        grid.SetPrinter([this](const std::string& strText) { output += strText; });
    }

    std::string CellFile(int nRow, int nColumn) const
    {
        const Engine::ImageGridCell* pCell = grid.GetImageCell(nRow, nColumn);
        return pCell ? fs::path(pCell->GetFile()).filename().string() : "-";
    }

    TempDir dir;
    Data::DataSet dataSet;
    Engine::ImageGrid grid;
    std::string output;
};
} // namespace

TEST_F(EngineTest, StartCornerMirrorsTheGrid)
{
    struct Case
    {
        int corner;
        std::vector<std::string> row0, row1;
    };
    const Case cases[] = {
        {0, {"1", "2", "3"}, {"4", "5", "6"}},
        {1, {"3", "2", "1"}, {"6", "5", "4"}},
        {2, {"4", "5", "6"}, {"1", "2", "3"}},
        {3, {"6", "5", "4"}, {"3", "2", "1"}},
    };
    for (const Case& c : cases) {
        Data::DataSet cornerSet;
        for (int n = 0; n < 6; ++n)
            ASSERT_TRUE(cornerSet.AddInputFile(dir / std::to_string(n + 1), n / 3, n % 3, -1));
        ASSERT_TRUE(cornerSet.SetGridStartPosition(c.corner));
        ASSERT_TRUE(cornerSet.ArrangeInputFiles());
        Engine::ImageGrid cornerGrid;
        cornerGrid.SetDataSet(&cornerSet);
        ASSERT_TRUE(cornerGrid.CreateGrid());
        EXPECT_EQ(cornerGrid.GetDimensionsText(), "    Grid dimensions: 2 row(s), 3 column(s)\n");
        for (int nColumn = 0; nColumn < 3; ++nColumn) {
            const auto* pTop = cornerGrid.GetImageCell(0, nColumn);
            const auto* pBottom = cornerGrid.GetImageCell(1, nColumn);
            ASSERT_TRUE(pTop && pBottom);
            EXPECT_EQ(fs::path(pTop->GetFile()).filename(), c.row0[nColumn]) << "corner " << c.corner;
            EXPECT_EQ(fs::path(pBottom->GetFile()).filename(), c.row1[nColumn]) << "corner " << c.corner;
            EXPECT_EQ(pTop->GetRow(), 0);
            EXPECT_EQ(pBottom->GetColumn(), nColumn);
        }
    }
}

TEST_F(EngineTest, EmptyCellsGetNoImageCell)
{
    SetRows({{"a.png", "None"}, {"None", "b.png"}});
    ASSERT_TRUE(grid.CreateGrid());
    EXPECT_EQ(CellFile(0, 0), "a.png");
    EXPECT_EQ(CellFile(0, 1), "-");
    EXPECT_EQ(CellFile(1, 0), "-");
    EXPECT_EQ(CellFile(1, 1), "b.png");
}

TEST_F(EngineTest, PreloadStopsAtTheFirstUnreadableImage)
{
    AddImage("a.png", SolidImage(10, 10, {1, 2, 3}));
    AddImage("b.png", SolidImage(10, 10, {1, 2, 3}));
    AddImage("d.png", SolidImage(10, 10, {1, 2, 3}));
    SetRows({{"a.png", "b.png"}, {"missing.png", "d.png"}});
    ASSERT_TRUE(grid.CreateGrid());
    EXPECT_FALSE(grid.PreloadImages());
    EXPECT_EQ(output, "    " + dir / "a.png" + "... done\n    " + dir / "b.png" + "... done\n    " + dir / "missing.png" +
                          "... failed\n");
    EXPECT_NE(grid.GetLastError().find("missing.png"), std::string::npos) << grid.GetLastError();
    EXPECT_TRUE(grid.GetLayout().GetRowHeights().empty());
}

TEST_F(EngineTest, PreloadPingsOnlyAndLaysOut)
{
    AddImage("a.png", SolidImage(30, 20, {1, 2, 3}));
    AddImage("b.png", SolidImage(40, 10, {1, 2, 3}));
    SetRows({{"a.png", "b.png"}});
    ASSERT_TRUE(grid.CreateGrid());
    ASSERT_TRUE(grid.PreloadImages()) << grid.GetLastError();
    const Magick::Image& pinged = grid.GetImageCell(0, 0)->GetImage();
    EXPECT_EQ(pinged.columns(), 30u);
    EXPECT_EQ(grid.GetLayout().GetTotalWidth(), 70);
    EXPECT_EQ(grid.GetLayout().GetTotalHeight(), 20);
}

TEST_F(EngineTest, ComposeFailureMarksTheCellAndKeepsEarlierOutput)
{
    AddImage("a.png", SolidImage(10, 10, {1, 2, 3}));
    AddImage("b.png", SolidImage(10, 10, {1, 2, 3}));
    const std::string strGone = AddImage("c.png", SolidImage(10, 10, {1, 2, 3}));
    SetRows({{"a.png", "b.png", "c.png"}});
    ASSERT_TRUE(grid.CreateGrid());
    ASSERT_TRUE(grid.PreloadImages());
    fs::remove(strGone);
    output.clear();
    EXPECT_FALSE(grid.CreateCompoundImage());
    EXPECT_EQ(output, "    Combining images... [**x] failed\n");
    EXPECT_EQ(grid.GetLastError(), "Failed to load image " + strGone);
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

TEST_F(EngineTest, AnEmptyCanvasIsReportedNotCreated)
{
    SetRows({{"None", "None"}});
    ASSERT_TRUE(grid.CreateGrid());
    ASSERT_TRUE(grid.PreloadImages());
    EXPECT_FALSE(grid.CreateCompoundImage());
    EXPECT_NE(grid.GetLastError().find("empty (0x0 pixels)"), std::string::npos) << grid.GetLastError();
    EXPECT_EQ(output, "");
}

TEST_F(EngineTest, ACanvasBeyondTheLibraryLimitsNamesLimitAndSize)
{
    SetRows({{"None"}});
    const auto nOldWidth = MagickCore::GetMagickResourceLimit(MagickCore::WidthResource);
    const auto nOldMemory = MagickCore::GetMagickResourceLimit(MagickCore::MemoryResource);
    const auto nOldMap = MagickCore::GetMagickResourceLimit(MagickCore::MapResource);
    const auto nOldDisk = MagickCore::GetMagickResourceLimit(MagickCore::DiskResource);
    MagickCore::SetMagickResourceLimit(MagickCore::WidthResource, 1000);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(1001, 10), Magick::Color(0, 0, 0)));
    EXPECT_EQ(grid.GetLastError(),
              "The compound image of 1001x10 pixels is wider than ImageMagick's width limit (1KP)");
    EXPECT_TRUE(grid.CreateCanvas(Magick::Geometry(1000, 10), Magick::Color(0, 0, 0))) << grid.GetLastError();
    MagickCore::SetMagickResourceLimit(MagickCore::WidthResource, nOldWidth);

    MagickCore::SetMagickResourceLimit(MagickCore::MemoryResource, 1024 * 1024);
    MagickCore::SetMagickResourceLimit(MagickCore::MapResource, 1024 * 1024);
    MagickCore::SetMagickResourceLimit(MagickCore::DiskResource, 1024 * 1024);
    EXPECT_FALSE(grid.CreateCanvas(Magick::Geometry(2000, 2000), Magick::Color(0, 0, 0)));
    EXPECT_EQ(grid.GetLastError().rfind("The compound image of 2000x2000 pixels (30.52MiB) exceeds ImageMagick's "
                                        "resource limits (",
                                        0),
              0u)
        << grid.GetLastError();
    EXPECT_NE(grid.GetLastError().find("disk 1MiB"), std::string::npos) << grid.GetLastError();
    MagickCore::SetMagickResourceLimit(MagickCore::MemoryResource, nOldMemory);
    MagickCore::SetMagickResourceLimit(MagickCore::MapResource, nOldMap);
    MagickCore::SetMagickResourceLimit(MagickCore::DiskResource, nOldDisk);
}

namespace {
// One cell at (nRow, nColumn) of a grid, holding a coordinate image of the given size.
class CellCutTest : public EngineTest
{
protected:
    Engine::ImageGridCell& LoadCell(int nRow, int nColumn, int nWidth, int nHeight)
    {
        const std::string strPath = AddImage("cell.png", CoordinateImage(nWidth, nHeight, 9));
        cell = std::make_unique<Engine::ImageGridCell>(&grid, strPath, nRow, nColumn);
        cell->CreateImage();
        EXPECT_TRUE(cell->ReadImage());
        return *cell;
    }
    std::unique_ptr<Engine::ImageGridCell> cell;
};
} // namespace

TEST_F(CellCutTest, RegionKeepsTheCellsOwnBlock)
{
    struct Case
    {
        const char* name;
        int row, column, width, height;
        int keptWidth, keptHeight, originX, originY;
    };
    const Case cases[] = {
        {"first cell", 0, 0, 50, 40, 50, 40, 0, 0},
        {"second row and column", 1, 1, 50, 50, 50, 50, 50, 50},
        {"block reaching past the edge is clipped", 1, 2, 40, 60, 20, 40, 80, 60},
    };
    for (const Case& c : cases) {
        Engine::ImageGridCell& testCell = LoadCell(c.row, c.column, 100, 100);
        ASSERT_TRUE(testCell.ExtractRegion(c.width, c.height)) << c.name;
        const Magick::Image& image = testCell.GetImage();
        EXPECT_EQ(image.columns(), static_cast<size_t>(c.keptWidth)) << c.name;
        EXPECT_EQ(image.rows(), static_cast<size_t>(c.keptHeight)) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{unsigned(c.originX), unsigned(c.originY), 9})) << c.name;
        EXPECT_EQ(image.page().xOff(), 0u) << c.name;
    }
}

TEST_F(CellCutTest, RegionOutsideTheImageFailsWithItsPlace)
{
    Engine::ImageGridCell& testCell = LoadCell(0, 2, 100, 80);
    EXPECT_FALSE(testCell.ExtractRegion(50, 50));
    EXPECT_EQ(grid.GetLastError(),
              "The region 50x50 at (100, 0) lies outside the image " + testCell.GetFile() + " (100x80)");
}

TEST_F(CellCutTest, OverlapIsCutOnSidesFacingNeighbours)
{
    struct Case
    {
        const char* name;
        int row, column, columns, rows;
        int keptWidth, keptHeight, originX, originY;
    };
    const Case cases[] = {
        {"top-left corner", 0, 0, 3, 3, 90, 90, 0, 0},
        {"middle", 1, 1, 3, 3, 80, 80, 10, 10},
        {"bottom-right corner", 2, 2, 3, 3, 90, 90, 10, 10},
        {"middle of a single row", 0, 1, 3, 1, 80, 100, 10, 0},
        {"single cell", 0, 0, 1, 1, 100, 100, 0, 0},
    };
    for (const Case& c : cases) {
        Engine::ImageGridCell& testCell = LoadCell(c.row, c.column, 100, 100);
        ASSERT_TRUE(testCell.TrimOverlap(10, c.columns, c.rows)) << c.name;
        const Magick::Image& image = testCell.GetImage();
        EXPECT_EQ(image.columns(), static_cast<size_t>(c.keptWidth)) << c.name;
        EXPECT_EQ(image.rows(), static_cast<size_t>(c.keptHeight)) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{unsigned(c.originX), unsigned(c.originY), 9})) << c.name;
    }
}

TEST_F(CellCutTest, OverlapThatLeavesNothingFails)
{
    Engine::ImageGridCell& testCell = LoadCell(0, 1, 20, 100);
    EXPECT_FALSE(testCell.TrimOverlap(10, 3, 1));
    EXPECT_EQ(grid.GetLastError(), "An overlap of 10 pixels leaves nothing of the image " + testCell.GetFile() +
                                       " (20x100)");
}

namespace {
std::string ReadText(const fs::path& path)
{
    std::ifstream stream(path);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}
} // namespace

TEST(ReplacingFileWriter, ReplacesTheTargetAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string strTarget = dir / "out.png";
    std::ofstream(strTarget) << "old";
    Magick::Image image = SolidImage(4, 3, {10, 20, 30});
    const mode_t nOldMask = umask(022);
    Engine::ReplacingFileWriter writer(strTarget);
    EXPECT_TRUE(writer.Write(image)) << writer.GetLastError();
    umask(nOldMask);

    const Magick::Image written(strTarget);
    EXPECT_EQ(written.magick(), "PNG");
    EXPECT_EQ(PixelAt(written, 3, 2), (Rgba{10, 20, 30}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    EXPECT_EQ(fs::status(strTarget).permissions(), fs::perms(0644));
}

TEST(ReplacingFileWriter, KeepsTheOldTargetWhenWritingFails)
{
    struct Case
    {
        const char* name;
        const char* target;
        bool targetIsDirectory;
        const char* errorStart;
    };
    const Case cases[] = {
        {"unknown format", "out.nosuchformat", false, "Magick: no encode delegate"},
        {"target cannot be replaced", "out.png", true, "Cannot replace "},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string strTarget = dir / c.target;
        if (c.targetIsDirectory)
            fs::create_directory(strTarget);
        else
            std::ofstream(strTarget) << "old";
        Magick::Image image = SolidImage(4, 3, {10, 20, 30});
        Engine::ReplacingFileWriter writer(strTarget);
        EXPECT_FALSE(writer.Write(image)) << c.name;
        EXPECT_EQ(writer.GetLastError().rfind(c.errorStart, 0), 0u) << c.name << ": " << writer.GetLastError();
        EXPECT_EQ(writer.GetLastError().find("-XXXXXX"), std::string::npos) << c.name;
        if (!c.targetIsDirectory) {
            EXPECT_EQ(ReadText(strTarget), "old") << c.name;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1) << c.name;
    }
}

TEST(ReplacingFileWriter, CreatesOneMissingDirectoryLevelOnly)
{
    TempDir dir;
    Magick::Image image = SolidImage(2, 2, {1, 1, 1});
    Engine::ReplacingFileWriter oneLevel(dir / "new/out.png");
    EXPECT_TRUE(oneLevel.Write(image)) << oneLevel.GetLastError();
    EXPECT_TRUE(fs::exists(dir / "new/out.png"));

    Engine::ReplacingFileWriter twoLevels(dir / "a/b/out.png");
    EXPECT_FALSE(twoLevels.Write(image));
    EXPECT_EQ(twoLevels.GetLastError(), "Cannot create a file in " + dir / "a/b" + ": No such file or directory");
    EXPECT_FALSE(fs::exists(dir / "a"));
}
