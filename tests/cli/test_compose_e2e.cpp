#include "RunTesscli.h"
#include "test_engine_support.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream stream(path);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// Tiles 100x100 whose pixels tell their own coordinates; the blue channel is the tile's number.
class ComposeTest : public ::testing::Test
{
protected:
    TesscliRun Run(const std::vector<std::string>& arguments) const { return RunTesscli(arguments, dir.Path()); }

    // Runs and expects success with nothing on standard error; returns the written image.
    Magick::Image Compose(std::vector<std::string> arguments, const std::string& strOut = "out.png") const
    {
        arguments.insert(arguments.end(), {"-out", strOut});
        const TesscliRun result = Run(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.standardOutput;
        EXPECT_EQ(result.standardError, "");
        Magick::Image image;
        if (fs::exists(dir / strOut))
            image.read(dir / strOut);
        return image;
    }

    void Tile(const std::string& strName, unsigned nTag, int nWidth = 100, int nHeight = 100) const
    {
        Save(CoordinateImage(nWidth, nHeight, nTag), dir / strName);
    }

    void FourTiles() const
    {
        for (unsigned n = 1; n <= 4; ++n)
            Tile("t" + std::to_string(n) + ".png", n);
    }

    TempDir dir;
};

// Pixel (x, y) of the output must be pixel (fromX, fromY) of tile `tag`.
struct Probe
{
    int x, y;
    Rgba expected;
};

Rgba From(int nTileX, int nTileY, unsigned nTag)
{
    return Rgba{unsigned(nTileX), unsigned(nTileY), nTag};
}

void ExpectPixels(const Magick::Image& image, const std::vector<Probe>& probes, const std::string& strCase = "")
{
    for (const Probe& probe : probes)
        EXPECT_EQ(PixelAt(image, probe.x, probe.y), probe.expected)
            << strCase << " at (" << probe.x << ", " << probe.y << ")";
}

void ExpectSize(const Magick::Image& image, size_t nWidth, size_t nHeight, const std::string& strCase = "")
{
    EXPECT_EQ(image.columns(), nWidth) << strCase;
    EXPECT_EQ(image.rows(), nHeight) << strCase;
}

} // namespace

TEST_F(ComposeTest, TwoByTwoGridPlacesEveryTile)
{
    FourTiles();
    const Magick::Image out = Compose({"-row", "t1.png", "t2.png", "-row", "t3.png", "t4.png"});
    ExpectSize(out, 200, 200);
    ExpectPixels(out, {{0, 0, From(0, 0, 1)}, {150, 30, From(50, 30, 2)}, {0, 100, From(0, 0, 3)},
                       {199, 199, From(99, 99, 4)}, {99, 99, From(99, 99, 1)}});
}

TEST_F(ComposeTest, StartCornerDecidesWhereTheFirstTileLands)
{
    FourTiles();
    struct Case
    {
        const char* corner;
        unsigned topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {"top-left", 1, 2, 3, 4},
        {"Top-Right", 2, 1, 4, 3},
        {"bottom-left", 3, 4, 1, 2},
        {"BOTTOM-RIGHT", 4, 3, 2, 1},
    };
    for (const Case& c : cases) {
        const Magick::Image out =
            Compose({"-row", "t1.png", "t2.png", "-row", "t3.png", "t4.png", "-startpos", c.corner});
        ExpectPixels(out,
                     {{10, 20, From(10, 20, c.topLeft)},
                      {110, 20, From(10, 20, c.topRight)},
                      {10, 120, From(10, 20, c.bottomLeft)},
                      {110, 120, From(10, 20, c.bottomRight)}},
                     c.corner);
    }
}

TEST_F(ComposeTest, ColumnFirstFillsColumnsAndComputesTheColumnCount)
{
    for (unsigned n = 1; n <= 6; ++n)
        Tile("s" + std::to_string(n) + ".png", n, 40, 30);
    const Magick::Image out = Compose({"-sources", "s{index}.png", "-grid", "2", "0", "-order", "col-first"});
    ExpectSize(out, 120, 60);
    ExpectPixels(out, {{0, 0, From(0, 0, 1)}, {0, 30, From(0, 0, 2)}, {40, 0, From(0, 0, 3)},
                       {40, 30, From(0, 0, 4)}, {80, 0, From(0, 0, 5)}, {119, 59, From(39, 29, 6)}});
}

TEST_F(ComposeTest, OverlapIsCutBetweenNeighbours)
{
    for (unsigned n = 1; n <= 3; ++n)
        Tile("t" + std::to_string(n) + ".png", n);
    const Magick::Image row = Compose({"-row", "t1.png", "t2.png", "t3.png", "-overlap", "10"});
    ExpectSize(row, 260, 100, "1x3");
    ExpectPixels(row, {{89, 5, From(89, 5, 1)}, {90, 5, From(10, 5, 2)}, {169, 5, From(89, 5, 2)},
                       {170, 5, From(10, 5, 3)}, {259, 99, From(99, 99, 3)}},
                 "1x3");

    const Magick::Image column = Compose({"-col", "t1.png", "t2.png", "t3.png", "-overlap", "10"});
    ExpectSize(column, 100, 260, "3x1");
    ExpectPixels(column, {{5, 89, From(5, 89, 1)}, {5, 90, From(5, 10, 2)}, {5, 170, From(5, 10, 3)}}, "3x1");
}

TEST_F(ComposeTest, RegionTakesEachCellsOwnBlock)
{
    FourTiles();
    const Magick::Image out =
        Compose({"-row", "t1.png", "t2.png", "-row", "t3.png", "t4.png", "-regionsize", "50", "50"});
    ExpectSize(out, 100, 100);
    ExpectPixels(out, {{0, 0, From(0, 0, 1)}, {50, 0, From(50, 0, 2)}, {0, 50, From(0, 50, 3)},
                       {50, 50, From(50, 50, 4)}, {99, 99, From(99, 99, 4)}});
}

TEST_F(ComposeTest, RegionOutsideAnImageFailsClearly)
{
    Tile("big.png", 1);
    Tile("small.png", 2, 40, 40);
    const TesscliRun result =
        Run({"-row", "big.png", "small.png", "-regionsize", "50", "50", "-out", "out.png"});
    EXPECT_EQ(result.exitStatus, 5);
    EXPECT_NE(result.standardOutput.find("    Combining images... [*x] failed\n\nAn error occurred while creating the "
                                 "compound image:\n    The region 50x50 at (50, 0) lies outside the image " +
                                 dir / "small.png" + " (40x40)\n"),
              std::string::npos)
        << result.standardOutput;
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

TEST_F(ComposeTest, StackingBlendsLaterLayersOverEarlierOnes)
{
    Save(SolidImage(100, 80, {255, 0, 0}), dir / "base.png");
    Magick::Image layer = SolidImage(120, 60, {0, 0, 0, 0});
    layer.fillColor(Magick::Color("blue"));
    layer.draw(Magick::DrawableRectangle(20, 20, 39, 39));
    Save(layer, dir / "layer.png");

    const Magick::Image out = Compose({"-row", "base.png", "layer.png", "-stack", "-bgcolor", "0", "255", "0"});
    ExpectSize(out, 120, 80);
    ExpectPixels(out, {{5, 5, Rgba{255, 0, 0}}, {30, 30, Rgba{0, 0, 255}}, {110, 5, Rgba{0, 255, 0}},
                       {50, 70, Rgba{255, 0, 0}}});
}

TEST_F(ComposeTest, TransparentKeyColour)
{
    Save(SolidImage(60, 60, {255, 0, 0}), dir / "red.png");
    Magick::Image keyed = SolidImage(60, 60, {255, 0, 255});
    keyed.fillColor(Magick::Color("yellow"));
    keyed.draw(Magick::DrawableRectangle(0, 0, 9, 9));
    Save(keyed, dir / "keyed.png");

    // Side by side the keyed pixels replace the canvas, so they stay transparent.
    const Magick::Image sideBySide =
        Compose({"-row", "red.png", "keyed.png", "-transparent", "255", "0", "255", "-bgcolor", "0", "0", "255"});
    EXPECT_EQ(PixelAt(sideBySide, 90, 30).alpha, 0u);
    EXPECT_EQ(PixelAt(sideBySide, 65, 5), (Rgba{255, 255, 0}));
    EXPECT_EQ(PixelAt(sideBySide, 30, 30), (Rgba{255, 0, 0}));

    // Stacked they let the layer below show through.
    const Magick::Image stacked =
        Compose({"-row", "red.png", "keyed.png", "-transparent", "255", "0", "255", "-stack"});
    ExpectPixels(stacked, {{30, 30, Rgba{255, 0, 0}}, {5, 5, Rgba{255, 255, 0}}});
}

TEST_F(ComposeTest, BackgroundFillsEmptyCellsAndGapsAroundSmallerImages)
{
    Tile("a.png", 1);
    Tile("b.png", 2);
    Tile("small.png", 3, 50, 40);
    const Magick::Image out =
        Compose({"-row", "a.png", "None", "-row", "b.png", "small.png", "-bgcolor", "0", "200", "0"});
    // The second column is as wide as its only image, the small one.
    ExpectSize(out, 150, 200);
    const Rgba green{0, 200, 0};
    ExpectPixels(out, {{120, 50, green}, {120, 160, green}, {149, 199, green}, {149, 139, From(49, 39, 3)},
                       {100, 100, From(0, 0, 3)}, {99, 199, From(99, 99, 2)}});
}

TEST_F(ComposeTest, EmptyCellWordsTakeNoSpace)
{
    Tile("a.png", 1);
    const Magick::Image out = Compose({"-row", "a.png", "none", "-row", "KeepEmpty", "NONE"});
    ExpectSize(out, 100, 100);
    ExpectPixels(out, {{99, 99, From(99, 99, 1)}});
}

TEST_F(ComposeTest, OutputFormatFollowsTheExtension)
{
    FourTiles();
    struct Case
    {
        const char* file;
        const char* magick;
        bool lossless;
    };
    const Case cases[] = {{"o.png", "PNG", true}, {"o.tif", "TIFF", true}, {"o.jpg", "JPEG", false},
                          {"o.bmp", "BMP", true}};
    for (const Case& c : cases) {
        const Magick::Image out = Compose({"-row", "t1.png", "t2.png"}, c.file);
        EXPECT_EQ(out.magick(), c.magick) << c.file;
        EXPECT_EQ(out.depth(), 8u) << c.file;
        EXPECT_FALSE(out.matte()) << c.file << ": opaque tiles need no alpha channel";
        ExpectSize(out, 200, 100, c.file);
        if (c.lossless)
            ExpectPixels(out, {{150, 40, From(50, 40, 2)}}, c.file);
    }
}

TEST_F(ComposeTest, EncodingOptionsReachTheWrittenFile)
{
    Tile("a.png", 1);
    const std::vector<std::string> rows = {"-row", "a.png", "a.png"};
    auto with = [&](std::vector<std::string> options) {
        options.insert(options.begin(), rows.begin(), rows.end());
        return options;
    };
    EXPECT_EQ(Compose(with({"-compression", "LZW"}), "lzw.tif").compressType(), Magick::LZWCompression);
    EXPECT_EQ(Compose(with({"-compression", "zip"}), "zip.tif").compressType(), Magick::ZipCompression);
    EXPECT_EQ(Compose(with({"-quality", "35"}), "q35.jpg").quality(), 35u);
    EXPECT_EQ(Compose(with({"-quality", "90"}), "q90.jpg").quality(), 90u);
    EXPECT_EQ(Compose(with({"-attribute", "comment", "made by a test"}), "c.png").attribute("comment"),
              "made by a test");
    EXPECT_EQ(Compose(with({"-extradata", "png", "bit-depth", "16"}), "deep.png").depth(), 16u);
    EXPECT_EQ(Compose(with({"-extradata", "jpeg", "sampling-factor", "1x1", "-quality", "90"}), "s.jpg")
                  .attribute("jpeg:sampling-factor"),
              "1x1,1x1,1x1");
}

TEST_F(ComposeTest, FullRunPrintsEveryPhase)
{
    Tile("a.png", 1);
    Tile("b.png", 2);
    const TesscliRun result = Run({"-row", "a.png", "None", "b.png", "-out", "out.png"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "");
    const size_t nStart = result.standardOutput.find("Creating image grid...\n");
    ASSERT_NE(nStart, std::string::npos) << result.standardOutput;
    const std::string strTail =
        std::regex_replace(result.standardOutput.substr(nStart), std::regex("in \\d\\d:\\d\\d minutes"), "in MM:SS minutes");
    EXPECT_EQ(strTail, "Creating image grid...\n"
                       "    Grid dimensions: 1 row(s), 3 column(s)\n"
                       "\n"
                       "Pre-loading grid images...\n"
                       "    " + dir / "a.png" + "... done\n"
                       "    " + dir / "b.png" + "... done\n"
                       "\n"
                       "Creating compound image...\n"
                       "    Combining images... [**] done\n"
                       "    Saving to " + dir / "out.png" + "... done\n"
                       "\n"
                       "Operation finished in MM:SS minutes\n"
                       "\n");
}

TEST_F(ComposeTest, PingFailureInTheThirdCellStopsPreloading)
{
    Tile("a.png", 1);
    Tile("b.png", 2);
    Tile("d.png", 4);
    std::ofstream(dir / "c.png") << "not an image";
    const TesscliRun result = Run({"-row", "a.png", "b.png", "c.png", "d.png", "-out", "out.png"});
    EXPECT_EQ(result.exitStatus, 5);
    EXPECT_EQ(result.standardError, "");
    const std::string strExpected = "Pre-loading grid images...\n"
                                    "    " + dir / "a.png" + "... done\n"
                                    "    " + dir / "b.png" + "... done\n"
                                    "    " + dir / "c.png" + "... failed\n"
                                    "\nFailed to load a grid image:\n    ";
    const size_t nStart = result.standardOutput.find("Pre-loading grid images...\n");
    ASSERT_NE(nStart, std::string::npos) << result.standardOutput;
    EXPECT_EQ(result.standardOutput.substr(nStart, strExpected.size()), strExpected);
    EXPECT_EQ(result.standardOutput.find("d.png..."), std::string::npos);
    EXPECT_EQ(result.standardOutput.find("Operation finished"), std::string::npos);
}

TEST_F(ComposeTest, ImageThatPingsButCannotBeReadFailsTheComposition)
{
    Tile("a.png", 1);
    Save(CoordinateImage(100, 100, 2), dir / "whole.png");
    // Header and size survive, half of the pixel data does not.
    const std::string strWhole = ReadText(dir / "whole.png");
    std::ofstream(dir / "cut.png", std::ios::binary) << strWhole.substr(0, strWhole.size() / 2);
    std::ofstream(dir / "out.png") << "old";

    const TesscliRun result = Run({"-row", "a.png", "cut.png", "a.png", "-out", "out.png"});
    EXPECT_EQ(result.exitStatus, 5);
    EXPECT_EQ(result.standardError, "");
    EXPECT_NE(result.standardOutput.find("    Combining images... [*x] failed\n"
                                 "\nAn error occurred while creating the compound image:\n"
                                 "    Failed to load image " + dir / "cut.png" + "\n"),
              std::string::npos)
        << result.standardOutput;
    EXPECT_EQ(ReadText(dir / "out.png"), "old");
}

TEST_F(ComposeTest, HarmlessFileOdditiesDoNotFailTheRun)
{
    Magick::Image photo = CoordinateImage(64, 64, 1);
    photo.magick("JPEG");
    Save(photo, dir / "whole.jpg");
    const std::string strWhole = ReadText(dir / "whole.jpg");
    // Without its end marker the decoder warns but delivers the image.
    std::ofstream(dir / "short.jpg", std::ios::binary) << strWhole.substr(0, strWhole.size() - 2);
    const Magick::Image out = Compose({"-row", "short.jpg", "whole.jpg"});
    ExpectSize(out, 128, 64);
}

TEST_F(ComposeTest, FailedWriteKeepsTheExistingOutput)
{
    Tile("a.png", 1);
    struct Case
    {
        const char* name;
        std::string out;
        const char* error;
    };
    std::ofstream(dir / "blocker") << "a file where a directory should be";
    std::ofstream(dir / "out.nosuchformat") << "old";
    const Case cases[] = {
        {"unwritable location", dir / "blocker/out.png", "Cannot create a file in "},
        {"unknown format", dir / "out.nosuchformat", "tesscli: no encode delegate"},
    };
    for (const Case& c : cases) {
        const TesscliRun result = Run({"-row", "a.png", "-out", c.out});
        EXPECT_EQ(result.exitStatus, 5) << c.name;
        EXPECT_EQ(result.standardError, "") << c.name;
        EXPECT_NE(result.standardOutput.find("    Saving to " + c.out + "... failed\n\nAn error occurred while creating the "
                                     "compound image:\n    " + c.error),
                  std::string::npos)
            << c.name << ": " << result.standardOutput;
    }
    EXPECT_EQ(ReadText(dir / "out.nosuchformat"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}

TEST_F(ComposeTest, OutputDirectoryIsCreatedOneLevelDeep)
{
    Tile("a.png", 1);
    const Magick::Image out = Compose({"-row", "a.png"}, "made/out.png");
    ExpectSize(out, 100, 100);
    const TesscliRun deeper = Run({"-row", "a.png", "-out", "x/y/out.png"});
    EXPECT_EQ(deeper.exitStatus, 5);
    EXPECT_FALSE(fs::exists(dir / "x"));
}
