#include "TestSupport.h"
#include "data/DataCollector_CmdLine.h"
#include "data/DataSet.h"

#include <filesystem>
#include <fstream>
#include <tuple>
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
    // A source directory applies to relative names even when it is given later.
    const std::pair<const char*, const char*> cases[] = {
        {"-row a.png b.png -row c.png", "./a.png@0,0 ./b.png@0,1 ./c.png@1,0"},
        {"-col a.png b.png -col c.png", "./a.png@0,0 ./b.png@1,0 ./c.png@0,1"},
        {"-row a.png None /abs/b.png -sourcedir /src", "/src/a.png@0,0 <empty>@0,1 /abs/b.png@0,2"},
    };
    for (const auto& [szArguments, szLayout] : cases) {
        DataSet dataSet;
        ASSERT_TRUE(CollectCommandLine(TestSupport::Words(szArguments), dataSet)) << dataSet.GetLastError();
        EXPECT_EQ(Layout(dataSet.GetInputFiles(), kWorkDir), szLayout) << szArguments;
    }
}

TEST(CommandLineCollector, FirstFailingStepStopsWithTheSetterMessage)
{
    // The refused value, and a later step whose flag stays unset.
    const std::tuple<const char*, const char*, DataSet::SetFlag> cases[] = {
        {"-quality 150 -attribute a b", "The image quality value is invalid (150)", DataSet::FlagAttributes},
        {"-overlap 0 -grid 1 1", "The grid size may not be 1x1", DataSet::FlagOverlap},
        {"-bgcolor 0 -1 0 -compression rle", "The background color is invalid", DataSet::FlagCompression},
        {"-regionsize 4 10 -stack", "The region sizes may not be below 5 (4x10)", DataSet::FlagStackImages},
        {"-sources x{index}.png -index 7 3", "The index restrictions are invalid (7 - 3)", DataSet::FlagGridSize},
    };
    for (const auto& [szArguments, szMessage, unsetFlag] : cases) {
        DataSet dataSet;
        EXPECT_FALSE(CollectCommandLine(TestSupport::Words(szArguments), dataSet)) << szArguments;
        EXPECT_EQ(dataSet.GetLastError(), szMessage);
        EXPECT_FALSE(dataSet.IsSet(unsetFlag)) << szArguments;
    }
}

TEST(CommandLineCollector, SingleIndexIsALowerBound)
{
    TestSupport::Sandbox dir;
    for (const char* name : {"s3.png", "s4.png", "s12.png"})
        std::ofstream(dir.Path() / name) << "x";
    DataSet dataSet;
    ASSERT_TRUE(CollectCommandLine({"-sources", dir / "s{index}.png", "-index", "4", "-grid", "1", "0"}, dataSet))
        << dataSet.GetLastError();
    ASSERT_TRUE(dataSet.ArrangeInputFiles());
    EXPECT_EQ(Layout(dataSet.GetInputFiles(), dir.Path()), "./s4.png@0,0 ./s12.png@0,1");
}
