#include "TestSupport.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using namespace TestSupport;

namespace {

const std::string kBanner = "Tessara - Copyright (C) 2010 Tessara Imaging\n"
                            "Version: 2.0.0.100 (Build: 28.07.2010)\n"
                            + std::string(78, '=') + "\n\n";

std::string ParseErrorText(const std::string& strMessage)
{
    return "An error occurred while parsing the command-line:\n    " + strMessage
           + "\n\nUse 'tesscli -help' to get a description of its supported command-line switches\n";
}

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
        ExpectRun(Run(arguments), RunText(strEcho, ParseErrorText(strMessage)), 3);
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

TEST_F(TesscliRunTest, ConvertFailsOnUnreadableSources)
{
    std::ofstream(dir / "text.png") << "not an image\n";
    std::ofstream(dir / "empty.png");
    for (const char* szSource : {"missing.png", "text.png", "empty.png"}) {
        SCOPED_TRACE(szSource);
        ExpectRun(Run({"-convert", szSource, "out.png"}), ConvertText(szSource, "out.png", "failed"), 5);
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
