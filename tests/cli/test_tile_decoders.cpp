#include "TestSupport.h"

#include <png.h>

#include <csetjmp>

using namespace TestSupport;
using Codecs::TileExpectation;
using Codecs::TileRaster;
using Outcome = Codecs::TileDecoder::Outcome;

namespace {
const int kWidth = 37; // odd sizes: partial bytes at low depths, partial Adam7 blocks
const int kHeight = 23;
const TileExpectation kExpected{kWidth, kHeight, kWidth* kHeight};

// A colour type and depth, Adam7 or not, and what the file carries besides its pixels (the
// suffix of its name): "_trns" one grey or RGB value, or alpha for the first palette entries;
// "_gamma07" below the gamma from which ImageMagick calls the samples linear, "_gamma10" linear,
// "_gamma22" with the sRGB chromaticities; "_properties" pHYs, bKGD, tIME and text in each of its
// three chunks; "_grey" a palette of grey entries.
struct PngKind
{
    int colorType;
    int bitDepth;
    bool interlaced;
    std::string extra;
};

std::string NameOf(const PngKind& kind)
{
    static const char* const colorTypes[] = {"grey", "", "rgb", "palette", "greyalpha", "", "rgba"};
    return colorTypes[kind.colorType] + std::to_string(kind.bitDepth) + (kind.interlaced ? "_adam7" : "") + kind.extra;
}

// Every colour type at every bit depth it allows, with and without tRNS where it may have one,
// interlaced and not; then gamma, chromaticities, profiles and significant bits on a grey, an RGB
// and a palette file, and palettes whose entries are all grey.
std::vector<PngKind> Corpus()
{
    std::vector<PngKind> kinds;
    const std::vector<std::pair<int, std::vector<int>>> depths = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}}, {PNG_COLOR_TYPE_RGB, {8, 16}},
        {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},    {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
    };
    for (const auto& [nColorType, bitDepths] : depths)
        for (int nBitDepth : bitDepths)
            for (bool bInterlaced : {false, true})
                for (const char* pszExtra : {"", "_trns"})
                    if (!*pszExtra || !(nColorType & PNG_COLOR_MASK_ALPHA))
                        kinds.push_back({nColorType, nBitDepth, bInterlaced, pszExtra});
    for (const char* pszExtra : {"_gamma07", "_gamma10", "_gamma22", "_srgb", "_iccp", "_sbit", "_properties"}) {
        kinds.push_back({PNG_COLOR_TYPE_GRAY, 16, false, pszExtra});
        kinds.push_back({PNG_COLOR_TYPE_RGB, 8, false, pszExtra});
        kinds.push_back({PNG_COLOR_TYPE_PALETTE, 4, true, pszExtra});
    }
    for (int nBitDepth : {2, 8})
        for (const char* pszExtra : {"_grey", "_grey_trns"})
            kinds.push_back({PNG_COLOR_TYPE_PALETTE, nBitDepth, false, pszExtra});
    return kinds;
}

// A sample pattern of 2x2 blocks (so that a tRNS colour matches several pixels) that reaches every
// value of low depths and both bytes of 16-bit samples.
unsigned SampleAt(int nX, int nY, int nChannel, int nBitDepth)
{
    const unsigned nBase = (nX / 2) * 7 + (nY / 2) * 13 + nChannel * 61 + ((nX / 2) * (nY / 2)) % 29;
    return nBitDepth == 16 ? (nBase * 40503u) & 0xffff : nBase % (1u << nBitDepth);
}

// A small ICC profile for the colour space of the file, as much as libpng checks: a header (size,
// version, class, colour spaces, signature, the D50 illuminant), one tag, and data that does not
// deflate to almost nothing (libpng finds such a profile too short).
std::string IccProfile(bool bGrey)
{
    std::string strProfile = BigEndian(400) + std::string(4, '\0') + BigEndian(0x02100000) + "mntr"
                             + (bGrey ? "GRAY" : "RGB ") + "XYZ " + std::string(12, '\0') + "acsp"
                             + std::string(28, '\0') + BigEndian(0xf6d6) + BigEndian(0x10000) + BigEndian(0xd32d)
                             + std::string(48, '\0') + BigEndian(1) + "wtpt" + BigEndian(144) + std::string(4, '\0')
                             + BigEndian(20);
    for (size_t i = strProfile.size(); i < 400; ++i)
        strProfile += static_cast<char>((i * 2654435761u) >> 24);
    return strProfile;
}

// What the file holds besides the kind, made before setjmp: a libpng error skips no destructor.
struct PngContents
{
    std::vector<png_bytep> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    png_color_16 transparent{};
    std::string profile;
};

bool EncodePng(FILE* pFile, const PngKind& kind, PngContents& contents)
{
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = png_create_info_struct(pPng);
    if (setjmp(png_jmpbuf(pPng))) {
        png_destroy_write_struct(&pPng, &pInfo);
        return false;
    }
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, kWidth, kHeight, kind.bitDepth, kind.colorType,
                 kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const bool bPalette = kind.colorType == PNG_COLOR_TYPE_PALETTE;
    if (bPalette)
        png_set_PLTE(pPng, pInfo, contents.palette.data(), static_cast<int>(contents.palette.size()));
    if (kind.extra.find("trns") != std::string::npos)
        png_set_tRNS(pPng, pInfo, bPalette ? contents.paletteAlpha.data() : nullptr,
                     bPalette ? static_cast<int>(contents.paletteAlpha.size()) : 0, &contents.transparent);
    if (kind.extra.find("_gamma") == 0)
        png_set_gAMA(pPng, pInfo, kind.extra == "_gamma07" ? 0.7 : kind.extra == "_gamma10" ? 1.0 : 1 / 2.2);
    if (kind.extra == "_gamma22")
        png_set_cHRM(pPng, pInfo, 0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
    if (kind.extra == "_srgb")
        png_set_sRGB(pPng, pInfo, PNG_sRGB_INTENT_PERCEPTUAL);
    if (kind.extra == "_iccp")
        png_set_iCCP(pPng, pInfo, "test", 0, reinterpret_cast<png_const_bytep>(contents.profile.data()),
                     static_cast<png_uint_32>(contents.profile.size()));
    png_color_8 significant{5, 5, 5, 5, 0};
    if (kind.extra == "_sbit")
        png_set_sBIT(pPng, pInfo, &significant);
    png_time time{2026, 12, 7, 16, 0, 0};
    char szKey[] = "Comment", szText[] = "a tile";
    png_text texts[3] = {{PNG_TEXT_COMPRESSION_NONE, szKey, szText, 0, 0, nullptr, nullptr},
                         {PNG_TEXT_COMPRESSION_zTXt, szKey, szText, 0, 0, nullptr, nullptr},
                         {PNG_ITXT_COMPRESSION_NONE, szKey, szText, 0, 0, nullptr, nullptr}};
    if (kind.extra == "_properties") {
        png_set_pHYs(pPng, pInfo, 2835, 2835, PNG_RESOLUTION_METER);
        png_set_bKGD(pPng, pInfo, &contents.transparent);
        png_set_tIME(pPng, pInfo, &time);
        png_set_text(pPng, pInfo, texts, 3);
    }
    png_write_info(pPng, pInfo);
    if (kind.bitDepth < 8)
        png_set_packing(pPng);
    png_set_interlace_handling(pPng);
    png_write_image(pPng, contents.rows.data());
    png_write_end(pPng, pInfo);
    png_destroy_write_struct(&pPng, &pInfo);
    return true;
}

void WritePng(const std::string& strFile, const PngKind& kind)
{
    const int nChannels = std::vector<int>{1, 0, 3, 1, 2, 0, 4}[kind.colorType]; // by colour type
    const int nSampleBytes = kind.bitDepth == 16 ? 2 : 1;
    // One byte per sample below 8 bits (libpng packs them), 16-bit samples big-endian.
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(kWidth * nChannels * nSampleBytes));
    PngContents contents;
    for (int nY = 0; nY < kHeight; ++nY) {
        uint8_t* pSample = rows[nY].data();
        contents.rows.push_back(pSample);
        for (int i = 0; i < kWidth * nChannels; ++i)
            for (int nByte = nSampleBytes - 1; nByte >= 0; --nByte)
                *pSample++ =
                    static_cast<uint8_t>(SampleAt(i / nChannels, nY, i % nChannels, kind.bitDepth) >> 8 * nByte);
    }
    contents.palette.resize(1u << std::min(kind.bitDepth, 8));
    contents.paletteAlpha.resize(std::max<size_t>(1, contents.palette.size() / 2));
    for (size_t i = 0; i < contents.palette.size(); ++i) {
        const auto nGrey = static_cast<png_byte>(i * 37);
        contents.palette[i] = kind.extra.find("_grey") == 0 ? png_color{nGrey, nGrey, nGrey}
                                                            : png_color{nGrey, png_byte(i * 91), png_byte(i * 53 + 7)};
        if (i < contents.paletteAlpha.size())
            contents.paletteAlpha[i] = static_cast<png_byte>(i * 97);
    }
    auto sampleAt42 = [&](int nChannel) { return static_cast<png_uint_16>(SampleAt(4, 2, nChannel, kind.bitDepth)); };
    contents.transparent = {0, sampleAt42(0), sampleAt42(1), sampleAt42(2), sampleAt42(0)}; // index, RGB, grey
    contents.profile = IccProfile(kind.colorType == PNG_COLOR_TYPE_GRAY);
    FILE* pFile = std::fopen(strFile.c_str(), "wb");
    ASSERT_NE(pFile, nullptr) << strFile;
    const bool bEncoded = EncodePng(pFile, kind, contents);
    EXPECT_EQ(std::fclose(pFile), 0) << strFile;
    ASSERT_TRUE(bEncoded) << NameOf(kind);
}

// A 4x4 8-bit palette image with two entries whose pixels are indices 0 to 3, and strBeforeData's
// chunks between the palette and the data; without its end when bEnded is false.
std::string HandMadePng(const std::string& strBeforeData, bool bValidData = true, bool bEnded = true)
{
    std::string strRows;
    for (int nY = 0; nY < 4; ++nY)
        strRows += std::string{0, 0, 1, 2, 3}; // filter byte, indices
    return PngFile(std::string("\0\0\0\4\0\0\0\4\x08\x03\0\0\0", 13),
                   PngChunk("PLTE", std::string("\xff\0\0\0\0\xff", 6)) + strBeforeData,
                   bValidData ? Deflated(strRows) : "not deflated", bEnded);
}

void PrintTo(const PngKind& kind, std::ostream* pStream)
{
    *pStream << NameOf(kind);
}

class PngDecoderCorpus : public ::testing::TestWithParam<PngKind>
{};

TEST_P(PngDecoderCorpus, GivesImageMagicksSamples)
{
    Sandbox dir;
    const std::string strFile = dir / "tile.png";
    WritePng(strFile, GetParam());
    TileRaster raster;
    ASSERT_EQ(DecodeDirectly(strFile, kExpected, raster), Outcome::Decoded);
    EXPECT_EQ(raster.bitDepth, GetParam().bitDepth == 16 ? 16 : 8);
    ExpectAsMagickReads(strFile, raster);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PngDecoderCorpus, ::testing::ValuesIn(Corpus()),
                         [](const ::testing::TestParamInfo<PngKind>& info) { return NameOf(info.param); });

TEST(PngDecoder, ReadsImageMagicksOwnPngs)
{
    // What ImageMagick writes carries its own chunks (bKGD, tEXt, tIME, cHRM) and picks the
    // colour type from the pixels: RGB, RGBA and grey here.
    Sandbox dir;
    for (unsigned i = 0; i < 3; ++i) {
        const std::string strFile = dir / ("magick" + std::to_string(i) + ".png");
        Save(ImageOf(kWidth, kHeight,
                     [i](int nX, int nY) {
                         return i == 2 ? Rgba{unsigned(nX * 6), unsigned(nX * 6), unsigned(nX * 6)}
                                       : Rgba{unsigned(nX * 6), unsigned(nY * 11), i ? 9 : 200u,
                                              i ? unsigned(nX * nY % 256) : 255};
                     }),
             strFile);
        TileRaster raster;
        ASSERT_EQ(DecodeDirectly(strFile, kExpected, raster), Outcome::Decoded) << strFile;
        ExpectAsMagickReads(strFile, raster);
    }
}

TEST(PngDecoder, ChooserLeavesOtherFilesToImageMagick)
{
    Sandbox dir;
    const std::string strFrameControl("\0\0\0\1\0\0\0\0", 8); // one frame, played forever
    const std::pair<const char*, std::string> files[] = {
        {"animated.png", HandMadePng(PngChunk("acTL", strFrameControl))},
        {"private-chunk.png", HandMadePng(PngChunk("prVt", "x"))},
        {"offset.png", HandMadePng(PngChunk("oFFs", std::string(9, '\0')))},
        {"empty.png", ""},
        {"signature-only.png", "\x89PNG\r\n\x1a\n"},
        {"text.png", "not an image at all"},
    };
    for (const auto& [pszName, strBytes] : files) {
        std::ofstream(dir / pszName, std::ios::binary) << strBytes;
        EXPECT_EQ(Codecs::ChooseTileDecoder(dir / pszName), nullptr) << pszName;
    }
    Save(SolidImage(3, 3, {1, 2, 3}), dir / "tile.gif");
    EXPECT_EQ(Codecs::ChooseTileDecoder(dir / "tile.gif"), nullptr);
    EXPECT_EQ(Codecs::ChooseTileDecoder(dir / "missing.png"), nullptr);
}

TEST(PngDecoder, RefusesAChangedOrOversizedFileBeforeAllocating)
{
    Sandbox dir;
    const std::string strFile = dir / "tile.png";
    WritePng(strFile, {PNG_COLOR_TYPE_RGB, 8, false, ""});
    const unsigned long long nPixels = kWidth * kHeight;
    ExpectRefused(strFile, {kWidth + 1, kHeight, nPixels * 2}, "changed since it was checked: 37x23 instead of 38x23");
    ExpectRefused(strFile, {kWidth, kHeight - 1, nPixels * 2}, "changed since it was checked: 37x23 instead of 37x22");
    ExpectRefused(strFile, {kWidth, kHeight, nPixels - 1}, "declares 37x23 pixels, more than the limit of 850");
    TileRaster raster; // and at the limit itself
    EXPECT_EQ(DecodeDirectly(strFile, {kWidth, kHeight, nPixels}, raster), Outcome::Decoded);
    EXPECT_NE(raster.data, nullptr);
}

TEST(PngDecoder, LeavesDamagedFilesToImageMagick)
{
    Sandbox dir;
    WritePng(dir / "whole.png", {PNG_COLOR_TYPE_RGB, 8, false, ""});
    const std::string strWhole = ReadFile(dir / "whole.png");
    std::string strFlipped = strWhole;
    strFlipped[strFlipped.size() / 2] ^= 0x55; // the data's checksum no longer matches
    const std::tuple<const char*, std::string, int> files[] = {
        {"third.png", strWhole.substr(0, strWhole.size() / 3), kWidth},
        {"flipped.png", strFlipped, kWidth},
        {"not-deflated.png", HandMadePng("", false), 4},
        {"unended.png", HandMadePng("", true, false), 4},
        {"short-palette.png", HandMadePng(""), 4},
    };
    for (const auto& [pszName, strBytes, nSize] : files) {
        std::ofstream(dir / pszName, std::ios::binary) << strBytes;
        TileRaster raster;
        const TileExpectation expected{nSize, nSize == 4 ? 4 : kHeight, 1ULL << 20};
        EXPECT_EQ(DecodeDirectly(dir / pszName, expected, raster), Outcome::LeftToImageMagick) << pszName;
        EXPECT_EQ(raster.data, nullptr) << pszName;
    }
    // ImageMagick fails on the hand-made image's indices 2 and 3, which have no palette entry.
    EXPECT_THROW(Magick::Image(dir / "short-palette.png"), Magick::Error);
}

TEST(PngDecoder, DecodersOnSeveralThreadsGiveTheSameSamples)
{
    Sandbox dir;
    std::vector<std::pair<std::string, TileExpectation>> files;
    for (const PngKind& kind : Corpus()) {
        files.emplace_back(dir / (NameOf(kind) + ".png"), kExpected);
        WritePng(files.back().first, kind);
    }
    ExpectSameSamplesOnThreads(files, 5);
}
} // namespace
