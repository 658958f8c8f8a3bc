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
    bool accepted;
    const char* message; // expected last error when refused
    unsigned int flag;
};

std::string CurrentDir()
{
    return std::filesystem::current_path().string();
}
} // namespace

TEST(DataSetSetters, AcceptOrRefuseAtTheirBounds)
{
    const SetterCase cases[] = {
        {"grid 0 columns", [](DataSet& d) { return d.SetGridSize(0, 3); }, true, "", DataSet::Flag_GridSize},
        {"grid 0 rows", [](DataSet& d) { return d.SetGridSize(4, 0); }, true, "", DataSet::Flag_GridSize},
        {"grid 1x2", [](DataSet& d) { return d.SetGridSize(1, 2); }, true, "", DataSet::Flag_GridSize},
        {"grid 0x0", [](DataSet& d) { return d.SetGridSize(0, 0); }, false, "The grid size may not be 0x0", DataSet::Flag_GridSize},
        {"grid 1x1", [](DataSet& d) { return d.SetGridSize(1, 1); }, false, "The grid size may not be 1x1", DataSet::Flag_GridSize},
        {"grid negative, rows first", [](DataSet& d) { return d.SetGridSize(-1, 2); }, false,
         "The grid sizes may not be below 0 (2x-1)", DataSet::Flag_GridSize},
        {"region 5x5", [](DataSet& d) { return d.SetRegionSize(5, 5); }, true, "", DataSet::Flag_RegionSize},
        {"region 4 wide", [](DataSet& d) { return d.SetRegionSize(4, 10); }, false,
         "The region sizes may not be below 5 (4x10)", DataSet::Flag_RegionSize},
        {"region 4 high", [](DataSet& d) { return d.SetRegionSize(10, 4); }, false,
         "The region sizes may not be below 5 (10x4)", DataSet::Flag_RegionSize},
        {"overlap 1", [](DataSet& d) { return d.SetOverlap(1); }, true, "", DataSet::Flag_Overlap},
        {"overlap 0", [](DataSet& d) { return d.SetOverlap(0); }, false, "The overlap value is invalid (0)", DataSet::Flag_Overlap},
        {"quality 0", [](DataSet& d) { return d.SetQuality(0); }, true, "", DataSet::Flag_Quality},
        {"quality 100", [](DataSet& d) { return d.SetQuality(100); }, true, "", DataSet::Flag_Quality},
        {"quality 101", [](DataSet& d) { return d.SetQuality(101); }, false, "The image quality value is invalid (101)", DataSet::Flag_Quality},
        {"quality -1", [](DataSet& d) { return d.SetQuality(-1); }, false, "The image quality value is invalid (-1)", DataSet::Flag_Quality},
        {"start position 3", [](DataSet& d) { return d.SetGridStartPosition(3); }, true, "", DataSet::Flag_GridStartPosition},
        {"start position 4", [](DataSet& d) { return d.SetGridStartPosition(4); }, false,
         "The grid start position is invalid (4)", DataSet::Flag_GridStartPosition},
        {"order 2", [](DataSet& d) { return d.SetGridOrder(2); }, false, "The grid order is invalid (2)", DataSet::Flag_GridOrder},
        {"compression 0", [](DataSet& d) { return d.SetCompression(0); }, false,
         "The compression type is invalid (0)", DataSet::Flag_Compression},
        {"compression Zip", [](DataSet& d) { return d.SetCompression(13); }, true, "", DataSet::Flag_Compression},
        {"transparent 256", [](DataSet& d) { return d.SetTransparentColor(0, 256, 0); }, false,
         "The transparent color is invalid", DataSet::Flag_TransparentColor},
        {"background from -1", [](DataSet& d) { return d.SetBackgroundColor(static_cast<unsigned>(-1), 0, 0); }, false,
         "The background color is invalid", DataSet::Flag_BackgroundColor},
        {"attribute without value", [](DataSet& d) { return d.AddAttribute("Comment", ""); }, false,
         "The attribute (Comment) is invalid", DataSet::Flag_Attributes},
        {"attribute without name", [](DataSet& d) { return d.AddAttribute("", "x"); }, false,
         "The attribute () is invalid", DataSet::Flag_Attributes},
        {"extra data without format", [](DataSet& d) { return d.AddExtraData("", "key", "v"); }, false,
         "The extra data token (key) is invalid", DataSet::Flag_ExtraData},
        {"empty output", [](DataSet& d) { return d.SetOutputFile(""); }, false, "Invalid output file ()", DataSet::Flag_OutputFile},
        {"empty source dir", [](DataSet& d) { return d.SetSourceDirectory(""); }, false,
         "Invalid source directory ()", DataSet::Flag_SourceDirectory},
        {"empty input", [](DataSet& d) { return d.AddInputFile("", 0, 0, -1); }, false,
         "An invalid input file name was provided ()", DataSet::Flag_InputFiles},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        EXPECT_EQ(c.call(dataSet), c.accepted) << c.name;
        EXPECT_EQ((dataSet.GetSetFlags() & c.flag) != 0, c.accepted) << c.name;
        if (!c.accepted) {
            EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
            EXPECT_EQ(dataSet.GetSetFlags(), 0u) << c.name << ": a refused value sets no flag";
        }
    }
}

TEST(DataSetInput, EmptyCellWordsAndPathResolution)
{
    struct Case { const char* name; const char* input; bool useSourceDir; bool empty; std::string expected; };
    const Case cases[] = {
        {"None any case", "nONe", false, true, ""},
        {"KeepEmpty any case", "KEEPEMPTY", true, true, ""},
        {"None behind a directory is a file", "dir/None", false, false, CurrentDir() + "/dir/None"},
        {"relative joins working directory", "a.png", false, false, CurrentDir() + "/a.png"},
        {"relative joins source directory", "a.png", true, false, "/images/src/a.png"},
        {"absolute stays", "/tmp/b.png", true, false, "/tmp/b.png"},
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

    DataSet output;
    output.SetSourceDirectory("/src");
    ASSERT_TRUE(output.SetOutputFile("out/x.png"));
    EXPECT_EQ(output.GetOutputFile(), CurrentDir() + "/out/x.png") << "the output ignores the source directory too";
}

TEST(DataSetCompleteness, ChecksInOrder)
{
    struct Case { const char* name; std::function<void(DataSet&)> fill; const char* message; };
    const Case cases[] = {
        {"nothing", [](DataSet&) {}, "No output file has been specified"},
        {"inputs without output", [](DataSet& d) { d.AddInputFile("a.png", 0, 0, -1); }, "No output file has been specified"},
        {"output only", [](DataSet& d) { d.SetOutputFile("o.png"); }, "No or not enough input files have been specified"},
        {"one entry without numbers or grid",
         [](DataSet& d) { d.SetOutputFile("o.png"); d.AddInputFile("a.png", -1, -1, 3); },
         "The grid size could not be calculated automatically"},
        {"one entry with a row number", [](DataSet& d) { d.SetOutputFile("o.png"); d.AddInputFile("a.png", 0, -1, -1); }, ""},
        {"one entry with a column number", [](DataSet& d) { d.SetOutputFile("o.png"); d.AddInputFile("a.png", -1, 4, -1); }, ""},
        {"flat list with rows given",
         [](DataSet& d) { d.SetOutputFile("o.png"); d.AddInputFile("a.png", -1, -1, -1); d.SetGridSize(0, 2); }, ""},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        c.fill(dataSet);
        const bool bExpectComplete = std::string(c.message).empty();
        EXPECT_EQ(dataSet.IsComplete(), bExpectComplete) << c.name;
        if (!bExpectComplete) {
            EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
        }
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
