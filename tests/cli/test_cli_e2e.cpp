#include "TestSupport.h"

namespace fs = std::filesystem;
using namespace TestSupport;

namespace {
const std::string kBanner = "Tessara - Copyright (C) 2010 Tessara Imaging\n"
                            "Version: 2.0.0.100 (Build: 28.07.2010)\n"
                            + std::string(78, '=') + "\n\n";

// Everything a run prints: banner, echo line, the run's own text, and the closing empty line.
std::string RunText(const std::string& strEcho, const std::string& strBody)
{
    return kBanner + strEcho + "\n\n" + strBody + "\n";
}

std::string ConvertText(const std::string& strSource, const std::string& strTarget, const char* szResult)
{
    return RunText("> -convert " + strSource + " " + strTarget + " ",
                   MagickSetupText() + "Converting '" + strSource + "' to '" + strTarget + "'... " + szResult + "\n");
}

void ExpectRun(const TesscliRun& run, const std::string& strOutput, int nStatus)
{
    EXPECT_EQ(run.standardOutput, strOutput);
    EXPECT_EQ(run.exitStatus, nStatus);
    EXPECT_EQ(run.standardError, "");
}

// 3x2 with six different colours; half of them partly transparent when bWithAlpha.
Magick::Image MakeSourceImage(bool bWithAlpha)
{
    return ImageOf(3, 2, [bWithAlpha](int nX, int nY) {
        return Rgba{unsigned(nX * 120), unsigned(nY * 250), 40, bWithAlpha && (nX + nY) % 2 ? 128u : 255u};
    });
}

using TesscliRunTest = TesscliTest;

// Everything printed after ImageMagick's set-up block: the part that data preparation owns.
std::string AfterInitialization(const TesscliRun& run)
{
    const size_t nPos = run.standardOutput.find(MagickSetupText());
    return nPos == std::string::npos ? "<no initialization block in:\n" + run.standardOutput + ">"
                                     : run.standardOutput.substr(nPos + MagickSetupText().size());
}

class PrepareRun : public TesscliTest
{
protected:
    PrepareRun()
    {
        for (const char* szName : {"a.png", "b.png", "c.png", "d.png"})
            Save(SolidImage(2, 2, {255, 0, 0}), dir / szName);
    }

    void WriteProject(const std::string& strName, const std::string& strRowsAndSettings) const
    {
        std::ofstream(dir / strName) << "<Project type=\"TessaraProject\" version=\"1\">" << strRowsAndSettings
                                     << "</Project>\n";
    }

    // Preparation succeeded when its summary and a blank line are followed by the grid phase.
    void ExpectPrepared(const TesscliRun& run, const std::string& strPreparation) const
    {
        EXPECT_THAT(AfterInitialization(run), StartsWith(strPreparation + "\nCreating image grid...\n"));
        EXPECT_NE(run.exitStatus, 3);
        EXPECT_NE(run.exitStatus, 4);
        EXPECT_EQ(run.standardError, "");
    }

    const std::string m_dir = dir.Path().string();
};
} // namespace

TEST_F(TesscliRunTest, PrintsTheUsageWhenNothingIsRecognisedOrHelpIsAsked)
{
    // The arguments, as echoed, and the exit status.
    const std::pair<std::string, int> cases[] = {
        {"", 3}, {"-help", 0}, {"-out x.png -HELP -stack", 0}, {"foo -help", 3}, {"-foo", 3}};
    const std::string strUsage = ArgumentTable({}).GetUsage();
    for (const auto& [strArguments, nStatus] : cases) {
        SCOPED_TRACE(strArguments);
        ExpectRun(Run(Words(strArguments)), RunText("> " + strArguments + (strArguments.empty() ? "" : " "), strUsage),
                  nStatus);
    }
}

TEST_F(TesscliRunTest, ReportsParseAndRuleErrorsAfterARecognisedSwitch)
{
    // The arguments, their echo (inner blanks quoted, percent signs kept) and the message.
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{"-out"}, "> -out ", "Not enough parameters for command-line switch -out"},
        {{"-help", "-row", "a", "-col", "b"}, "> -help -row a -col b ", "-row cannot be used in conjunction with -col"},
        {{"-row", "my file.png", " lead", "100%", "%s%n", "trail ", "-col", "c"},
         "> -row \"my file.png\"  lead 100% %s%n \"trail \" -col c ",
         "-row cannot be used in conjunction with -col"},
        {{"-quality", "%s%%"}, "> -quality %s%% ", "Invalid value '%s%%' for command-line switch -quality"},
    };
    for (const auto& [arguments, strEcho, strMessage] : cases) {
        SCOPED_TRACE(strEcho);
        ExpectRun(Run(arguments),
                  RunText(strEcho, "An error occurred while parsing the command-line:\n    " + strMessage
                                       + "\n\nUse 'tesscli -help' to get a description of its supported "
                                         "command-line switches\n"),
                  3);
    }
}

TEST_F(TesscliRunTest, ConvertWritesTheTargetFormatWithTheSourcePixels)
{
    // Source, target and the format the target must have.
    const std::array<const char*, 3> cases[] = {{"in.png", "out.bmp", "BMP"},
                                                {"in.png", "out.PNG", "PNG"},
                                                {"alpha.png", "alpha.tif", "TIFF"},
                                                {"in.png", "scan%d.png", "PNG"}};
    Save(MakeSourceImage(false), dir.Path() / "in.png");
    Save(MakeSourceImage(true), dir.Path() / "alpha.png");
    for (const auto& [szSource, szTarget, szFormat] : cases) {
        SCOPED_TRACE(szTarget);
        ExpectRun(Run({"-convert", szSource, szTarget}), ConvertText(szSource, szTarget, "done"), 0);
        Magick::Image written;
        ASSERT_NO_THROW(written.read(dir / szTarget));
        EXPECT_EQ(written.magick(), szFormat);
        ExpectSamePixels(Magick::Image(dir / szSource), written);
    }
}

// Without its end marker a JPEG makes the decoder warn; the pixels are intact, converted or as a tile.
TEST_F(TesscliRunTest, LibraryWarningsAreNoFailure)
{
    Magick::Image photo = MakeSourceImage(false);
    photo.magick("JPEG");
    Save(photo, dir / "whole.jpg");
    const std::string strWhole = ReadFile(dir / "whole.jpg");
    std::ofstream(dir / "odd.jpg", std::ios::binary) << strWhole.substr(0, strWhole.size() - 2);
    Magick::Image check;
    EXPECT_THROW(check.read(dir / "odd.jpg"), Magick::Warning) << "the sample must provoke a warning";

    ExpectRun(Run({"-convert", "odd.jpg", "out.bmp"}), ConvertText("odd.jpg", "out.bmp", "done"), 0);
    ExpectSamePixels(Magick::Image(dir / "whole.jpg"), Magick::Image(dir / "out.bmp"));
    EXPECT_EQ(Run({"-row", "odd.jpg", "-out", "tile.png"}).exitStatus, 0);
    ExpectSamePixels(Magick::Image(dir / "whole.jpg"), Magick::Image(dir / "tile.png"));
}

// The reason comes under the "failed"; an output no writer takes is refused before the input is read.
TEST_F(TesscliRunTest, ConvertFailuresSayWhy)
{
    std::ofstream(dir / "text.png") << "not an image\n";
    std::ofstream(dir / "empty.png");
    fs::create_directory(dir / "folder.png");
    // Source, target and the reason.
    const std::array<const char*, 3> cases[] = {
        {"missing.png", "out.png", "tesscli: unable to open image `missing.png': No such file or directory"},
        {"text.png", "out.png", "tesscli: improper image header `text.png'"},
        {"empty.png", "out.png", "tesscli: improper image header `empty.png'"},
        {"missing.png", "folder.png",
         "The output file folder.png is a directory (extension 'png'); name an image file instead"},
        {"missing.png", "out.xyz", "No image writer knows the extension 'xyz' of the output file out.xyz"},
        {"missing.png", "out", "The output file out has no extension (such as '.png') to choose the image format by"},
    };
    for (const auto& [szSource, szTarget, szReason] : cases) {
        SCOPED_TRACE(szTarget);
        ExpectRun(Run({"-convert", szSource, szTarget}),
                  ConvertText(szSource, szTarget, (std::string("failed\n    ") + szReason).c_str()), 5);
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
}

// The user's own ImageMagick configuration comes first: a policy there that forbids PNG applies.
TEST_F(TesscliRunTest, ConvertHonoursTheUsersImageMagickConfiguration)
{
    Save(MakeSourceImage(false), dir.Path() / "in.png");
    fs::create_directories(dir / "userconfig");
    std::ofstream(dir / "userconfig/policy.xml")
        << "<policymap><policy domain=\"coder\" rights=\"none\" pattern=\"PNG\"/></policymap>\n";

    const TesscliRun denied = Run({"-convert", "in.png", "out.bmp"}, {"MAGICK_CONFIGURE_PATH=" + dir / "userconfig"});
    EXPECT_EQ(denied.exitStatus, 5) << denied.standardOutput;
    EXPECT_EQ(denied.standardError, "");

    const TesscliRun allowed = Run({"-convert", "in.png", "out.bmp"}, {"MAGICK_CONFIGURE_PATH=" + dir / "nothing"});
    EXPECT_EQ(allowed.exitStatus, 0) << allowed.standardOutput;
}

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
    for (const std::string& strShown :
         {"    " + m_dir + "/a.png... done\n", std::string("would be empty (0x0 pixels)")})
        EXPECT_THAT(run.standardOutput, HasSubstr(strShown));
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
