#include "TestSupport.h"
#include "core/TessaraProject.h"
#include "data/DataCollector_CmdLine.h"
#include "data/DataCollector_Project.h"
#include "data/DataSet.h"

#include <filesystem>
#include <fstream>
#include <vector>

using Data::DataSet;
using TestSupport::Layout;

namespace {
// Parses and validates the arguments, as the driver does, before collecting them.
bool CollectCommandLine(const std::vector<std::string>& arguments, DataSet& dataSet)
{
    TestSupport::ArgumentTable cmdLine(arguments);
    if (!cmdLine.Parse() || !cmdLine.Validate()) {
        dataSet.SetLastError("%s", cmdLine.GetLastError().c_str());
        return false;
    }
    Data::DataCollector_CmdLine collector(cmdLine);
    return dataSet.Collect(&collector);
}

const std::string kWorkDir = std::filesystem::current_path().string();
} // namespace

TEST(CommandLineCollector, FileSwitchesBecomeRowsAndColumns)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        const char* layout;
    };
    const Case cases[] = {
        {"two rows", {"-row", "a.png", "b.png", "-row", "c.png"}, "./a.png@0,0 ./b.png@0,1 ./c.png@1,0"},
        {"two columns", {"-col", "a.png", "b.png", "-col", "c.png"}, "./a.png@0,0 ./b.png@1,0 ./c.png@0,1"},
        {"source directory applies even when given later",
         {"-row", "a.png", "None", "/abs/b.png", "-sourcedir", "/src"},
         "/src/a.png@0,0 <empty>@0,1 /abs/b.png@0,2"},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        ASSERT_TRUE(CollectCommandLine(c.args, dataSet)) << c.name << ": " << dataSet.GetLastError();
        EXPECT_EQ(Layout(dataSet.GetInputFiles(), kWorkDir), c.layout) << c.name;
    }
}

TEST(CommandLineCollector, FirstFailingStepStopsWithTheSetterMessage)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        const char* message;
        unsigned int unsetFlag;
    };
    const Case cases[] = {
        {"quality before attributes",
         {"-quality", "150", "-attribute", "a", "b"},
         "The image quality value is invalid (150)",
         DataSet::FlagAttributes},
        {"grid before overlap",
         {"-overlap", "0", "-grid", "1", "1"},
         "The grid size may not be 1x1",
         DataSet::FlagOverlap},
        {"negative colour component",
         {"-bgcolor", "0", "-1", "0"},
         "The background color is invalid",
         DataSet::FlagCompression},
        {"region below 5",
         {"-regionsize", "4", "10", "-stack"},
         "The region sizes may not be below 5 (4x10)",
         DataSet::FlagStackImages},
        {"index range reversed",
         {"-sources", "x{index}.png", "-index", "7", "3"},
         "The index restrictions are invalid (7 - 3)",
         DataSet::FlagGridSize},
    };
    for (const auto& c : cases) {
        DataSet dataSet;
        EXPECT_FALSE(CollectCommandLine(c.args, dataSet)) << c.name;
        EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
        EXPECT_FALSE(dataSet.IsSet(static_cast<DataSet::SetFlag>(c.unsetFlag))) << c.name;
    }
}

TEST(CommandLineCollector, SingleIndexIsALowerBound)
{
    TestSupport::TempDir dir;
    for (const char* name : {"s3.png", "s4.png", "s12.png"})
        std::ofstream(dir.Path() / name) << "x";
    DataSet dataSet;
    ASSERT_TRUE(CollectCommandLine({"-sources", dir / "s{index}.png", "-index", "4", "-grid", "1", "0"}, dataSet))
        << dataSet.GetLastError();
    ASSERT_TRUE(dataSet.ArrangeInputFiles());
    EXPECT_EQ(Layout(dataSet.GetInputFiles(), dir.Path()), "./s4.png@0,0 ./s12.png@0,1");
}

// The project is collected first and the command line second, as a run does.
TEST(ProjectThenCommandLine, SwitchesOverrideProjectSettings)
{
    TestSupport::TempDir dir;
    std::ofstream(dir / "p.tsp")
        << "<Project type=\"TessaraProject\" version=\"1\"><Rows><Row><File>a.png</File><File>none</File></Row>"
           "<Row><File>/abs/c.png</File></Row></Rows><Settings><Overlap>3</Overlap><Transparency>#ff0000</Transparency>"
           "<Background>#010203</Background><StackImages>true</StackImages><AutoOrient>true</AutoOrient></Settings>"
           "</Project>";
    Core::TessaraProject project;
    ASSERT_TRUE(project.LoadProject(dir / "p.tsp")) << project.GetLastError();
    Data::DataCollector_Project projectCollector(project);
    DataSet dataSet;
    ASSERT_TRUE(dataSet.Collect(&projectCollector)) << dataSet.GetLastError();
    ASSERT_TRUE(CollectCommandLine(
        {"-project", dir / "p.tsp", "-transparent", "0", "0", "255", "-regionsize", "10", "10", "-sourcedir", "/src"},
        dataSet))
        << dataSet.GetLastError();

    EXPECT_EQ(Layout(dataSet.GetInputFiles(), kWorkDir), "./a.png@0,0 <empty>@0,1 /abs/c.png@1,0")
        << "project rows are added before -sourcedir is known";
    EXPECT_EQ(TestSupport::RgbOf(dataSet.GetTransparentColor()), "0,0,255");
    EXPECT_EQ(TestSupport::RgbOf(dataSet.GetBackgroundColor()), "1,2,3");
    const unsigned int nKept =
        DataSet::FlagOverlap | DataSet::FlagRegionSize | DataSet::FlagStackImages | DataSet::FlagAutoOrient;
    EXPECT_EQ(dataSet.GetSetFlags() & nKept, nKept);
    EXPECT_EQ(dataSet.GetSourceDirectory(), "/src");
}
