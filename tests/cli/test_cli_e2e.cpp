#include "RunTesscli.h"

#include <Magick++.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kBanner = "Tessara - Copyright (C) 2010 Tessara Imaging\n"
                            "Version: 2.0.0.100 (Build: 28.07.2010)\n" +
                            std::string(78, '=') + "\n\n";

const std::string kUsage = R"(Usage: tesscli [-project] [-out] [-sourcedir] [-row] [-col] [-sources] [-index] [-grid] [-startpos] [-order] [-regionsize] [-overlap] [-stack] [-transparent] [-bgcolor] [-compression] [-quality] [-attribute] [-extradata] [-help] 

-project <string>:
    Loads the specified project (*.tsp) file; all switches (except -sources,
    -row and -col) can still be used to override the project settings.

-out <string>:
    Sets the output image file. The output format will be chosen according to
    the provided file ending.

-sourcedir <string>:
    Sets the base directory for images. If only filenames (or relative paths)
    are specified for -row/-col, Tessara will look in this folder
    for the input images.

-row* <string> [string] [string] [...]:
    Adds a row of images; cannot be used in conjunction with -col and -sources.
    Use -sourcedir to set the base directory for images; to add an empty cell,
    specify 'None'.

-col* <string> [string] [string] [...]:
    Adds a column of images; cannot be used in conjunction with -row and
    -sources. Use -sourcedir to set the base directory for images; to add an
    empty cell, specify 'None'.

-sources <string>:
    Sets the input images filename filter, which will be used for assembling
    the input images; cannot be used in conjunction with -row and -col. The
    filename filter can contain the following placeholders (see manual for
    details): {row} {col} {index}; wildcards (* and ?) are supported as well.
    Example: -sources Q:\img\myimage_r{row}_c{col}.*

-index <int> [int]:
    When using the {index} placeholder (see -sources), this switch can be used
    to restrict the index that should be assembled to the specified range.

-grid <int> <int>:
    Sets the grid size (rows, columns) of the output image. This switch has to
    be used when the row and column distribution of the output image cannot be
    calculated automatically (when using -sources without the {row}/{col}
    placeholders, for example), or if you want to enforce a specific size. Set
    either the row or column count to 0 to have that value calculated
    automatically.

-startpos <string>:
    Sets the starting position/corner in the grid where images should be added.
    Possible values are top-left (default), top-right, bottom-left and
    bottom-right.

-order <string>:
    Sets the order in which images should be added to the grid; this switch can
    be used in conjunction with -sources when no row and column
    placeholders are used. Possible values are row-first (default) and
    col-first.

-regionsize <int> <int>:
    Sets the region size (width*height) of the input image. If specified, only
    a certain region of the input image will be used; the corresponding
    location of the region will be calculated automatically.

-overlap <int>:
    Specifies an amount of pixels that the input images overlap each other;
    this overlap will be cropped from the input images before combining them.

-stack:
    When this switch is specified, all input images will be stacked together on
    top of each other. This should be used if the input images contain
    regions of the final image and a background color or alpha
    channel/transparency is present.

-transparent <int> <int> <int>:
    Sets a transparent color for the input images in the form of Red Green
    Blue (in the range of 0-255 each). Pixels with this color will not be
    copied to the final image.

-bgcolor <int> <int> <int>:
    Sets the background color of the output image in the form of Red Green
    Blue (in the range of 0-255 each). Defaults to black.

-compression <string>:
    Overrides the default compression type of the output image format;
    possible values are: None, BZip, Fax, Group4, JPEG, LZW, RLE, Zip.

-quality <int>:
    Sets the quality/compression level (in the range of 0-100) for image
    formats that support it.

-attribute* <string> <string>:
    Adds an image attribute to the image (in the form of Name Value).

-extradata* <string> <string> <string>:
    Sets a definition string when encoding the output image (in the form
    of Format Key Value); the meanings of the definitions are format specific.

-help:
    Displays this help message

* denotes switches that can be passed multiple times
)";

std::string ParseErrorText(const std::string& strMessage)
{
    return "An error occurred while parsing the command-line:\n    " + strMessage +
           "\n\nUse 'tesscli -help' to get a description of its supported command-line switches\n";
}

std::string MagickSetupText()
{
    return "Initializing ImageMagick...\n    Library version: 6.6.2-9\n    Configuration directory: " +
           GetTesscliDir() + "/ImConfig\n\n";
}

// Everything a run prints: banner, echo line, the run's own text, and the closing empty line.
std::string RunText(const std::string& strEcho, const std::string& strBody)
{
    return kBanner + strEcho + "\n\n" + strBody + "\n";
}

// 3x2 with six different colours; half of them partly transparent when bWithAlpha.
Magick::Image MakeSourceImage(bool bWithAlpha)
{
    const unsigned char alpha = bWithAlpha ? 0x80 : 0xFF;
    const unsigned char rgba[] = {
        0xFF, 0x00, 0x00, 0xFF,  0x00, 0xFF, 0x00, alpha,  0x00, 0x00, 0xFF, 0xFF,
        0x10, 0x20, 0x30, alpha, 0xFF, 0xFF, 0xFF, 0xFF,   0x00, 0x00, 0x00, alpha,
    };
    Magick::Image image(3, 2, "RGBA", Magick::CharPixel, rgba);
    image.matte(bWithAlpha);
    return image;
}

// 8-bit RGBA (or RGB) of every pixel, row by row.
std::vector<unsigned char> ExportPixels(Magick::Image image, bool bWithAlpha)
{
    const std::string strMap = bWithAlpha ? "RGBA" : "RGB";
    std::vector<unsigned char> pixels(image.columns() * image.rows() * strMap.size());
    image.write(0, 0, image.columns(), image.rows(), strMap, Magick::CharPixel, pixels.data());
    return pixels;
}

void ExpectSamePixels(const Magick::Image& expected, const Magick::Image& actual, bool bCompareAlpha)
{
    ASSERT_EQ(actual.columns(), expected.columns());
    ASSERT_EQ(actual.rows(), expected.rows());
    EXPECT_EQ(ExportPixels(actual, bCompareAlpha), ExportPixels(expected, bCompareAlpha));
}

class TesscliRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        m_workDir = fs::temp_directory_path() /
                    ("tesscli_e2e_" + std::to_string(getpid()) + "_" + pInfo->name());
        fs::remove_all(m_workDir);
        fs::create_directories(m_workDir);
    }
    void TearDown() override { fs::remove_all(m_workDir); }

    TesscliRun Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
    {
        return RunTesscli(arguments, m_workDir.string(), environment);
    }
    std::string PathOf(const std::string& strName) const { return (m_workDir / strName).string(); }

    fs::path m_workDir;
};

} // namespace

TEST_F(TesscliRunTest, PrintsTheUsageWhenNothingIsRecognisedOrHelpIsAsked)
{
    struct Case { const char* name; std::vector<std::string> args; std::string echo; int status; };
    const Case cases[] = {
        {"no arguments", {}, "> ", 3},
        {"help alone", {"-help"}, "> -help ", 0},
        {"help with other switches", {"-out", "x.png", "-HELP", "-stack"}, "> -out x.png -HELP -stack ", 0},
        {"first argument without dash", {"foo", "-help"}, "> foo -help ", 3},
        {"unknown first switch", {"-foo"}, "> -foo ", 3},
    };
    for (const Case& c : cases) {
        const TesscliRun run = Run(c.args);
        EXPECT_EQ(run.standardOutput, RunText(c.echo, kUsage)) << c.name;
        EXPECT_EQ(run.exitStatus, c.status) << c.name;
        EXPECT_EQ(run.standardError, "") << c.name;
    }
}

TEST_F(TesscliRunTest, ReportsParseAndRuleErrorsAfterARecognisedSwitch)
{
    struct Case { const char* name; std::vector<std::string> args; std::string echo; std::string message; };
    const Case cases[] = {
        {"missing value", {"-out"}, "> -out ", "Not enough parameters for command-line switch -out"},
        {"stray word after a flag", {"-stack", "foo"}, "> -stack foo ", "Unexpected command-line token 'foo'"},
        {"help does not hide a rule", {"-help", "-row", "a", "-col", "b"}, "> -help -row a -col b ",
         "-row cannot be used in conjunction with -col"},
        {"convert with one file", {"-convert", "a.png"}, "> -convert a.png ",
         "Not enough parameters for command-line switch -convert"},
        {"echo quotes inner blanks and keeps percent signs",
         {"-row", "my file.png", " lead", "100%", "%s%n", "trail ", "-col", "c"},
         "> -row \"my file.png\"  lead 100% %s%n \"trail \" -col c ",
         "-row cannot be used in conjunction with -col"},
        {"percent in a refused value", {"-quality", "%s%%"}, "> -quality %s%% ",
         "Invalid value '%s%%' for command-line switch -quality"},
    };
    for (const Case& c : cases) {
        const TesscliRun run = Run(c.args);
        EXPECT_EQ(run.standardOutput, RunText(c.echo, ParseErrorText(c.message))) << c.name;
        EXPECT_EQ(run.exitStatus, 3) << c.name;
        EXPECT_EQ(run.standardError, "") << c.name;
    }
}

TEST_F(TesscliRunTest, ConvertWritesTheTargetFormatWithTheSourcePixels)
{
    struct Case { const char* target; const char* format; };
    const Case cases[] = {{"out.bmp", "BMP"}, {"out.tif", "TIFF"}, {"out.ppm", "PPM"}, {"out.PNG", "PNG"}};
    Magick::Image source = MakeSourceImage(false);
    source.write(PathOf("in.png"));
    for (const Case& c : cases) {
        const TesscliRun run = Run({"-convert", "in.png", c.target});
        EXPECT_EQ(run.standardOutput,
                  RunText(std::string("> -convert in.png ") + c.target + " ",
                          MagickSetupText() + "Converting 'in.png' to '" + c.target + "'... done\n"))
            << c.target;
        EXPECT_EQ(run.exitStatus, 0) << c.target;
        EXPECT_EQ(run.standardError, "") << c.target;

        Magick::Image written;
        ASSERT_NO_THROW(written.read(PathOf(c.target))) << c.target;
        EXPECT_EQ(written.magick(), c.format) << c.target;
        ExpectSamePixels(source, written, false);
    }
}

TEST_F(TesscliRunTest, ConvertKeepsTransparency)
{
    Magick::Image source = MakeSourceImage(true);
    source.write(PathOf("in.png"));
    const TesscliRun run = Run({"-convert", "in.png", "out.tif"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput;
    Magick::Image written(PathOf("out.tif"));
    EXPECT_TRUE(written.matte());
    ExpectSamePixels(source, written, true);
}

// A broken checksum on a text chunk makes the PNG reader warn; the pixels are intact.
TEST_F(TesscliRunTest, ConvertTreatsLibraryWarningsAsSuccess)
{
    Magick::Image source = MakeSourceImage(false);
    Magick::Blob blob;
    source.write(&blob, "PNG");
    std::string strPng(static_cast<const char*>(blob.data()), blob.length());
    const size_t nAfterHeader = 8 + 25; // signature, then the 25-byte header chunk
    const std::string strBadChunk = std::string("\0\0\0\x0a", 4) + "tEXt" + std::string("Comment\0hi", 10) + "XXXX";
    strPng.insert(nAfterHeader, strBadChunk);
    std::ofstream(PathOf("odd.png"), std::ios::binary) << strPng;

    Magick::Image check;
    EXPECT_THROW(check.read(PathOf("odd.png")), Magick::Warning) << "the sample must provoke a warning";

    const TesscliRun run = Run({"-convert", "odd.png", "out.bmp"});
    EXPECT_EQ(run.standardOutput, RunText("> -convert odd.png out.bmp ",
                                          MagickSetupText() + "Converting 'odd.png' to 'out.bmp'... done\n"));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    ExpectSamePixels(source, Magick::Image(PathOf("out.bmp")), false);
}

TEST_F(TesscliRunTest, ConvertFailsOnUnreadableSources)
{
    std::ofstream(PathOf("text.png")) << "not an image\n";
    std::ofstream(PathOf("empty.png"));
    struct Case { const char* source; };
    const Case cases[] = {{"missing.png"}, {"text.png"}, {"empty.png"}};
    for (const Case& c : cases) {
        const TesscliRun run = Run({"-convert", c.source, "out.png"});
        EXPECT_EQ(run.standardOutput,
                  RunText(std::string("> -convert ") + c.source + " out.png ",
                          MagickSetupText() + "Converting '" + c.source + "' to 'out.png'... failed\n"))
            << c.source;
        EXPECT_EQ(run.exitStatus, 5) << c.source;
        EXPECT_EQ(run.standardError, "") << c.source;
        EXPECT_FALSE(fs::exists(PathOf("out.png"))) << c.source;
    }
}

// The user's own ImageMagick configuration comes first: a policy there that forbids PNG applies.
TEST_F(TesscliRunTest, ConvertHonoursTheUsersImageMagickConfiguration)
{
    MakeSourceImage(false).write(PathOf("in.png"));
    fs::create_directories(PathOf("userconfig"));
    std::ofstream(PathOf("userconfig/policy.xml"))
        << "<policymap><policy domain=\"coder\" rights=\"none\" pattern=\"PNG\"/></policymap>\n";

    const TesscliRun denied = Run({"-convert", "in.png", "out.bmp"}, {"MAGICK_CONFIGURE_PATH=" + PathOf("userconfig")});
    EXPECT_EQ(denied.exitStatus, 5) << denied.standardOutput;
    EXPECT_EQ(denied.standardError, "");

    const TesscliRun allowed = Run({"-convert", "in.png", "out.bmp"}, {"MAGICK_CONFIGURE_PATH=" + PathOf("nothing")});
    EXPECT_EQ(allowed.exitStatus, 0) << allowed.standardOutput;
}
