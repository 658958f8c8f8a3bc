#pragma once

#include "cmdline/TessaraCmdLine.h"
#include "codecs/StreamingWriters.h"
#include "codecs/TileDecoders.h"
#include "data/DataSetInputFiles.h"
#include "misc/Color.h"

#include <Magick++.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <cstdio>

// Also what every test file uses of the standard library.
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace TestSupport {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// 8-bit colour with alpha, for exact pixel comparisons. Fully transparent pixels are equal
// whatever colour they keep.
struct Rgba
{
    unsigned red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const Rgba& other) const
    {
        if (alpha == 0 || other.alpha == 0)
            return alpha == other.alpha;
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
};
inline std::ostream& operator<<(std::ostream& stream, const Rgba& color)
{
    return stream << "rgba(" << color.red << "," << color.green << "," << color.blue << "," << color.alpha << ")";
}

// An 8-bit image of pixelAt(x, y), with an alpha channel only when some pixel needs one.
Magick::Image ImageOf(int nWidth, int nHeight, const std::function<Rgba(int, int)>& pixelAt);
// An image whose pixel (x, y) is (x, y, nTag): any pixel tells where in which image it came from.
inline Magick::Image CoordinateImage(int nWidth, int nHeight, unsigned nTag)
{
    return ImageOf(nWidth, nHeight, [nTag](int nX, int nY) {
        return Rgba{unsigned(nX % 256), unsigned(nY % 256), nTag};
    });
}
// Many colours, so that the encoders take a while and the file gets large.
inline Magick::Image Noise(int nWidth, int nHeight)
{
    return ImageOf(nWidth, nHeight, [](int nX, int nY) {
        return Rgba{unsigned(nX * nY % 251), unsigned(nX % 256), 9};
    });
}
inline Magick::Image SolidImage(int nWidth, int nHeight, const Rgba& color)
{
    return ImageOf(nWidth, nHeight, [color](int, int) { return color; });
}
inline void Save(Magick::Image image, const std::filesystem::path& path)
{
    image.write(path.string());
}
// Every byte, empty when missing.
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}
Rgba PixelAt(Magick::Image image, int nX, int nY); // a cheap copy: images share their pixels
// Same size and every pixel equal, alpha included.
void ExpectSamePixels(const Magick::Image& expected, const Magick::Image& actual);

// The direct decoders against ImageMagick. DecodeDirectly fails the test when no decoder is chosen.
Codecs::TileDecoder::Outcome DecodeDirectly(const std::string& strFile, const Codecs::TileExpectation& expected,
                                            Codecs::TileRaster& raster);
// Every pixel of the raster against ImageMagick's reading of strFile as quanta (grey against red,
// green and blue; alpha opaque where a side has none), and whether both hold grey, alpha. A
// non-zero nOrientation must have been read, so that the unturned samples are the stored ones.
void ExpectAsMagickReads(const std::string& strFile, const Codecs::TileRaster& raster, int nOrientation = 0);
// Refused before allocating, with a message that names the file and contains strReason.
void ExpectRefused(const std::string& strFile, const Codecs::TileExpectation& expected, const std::string& strReason);
// Four threads, each through all files in its own order nRounds times, get the samples of one alone.
void ExpectSameSamplesOnThreads(const std::vector<std::pair<std::string, Codecs::TileExpectation>>& files, int nRounds);

// Writes raster in bands of uneven heights, so that band edges fall anywhere.
bool WriteInBands(Codecs::ScanlineWriter& writer, const std::string& strPath, const Codecs::RasterFormat& format,
                  const std::vector<uint8_t>& raster);
// A writer for strPath with the options wrote raster in bands, or why not.
::testing::AssertionResult Streamed(const std::string& strPath, const Codecs::OutputOptions& options,
                                    const Codecs::RasterFormat& format, const std::vector<uint8_t>& raster);

// Hand-made PNG files, for what no encoder would write: nValue's four bytes, most significant first;
// zlib's stream of strRaw; a chunk with its length and checksum; a whole file of a 13-byte header,
// strBeforeData's chunks and one data chunk, without its end chunk when bEnded is false.
std::string BigEndian(uint32_t nValue);
std::string Deflated(const std::string& strRaw);
std::string PngChunk(const std::string& strType, const std::string& strData);
std::string PngFile(const std::string& strHeader, const std::string& strBeforeData, const std::string& strData,
                    bool bEnded = true);

// The payload of a JPEG's APP1 segment: Exif, a big-endian TIFF header, one IFD entry (the
// orientation, a SHORT) and no next IFD.
inline std::string ExifOrientation(int nOrientation)
{
    return std::string("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) + char(nOrientation)
           + std::string(6, '\0');
}

// "R,G,B" of a colour setting, to compare all three components at once.
inline std::string RgbOf(const Misc::Color& color)
{
    return std::to_string(color.GetRed()) + "," + std::to_string(color.GetGreen()) + ","
           + std::to_string(color.GetBlue());
}

// "name@row,column#index" of every entry in order, blank-separated: a name inside strDir is shown
// as "./name", an empty cell as "<empty>", and a number that is not known (-1) is left out.
std::string Layout(const Data::DataSetInputFiles& files, const std::string& strDir = "");

// Output and exit status (-1 when it did not exit normally) of the built tesscli, run without a shell.
struct TesscliRun
{
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;
};

// Starts tesscli in strWorkDir with extraEnvironment ("NAME=value") added to the inherited one; its
// output goes to pOut, its errors to pErr unless that is null. inChild runs in the child just
// before tesscli starts (limits, signal dispositions).
pid_t StartTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                   const std::vector<std::string>& extraEnvironment, FILE* pOut, FILE* pErr,
                   const std::function<void()>& inChild = nullptr);

// Everything written to a capture file, which is then closed.
std::string ReadAndClose(FILE* pFile);

// The block a run prints when it initialises ImageMagick, configured from beside the executable.
std::string MagickSetupText();

// Names of the hidden files in a directory, such as the replacing writer's temporary ones.
std::vector<std::string> HiddenFiles(const std::filesystem::path& directory);

// The blank-separated words of strWords, as a shell without quotes would pass them.
inline std::vector<std::string> Words(const std::string& strWords)
{
    std::istringstream words(strWords);
    return {std::istream_iterator<std::string>(words), {}};
}

// A fresh directory (canonical path), removed with everything in it at the end of the test.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& strName) const { return (m_path / strName).string(); }

private:
    std::filesystem::path m_path;
};

// The command-line table initialised with arguments as a program receives them (argv[0] added).
class ArgumentTable : public CmdLine::TessaraCmdLine
{
public:
    explicit ArgumentTable(const std::vector<std::string>& arguments);
};

// An end-to-end test: tesscli runs inside a fresh directory.
class TesscliTest : public ::testing::Test
{
protected:
    TesscliRun Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) const;

    Sandbox dir;
};

} // namespace TestSupport
