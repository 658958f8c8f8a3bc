#include "TestSupport.h"

#include <regex>

using namespace TestSupport;

namespace {
// Tiles of the kinds the direct decoders take and a few they leave to the library, in sizes that
// split JPEG blocks unevenly; one of them is turned by its EXIF orientation.
class DirectDecodingTest : public TesscliTest
{
protected:
    DirectDecodingTest()
    {
        auto patterned = [](int nWidth, int nHeight, unsigned nTag, bool bAlpha) {
            return ImageOf(nWidth, nHeight, [=](int nX, int nY) {
                return Rgba{unsigned(nX * 7 + nY) % 256, unsigned(nY * 5 + nTag) % 256, (nTag * 40 + nX * nY) % 256,
                            bAlpha ? unsigned(nX * 9) % 256 : 255};
            });
        };
        auto save = [&](Magick::Image image, const std::string& strName,
                        const std::function<void(Magick::Image&)>& set) {
            set(image);
            Save(image, dir / strName);
            m_tiles.push_back(strName);
        };
        save(patterned(37, 23, 1, false), "rgb.png", [](Magick::Image&) {});
        save(patterned(30, 23, 2, true), "rgba.png", [](Magick::Image&) {});
        save(patterned(37, 20, 3, false), "grey.png", [](Magick::Image& i) { i.type(Magick::GrayscaleType); });
        save(patterned(25, 23, 4, true), "grey-alpha.png",
             [](Magick::Image& i) { i.type(Magick::GrayscaleMatteType); });
        save(patterned(37, 23, 5, false), "deep.png", [](Magick::Image& i) { i.depth(16); });
        save(patterned(33, 17, 6, false), "palette.png", [](Magick::Image& i) { i.type(Magick::PaletteType); });
        save(patterned(37, 23, 7, true), "interlaced.png",
             [](Magick::Image& i) { i.interlaceType(Magick::LineInterlace); });
        save(patterned(37, 23, 8, false), "q95.jpg", [](Magick::Image& i) { i.quality(95); });
        save(patterned(35, 19, 9, false), "q80.jpg", [](Magick::Image& i) { i.quality(80); });
        save(patterned(37, 23, 10, false), "grey.jpg", [](Magick::Image& i) { i.type(Magick::GrayscaleType); });
        save(patterned(37, 21, 11, false), "progressive.jpg",
             [](Magick::Image& i) { i.interlaceType(Magick::PlaneInterlace); });
        save(patterned(37, 23, 12, false), "cmyk.jpg", [](Magick::Image& i) { i.colorSpace(Magick::CMYKColorspace); });
        save(patterned(31, 23, 13, false), "tile.tif", [](Magick::Image&) {});
        SaveTurned(patterned(37, 23, 14, false), "turned.jpg");
        for (int n = 0; n < 2; ++n)
            m_tiles.push_back(m_tiles[n * 5]);
    }

    // A JPEG with an EXIF orientation of 7 (a transverse), the one that once cut regions wrongly.
    void SaveTurned(Magick::Image image, const std::string& strName)
    {
        image.quality(90);
        Magick::Blob blob;
        image.write(&blob, "JPEG");
        std::string strJpeg(static_cast<const char*>(blob.data()), blob.length());
        const std::string strExif = ExifOrientation(7);
        const std::string strLength = BigEndian(uint32_t(strExif.size() + 2)).substr(2);
        std::ofstream(dir / strName, std::ios::binary) << strJpeg.insert(2, "\xff\xe1" + strLength + strExif);
        m_tiles.push_back(strName);
    }

    std::vector<std::string> Grid(const std::string& strOptions, const std::string& strOut) const
    {
        std::vector<std::string> arguments;
        for (size_t n = 0; n < m_tiles.size(); ++n) {
            if (n % 4 == 0)
                arguments.push_back("-row");
            arguments.push_back(m_tiles[n]);
        }
        for (const std::string& strWord : Words(strOptions + " -out " + strOut))
            arguments.push_back(strWord);
        return arguments;
    }

    std::vector<std::string> m_tiles;
};

std::string WithoutTimes(const std::string& strOutput)
{
    return std::regex_replace(strOutput, std::regex("finished in [0-9:]+"), "finished in");
}
} // namespace

// The library's reading on one thread is the reference: the direct decoders on one and on all
// threads give the same progress text and the same file, byte for byte.
TEST_F(DirectDecodingTest, GiveTheLibrarysOutputOnOneAndAllThreads)
{
    for (const char* szOptions : {"", "-overlap 3", "-regionsize 8 5", "-stack", "-autoorient -overlap 2",
                                  "-autoorient -regionsize 6 5 -bgcolor 9 8 7"}) {
        for (const char* szOut : {"out.png", "out.tif"}) {
            SCOPED_TRACE(std::string(szOptions) + " " + szOut);
            const TesscliRun reference =
                Run(Grid(szOptions, szOut), {"TESSCLI_NO_DIRECT_DECODING=1", "MAGICK_THREAD_LIMIT=1"});
            ASSERT_EQ(reference.exitStatus, 0) << reference.standardOutput;
            const std::string strReference = ReadFile(dir / szOut);
            for (const std::vector<std::string>& environment :
                 {std::vector<std::string>{"MAGICK_THREAD_LIMIT=1"}, std::vector<std::string>{}}) {
                const TesscliRun run = Run(Grid(szOptions, szOut), environment);
                EXPECT_EQ(WithoutTimes(run.standardOutput), WithoutTimes(reference.standardOutput));
                EXPECT_TRUE(ReadFile(dir / szOut) == strReference);
            }
        }
    }
}

// A grey PNG marked linear (gamma 1.0) keeps its samples as a linear RGB one does, whichever
// decoder reads it, instead of being brightened by a conversion to sRGB.
TEST_F(DirectDecodingTest, LinearGreyKeepsItsSamples)
{
    // Two rows of three grey samples, each row after its filter byte.
    std::ofstream(dir / "linear.png", std::ios::binary)
        << PngFile(std::string("\0\0\0\3\0\0\0\2\x08\0\0\0\0", 13), PngChunk("gAMA", std::string("\0\x01\x86\xa0", 4)),
                   Deflated(std::string("\0\x0a\x64\xc8\0\x30\x80\xf0", 8)));
    for (const char* szEnvironment :
         {"MAGICK_THREAD_LIMIT=2", "TESSCLI_NO_DIRECT_DECODING=1", "TESSCLI_WHOLE_CANVAS=1"}) {
        const TesscliRun run = Run({"-row", "linear.png", "-out", "out.png"}, {szEnvironment});
        ASSERT_EQ(run.exitStatus, 0) << run.standardOutput;
        Magick::Image image(dir / "out.png");
        EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0x64, 0x64, 0x64})) << szEnvironment;
        EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{0xf0, 0xf0, 0xf0})) << szEnvironment;
    }
}

// Damaged tiles end a run, or are composed with a warning, the same way on one thread and on all,
// and the message names the file.
TEST_F(DirectDecodingTest, DamagedTilesEndAlikeOnOneAndAllThreads)
{
    const std::string strJpeg = ReadFile(dir / "q95.jpg");
    const std::string strPng = ReadFile(dir / "rgb.png");
    std::string strFlipped = strJpeg;
    for (size_t n = strFlipped.size() / 2; n < strFlipped.size() / 2 + 40; ++n)
        strFlipped[n] = static_cast<char>(~strFlipped[n]);
    const std::pair<const char*, std::string> damaged[] = {
        {"empty.png", ""},
        {"short.jpg", strJpeg.substr(0, strJpeg.size() / 3)},
        {"short.png", strPng.substr(0, strPng.size() / 2)},
        {"flipped.jpg", strFlipped},
    };
    for (const auto& [szName, strBytes] : damaged) {
        SCOPED_TRACE(szName);
        std::ofstream(dir / szName, std::ios::binary) << strBytes;
        const std::vector<std::string> arguments = {"-row", "rgb.png",  "q80.jpg", "-row",
                                                    szName, "grey.jpg", "-out",    "out.png"};
        const TesscliRun one = Run(arguments, {"MAGICK_THREAD_LIMIT=1"});
        const std::string strOne = ReadFile(dir / "out.png");
        const TesscliRun all = Run(arguments);
        EXPECT_EQ(all.exitStatus, one.exitStatus);
        EXPECT_EQ(WithoutTimes(all.standardOutput), WithoutTimes(one.standardOutput));
        EXPECT_TRUE(ReadFile(dir / "out.png") == strOne);
        const size_t nMessage = one.exitStatus == 0 ? one.standardOutput.find("Warning: ")
                                                    : one.standardOutput.rfind(":\n    "); // the error block
        ASSERT_NE(nMessage, std::string::npos) << one.standardOutput;
        EXPECT_THAT(one.standardOutput.substr(nMessage), HasSubstr(dir / szName));
        std::filesystem::remove(dir / "out.png");
    }
}
