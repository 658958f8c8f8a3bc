#include "TestSupport.h"
#include "codecs/DeepZoomWriter.h"
#include "codecs/StreamingWriters.h"

#include <tiffio.h>

#include <sys/wait.h>

#include <cmath>
#include <csignal>
#include <tuple>

using namespace TestSupport;
using Codecs::OutputOptions;
using Codecs::RasterFormat;
namespace fs = std::filesystem;

namespace {
// One level of a pyramid: 8-bit samples, rows back to back.
struct Level
{
    int width = 0, height = 0, channels = 3;
    std::vector<uint8_t> samples;
    int At(int nX, int nY, int c) const { return samples[(size_t(nY) * width + nX) * channels + c]; }
};

Level Pattern(int nWidth, int nHeight, int nChannels)
{
    Level level{nWidth, nHeight, nChannels, {}};
    for (int nY = 0; nY < nHeight; ++nY)
        for (int nX = 0; nX < nWidth; ++nX)
            for (int c = 0; c < nChannels; ++c)
                level.samples.push_back(static_cast<uint8_t>((nX + nY) / 4 + c * 40 + nX * nY % 7));
    return level;
}

// The next level as vips's DeepZoom writer makes it: the mean of each 2x2 block rounded half up,
// with the last column or row repeated past an odd side.
Level Halved(const Level& above)
{
    Level level{(above.width + 1) / 2, (above.height + 1) / 2, above.channels, {}};
    for (int nY = 0; nY < level.height; ++nY)
        for (int nX = 0; nX < level.width; ++nX)
            for (int c = 0; c < level.channels; ++c) {
                const int nX1 = std::min(2 * nX + 1, above.width - 1), nY1 = std::min(2 * nY + 1, above.height - 1);
                const int nSum = above.At(2 * nX, 2 * nY, c) + above.At(nX1, 2 * nY, c) + above.At(2 * nX, nY1, c)
                                 + above.At(nX1, nY1, c);
                level.samples.push_back(static_cast<uint8_t>((nSum + 2) / 4));
            }
    return level;
}

// Every level from the full size down to 1x1.
std::vector<Level> Pyramid(const Level& full)
{
    std::vector<Level> levels{full};
    while (levels.back().width > 1 || levels.back().height > 1)
        levels.push_back(Halved(levels.back()));
    return levels;
}

// The level of a file ImageMagick reads ("x.tif[2]", "tile.png").
Level Read(const std::string& strFile)
{
    Magick::Image image(strFile);
    Level level{int(image.columns()), int(image.rows()), 3, {}};
    level.samples.resize(size_t(level.width) * level.height * 3);
    image.write(0, 0, level.width, level.height, "RGB", Magick::CharPixel, level.samples.data());
    return level;
}

// The pixels of level from (nLeft, nTop) to (nRight, nBottom), exclusive.
Level Part(const Level& level, int nLeft, int nTop, int nRight, int nBottom)
{
    Level part{nRight - nLeft, nBottom - nTop, level.channels, {}};
    for (int nY = nTop; nY < nBottom; ++nY)
        part.samples.insert(part.samples.end(), &level.samples[(size_t(nY) * level.width + nLeft) * level.channels],
                            &level.samples[(size_t(nY) * level.width + nRight) * level.channels]);
    return part;
}

bool Same(const Level& a, const Level& b)
{
    return a.width == b.width && a.height == b.height && a.samples == b.samples;
}

OutputOptions Defines(std::vector<OutputOptions::Define> defines, std::optional<std::string> compression = {})
{
    return OutputOptions{compression, {}, {}, std::move(defines)};
}

using PyramidRunTest = TesscliTest;
} // namespace

// Every level down to 1x1, every tile with its overlap, each pixel the 2x2 mean of the level above.
TEST(Pyramids, DeepZoomTilesHoldEveryLevelWithItsOverlap)
{
    // Width, height, tile size, overlap.
    const std::vector<std::tuple<int, int, int, int>> cases = {
        {602, 597, 254, 1}, {300, 256, 128, 0}, {1, 1, 254, 1}, {131, 9, 16, 3}, {64, 65, 7, 7}};
    Sandbox dir;
    for (const auto& [nWidth, nHeight, nTileSize, nOverlap] : cases) {
        const std::string strName = std::to_string(nWidth) + "x" + std::to_string(nHeight) + "-"
                                    + std::to_string(nTileSize) + "-" + std::to_string(nOverlap);
        SCOPED_TRACE(strName);
        const std::vector<Level> levels = Pyramid(Pattern(nWidth, nHeight, 3));
        ASSERT_TRUE(Streamed(dir / (strName + ".dzi"),
                             Defines({{"dzi", "tile-size", std::to_string(nTileSize)},
                                      {"dzi", "overlap", std::to_string(nOverlap)},
                                      {"dzi", "format", "png"}}),
                             RasterFormat{nWidth, nHeight, 3, 8}, levels[0].samples));
        EXPECT_EQ(ReadFile(dir / (strName + ".dzi")),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Image "
                  "xmlns=\"http://schemas.microsoft.com/deepzoom/2008\" Format=\"png\" Overlap=\""
                      + std::to_string(nOverlap) + "\" TileSize=\"" + std::to_string(nTileSize)
                      + "\">\n  <Size Width=\"" + std::to_string(nWidth) + "\" Height=\"" + std::to_string(nHeight)
                      + "\"/>\n</Image>\n");
        const fs::path tiles = dir / (strName + "_files");
        EXPECT_EQ(std::distance(fs::directory_iterator(tiles), {}), long(levels.size()));
        for (size_t nStep = 0; nStep < levels.size(); ++nStep) {
            const Level& level = levels[nStep];
            const fs::path folder = tiles / std::to_string(levels.size() - 1 - nStep);
            const int nColumns = (level.width + nTileSize - 1) / nTileSize;
            const int nRows = (level.height + nTileSize - 1) / nTileSize;
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), long(nColumns) * nRows) << folder;
            for (int nRow = 0; nRow < nRows; ++nRow)
                for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
                    const int nLeft = std::max(nColumn * nTileSize - nOverlap, 0);
                    const int nTop = std::max(nRow * nTileSize - nOverlap, 0);
                    const int nRight = std::min((nColumn + 1) * nTileSize + nOverlap, level.width);
                    const int nBottom = std::min((nRow + 1) * nTileSize + nOverlap, level.height);
                    const std::string strTile = std::to_string(nColumn) + "_" + std::to_string(nRow) + ".png";
                    EXPECT_TRUE(Same(Read(folder / strTile), Part(level, nLeft, nTop, nRight, nBottom))) << strTile;
                }
        }
    }
}

// Each level a tiled, reduced-resolution directory that libtiff reads back to the pixels of the
// pyramid, down to the first level within one tile; JPEG tiles close to them.
TEST(Pyramids, PyramidalTiffHoldsEveryLevelAsAReducedImage)
{
    Sandbox dir;
    const std::vector<Level> levels = Pyramid(Pattern(1030, 515, 3));
    for (const char* pCompression : {"None", "LZW", "Zip", "JPEG"}) {
        SCOPED_TRACE(pCompression);
        const std::string strPath = dir / (std::string(pCompression) + ".tif");
        ASSERT_TRUE(Streamed(strPath, Defines({{"tiff", "pyramid", "true"}}, pCompression),
                             RasterFormat{1030, 515, 3, 8}, levels[0].samples));
        TIFF* pTiff = TIFFOpen(strPath.c_str(), "r");
        ASSERT_TRUE(pTiff);
        const bool bExact = std::string(pCompression) != "JPEG";
        size_t nStep = 0;
        do {
            const Level& level = levels[nStep];
            uint32_t nWidth = 0, nHeight = 0, nTileWidth = 0, nType = 0;
            TIFFGetField(pTiff, TIFFTAG_IMAGEWIDTH, &nWidth);
            TIFFGetField(pTiff, TIFFTAG_IMAGELENGTH, &nHeight);
            TIFFGetField(pTiff, TIFFTAG_TILEWIDTH, &nTileWidth);
            TIFFGetFieldDefaulted(pTiff, TIFFTAG_SUBFILETYPE, &nType);
            EXPECT_EQ(std::make_tuple(int(nWidth), int(nHeight), nTileWidth, nType),
                      std::make_tuple(level.width, level.height, 256u, nStep == 0 ? 0u : 1u));
            std::vector<uint32_t> pixels(size_t(nWidth) * nHeight);
            ASSERT_TRUE(TIFFReadRGBAImageOriented(pTiff, nWidth, nHeight, pixels.data(), ORIENTATION_TOPLEFT, 0));
            long long nWrong = 0, nError = 0;
            for (size_t i = 0; i < pixels.size(); ++i)
                for (int c = 0; c < 3; ++c) {
                    const int nDifference = std::abs(int(pixels[i] >> (8 * c) & 0xff) - level.samples[i * 3 + c]);
                    nWrong += nDifference != 0;
                    nError += nDifference;
                }
            // JPEG: off by a level or two on average.
            EXPECT_LE(bExact ? nWrong : nError / long(pixels.size() * 3), bExact ? 0 : 4) << "level " << nStep;
            ++nStep;
        } while (TIFFReadDirectory(pTiff));
        TIFFClose(pTiff);
        EXPECT_EQ(nStep, 4u); // 1030, 515, 258, 129 pixels wide
    }
}

// The composed mosaic as a DeepZoom pyramid holds the tiles vips makes of it, and as a pyramidal
// TIFF the levels that vips and ImageMagick read back; the dry run tells the levels and tiles.
TEST_F(PyramidRunTest, PyramidsOfTheMosaicAreThoseVipsMakesAndReads)
{
    Save(Noise(301, 150), dir / "a.png");
    Save(CoordinateImage(200, 149, 77), dir / "b.png");
    const std::string strGrid = "-row a.png b.png -row b.png a.png -extradata dzi format png -out ";
    ASSERT_EQ(Run(Words(strGrid + "mosaic.png")).exitStatus, 0);
    const TesscliRun dryRun = Run(Words(strGrid + "mosaic.dzi -dryrun"));
    EXPECT_THAT(dryRun.standardOutput,
                HasSubstr("DeepZoom writer, one grid row at a time\n    Pyramid: 11 levels, 17 tiles\n"));
    ASSERT_EQ(Run(Words(strGrid + "mosaic.dzi")).exitStatus, 0);
    ASSERT_EQ(Run(Words(strGrid + "mosaic.tif -extradata tiff pyramid true -compression LZW")).exitStatus, 0);
    const std::vector<Level> levels = Pyramid(Read(dir / "mosaic.png"));
    for (size_t nStep = 0; nStep < 3; ++nStep)
        EXPECT_TRUE(Same(Read(dir / ("mosaic.tif[" + std::to_string(nStep) + "]")), levels[nStep])) << nStep;
    if (std::system("vips --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "vips is not installed";
    const std::string strVips =
        "cd '" + dir.Path().string() + "' && vips dzsave mosaic.png vips --suffix .png"
        + " && vips copy 'mosaic.tif[page=1]' page1.png && vips copy 'mosaic.tif[page=2]' page2.png";
    ASSERT_EQ(std::system(strVips.c_str()), 0);
    EXPECT_TRUE(Same(Read(dir / "page1.png"), levels[1]));
    EXPECT_TRUE(Same(Read(dir / "page2.png"), levels[2]));
    size_t nTiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "vips_files")) {
        if (entry.path().extension() != ".png")
            continue;
        const fs::path ours = dir / "mosaic_files" / fs::relative(entry.path(), dir / "vips_files");
        EXPECT_TRUE(Same(Read(ours.string()), Read(entry.path().string()))) << ours;
        ++nTiles;
    }
    EXPECT_EQ(nTiles, 17u);
}
