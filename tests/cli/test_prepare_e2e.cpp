#include "RunTesscli.h"
#include "test_engine_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using TestSupport::TempDir;

namespace {
// Everything printed after ImageMagick's set-up block: the part that data preparation owns.
std::string AfterInitialization(const TesscliRun& run)
{
    const std::string strBlock = "Initializing ImageMagick...\n    Library version: 6.6.2-9\n"
                                 "    Configuration directory: " + GetTesscliDir() + "/ImConfig\n\n";
    const size_t nPos = run.standardOutput.find(strBlock);
    if (nPos == std::string::npos)
        return "<no initialization block in:\n" + run.standardOutput + ">";
    return run.standardOutput.substr(nPos + strBlock.size());
}

bool StartsWith(const std::string& strText, const std::string& strPrefix)
{
    return strText.compare(0, strPrefix.size(), strPrefix) == 0;
}

class PrepareRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::canonical(m_temp.Path()).string();
        for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
            TestSupport::Save(TestSupport::SolidImage(2, 2, {10, 20, 30, 255}), m_temp.Path() / name);
    }

    TesscliRun Run(const std::vector<std::string>& arguments) const { return RunTesscli(arguments, m_dir); }

    void WriteProject(const std::string& strName, const std::string& strRowsAndSettings) const
    {
        std::ofstream(m_temp.Path() / strName)
            << "<Project type=\"TessaraProject\" version=\"1\">" << strRowsAndSettings << "</Project>\n";
    }

    // Preparation succeeded when its summary and a blank line are followed by the grid phase.
    void ExpectPrepared(const TesscliRun& run, const std::string& strPreparation) const
    {
        const std::string strOutput = AfterInitialization(run);
        EXPECT_TRUE(StartsWith(strOutput, strPreparation + "\nCreating image grid...\n"))
            << "expected:\n" << strPreparation << "\nactual:\n" << strOutput;
        EXPECT_NE(run.exitStatus, 3);
        EXPECT_NE(run.exitStatus, 4);
        EXPECT_EQ(run.standardError, "");
    }

    TempDir m_temp;
    std::string m_dir;
};
} // namespace

TEST_F(PrepareRun, RowsColumnsAndFiltersPrintTheirSummary)
{
    struct Case { const char* name; std::vector<std::string> args; std::string summary; };
    const Case cases[] = {
        {"rows with an empty cell", {"-out", "out.png", "-row", "a.png", "b.png", "-row", "c.png", "None"},
         "    Output file: " + m_dir + "/out.png\n    Number of input files: 4\n"},
        {"columns from a source directory", {"-col", "a.png", "b.png", "-col", "c.png", "-sourcedir", m_dir, "-out", "/tmp/x.png"},
         "    Output file: /tmp/x.png\n    Source directory: " + m_dir + "\n    Number of input files: 3\n"},
        {"filter with every option",
         {"-out", "o.png", "-sources", "?.png", "-grid", "0", "2", "-startpos", "BOTTOM-left", "-order", "col-first",
          "-regionsize", "5", "6", "-stack", "-transparent", "1", "2", "3", "-bgcolor", "255", "0", "128",
          "-compression", "rle", "-quality", "75", "-attribute", "Comment", "x", "-extradata", "png", "k", "v"},
         "    Output file: " + m_dir + "/o.png\n    Number of input files: 4\n    Grid size: 0x2\n"
         "    Grid start position: Bottom-Left\n    Grid order: Col-First\n    Region size: 5x6 pixels\n"
         "    Stacking enabled: Yes\n    Transparent color: R:1 G:2 B:3\n    Background color: R:255 G:0 B:128\n"
         "    Compression type: RLE\n    Image quality: 75\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPrepared(Run(c.args), "Preparing data...\n    Current directory: " + m_dir + "\n" + c.summary);
    }
}

TEST_F(PrepareRun, CommandLineOverridesTheProject)
{
    WriteProject("p.tsp", "<Rows><Row><File>a.png</File><File>KeepEmpty</File></Row><Row><File>b.png</File></Row></Rows>"
                          "<Settings><Region><Width>8</Width><Height>9</Height></Region>"
                          "<Background>#102030</Background><Transparency>00ff00</Transparency></Settings>");
    const TesscliRun run = Run({"-project", "p.tsp", "-out", "o.png", "-bgcolor", "1", "1", "1", "-sourcedir", "/nowhere"});
    ExpectPrepared(run, "Loading project p.tsp...\nPreparing data...\n    Current directory: " + m_dir +
                            "\n    Output file: " + m_dir + "/o.png\n    Source directory: /nowhere\n"
                            "    Number of input files: 3\n    Region size: 8x9 pixels\n"
                            "    Transparent color: R:0 G:255 B:0\n    Background color: R:1 G:1 B:1\n");
}

TEST_F(PrepareRun, EachFailureClassEndsWithStatus4)
{
    std::ofstream(m_temp.Path() / "v2.tsp") << "<Project type=\"TessaraProject\" version=\"2\"><Rows/><Settings/></Project>";
    WriteProject("norows.tsp", "<Settings/>");
    WriteProject("emptyname.tsp", "<Rows><Row><File><![CDATA[]]></File></Row></Rows><Settings/>");
    struct Case { const char* name; std::vector<std::string> args; std::string output; };
    const Case cases[] = {
        {"missing project file", {"-project", "missing.tsp"},
         "Loading project missing.tsp...\n\nAn error occurred while loading the project:\n    Unable to load the project file\n"},
        {"project version", {"-project", "v2.tsp", "-out", "o.png"},
         "Loading project v2.tsp...\n\nAn error occurred while loading the project:\n"
         "    The project file version doesn't match the current version\n"},
        {"project without rows", {"-project", "norows.tsp"},
         "Loading project norows.tsp...\n\nAn error occurred while loading the project:\n"
         "    The project file has no Rows element\n"},
        {"project row with an empty name", {"-project", "emptyname.tsp"},
         "Loading project emptyname.tsp...\n\nAn error occurred while preparing the data from the project file:\n"
         "    An invalid input file name was provided ()\n"},
        {"switch value refused", {"-row", "a.png", "-overlap", "0"},
         "Preparing data...\n\nAn error occurred while preparing the data passed via command-line:\n"
         "    The overlap value is invalid (0)\n"},
        {"no output", {"-row", "a.png"},
         "Preparing data...\n\nThe data set is incomplete or invalid:\n    No output file has been specified\n"},
        {"filter matching nothing", {"-out", "o.png", "-sources", "*.jpg", "-grid", "0", "2"},
         "Preparing data...\n\nThe data set is incomplete or invalid:\n"
         "    No or not enough input files have been specified\n"},
        {"flat list without grid", {"-out", "o.png", "-sources", "*.png"},
         "Preparing data...\n\nThe data set is incomplete or invalid:\n"
         "    The grid size could not be calculated automatically\n"},
    };
    for (const auto& c : cases) {
        const TesscliRun run = Run(c.args);
        EXPECT_EQ(AfterInitialization(run), c.output + "\n") << c.name;
        EXPECT_EQ(run.exitStatus, 4) << c.name;
    }
}
