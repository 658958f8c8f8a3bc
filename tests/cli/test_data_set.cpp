#include "data/DataSet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using Data::DataSet;

namespace {
struct SetterCase
{
    const char* name;
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
        {"grid 0 columns", [](D& d) { return d.SetGridSize(0, 3); }, "", D::FlagGridSize},
        {"grid 0 rows", [](D& d) { return d.SetGridSize(4, 0); }, "", D::FlagGridSize},
        {"grid 1x2", [](D& d) { return d.SetGridSize(1, 2); }, "", D::FlagGridSize},
        {"grid 0x0", [](D& d) { return d.SetGridSize(0, 0); }, "The grid size may not be 0x0", D::FlagGridSize},
        {"grid 1x1", [](D& d) { return d.SetGridSize(1, 1); }, "The grid size may not be 1x1", D::FlagGridSize},
        {"grid negative, rows first", [](D& d) { return d.SetGridSize(-1, 2); },
         "The grid sizes may not be below 0 (2x-1)", D::FlagGridSize},
        {"region 5x5", [](D& d) { return d.SetRegionSize(5, 5); }, "", D::FlagRegionSize},
        {"region 4 wide", [](D& d) { return d.SetRegionSize(4, 10); }, "The region sizes may not be below 5 (4x10)",
         D::FlagRegionSize},
        {"region 4 high", [](D& d) { return d.SetRegionSize(10, 4); }, "The region sizes may not be below 5 (10x4)",
         D::FlagRegionSize},
        {"overlap 1", [](D& d) { return d.SetOverlap(1); }, "", D::FlagOverlap},
        {"overlap 0", [](D& d) { return d.SetOverlap(0); }, "The overlap value is invalid (0)", D::FlagOverlap},
        {"quality 0", [](D& d) { return d.SetQuality(0); }, "", D::FlagQuality},
        {"quality 100", [](D& d) { return d.SetQuality(100); }, "", D::FlagQuality},
        {"quality 101", [](D& d) { return d.SetQuality(101); }, "The image quality value is invalid (101)",
         D::FlagQuality},
        {"quality -1", [](D& d) { return d.SetQuality(-1); }, "The image quality value is invalid (-1)",
         D::FlagQuality},
        {"start position 3", [](D& d) { return d.SetGridStartPosition(3); }, "", D::FlagGridStartPosition},
        {"start position 4", [](D& d) { return d.SetGridStartPosition(4); }, "The grid start position is invalid (4)",
         D::FlagGridStartPosition},
        {"order 4", [](D& d) { return d.SetGridOrder(4); }, "The grid order is invalid (4)", D::FlagGridOrder},
        {"compression 0", [](D& d) { return d.SetCompression(0); }, "The compression type is invalid (0)",
         D::FlagCompression},
        {"compression Zip", [](D& d) { return d.SetCompression(13); }, "", D::FlagCompression},
        {"transparent 256", [](D& d) { return d.SetTransparentColor(0, 256, 0); }, "The transparent color is invalid",
         D::FlagTransparentColor},
        {"attribute without value", [](D& d) { return d.AddAttribute("Comment", ""); },
         "The attribute (Comment) is invalid", D::FlagAttributes},
        {"attribute without name", [](D& d) { return d.AddAttribute("", "x"); }, "The attribute () is invalid",
         D::FlagAttributes},
        {"extra data without format", [](D& d) { return d.AddExtraData("", "key", "v"); },
         "The extra data token (key) is invalid", D::FlagExtraData},
        {"empty output", [](D& d) { return d.SetOutputFile(""); }, "Invalid output file ()", D::FlagOutputFile},
        {"empty source dir", [](D& d) { return d.SetSourceDirectory(""); }, "Invalid source directory ()",
         D::FlagSourceDirectory},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        const bool bAccepted = std::string(c.message).empty();
        EXPECT_EQ(c.call(dataSet), bAccepted) << c.name;
        EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
        EXPECT_EQ(dataSet.GetSetFlags(), bAccepted ? c.flag : 0u) << c.name << ": only an accepted value sets its flag";
    }
}

TEST(DataSetInput, EmptyCellWordsAndPathResolution)
{
    struct Case
    {
        const char* name;
        const char* input;
        bool useSourceDir;
        bool empty;
        std::string expected;
    };
    const Case cases[] = {
        {"None any case", "nONe", false, true, ""},
        {"KeepEmpty any case", "KEEPEMPTY", true, true, ""},
        {"None behind a directory is a file", "dir/None", false, false, CurrentDir() + "/dir/None"},
        {"tilde is not expanded", "~/c.png", false, false, CurrentDir() + "/~/c.png"},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        if (c.useSourceDir) {
            ASSERT_TRUE(dataSet.SetSourceDirectory("/images/src/"));
        }
        ASSERT_TRUE(dataSet.AddInputFile(c.input, 2, -1, -1)) << c.name;
        const Data::InputFile& entry = dataSet.GetInputFiles().GetEntries().at(0);
        EXPECT_EQ(entry.empty, c.empty) << c.name;
        EXPECT_EQ(entry.fileName, c.expected) << c.name;
        EXPECT_EQ(entry.row, 2) << c.name;
        EXPECT_TRUE(dataSet.HasRowNumbers()) << c.name;
        EXPECT_FALSE(dataSet.HasColumnNumbers()) << c.name;
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
    struct Case
    {
        int row, column, gridRows;
        bool complete;
    };
    for (const Case& c : {Case{-1, -1, 0, false}, Case{0, -1, 0, true}, Case{-1, 4, 0, true}, Case{-1, -1, 2, true}}) {
        DataSet one;
        one.SetOutputFile("o.png");
        one.AddInputFile("a.png", c.row, c.column, 3);
        if (c.gridRows)
            one.SetGridSize(0, c.gridRows);
        EXPECT_EQ(one.IsComplete(), c.complete) << c.row << "," << c.column << "," << c.gridRows;
        EXPECT_EQ(one.GetLastError(), c.complete ? "" : "The grid size could not be calculated automatically");
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
