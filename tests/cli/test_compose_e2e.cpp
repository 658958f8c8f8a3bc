#include "TestSupport.h"

#include <regex>
#include <sys/stat.h>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// Pixel (x, y) of the output must be `expected`; From() names a pixel of a coordinate tile.
struct Probe
{
    int x, y;
    Rgba expected;
};
Rgba From(int nTileX, int nTileY, unsigned nTag)
{
    return Rgba{unsigned(nTileX), unsigned(nTileY), nTag};
}

// Runs tesscli inside a temporary directory of 100x100 coordinate tiles t1.png .. t4.png.
class ComposeTest : public TesscliTest
{
protected:
    ComposeTest()
    {
        for (unsigned n = 1; n <= 4; ++n)
            Save(CoordinateImage(100, 100, n), dir / ("t" + std::to_string(n) + ".png"));
    }

    // Composes into strOut, expects a clean success and checks size and pixels of the result. The
    // same run through the whole-canvas path must give the same pixels.
    Magick::Image Compose(std::vector<std::string> arguments, size_t nWidth, size_t nHeight,
                          const std::vector<Probe>& probes, const std::string& strOut = "out.png") const
    {
        const std::string strWholeOut = "whole-canvas-" + strOut;
        const Magick::Image whole = ComposeOnce(arguments, strWholeOut, {"TESSCLI_WHOLE_CANVAS=1"});
        Magick::Image image = ComposeOnce(arguments, strOut, {});
        if (!image.isValid())
            return image;
        EXPECT_EQ(image.size(), Magick::Geometry(nWidth, nHeight)) << strOut;
        for (const Probe& probe : probes)
            EXPECT_EQ(PixelAt(image, probe.x, probe.y), probe.expected) << "at (" << probe.x << ", " << probe.y << ")";
        ExpectSamePixels(whole, image);
        return image;
    }

    Magick::Image ComposeOnce(std::vector<std::string> arguments, const std::string& strOut,
                              const std::vector<std::string>& environment) const
    {
        arguments.insert(arguments.end(), {"-out", strOut});
        const TesscliRun run = Run(arguments, environment);
        EXPECT_EQ(run.exitStatus, 0) << run.standardOutput;
        EXPECT_EQ(run.standardError, "");
        m_output = run.standardOutput;
        Magick::Image image;
        if (run.exitStatus == 0)
            image.read(dir / strOut);
        return image;
    }

    mutable std::string m_output; // of the last run, the streamed one of a composition

    // The failure output must contain strExpected; no run is reported finished.
    void ExpectFailure(const std::vector<std::string>& arguments, const std::string& strExpected,
                       const std::vector<std::string>& environment = {}) const
    {
        const TesscliRun run = Run(arguments, environment);
        EXPECT_EQ(run.exitStatus, 5);
        EXPECT_EQ(run.standardError, "");
        EXPECT_THAT(run.standardOutput, HasSubstr(strExpected));
        EXPECT_THAT(run.standardOutput, Not(HasSubstr("Operation finished")));
    }
};
} // namespace

TEST_F(ComposeTest, StartCornerOverlapAndRegionCutEveryTile)
{
    // Filled from the bottom-right corner, the grid is mirrored both ways. TIFF tiles are read
    // ahead on other threads, PNG tiles in turn: both arrive in their places.
    for (const std::string strType : {".png", ".tif"}) {
        for (unsigned n = 1; n <= 4; ++n)
            Save(CoordinateImage(100, 100, n), dir / ("t" + std::to_string(n) + strType));
        Compose(
            Words("-row t1" + strType + " t2" + strType + " -row t3" + strType + " t4" + strType
                  + " -startpos bottom-right"),
            200, 200,
            {{0, 0, From(0, 0, 4)}, {150, 30, From(50, 30, 3)}, {0, 100, From(0, 0, 2)}, {199, 199, From(99, 99, 1)}});
    }
    Compose({"-row", "t1.png", "t2.png", "t3.png", "-overlap", "10"}, 260, 100,
            {{89, 5, From(89, 5, 1)}, {90, 5, From(10, 5, 2)}, {169, 5, From(89, 5, 2)}, {170, 5, From(10, 5, 3)}});
    Compose({"-col", "t1.png", "t2.png", "t3.png", "-overlap", "10"}, 100, 260,
            {{5, 89, From(5, 89, 1)}, {5, 90, From(5, 10, 2)}, {5, 170, From(5, 10, 3)}});
    Compose({"-row", "t1.png", "t2.png", "-row", "t3.png", "t4.png", "-regionsize", "50", "50"}, 100, 100,
            {{0, 0, From(0, 0, 1)}, {50, 0, From(50, 0, 2)}, {0, 50, From(0, 50, 3)}, {50, 50, From(50, 50, 4)}});

    // A tile smaller than the region keeps its own size; the region is only an upper bound.
    Save(CoordinateImage(40, 40, 5), dir / "small.png");
    Compose({"-row", "small.png", "None", "-regionsize", "50", "50"}, 40, 40,
            {{0, 0, From(0, 0, 5)}, {39, 39, From(39, 39, 5)}}, "capped.png");
    Save(CoordinateImage(40, 40, 5), dir / "small.tif");
    for (const std::string strType : {".png", ".tif"}) {
        ExpectFailure(
            {"-row", "t1" + strType, "small" + strType, "t2" + strType, "-regionsize", "50", "50", "-out", "fail.png"},
            "    Combining images... [*x] failed\n\nAn error occurred while creating the compound image:\n"
            "    The region 50x50 at (50, 0) lies outside the image "
                + dir / ("small" + strType) + " (40x40)\n");
    }
    EXPECT_FALSE(fs::exists(dir / "fail.png"));
}

TEST_F(ComposeTest, StackingAndTheTransparentKeyColour)
{
    Save(SolidImage(100, 80, {255, 0, 0}), dir / "red.png");
    Magick::Image layer = SolidImage(120, 60, {255, 0, 255});
    layer.fillColor(Magick::Color("blue"));
    layer.draw(Magick::DrawableRectangle(20, 20, 39, 39));
    Save(layer, dir / "keyed.png");
    Magick::Image clear = SolidImage(60, 60, {0, 0, 0, 0});
    clear.fillColor(Magick::Color("yellow"));
    clear.draw(Magick::DrawableRectangle(0, 0, 9, 9));
    Save(clear, dir / "clear.png");
    const Rgba red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0}, yellow{255, 255, 0}, none{0, 0, 0, 0};

    // Stacked, later layers lie on top and let earlier ones show where they are transparent.
    Compose({"-row", "red.png", "clear.png", "-stack", "-bgcolor", "0", "255", "0"}, 100, 80,
            {{5, 5, yellow}, {30, 30, red}});
    Compose({"-row", "red.png", "keyed.png", "-stack", "-transparent", "255", "0", "255", "-bgcolor", "0", "255", "0"},
            120, 80, {{30, 30, blue}, {50, 50, red}, {110, 5, green}, {110, 70, green}});
    // Side by side, transparent pixels replace the canvas and stay transparent.
    Compose({"-row", "red.png", "keyed.png", "-transparent", "255", "0", "255"}, 220, 80,
            {{50, 50, red}, {130, 30, blue}, {200, 5, none}, {200, 70, Rgba{0, 0, 0}}});
}

// Partial alpha is blended and 16-bit samples are kept the same way whichever path writes the file.
TEST_F(ComposeTest, PartialAlphaAndDeepSamples)
{
    Save(ImageOf(64, 32,
                 [](int nX, int nY) {
                     return Rgba{unsigned(nX * 4), 90, unsigned(nY * 8), unsigned(nX * 4 + 3)};
                 }),
         dir / "fade.png");
    Magick::Image deep = CoordinateImage(32, 32, 7);
    deep.depth(16);
    deep.fillColor(Magick::Color(12345, 54321, 4321, 30000));
    deep.draw(Magick::DrawableRectangle(4, 4, 27, 27));
    Save(deep, dir / "deep.png");
    Magick::Image grey = ImageOf(16, 16, [](int nX, int nY) {
        return Rgba{unsigned(nX * 16), unsigned(nX * 16), unsigned(nX * 16), unsigned(255 - nY)};
    });
    grey.type(Magick::GrayscaleMatteType);
    Save(grey, dir / "grey.png");

    const Magick::Image sideBySide = Compose({"-row", "fade.png", "deep.png", "grey.png", "t1.png"}, 212, 100, {});
    EXPECT_EQ(sideBySide.depth(), 16u);
    EXPECT_TRUE(sideBySide.matte());
    // Blends are not whole 8-bit values: each format rounds them to 8 bits its own way.
    for (const char* szOut : {"stack.png", "stack.tif", "stack.jpg"}) {
        SCOPED_TRACE(szOut);
        Compose({"-row", "t1.png", "fade.png", "grey.png", "-stack", "-bgcolor", "10", "20", "30"}, 100, 100, {},
                szOut);
    }
    Compose({"-row", "grey.png", "-bgcolor", "40", "40", "40"}, 16, 16, {}, "grey.png.out.png");
    // A TIFF's alpha, classic or BigTIFF, shows only once it is decoded, yet must shape the output
    // from the start; a DPX file's can only be known by decoding it.
    const Magick::Image fade = ImageOf(64, 32, [](int nX, int) { return Rgba{90, 90, 90, unsigned(nX * 4)}; });
    for (const auto& [szFormat, szFile] :
         {std::pair{"TIFF", "fade.tif"}, {"TIFF64", "fade64.tif"}, {"DPX", "fade.dpx"}}) {
        Save(fade, std::string(szFormat) + ":" + dir / szFile);
        Compose({"-row", "t1.png", szFile}, 164, 100, {{120, 10, Rgba{90, 90, 90, 80}}});
    }
}

TEST_F(ComposeTest, BackgroundEmptyCellsAndEveryPhaseOfTheRun)
{
    Save(CoordinateImage(50, 40, 5), dir / "small.png");
    // The second column is as wide as its only image; the last row is empty and takes no space.
    const Rgba grey{0, 200, 0};
    Compose(Words("-row t1.png None -row t2.png small.png -row KeepEmpty none -bgcolor 0 200 0"), 150, 200,
            {{120, 50, grey}, {120, 160, grey}, {149, 139, From(49, 39, 5)}, {99, 199, From(99, 99, 2)}});
    const size_t nStart = m_output.find("Creating image grid...\n");
    ASSERT_NE(nStart, std::string::npos) << m_output;
    EXPECT_EQ(std::regex_replace(m_output.substr(nStart), std::regex("\\d\\d:\\d\\d minutes"), "MM:SS minutes"),
              "Creating image grid...\n    Grid dimensions: 3 row(s), 2 column(s)\n\nPre-loading grid images...\n    "
                  + dir / "t1.png" + "... done\n    " + dir / "t2.png" + "... done\n    " + dir / "small.png"
                  + "... done\n\nCreating compound image...\n    Combining images... [***] done\n    Saving to "
                  + dir / "out.png" + "... done\n\nOperation finished in MM:SS minutes\n\n");
    // A new file gets the usual permissions, not those of the private temporary file.
    const mode_t nMask = umask(0);
    umask(nMask);
    EXPECT_EQ(fs::status(dir / "out.png").permissions(), fs::perms(0666 & ~nMask));
}

// Tiles stored in another colour model keep their colours beside RGB tiles, side by side and stacked.
TEST_F(ComposeTest, TilesInOtherColourModelsKeepTheirColours)
{
    const Rgba red{255, 0, 0}, white{255, 255, 255}, blue{0, 0, 255}, black{0, 0, 0};
    // Converted back from 8-bit Lab, this pink's red lies above the middle between two 8-bit values.
    const Rgba pink{250, 37, 104};
    const std::tuple<const char*, Magick::ColorspaceType, Rgba, size_t> cases[] = {
        {"cmyk.tif", Magick::CMYKColorspace, red, 16},
        {"lab.tif", Magick::LabColorspace, red, 16},
        {"grey.png", Magick::GRAYColorspace, white, 16},
        {"lab8.tif", Magick::LabColorspace, pink, 8}};
    Save(SolidImage(4, 2, blue), dir / "blue.png");
    for (const auto& [szFile, model, colour, nDepth] : cases) {
        SCOPED_TRACE(szFile);
        Magick::Image tile = ImageOf(4, 2, [&, colour = colour](int nX, int) { return nX < 2 ? colour : black; });
        tile.colorSpace(model);
        tile.depth(nDepth);
        Save(tile, dir / szFile);
        Compose({"-row", "blue.png", szFile}, 8, 2, {{4, 0, colour}, {7, 1, black}, {3, 0, blue}});
        Compose({"-row", "blue.png", szFile, "-stack"}, 4, 2, {{1, 1, colour}, {3, 0, black}});
    }
}

TEST_F(ComposeTest, OutputFormatAndEncodingOptions)
{
    auto with = [](const char* szOptions) { return Words(std::string("-row t1.png t2.png ") + szOptions); };
    for (const char* szFormat : {"PNG", "TIFF", "BMP", "JPEG"}) {
        const std::string strOut = std::string("o.") + szFormat;
        const bool bLossless = std::string(szFormat) != "JPEG";
        const Magick::Image out =
            Compose(with(""), 200, 100,
                    bLossless ? std::vector<Probe>{{150, 40, From(50, 40, 2)}} : std::vector<Probe>{}, strOut);
        EXPECT_EQ(out.magick(), szFormat);
        EXPECT_EQ(out.depth(), 8u) << szFormat;
        EXPECT_FALSE(out.matte()) << szFormat << ": opaque tiles need no alpha channel";
    }
    EXPECT_EQ(Compose(with("-compression LZW"), 200, 100, {}, "lzw.tif").compressType(), Magick::LZWCompression);
    EXPECT_EQ(Compose(with("-compression zip"), 200, 100, {}, "zip.tif").compressType(), Magick::ZipCompression);
    EXPECT_EQ(Compose(with("-quality 35"), 200, 100, {}, "q35.jpg").quality(), 35u);
    EXPECT_EQ(Compose(with("-attribute comment by_a_test"), 200, 100, {}, "c.png").attribute("comment"), "by_a_test");
    EXPECT_EQ(Compose(with("-extradata png bit-depth 16"), 200, 100, {}, "deep.png").depth(), 16u);
}

TEST_F(ComposeTest, UnreadableImagesStopTheRun)
{
    std::ofstream(dir / "bad.png") << "not an image";
    ExpectFailure({"-row", "t1.png", "t2.png", "bad.png", "t3.png", "-out", "out.png"},
                  "Pre-loading grid images...\n    " + dir / "t1.png" + "... done\n    " + dir / "t2.png"
                      + "... done\n    " + dir / "bad.png"
                      + "... failed\n\nFailed to load a grid image:\n    tesscli: ");

    // Its header pings fine, half of its pixel data is missing.
    const std::string strWhole = ReadFile(dir / "t4.png");
    std::ofstream(dir / "cut.png", std::ios::binary) << strWhole.substr(0, strWhole.size() / 2);
    // The first row is already written when the second fails: the old output stays, nothing is left.
    std::ofstream(dir / "out.png") << "old";
    for (const char* szOut : {"out.png", "out.bmp"}) {
        ExpectFailure({"-row", "t1.png", "t2.png", "-row", "cut.png", "t3.png", "-out", szOut},
                      "    Combining images... [**x] failed\n\nAn error occurred while creating the compound image:\n"
                      "    Failed to load image "
                          + dir / "cut.png" + "\n        tesscli: No image was loaded.\n");
    }
    EXPECT_EQ(ReadFile(dir / "out.png"), "old");
    EXPECT_FALSE(fs::exists(dir / "out.bmp"));
    EXPECT_EQ(HiddenFiles(dir.Path()), std::vector<std::string>());
}

// Streamed formats are checked against their own size limits before any tile is read.
TEST_F(ComposeTest, CanvasBeyondTheFormatsLimitFailsBeforeReadingTiles)
{
    for (const std::string strFormat : {"JPEG", "TIFF"}) {
        ExpectFailure({"-row", "t1.png", "t2.png", "-out", "big." + strFormat},
                      "Creating compound image...\n\nAn error occurred while creating the compound image:\n    The "
                      "compound image of 200x100 pixels is larger than the "
                          + strFormat + " format allows (150 pixels a side)\n",
                      {"TESSCLI_TEST_MAX_SIDE=150"});
        EXPECT_FALSE(fs::exists(dir / ("big." + strFormat)));
    }
}

TEST_F(ComposeTest, SavingKeepsTheOldFileOnFailureAndCreatesOneDirectoryLevel)
{
    std::ofstream(dir / "blocker") << "a file where a directory should be";
    // Streamed formats find out before reading a tile; the others when they save. An extension no
    // writer knows is refused before either (see the arrangement tests).
    const std::pair<std::string, std::string> cases[] = {
        {dir / "blocker/out.png", "Creating compound image...\n"},
        {dir / "x/y/out.bmp", "    Saving to " + dir / "x/y/out.bmp" + "... failed\n"},
    };
    for (const auto& [strOut, strProgress] : cases)
        ExpectFailure({"-row", "t1.png", "-out", strOut},
                      strProgress
                          + "\nAn error occurred while creating the compound image:\n    Cannot create a file in ");
    EXPECT_FALSE(fs::exists(dir / "x"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 5)
        << "no temporary file left";

    Compose({"-row", "t1.png"}, 100, 100, {{99, 99, From(99, 99, 1)}}, "made/out.png");
    // A "%d" in the name is part of it, not a scene number to fill in.
    Compose({"-row", "t1.png"}, 100, 100, {{99, 99, From(99, 99, 1)}}, "scan%d.png");
    EXPECT_FALSE(fs::exists(dir / "scan0.png"));
}
