#include "data/DataSet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <array>
#include <functional>
#include <tuple>

using Data::DataSet;

namespace {
struct SetterCase
{
    std::function<bool(DataSet&)> call;
    const char* message; // last error afterwards: empty when the value is accepted
    unsigned int flag;
};

std::string CurrentDir()
{
    return std::filesystem::current_path().string();
}
} // namespace

TEST(DataSetSetters, AcceptOrRefuseAtTheirBounds)
{
    using D = DataSet;
    const SetterCase cases[] = {
        {[](D& d) { return d.SetGridSize(0, 3); }, "", D::FlagGridSize},
        {[](D& d) { return d.SetGridSize(4, 0); }, "", D::FlagGridSize},
        {[](D& d) { return d.SetGridSize(1, 2); }, "", D::FlagGridSize},
        {[](D& d) { return d.SetGridSize(0, 0); }, "The grid size may not be 0x0", D::FlagGridSize},
        {[](D& d) { return d.SetGridSize(1, 1); }, "The grid size may not be 1x1", D::FlagGridSize},
        {[](D& d) { return d.SetGridSize(-1, 2); }, "The grid sizes may not be below 0 (2x-1)", D::FlagGridSize},
        {[](D& d) { return d.SetRegionSize(5, 5); }, "", D::FlagRegionSize},
        {[](D& d) { return d.SetRegionSize(4, 10); }, "The region sizes may not be below 5 (4x10)", D::FlagRegionSize},
        {[](D& d) { return d.SetRegionSize(10, 4); }, "The region sizes may not be below 5 (10x4)", D::FlagRegionSize},
        {[](D& d) { return d.SetOverlap(1); }, "", D::FlagOverlap},
        {[](D& d) { return d.SetOverlap(0); }, "The overlap value is invalid (0)", D::FlagOverlap},
        {[](D& d) { return d.SetQuality(0); }, "", D::FlagQuality},
        {[](D& d) { return d.SetQuality(100); }, "", D::FlagQuality},
        {[](D& d) { return d.SetQuality(101); }, "The image quality value is invalid (101)", D::FlagQuality},
        {[](D& d) { return d.SetQuality(-1); }, "The image quality value is invalid (-1)", D::FlagQuality},
        {[](D& d) { return d.SetGridStartPosition(3); }, "", D::FlagGridStartPosition},
        {[](D& d) { return d.SetGridStartPosition(4); }, "The grid start position is invalid (4)",
         D::FlagGridStartPosition},
        {[](D& d) { return d.SetGridOrder(4); }, "The grid order is invalid (4)", D::FlagGridOrder},
        {[](D& d) { return d.SetCompression(0); }, "The compression type is invalid (0)", D::FlagCompression},
        {[](D& d) { return d.SetCompression(13); }, "", D::FlagCompression},
        {[](D& d) { return d.SetTransparentColor(0, 256, 0); }, "The transparent color is invalid",
         D::FlagTransparentColor},
        {[](D& d) { return d.AddAttribute("Comment", ""); }, "The attribute (Comment) is invalid", D::FlagAttributes},
        {[](D& d) { return d.AddAttribute("", "x"); }, "The attribute () is invalid", D::FlagAttributes},
        {[](D& d) { return d.AddExtraData("", "key", "v"); }, "The extra data token (key) is invalid",
         D::FlagExtraData},
        {[](D& d) { return d.SetOutputFile(""); }, "Invalid output file ()", D::FlagOutputFile},
        {[](D& d) { return d.SetSourceDirectory(""); }, "Invalid source directory ()", D::FlagSourceDirectory},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        DataSet dataSet;
        const bool bAccepted = std::string(cases[n].message).empty();
        EXPECT_EQ(cases[n].call(dataSet), bAccepted) << "case " << n;
        EXPECT_EQ(dataSet.GetLastError(), cases[n].message) << "case " << n;
        EXPECT_EQ(dataSet.GetSetFlags(), bAccepted ? cases[n].flag : 0u)
            << "case " << n << ": only an accepted value sets its flag";
    }
}

TEST(DataSetInput, EmptyCellWordsAndPathResolution)
{
    // The name given, with a source directory or not, and the file it stands for ("" for an empty cell).
    const std::tuple<const char*, bool, std::string> cases[] = {
        {"nONe", false, ""},
        {"KEEPEMPTY", true, ""},
        {"dir/None", false, CurrentDir() + "/dir/None"},
        {"~/c.png", false, CurrentDir() + "/~/c.png"}, // not expanded
    };
    for (const auto& [szInput, bSourceDir, strExpected] : cases) {
        SCOPED_TRACE(szInput);
        DataSet dataSet;
        if (bSourceDir) {
            ASSERT_TRUE(dataSet.SetSourceDirectory("/images/src/"));
        }
        ASSERT_TRUE(dataSet.AddInputFile(szInput, 2, -1, -1));
        const Data::InputFile& entry = dataSet.GetInputFiles().GetEntries().at(0);
        EXPECT_EQ(entry.empty, strExpected.empty());
        EXPECT_EQ(entry.fileName, strExpected);
        EXPECT_EQ(entry.row, 2);
        EXPECT_TRUE(dataSet.HasRowNumbers());
        EXPECT_FALSE(dataSet.HasColumnNumbers());
    }
}

TEST(DataSetCompleteness, ChecksInOrder)
{
    DataSet dataSet;
    EXPECT_FALSE(dataSet.IsComplete());
    EXPECT_EQ(dataSet.GetLastError(), "No output file has been specified");
    ASSERT_TRUE(dataSet.SetOutputFile("o.png"));
    EXPECT_FALSE(dataSet.IsComplete());
    EXPECT_EQ(dataSet.GetLastError(), "No or not enough input files have been specified");

    // One entry: a row or column number, or the grid's row count, lets the grid be worked out.
    for (const auto& [nRow, nColumn, nGridRows] : {std::array{-1, -1, 0}, {0, -1, 0}, {-1, 4, 0}, {-1, -1, 2}}) {
        DataSet one;
        one.SetOutputFile("o.png");
        one.AddInputFile("a.png", nRow, nColumn, 3);
        if (nGridRows)
            one.SetGridSize(0, nGridRows);
        const bool bComplete = nRow >= 0 || nColumn >= 0 || nGridRows;
        EXPECT_EQ(one.IsComplete(), bComplete) << nRow << "," << nColumn << "," << nGridRows;
        EXPECT_EQ(one.GetLastError(), bComplete ? "" : "The grid size could not be calculated automatically");
    }
}

// Only accepted values are summarised; a refused one neither shows nor replaces the earlier value.
TEST(DataSetSummary, ShowsOnlyAcceptedValues)
{
    const std::string strCurrent = "    Current directory: " + CurrentDir() + "\n";
    DataSet dataSet;
    EXPECT_EQ(dataSet.GetSummary(), strCurrent);
    ASSERT_TRUE(dataSet.SetQuality(80));
    ASSERT_TRUE(dataSet.SetGridSize(3, 2));
    ASSERT_TRUE(dataSet.SetBackgroundColor(10, 20, 30));
    ASSERT_TRUE(dataSet.SetOverlap(7)); // never summarised
    EXPECT_FALSE(dataSet.SetQuality(150));
    EXPECT_FALSE(dataSet.SetGridSize(1, 1));
    EXPECT_FALSE(dataSet.SetBackgroundColor(1, 2, 300));
    EXPECT_FALSE(dataSet.SetRegionSize(4, 4));
    EXPECT_EQ(dataSet.GetSummary(),
              strCurrent + "    Grid size: 2x3\n    Background color: R:10 G:20 B:30\n    Image quality: 80\n");
}
