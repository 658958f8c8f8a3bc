#include "cmdline/TessaraCmdLine.h"
#include "core/TessaraProject.h"
#include "data/DataCollector_CmdLine.h"
#include "data/DataCollector_Project.h"
#include "data/DataSet.h"
#include "test_engine_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;
using Data::DataSet;

namespace {
struct Placed
{
    std::string file;
    int row;
    int column;
    bool operator==(const Placed& other) const
    {
        return file == other.file && row == other.row && column == other.column;
    }
};

std::ostream& operator<<(std::ostream& out, const Placed& p)
{
    return out << p.file << "@" << p.row << "," << p.column;
}

std::vector<Placed> EntriesOf(const DataSet& dataSet)
{
    std::vector<Placed> entries;
    for (const auto& entry : dataSet.GetInputFiles().GetEntries())
        entries.push_back({entry.empty ? "<empty>" : entry.fileName, entry.row, entry.column});
    return entries;
}

// Parses and validates the arguments, as the driver does, before anything is collected.
class CommandLine
{
public:
    explicit CommandLine(std::vector<std::string> arguments) : m_arguments(std::move(arguments))
    {
        std::vector<const char*> argv{"tesscli"};
        for (const auto& strArgument : m_arguments)
            argv.push_back(strArgument.c_str());
        m_cmdLine.Initialize(static_cast<int>(argv.size()), argv.data());
        m_valid = m_cmdLine.Parse() && m_cmdLine.Validate();
    }

    bool IsValid() const { return m_valid; }
    const std::string& GetError() const { return m_cmdLine.GetLastError(); }

    bool CollectInto(DataSet& dataSet) const
    {
        Data::DataCollector_CmdLine collector(m_cmdLine);
        return dataSet.Collect(&collector);
    }

private:
    std::vector<std::string> m_arguments;
    CmdLine::TessaraCmdLine m_cmdLine;
    bool m_valid = false;
};

std::string Cwd(const std::string& strName)
{
    return (fs::current_path() / strName).string();
}
} // namespace

TEST(CommandLineCollector, FileSwitchesBecomeRowsAndColumns)
{
    struct Case { const char* name; std::vector<std::string> args; std::vector<Placed> entries; };
    const Case cases[] = {
        {"two rows", {"-row", "a.png", "b.png", "-row", "c.png"},
         {{Cwd("a.png"), 0, 0}, {Cwd("b.png"), 0, 1}, {Cwd("c.png"), 1, 0}}},
        {"two columns", {"-col", "a.png", "b.png", "-col", "c.png"},
         {{Cwd("a.png"), 0, 0}, {Cwd("b.png"), 1, 0}, {Cwd("c.png"), 0, 1}}},
        {"source directory applies even when given later", {"-row", "a.png", "None", "/abs/b.png", "-sourcedir", "/src"},
         {{"/src/a.png", 0, 0}, {"<empty>", 0, 1}, {"/abs/b.png", 0, 2}}},
    };
    for (const auto& c : cases) {
        CommandLine cmdLine(c.args);
        ASSERT_TRUE(cmdLine.IsValid()) << c.name << ": " << cmdLine.GetError();
        DataSet dataSet;
        ASSERT_TRUE(cmdLine.CollectInto(dataSet)) << c.name << ": " << dataSet.GetLastError();
        EXPECT_EQ(EntriesOf(dataSet), c.entries) << c.name;
    }
}

TEST(CommandLineCollector, FirstFailingStepStopsWithTheSetterMessage)
{
    struct Case { const char* name; std::vector<std::string> args; const char* message; unsigned int unsetFlag; };
    const Case cases[] = {
        {"quality before attributes", {"-quality", "150", "-attribute", "a", "b"},
         "The image quality value is invalid (150)", DataSet::Flag_Attributes},
        {"grid before overlap", {"-overlap", "0", "-grid", "1", "1"}, "The grid size may not be 1x1", DataSet::Flag_Overlap},
        {"negative colour component", {"-bgcolor", "0", "-1", "0"}, "The background color is invalid",
         DataSet::Flag_Compression},
        {"region below 5", {"-regionsize", "4", "10", "-stack"}, "The region sizes may not be below 5 (4x10)",
         DataSet::Flag_StackImages},
        {"index range reversed", {"-sources", "x{index}.png", "-index", "7", "3"}, "The index restrictions are invalid (7 - 3)",
         DataSet::Flag_GridSize},
    };
    for (const auto& c : cases) {
        CommandLine cmdLine(c.args);
        ASSERT_TRUE(cmdLine.IsValid()) << c.name << ": " << cmdLine.GetError();
        DataSet dataSet;
        EXPECT_FALSE(cmdLine.CollectInto(dataSet)) << c.name;
        EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
        EXPECT_FALSE(dataSet.IsSet(static_cast<DataSet::SetFlag>(c.unsetFlag))) << c.name;
    }
}

TEST(CommandLineCollector, SingleIndexIsALowerBound)
{
    TestSupport::TempDir dir;
    for (const char* name : {"s3.png", "s4.png", "s12.png"})
        std::ofstream(dir.Path() / name) << "x";
    CommandLine cmdLine({"-sources", dir / "s{index}.png", "-index", "4", "-grid", "1", "0"});
    DataSet dataSet;
    ASSERT_TRUE(cmdLine.IsValid() && cmdLine.CollectInto(dataSet)) << dataSet.GetLastError();
    ASSERT_TRUE(dataSet.ArrangeInputFiles());
    // Listed in byte order (s12 first), placed in index order.
    std::vector<std::string> names;
    for (const auto& entry : dataSet.GetInputFiles().GetEntries())
        names.push_back(fs::path(entry.fileName).filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"s4.png", "s12.png"}));
}

namespace {
class ProjectThenCommandLine : public ::testing::Test
{
protected:
    // Collects the project first and the command line second, as a run does.
    bool Collect(const std::string& strSettings, std::vector<std::string> args, DataSet& dataSet)
    {
        const std::string strPath = m_dir / "p.tsp";
        std::ofstream(strPath)
            << "<Project type=\"TessaraProject\" version=\"1\"><Rows><Row><File>a.png</File><File>none</File></Row>"
               "<Row><File>/abs/c.png</File></Row></Rows><Settings>"
            << strSettings << "</Settings></Project>";
        Core::TessaraProject project;
        if (!project.LoadProject(strPath)) {
            dataSet.SetLastError("%s", project.GetLastError().c_str());
            return false;
        }
        Data::DataCollector_Project projectCollector(project);
        if (!dataSet.Collect(&projectCollector))
            return false;
        args.insert(args.begin(), {"-project", strPath});
        CommandLine cmdLine(args);
        return cmdLine.IsValid() && cmdLine.CollectInto(dataSet);
    }

    TestSupport::TempDir m_dir;
};
} // namespace

TEST_F(ProjectThenCommandLine, SwitchesOverrideProjectSettings)
{
    DataSet dataSet;
    ASSERT_TRUE(Collect("<Overlap>3</Overlap><Transparency>#ff0000</Transparency><Background>#010203</Background>"
                        "<StackImages>true</StackImages>",
                        {"-transparent", "0", "0", "255", "-regionsize", "10", "10", "-sourcedir", "/src"}, dataSet))
        << dataSet.GetLastError();
    EXPECT_EQ(EntriesOf(dataSet), (std::vector<Placed>{{Cwd("a.png"), 0, 0}, {"<empty>", 0, 1}, {"/abs/c.png", 1, 0}}))
        << "project rows are added before -sourcedir is known";
    EXPECT_EQ(dataSet.GetTransparentColor().GetRed(), 0u);
    EXPECT_EQ(dataSet.GetTransparentColor().GetBlue(), 255u);
    EXPECT_EQ(dataSet.GetBackgroundColor().GetBlue(), 3u);
    EXPECT_TRUE(dataSet.IsSet(DataSet::Flag_Overlap));
    EXPECT_TRUE(dataSet.IsSet(DataSet::Flag_RegionSize));
    EXPECT_TRUE(dataSet.IsSet(DataSet::Flag_StackImages));
    EXPECT_EQ(dataSet.GetSourceDirectory(), "/src");
}

TEST_F(ProjectThenCommandLine, StackingFalseInTheProjectSetsNothing)
{
    DataSet dataSet;
    ASSERT_TRUE(Collect("<StackImages>false</StackImages>", {"-out", "o.png"}, dataSet)) << dataSet.GetLastError();
    EXPECT_FALSE(dataSet.IsSet(DataSet::Flag_StackImages));
    EXPECT_TRUE(dataSet.IsComplete()) << dataSet.GetLastError();
}
