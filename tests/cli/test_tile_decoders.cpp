#include "TestSupport.h"
#include "codecs/TileDecoders.h"

#include <png.h>
#include <zlib.h>

#include <atomic>
#include <csetjmp>
#include <cstring>
#include <thread>

using namespace TestSupport;
using Codecs::TileDecoder;
using Codecs::TileExpectation;
using Codecs::TileRaster;
using Outcome = Codecs::TileDecoder::Outcome;

namespace {
const int kWidth = 37; // odd sizes: partial bytes at low depths, partial Adam7 blocks
const int kHeight = 23;
const unsigned kQuantumRange = 65535; // Q16

// What a corpus file carries besides its pixels.
enum class Extra {
    None,
    Transparency, // tRNS: one grey or RGB value, or alpha for the first palette entries
    Gamma07,      // below the gamma from which ImageMagick calls the samples linear
    Gamma10,      // linear: ImageMagick keeps the samples all the same
    Gamma22,      // with the sRGB chromaticities
    Srgb,
    Iccp,
    Sbit,
    Properties, // pHYs, bKGD, tIME and text in each of its three chunks
    GreyPalette,
    GreyPaletteTransparency,
};

struct PngKind
{
    int colorType;
    int bitDepth;
    bool interlaced;
    Extra extra;
};

std::string NameOf(const PngKind& kind)
{
    static const char* const colorTypes[] = {"grey", "", "rgb", "palette", "greyalpha", "", "rgba"};
    static const char* const extras[] = {"",      "_trns", "_gamma07",    "_gamma10", "_gamma22",  "_srgb",
                                         "_iccp", "_sbit", "_properties", "_grey",    "_grey_trns"};
    return std::string(colorTypes[kind.colorType]) + std::to_string(kind.bitDepth) + (kind.interlaced ? "_adam7" : "")
           + extras[static_cast<int>(kind.extra)];
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
            for (bool bInterlaced : {false, true}) {
                kinds.push_back({nColorType, nBitDepth, bInterlaced, Extra::None});
                if (!(nColorType & PNG_COLOR_MASK_ALPHA))
                    kinds.push_back({nColorType, nBitDepth, bInterlaced, Extra::Transparency});
            }
    for (Extra extra :
         {Extra::Gamma07, Extra::Gamma10, Extra::Gamma22, Extra::Srgb, Extra::Iccp, Extra::Sbit, Extra::Properties}) {
        kinds.push_back({PNG_COLOR_TYPE_GRAY, 16, false, extra});
        kinds.push_back({PNG_COLOR_TYPE_RGB, 8, false, extra});
        kinds.push_back({PNG_COLOR_TYPE_PALETTE, 4, true, extra});
    }
    for (int nBitDepth : {2, 8})
        for (Extra extra : {Extra::GreyPalette, Extra::GreyPaletteTransparency})
            kinds.push_back({PNG_COLOR_TYPE_PALETTE, nBitDepth, false, extra});
    return kinds;
}

// A sample pattern of 2x2 blocks (so that a tRNS colour matches several pixels) that reaches every
// value of low depths and both bytes of 16-bit samples.
unsigned SampleAt(int nX, int nY, int nChannel, int nBitDepth)
{
    const unsigned nBase = (nX / 2) * 7 + (nY / 2) * 13 + nChannel * 61 + ((nX / 2) * (nY / 2)) % 29;
    return nBitDepth == 16 ? (nBase * 40503u) & 0xffff : nBase % (1u << nBitDepth);
}

// A small ICC profile for the colour space of the file, as much as libpng checks: a header, one
// tag, and data that does not deflate to almost nothing (libpng finds such a profile too short).
std::vector<uint8_t> IccProfile(bool bGrey)
{
    std::vector<uint8_t> profile(400);
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    std::fill(profile.begin(), profile.begin() + 148, 0);
    auto put = [&](size_t nAt, const char* pszBytes) { std::memcpy(&profile[nAt], pszBytes, 4); };
    auto put32 = [&](size_t nAt, uint32_t nValue) {
        for (int i = 0; i < 4; ++i)
            profile[nAt + i] = static_cast<uint8_t>(nValue >> (24 - 8 * i));
    };
    put32(0, static_cast<uint32_t>(profile.size()));
    put32(8, 0x02100000);
    put(12, "mntr");
    put(16, bGrey ? "GRAY" : "RGB ");
    put(20, "XYZ ");
    put(36, "acsp");
    put32(68, 0xf6d6); // the D50 illuminant
    put32(72, 0x10000);
    put32(76, 0xd32d);
    put32(128, 1);
    put(132, "wtpt");
    put32(136, 144);
    put32(140, 20);
    put(144, "XYZ ");
    return profile;
}

int ChannelsOf(int nColorType)
{
    switch (nColorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1; // grey, palette index
    }
}

// libpng's part of WritePng, apart from anything a longjmp could skip.
bool EncodePng(const std::string& strFile, const PngKind& kind, png_bytepp pRows, const std::vector<png_color>& palette,
               const std::vector<png_byte>& paletteAlpha, const png_color_16& transparent,
               const std::vector<uint8_t>& profile)
{
    FILE* pFile = std::fopen(strFile.c_str(), "wb");
    if (!pFile)
        return false;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = png_create_info_struct(pPng);
    if (setjmp(png_jmpbuf(pPng))) {
        png_destroy_write_struct(&pPng, &pInfo);
        std::fclose(pFile);
        return false;
    }
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, kWidth, kHeight, kind.bitDepth, kind.colorType,
                 kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (kind.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(pPng, pInfo, palette.data(), static_cast<int>(palette.size()));
    if (kind.extra == Extra::Transparency || kind.extra == Extra::GreyPaletteTransparency) {
        const bool bPalette = kind.colorType == PNG_COLOR_TYPE_PALETTE;
        png_set_tRNS(pPng, pInfo, bPalette ? paletteAlpha.data() : nullptr,
                     bPalette ? static_cast<int>(paletteAlpha.size()) : 0, &transparent);
    }
    png_color_8 significant{5, 5, 5, 5, 0};
    png_time time{2026, 12, 7, 16, 0, 0};
    png_text texts[3] = {};
    const int compressions[] = {PNG_TEXT_COMPRESSION_NONE, PNG_TEXT_COMPRESSION_zTXt, PNG_ITXT_COMPRESSION_NONE};
    for (int i = 0; i < 3; ++i) {
        texts[i].compression = compressions[i];
        texts[i].key = const_cast<char*>("Comment");
        texts[i].text = const_cast<char*>("a tile");
    }
    switch (kind.extra) {
    case Extra::Gamma07:
        png_set_gAMA(pPng, pInfo, 0.7);
        break;
    case Extra::Gamma10:
        png_set_gAMA(pPng, pInfo, 1.0);
        break;
    case Extra::Gamma22:
        png_set_gAMA(pPng, pInfo, 1 / 2.2);
        png_set_cHRM(pPng, pInfo, 0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
        break;
    case Extra::Srgb:
        png_set_sRGB(pPng, pInfo, PNG_sRGB_INTENT_PERCEPTUAL);
        break;
    case Extra::Iccp:
        png_set_iCCP(pPng, pInfo, "test", 0, profile.data(), static_cast<png_uint_32>(profile.size()));
        break;
    case Extra::Sbit:
        png_set_sBIT(pPng, pInfo, &significant);
        break;
    case Extra::Properties:
        png_set_pHYs(pPng, pInfo, 2835, 2835, PNG_RESOLUTION_METER);
        png_set_bKGD(pPng, pInfo, &transparent);
        png_set_tIME(pPng, pInfo, &time);
        png_set_text(pPng, pInfo, texts, 3);
        break;
    default:
        break;
    }
    png_write_info(pPng, pInfo);
    if (kind.bitDepth < 8)
        png_set_packing(pPng);
    png_set_interlace_handling(pPng);
    png_write_image(pPng, pRows);
    png_write_end(pPng, pInfo);
    png_destroy_write_struct(&pPng, &pInfo);
    return std::fclose(pFile) == 0;
}

void WritePng(const std::string& strFile, const PngKind& kind)
{
    const int nChannels = ChannelsOf(kind.colorType);
    const int nSampleBytes = kind.bitDepth == 16 ? 2 : 1;
    // One byte per sample below 8 bits (libpng packs them), 16-bit samples big-endian.
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(kWidth * nChannels * nSampleBytes));
    for (int nY = 0; nY < kHeight; ++nY)
        for (int nX = 0; nX < kWidth; ++nX)
            for (int c = 0; c < nChannels; ++c) {
                const unsigned v = SampleAt(nX, nY, c, kind.bitDepth);
                uint8_t* pSample = &rows[nY][(nX * nChannels + c) * nSampleBytes];
                if (nSampleBytes == 2) {
                    pSample[0] = static_cast<uint8_t>(v >> 8);
                    pSample[1] = static_cast<uint8_t>(v);
                } else {
                    *pSample = static_cast<uint8_t>(v);
                }
            }
    std::vector<png_bytep> rowPointers;
    for (auto& row : rows)
        rowPointers.push_back(row.data());

    const bool bGreyPalette = kind.extra == Extra::GreyPalette || kind.extra == Extra::GreyPaletteTransparency;
    std::vector<png_color> palette(1u << std::min(kind.bitDepth, 8));
    for (size_t i = 0; i < palette.size(); ++i) {
        const auto nGrey = static_cast<png_byte>(i * 37);
        palette[i] = bGreyPalette ? png_color{nGrey, nGrey, nGrey}
                                  : png_color{nGrey, static_cast<png_byte>(i * 91), static_cast<png_byte>(i * 53 + 7)};
    }
    std::vector<png_byte> paletteAlpha;
    for (size_t i = 0; i < std::max<size_t>(1, palette.size() / 2); ++i)
        paletteAlpha.push_back(static_cast<png_byte>(i * 97));
    png_color_16 transparent{};
    transparent.gray = static_cast<png_uint_16>(SampleAt(4, 2, 0, kind.bitDepth));
    transparent.red = transparent.gray;
    transparent.green = static_cast<png_uint_16>(SampleAt(4, 2, 1, kind.bitDepth));
    transparent.blue = static_cast<png_uint_16>(SampleAt(4, 2, 2, kind.bitDepth));
    const std::vector<uint8_t> profile = IccProfile(kind.colorType == PNG_COLOR_TYPE_GRAY);

    ASSERT_TRUE(EncodePng(strFile, kind, rowPointers.data(), palette, paletteAlpha, transparent, profile))
        << NameOf(kind);
}

// A PNG put together chunk by chunk, for what libpng would not write.
std::string Chunk(const char* pszType, const std::string& strData)
{
    std::string strChunk(4, '\0');
    for (int i = 0; i < 4; ++i)
        strChunk[i] = static_cast<char>(strData.size() >> (24 - 8 * i));
    strChunk += pszType + strData;
    uLong nCrc = crc32(0, reinterpret_cast<const Bytef*>(pszType), 4);
    nCrc = crc32(nCrc, reinterpret_cast<const Bytef*>(strData.data()), static_cast<uInt>(strData.size()));
    for (int i = 0; i < 4; ++i)
        strChunk += static_cast<char>(nCrc >> (24 - 8 * i));
    return strChunk;
}

// A 4x4 8-bit palette image with two entries whose pixels are indices 0 to 3, and strBeforeData's
// chunks between the header and the data.
std::string HandMadePng(const std::string& strBeforeData, bool bValidData = true)
{
    std::string strRows;
    for (int nY = 0; nY < 4; ++nY)
        strRows += std::string(1, '\0') + std::string{0, 1, 2, 3}; // filter byte, indices
    std::string strData = "not deflated";
    if (bValidData) {
        uLongf nSize = compressBound(static_cast<uLong>(strRows.size()));
        strData.assign(nSize, '\0');
        compress(reinterpret_cast<Bytef*>(&strData[0]), &nSize, reinterpret_cast<const Bytef*>(strRows.data()),
                 static_cast<uLong>(strRows.size()));
        strData.resize(nSize);
    }
    return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", std::string("\0\0\0\4\0\0\0\4\x08\x03\0\0\0", 13))
           + Chunk("PLTE", std::string("\xff\0\0\0\0\xff", 6)) + strBeforeData + Chunk("IDAT", strData)
           + Chunk("IEND", "");
}

void WriteBytes(const std::string& strFile, const std::string& strBytes)
{
    std::ofstream(strFile, std::ios::binary) << strBytes;
}

TileExpectation ExpectationOf(int nWidth, int nHeight)
{
    return {nWidth, nHeight, static_cast<unsigned long long>(nWidth) * nHeight};
}

// Each pixel of the raster against ImageMagick's reading of the file: the quanta of grey or red,
// green and blue, and alpha (opaque where a side has none); and whether each holds grey, alpha.
void ExpectAsMagickReads(const std::string& strFile, const TileRaster& raster)
{
    Magick::Image image;
    image.read(strFile);
    ASSERT_EQ(static_cast<size_t>(raster.width), image.columns());
    ASSERT_EQ(static_cast<size_t>(raster.height), image.rows());
    EXPECT_EQ(raster.channels <= 2,
              image.colorSpace() == Magick::GRAYColorspace || image.colorSpace() == MagickCore::LinearGRAYColorspace)
        << "grey";
    EXPECT_EQ(raster.channels % 2 == 0, image.matte()) << "alpha";
    const Magick::PixelPacket* pPixels = image.getConstPixels(0, 0, image.columns(), image.rows());
    int nMismatches = 0;
    for (int nY = 0; nY < raster.height; ++nY)
        for (int nX = 0; nX < raster.width; ++nX, ++pPixels) {
            const bool bGrey = raster.channels <= 2;
            const bool bAlpha = raster.channels % 2 == 0;
            const unsigned actual[] = {raster.Quantum(nX, nY, 0), raster.Quantum(nX, nY, bGrey ? 0 : 1),
                                       raster.Quantum(nX, nY, bGrey ? 0 : 2),
                                       bAlpha ? raster.Quantum(nX, nY, raster.channels - 1) : kQuantumRange};
            const unsigned expected[] = {pPixels->red, pPixels->green, pPixels->blue,
                                         image.matte() ? kQuantumRange - pPixels->opacity : kQuantumRange};
            for (int c = 0; c < 4; ++c)
                if (actual[c] != expected[c] && nMismatches++ < 3)
                    ADD_FAILURE() << "(" << nX << "," << nY << ") channel " << c << ": " << actual[c] << " instead of "
                                  << expected[c];
        }
    EXPECT_EQ(nMismatches, 0);
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
    std::unique_ptr<TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
    ASSERT_NE(decoder, nullptr);
    TileRaster raster;
    ASSERT_EQ(decoder->Decode(ExpectationOf(kWidth, kHeight), raster), Outcome::Decoded);
    EXPECT_EQ(raster.bitDepth, GetParam().bitDepth == 16 ? 16 : 8);
    ExpectAsMagickReads(strFile, raster);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PngDecoderCorpus, ::testing::ValuesIn(Corpus()),
                         [](const ::testing::TestParamInfo<PngKind>& info) { return NameOf(info.param); });

TEST(PngDecoder, ReadsImageMagicksOwnPngs)
{
    // What ImageMagick writes carries its own chunks (bKGD, tEXt, tIME, cHRM) and picks the
    // colour type from the pixels.
    Sandbox dir;
    const std::vector<Magick::Image> images = {
        ImageOf(kWidth, kHeight,
                [](int nX, int nY) {
                    return Rgba{unsigned(nX * 6), unsigned(nY * 11), 200, 255};
                }),
        ImageOf(kWidth, kHeight,
                [](int nX, int nY) {
                    return Rgba{unsigned(nX * 6), unsigned(nY * 11), 9, unsigned(nX * nY % 256)};
                }),
        ImageOf(kWidth, kHeight,
                [](int nX, int) {
                    return Rgba{unsigned(nX * 6), unsigned(nX * 6), unsigned(nX * 6)};
                }),
    };
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string strFile = dir / ("magick" + std::to_string(i) + ".png");
        Save(images[i], strFile);
        std::unique_ptr<TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
        ASSERT_NE(decoder, nullptr);
        TileRaster raster;
        ASSERT_EQ(decoder->Decode(ExpectationOf(kWidth, kHeight), raster), Outcome::Decoded);
        ExpectAsMagickReads(strFile, raster);
    }
}

TEST(PngDecoder, ChooserLeavesOtherFilesToImageMagick)
{
    Sandbox dir;
    const std::string strFrameControl("\0\0\0\1\0\0\0\0", 8); // one frame, played forever
    const std::pair<const char*, std::string> files[] = {
        {"animated.png", HandMadePng(Chunk("acTL", strFrameControl))},
        {"private-chunk.png", HandMadePng(Chunk("prVt", "x"))},
        {"offset.png", HandMadePng(Chunk("oFFs", std::string(9, '\0')))},
        {"empty.png", ""},
        {"signature-only.png", "\x89PNG\r\n\x1a\n"},
        {"text.png", "not an image at all"},
    };
    for (const auto& [pszName, strBytes] : files) {
        WriteBytes(dir / pszName, strBytes);
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
    WritePng(strFile, {PNG_COLOR_TYPE_RGB, 8, false, Extra::None});
    const unsigned long long nPixels = kWidth * kHeight;
    const struct
    {
        TileExpectation expected;
        Outcome outcome;
        const char* pszMessage;
    } cases[] = {
        {{kWidth + 1, kHeight, nPixels * 2}, Outcome::Refused, "changed since it was checked: 37x23 instead of 38x23"},
        {{kWidth, kHeight - 1, nPixels * 2}, Outcome::Refused, "changed since it was checked: 37x23 instead of 37x22"},
        {{kWidth, kHeight, nPixels - 1}, Outcome::Refused, "declares 37x23 pixels, more than the limit of 850"},
        {{kWidth, kHeight, nPixels}, Outcome::Decoded, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.pszMessage);
        std::unique_ptr<TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
        ASSERT_NE(decoder, nullptr);
        TileRaster raster;
        EXPECT_EQ(decoder->Decode(test.expected, raster), test.outcome);
        EXPECT_EQ(raster.data != nullptr, test.outcome == Outcome::Decoded);
        if (test.outcome == Outcome::Refused) {
            EXPECT_NE(decoder->GetLastError().find(strFile), std::string::npos) << decoder->GetLastError();
            EXPECT_NE(decoder->GetLastError().find(test.pszMessage), std::string::npos) << decoder->GetLastError();
        }
    }
}

TEST(PngDecoder, LeavesDamagedFilesToImageMagick)
{
    Sandbox dir;
    WritePng(dir / "whole.png", {PNG_COLOR_TYPE_RGB, 8, false, Extra::None});
    const std::string strWhole = ReadFile(dir / "whole.png");
    std::string strFlipped = strWhole;
    strFlipped[strFlipped.size() / 2] ^= 0x55; // the data's checksum no longer matches
    const std::string strUnended = HandMadePng("").substr(0, HandMadePng("").size() - 12);
    const std::pair<const char*, std::string> files[] = {
        {"third.png", strWhole.substr(0, strWhole.size() / 3)},
        {"flipped.png", strFlipped},
        {"not-deflated.png", HandMadePng("", false)},
        {"unended.png", strUnended},
    };
    for (const auto& [pszName, strBytes] : files) {
        SCOPED_TRACE(pszName);
        WriteBytes(dir / pszName, strBytes);
        std::unique_ptr<TileDecoder> decoder = Codecs::ChooseTileDecoder(dir / pszName);
        ASSERT_NE(decoder, nullptr);
        TileRaster raster;
        EXPECT_EQ(decoder->Decode(ExpectationOf(pszName[0] == 'n' || pszName[0] == 'u' ? 4 : kWidth,
                                                pszName[0] == 'n' || pszName[0] == 'u' ? 4 : kHeight),
                                  raster),
                  Outcome::LeftToImageMagick);
        EXPECT_EQ(raster.data, nullptr);
    }
}

TEST(PngDecoder, LeavesAnIndexPastThePaletteToImageMagick)
{
    // ImageMagick fails on the hand-made image's indices 2 and 3, which have no palette entry.
    Sandbox dir;
    const std::string strFile = dir / "short-palette.png";
    WriteBytes(strFile, HandMadePng(""));
    std::unique_ptr<TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
    ASSERT_NE(decoder, nullptr);
    TileRaster raster;
    EXPECT_EQ(decoder->Decode(ExpectationOf(4, 4), raster), Outcome::LeftToImageMagick);
    Magick::Image image;
    EXPECT_THROW(image.read(strFile), Magick::Error);
}

TEST(PngDecoder, DecodersOnSeveralThreadsGiveTheSameSamples)
{
    Sandbox dir;
    std::vector<std::string> files;
    std::vector<TileRaster> alone;
    for (const PngKind& kind : Corpus()) {
        files.push_back(dir / (NameOf(kind) + ".png"));
        WritePng(files.back(), kind);
        alone.emplace_back();
        ASSERT_EQ(Codecs::ChooseTileDecoder(files.back())->Decode(ExpectationOf(kWidth, kHeight), alone.back()),
                  Outcome::Decoded);
    }
    std::atomic<int> nDifferent{0};
    std::vector<std::thread> threads;
    for (int nThread = 0; nThread < 4; ++nThread)
        threads.emplace_back([&, nThread] {
            for (int nRound = 0; nRound < 5; ++nRound)
                for (size_t i = 0; i < files.size(); ++i) {
                    const size_t n = (i + nThread * 7) % files.size(); // each thread in its own order
                    TileRaster raster;
                    if (Codecs::ChooseTileDecoder(files[n])->Decode(ExpectationOf(kWidth, kHeight), raster)
                            != Outcome::Decoded
                        || raster.ByteSize() != alone[n].ByteSize()
                        || std::memcmp(raster.data.get(), alone[n].data.get(), raster.ByteSize()) != 0)
                        ++nDifferent;
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(nDifferent, 0);
}
} // namespace
