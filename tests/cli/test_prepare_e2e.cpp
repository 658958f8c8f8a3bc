#include "TestSupport.h"

#include <fstream>

using namespace TestSupport;
using namespace std::string_literals;

namespace {
const std::pair<const char*, Rgba> kImages[] = {
    {"a.png", {255, 0, 0}}, {"b.png", {0, 255, 0}}, {"c.png", {0, 0, 255}}, {"d.png", {255, 255, 255}}};

// Everything printed after ImageMagick's set-up block: the part that data preparation owns.
std::string AfterInitialization(const TesscliRun& run)
{
    const size_t nPos = run.standardOutput.find(MagickSetupText());
    if (nPos == std::string::npos)
        return "<no initialization block in:\n" + run.standardOutput + ">";
    return run.standardOutput.substr(nPos + MagickSetupText().size());
}

class PrepareRun : public TesscliTest
{
protected:
    PrepareRun()
    {
        for (const auto& [name, colour] : kImages)
            Save(SolidImage(2, 2, colour), dir.Path() / name);
        m_dir = dir.Path().string();
    }

    void WriteProject(const std::string& strName, const std::string& strRowsAndSettings) const
    {
        std::ofstream(dir / strName) << "<Project type=\"TessaraProject\" version=\"1\">" << strRowsAndSettings
                                     << "</Project>\n";
    }

    // Preparation succeeded when its summary and a blank line are followed by the grid phase.
    void ExpectPrepared(const TesscliRun& run, const std::string& strPreparation) const
    {
        const std::string strOutput = AfterInitialization(run);
        EXPECT_EQ(strOutput.rfind(strPreparation + "\nCreating image grid...\n", 0), 0u)
            << "expected:\n"
            << strPreparation << "\nactual:\n"
            << strOutput;
        EXPECT_NE(run.exitStatus, 3);
        EXPECT_NE(run.exitStatus, 4);
        EXPECT_EQ(run.standardError, "");
    }

    std::string m_dir;
};
} // namespace

TEST_F(PrepareRun, EverySettingIsSummarised)
{
    const TesscliRun run = Run(Words("-out o.tif -sources ?.png -grid 0 2 -startpos BOTTOM-left -order col-first "
                                     "-regionsize 5 6 -stack -transparent 1 2 3 -bgcolor 255 0 128 -compression rle "
                                     "-quality 75 -attribute Comment x -extradata png k v"));
    ExpectPrepared(run, "Preparing data...\n    Current directory: " + m_dir + "\n    Output file: " + m_dir
                            + "/o.tif\n    Number of input files: 4\n    Grid size: 0x2\n"
                              "    Grid start position: Bottom-Left\n    Grid order: Col-First\n"
                              "    Region size: 5x6 pixels\n    Stacking enabled: Yes\n"
                              "    Transparent color: R:1 G:2 B:3\n    Background color: R:255 G:0 B:128\n"
                              "    Compression type: RLE\n    Image quality: 75\n");
}

// Project first, switches second: a switch replaces a project setting and the others stay. The
// source directory given on the command line does not move the project's files, and the project's
// overlap reaches the grid, which leaves nothing of the small tiles.
TEST_F(PrepareRun, CommandLineOverridesTheProject)
{
    WriteProject("p.tsp", "<Rows><Row><File>a.png</File><File>KeepEmpty</File></Row><Row><File>b.png</File>"
                          "<File>c.png</File></Row></Rows><Settings><Background>#102030</Background><Overlap>3"
                          "</Overlap><Transparency>00ff01</Transparency><StackImages>true</StackImages>"
                          "<AutoOrient>true</AutoOrient></Settings>");
    const TesscliRun run = Run(Words("-project p.tsp -out o.bmp -bgcolor 1 1 1 -sourcedir /nowhere"));
    ExpectPrepared(run, "Loading project p.tsp...\nPreparing data...\n    Current directory: " + m_dir
                            + "\n    Output file: " + m_dir
                            + "/o.bmp\n    Source directory: /nowhere\n    Number of input files: 4\n"
                              "    Stacking enabled: Yes\n    Auto-orientation enabled: Yes\n"
                              "    Transparent color: R:0 G:255 B:1\n    Background color: R:1 G:1 B:1\n");
    for (const std::string& strShown : {"    " + m_dir + "/a.png... done\n", "would be empty (0x0 pixels)"s})
        EXPECT_NE(run.standardOutput.find(strShown), std::string::npos) << run.standardOutput;
}

TEST_F(PrepareRun, EachFailureClassEndsWithStatus4)
{
    WriteProject("emptyname.tsp", "<Rows><Row><File><![CDATA[]]></File></Row></Rows><Settings/>");
    // The arguments and what the run prints after setting ImageMagick up.
    const std::pair<const char*, std::string> cases[] = {
        {"-project missing.tsp",
         "Loading project missing.tsp...\n\nAn error occurred while loading the project:\n    Unable to load the "
         "project file\n"},
        {"-project emptyname.tsp",
         "Loading project emptyname.tsp...\n\nAn error occurred while preparing the data from the project file:\n"
         "    An invalid input file name was provided ()\n"},
        {"-row a.png -overlap 0",
         "Preparing data...\n\nAn error occurred while preparing the data passed via command-line:\n"
         "    The overlap value is invalid (0)\n"},
        {"-row a.png",
         "Preparing data...\n\nThe data set is incomplete or invalid:\n    No output file has been specified\n"},
        {"-out o.png", "Preparing data...\n\nThe data set is incomplete or invalid:\n"
                       "    No or not enough input files have been specified\n"},
        {"-out o.png -sources *.png", "Preparing data...\n\nThe data set is incomplete or invalid:\n"
                                      "    The grid size could not be calculated automatically\n"},
    };
    for (const auto& [szArguments, strOutput] : cases) {
        const TesscliRun run = Run(Words(szArguments));
        EXPECT_EQ(AfterInitialization(run), strOutput + "\n") << szArguments;
        EXPECT_EQ(run.exitStatus, 4) << szArguments;
    }
}
