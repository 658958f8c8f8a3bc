#include "TestSupport.h"
#include "codecs/JpegStreamWriter.h"
#include "codecs/PngStreamWriter.h"
#include "codecs/StreamingWriters.h"
#include "codecs/TiffStreamWriter.h"
#include "data/ImageCompressions.h"
#include "threads/WorkerThreads.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

using namespace TestSupport;
using Codecs::OutputOptions;
using Codecs::RasterFormat;

namespace {
// Samples that vary in every channel and row, many colours, some transparent pixels.
std::vector<uint8_t> MakeRaster(const RasterFormat& format)
{
    std::vector<uint8_t> bytes(format.BytesPerRow() * format.height);
    auto* p16 = reinterpret_cast<uint16_t*>(bytes.data());
    size_t i = 0;
    for (int nY = 0; nY < format.height; ++nY) {
        for (int nX = 0; nX < format.width; ++nX) {
            for (int c = 0; c < format.channels; ++c, ++i) {
                const bool bAlpha = c == format.channels - 1 && format.channels % 2 == 0;
                unsigned v = (nX * 7 + nY * 13 + c * 61 + (nX * nY) % 29) & 0xff;
                if (bAlpha)
                    v = (nX + nY) % 5 == 0 ? 0 : 255 - (nX % 3) * 60;
                if (format.bitDepth == 8)
                    bytes[i] = static_cast<uint8_t>(v);
                else
                    p16[i] = static_cast<uint16_t>(v * 257 + (bAlpha ? 0 : (nX * 31 + nY) % 200));
            }
        }
    }
    return bytes;
}

// What the whole-canvas path does: the pixels as an ImageMagick image with the options, written.
void WriteWithMagick(const std::string& strPath, const RasterFormat& format, const std::vector<uint8_t>& raster,
                     const OutputOptions& options)
{
    const char* const maps[] = {"I", "IA", "RGB", "RGBA"};
    Magick::Image image(format.width, format.height, maps[format.channels - 1],
                        format.bitDepth == 8 ? Magick::CharPixel : Magick::ShortPixel, raster.data());
    image.depth(format.bitDepth);
    image.defineValue("jpeg", "optimize-coding", "false");
    if (options.compression)
        image.compressType(static_cast<Magick::CompressionType>(
            Data::ImageCompressions::Instance().GetValue(*options.compression, 0)));
    if (options.quality)
        image.quality(*options.quality);
    for (const auto& [strName, strValue] : options.attributes)
        image.attribute(strName, strValue);
    for (const auto& define : options.defines)
        image.defineValue(define.format, define.key, define.value);
    image.write(strPath);
}

// Every decoded sample at 16 bits, alpha included when the file has it.
std::vector<uint16_t> Decoded(const std::string& strPath)
{
    Magick::Image image(strPath);
    const std::string strMap = image.matte() ? "RGBA" : "RGB";
    std::vector<uint16_t> samples(image.columns() * image.rows() * strMap.size());
    image.write(0, 0, image.columns(), image.rows(), strMap, Magick::ShortPixel, samples.data());
    return samples;
}

std::string IdatPayload(const std::string& strPath)
{
    const std::string strBytes = ReadFile(strPath);
    std::string strPayload;
    for (size_t nAt = 8; nAt + 8 <= strBytes.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(&strBytes[nAt]);
        const size_t nLength = size_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
        if (strBytes.compare(nAt + 4, 4, "IDAT") == 0)
            strPayload += strBytes.substr(nAt + 8, nLength);
        nAt += 12 + nLength;
    }
    return strPayload;
}

// The restart interval of a JPEG's DRI marker (0 without one) and the numbers of the RST markers
// in its entropy-coded data, in order.
std::pair<unsigned, std::vector<int>> RestartMarkers(const std::string& strBytes)
{
    const auto byteAt = [&](size_t nAt) { return static_cast<unsigned char>(strBytes[nAt]); };
    unsigned nInterval = 0;
    size_t nAt = 2;
    while (nAt + 4 <= strBytes.size() && byteAt(nAt + 1) != 0xDA) {
        if (byteAt(nAt + 1) == 0xDD)
            nInterval = byteAt(nAt + 4) << 8 | byteAt(nAt + 5);
        nAt += 2 + (byteAt(nAt + 2) << 8 | byteAt(nAt + 3));
    }
    std::vector<int> restarts;
    for (nAt += 2 + (byteAt(nAt + 2) << 8 | byteAt(nAt + 3)); nAt + 1 < strBytes.size(); ++nAt)
        if (byteAt(nAt) == 0xFF && byteAt(nAt + 1) >= 0xD0 && byteAt(nAt + 1) <= 0xD7)
            restarts.push_back(byteAt(nAt + 1) - 0xD0);
    return {nInterval, restarts};
}

// The pixels vips decodes, as a PNG it wrote; empty when vips is not installed or failed.
std::vector<uint16_t> DecodedByVips(const std::string& strJpeg)
{
    const std::string strPng = strJpeg + ".vips.png";
    const std::string strCommand = "vips copy '" + strJpeg + "' '" + strPng + "' >/dev/null 2>&1";
    return std::system(strCommand.c_str()) == 0 ? Decoded(strPng) : std::vector<uint16_t>{};
}

OutputOptions Options(std::optional<unsigned> quality, std::optional<std::string> compression = {},
                      std::vector<std::pair<std::string, std::string>> attributes = {},
                      std::vector<OutputOptions::Define> defines = {})
{
    OutputOptions options{compression, quality, std::move(attributes), {{"jpeg", "optimize-coding", "false"}}};
    options.defines.insert(options.defines.end(), defines.begin(), defines.end());
    return options;
}
} // namespace

TEST(StreamWriters, DecodeToWhatImageMagickWritesOfTheSamePixels)
{
    // The extension, channels, bits per sample and options.
    using Case = std::tuple<const char*, int, int, OutputOptions>;
    const std::vector<Case> cases = {
        {"png", 1, 8, Options({})},
        {"png", 2, 8, Options(46u)},
        {"png", 3, 8, Options(98u)},
        {"png", 4, 8, Options({}, "None", {{"comment", "c"}})},
        {"png", 1, 16, Options(5u)},
        {"png", 4, 16, Options(100u)},
        {"jpg", 1, 8, Options({})},
        {"jpg", 3, 8, Options(85u, "None")},
        {"jpeg", 4, 8, Options(90u, {}, {{"comment", "c"}})},
        {"jpg", 3, 16, Options({})},
        {"jpg", 2, 16, Options(50u)},
        {"jpg", 3, 8, Options(70u, {}, {}, {{"jpeg", "optimize-coding", "true"}})}, // tables made for the image
        {"jpg", 3, 8, Options(95u, {}, {}, {{"jpeg", "dct-method", "float"}})},
        // Any value ends the fast DCT of lower qualities, even a name ImageMagick does not know.
        {"jpg", 3, 8, Options(35u, {}, {}, {{"jpeg", "dct-method", "fast"}})},
        {"tif", 1, 8, Options({})},
        {"tif", 2, 8, Options({}, "LZW")},
        {"tiff", 3, 16, Options(40u, "Zip")},
        {"tif", 4, 8, Options({}, "RLE", {{"comment", "c"}})},
    };
    Sandbox dir;
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& [szExtension, nChannels, nBitDepth, options] = cases[i];
        const RasterFormat format{53, 37, nChannels, nBitDepth};
        const std::vector<uint8_t> raster = MakeRaster(format);
        SCOPED_TRACE(std::to_string(i) + ": " + std::to_string(nChannels) + "x" + std::to_string(nBitDepth));
        const std::string strOurs = dir / ("ours." + std::string(szExtension)),
                          strTheirs = dir / ("theirs." + std::string(szExtension));
        ASSERT_TRUE(Streamed(strOurs, options, format, raster));
        WriteWithMagick(strTheirs, format, raster, options);
        EXPECT_TRUE(Decoded(strOurs) == Decoded(strTheirs));
        // With the same settings libjpeg writes the same bytes: the Huffman tables, the DCT and
        // the markers match too.
        if (Codecs::StreamingFormatName(strOurs) == "JPEG") {
            EXPECT_TRUE(ReadFile(strOurs) == ReadFile(strTheirs));
        }
    }
}

TEST(StreamWriters, JpegRestartSegmentsDecodeToTheOneCompressorsPixels)
{
    // Width, height, channels, quality (from 90 on 4:4:4, below 4:2:0 with 16-row MCUs), rows
    // asked of a segment, and the RST markers that the rows rounded to whole MCU rows make.
    using Case = std::tuple<int, int, int, int, int, size_t>;
    const Case cases[] = {
        {1001, 1003, 3, 75, 16, 62}, // markers wrap round RST7 many times
        {1001, 1003, 3, 92, 100, 9}, // 104-row segments
        {33, 17, 3, 85, 16, 1},      // a last segment of one row
        {33, 17, 1, 95, 5, 2},       // grey, 8-row segments
        {53, 37, 4, 90, 20, 1},      // alpha dropped, 24-row segments
        {130, 200, 3, 50, 40, 4},    // 48-row segments
        {8, 64, 3, 92, 8, 7},        // one MCU a segment
    };
    const bool bVips = std::system("command -v vips >/dev/null 2>&1") == 0;
    Sandbox dir;
    for (const auto& [nWidth, nHeight, nChannels, nQuality, nSegmentRows, nRestarts] : cases) {
        const RasterFormat format{nWidth, nHeight, nChannels, 8};
        const std::string strName = std::to_string(nWidth) + "x" + std::to_string(nHeight) + "x"
                                    + std::to_string(nChannels) + "-q" + std::to_string(nQuality);
        SCOPED_TRACE(strName);
        const std::vector<uint8_t> raster = MakeRaster(format);
        Codecs::JpegSettings settings;
        settings.quality = nQuality;
        settings.fullChroma = nQuality >= 90;
        settings.dctMethod = nQuality > 90 ? JDCT_ISLOW : JDCT_IFAST;
        settings.comment = "segments";
        Codecs::JpegStreamWriter oneWriter(settings);
        const std::string strOne = dir / (strName + "-one.jpg");
        ASSERT_TRUE(WriteInBands(oneWriter, strOne, format, raster)) << oneWriter.GetLastError();
        settings.threads = 3;
        settings.segmentRows = nSegmentRows;
        settings.segmentedFromPixels = 0;
        Codecs::JpegStreamWriter segmentedWriter(settings);
        const std::string strSegmented = dir / (strName + "-segmented.jpg");
        ASSERT_TRUE(WriteInBands(segmentedWriter, strSegmented, format, raster)) << segmentedWriter.GetLastError();

        const auto [nInterval, restarts] = RestartMarkers(ReadFile(strSegmented));
        EXPECT_GT(nInterval, 0u);
        EXPECT_EQ(restarts.size(), nRestarts);
        for (size_t i = 0; i < restarts.size(); ++i)
            EXPECT_EQ(restarts[i], static_cast<int>(i % 8)) << i;
        EXPECT_EQ(RestartMarkers(ReadFile(strOne)).first, 0u);
        EXPECT_EQ(Magick::Image(strSegmented).comment(), "segments");
        EXPECT_TRUE(Decoded(strSegmented) == Decoded(strOne));
        if (bVips) {
            const std::vector<uint16_t> vipsPixels = DecodedByVips(strSegmented);
            EXPECT_FALSE(vipsPixels.empty());
            EXPECT_TRUE(vipsPixels == DecodedByVips(strOne));
        }
    }
}

TEST(StreamWriters, JpegOnOneThreadIsImageMagicksFileWhereTwoWouldSegmentIt)
{
    // Large enough to be segmented; the thread limit alone decides the file.
    const RasterFormat format{2048, 2048, 3, 8};
    const std::vector<uint8_t> raster = MakeRaster(format);
    Sandbox dir;
    WriteWithMagick(dir / "theirs.jpg", format, raster, Options({}));
    for (const char* pszLimit : {"1", "2"}) {
        SCOPED_TRACE(pszLimit);
        ASSERT_EQ(setenv("MAGICK_THREAD_LIMIT", pszLimit, 1), 0);
        const bool bStreamed = Streamed(dir / "ours.jpg", Options({}), format, raster);
        unsetenv("MAGICK_THREAD_LIMIT");
        ASSERT_TRUE(bStreamed);
        const bool bOneThread = *pszLimit == '1' || Threads::UsableThreadCount() == 1;
        EXPECT_EQ(ReadFile(dir / "ours.jpg") == ReadFile(dir / "theirs.jpg"), bOneThread);
        EXPECT_EQ(RestartMarkers(ReadFile(dir / "ours.jpg")).second.empty(), bOneThread);
        EXPECT_TRUE(Decoded(dir / "ours.jpg") == Decoded(dir / "theirs.jpg"));
    }
}

TEST(StreamWriters, OnePiecePngStreamEqualsImageMagicksByteForByte)
{
    // Same zlib level and strategy and the same filter for every row as ImageMagick chooses.
    const RasterFormat format{128, 64, 3, 8};
    const std::vector<uint8_t> raster = MakeRaster(format);
    std::vector<OutputOptions> cases = {
        Options(62u, {}, {}, {{"png", "compression-filter", "5"}, {"png", "compression-strategy", "2"}}),
        Options({}, {}, {}, {{"PNG", "compression-level", "3"}})};
    for (unsigned nQuality : {0u, 5u, 41u, 46u, 83u, 98u, 99u, 100u})
        cases.push_back(Options(nQuality));
    Sandbox dir;
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        auto pWriter = Codecs::CreateStreamingWriter(dir / "ours.png", cases[i]);
        ASSERT_TRUE(pWriter);
        ASSERT_TRUE(pWriter->Begin(dir / "ours.png", format));
        ASSERT_TRUE(pWriter->WriteScanlines(raster.data(), format.height) && pWriter->End());
        WriteWithMagick(dir / "theirs.png", format, raster, cases[i]);
        EXPECT_TRUE(IdatPayload(dir / "ours.png") == IdatPayload(dir / "theirs.png"));
    }
}

TEST(StreamWriters, ParallelPngPiecesSplitRowsAndBandsYetDecodeExactly)
{
    const RasterFormat format{97, 61, 4, 8};
    const std::vector<uint8_t> raster = MakeRaster(format);
    Sandbox dir;
    for (int nThreads : {1, 4}) {
        SCOPED_TRACE(nThreads);
        Codecs::PngSettings settings;
        settings.threads = nThreads;
        settings.pieceSize = 1000; // rows are 389 bytes filtered, bands 5, 11, 23 ... rows
        settings.texts = {{"Title", "short", false}, {"Description", std::string(300, 'd'), true}};
        Codecs::PngStreamWriter writer(settings);
        const std::string strPath = dir / ("t" + std::to_string(nThreads) + ".png");
        ASSERT_TRUE(WriteInBands(writer, strPath, format, raster)) << writer.GetLastError();

        // libpng's own reader, not only through ImageMagick's coder.
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, strPath.c_str())) << image.message;
        image.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> pngPixels(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pngPixels.data(), 0, nullptr)) << image.message;
        EXPECT_TRUE(pngPixels == raster);

        const Magick::Image read(strPath);
        EXPECT_EQ(read.attribute("Title"), "short");
        EXPECT_EQ(read.attribute("Description"), std::string(300, 'd'));
    }
}

TEST(StreamWriters, TakeOnlyWhatTheyCanWriteExactly)
{
    // The output file, the options and the writer's format, empty for none.
    const std::tuple<const char*, OutputOptions, const char*> cases[] = {
        {"a.PNG", Options(75u), "PNG"},
        {"a.png", Options({}, {}, {}, {{"png", "compression-filter", "2"}}), "PNG"},
        {"a.png", Options({}, {}, {}, {{"png", "bit-depth", "8"}}), ""},
        {"a.JPE", Options({}, {}, {}, {{"quantum", "format", "floating-point"}}), ""},
        {"a.gif", Options({}), ""},
        {"a.png", Options({}, {}, {{"density", "300"}}), ""},
        {"a.png", Options({}, {}, {{"x", "1"}, {"X", "2"}}), ""},
        {"a.tif", Options({}, "JPEG"), ""},
        {"a.tif", Options({}, "Zip", {{"Title", "t"}}), "TIFF"},
        {"a.jpeg", Options({}, "Group4", {{"comment", "c"}}), "JPEG"},
    };
    for (const auto& [szFile, options, szFormat] : cases) {
        SCOPED_TRACE(szFile);
        EXPECT_EQ(Codecs::CreateStreamingWriter(szFile, options) != nullptr, *szFormat != '\0');
        if (*szFormat) {
            EXPECT_EQ(Codecs::StreamingFormatName(szFile), szFormat);
        }
    }
}

TEST(StreamWriters, FailuresAreReportedNotHidden)
{
    // A missing folder shows up at once, a full disk while the bands are encoded in the background or
    // when the file is finished; an image short of rows or given too many is no success either.
    const RasterFormat format{300, 200, 3, 8};
    const std::vector<uint8_t> raster = MakeRaster(format);
    Sandbox dir;
    for (const char* pszExtension : {"png", "jpg", "tif"}) {
        SCOPED_TRACE(pszExtension);
        const std::string strTarget = std::string("x.") + pszExtension;
        auto pFull = Codecs::CreateStreamingWriter(strTarget, Options({}, "None"));
        ASSERT_TRUE(pFull);
        EXPECT_FALSE(pFull->Begin(dir / ("missing/" + strTarget), format));
        EXPECT_THAT(pFull->GetLastError(), HasSubstr(dir / "missing"));
        const bool bWritten = pFull->Begin("/dev/full", format) && pFull->WriteScanlines(raster.data(), 100)
                              && pFull->WriteScanlines(&raster[format.BytesPerRow() * 100], 100) && pFull->End();
        EXPECT_FALSE(bWritten);
        EXPECT_THAT(pFull->GetLastError(), HasSubstr("/dev/full"));

        auto pShort = Codecs::CreateStreamingWriter(strTarget, Options({}));
        ASSERT_TRUE(pShort->Begin(dir / strTarget, format));
        ASSERT_TRUE(pShort->WriteScanlines(raster.data(), 199));
        EXPECT_FALSE(pShort->WriteScanlines(raster.data(), 2));
        EXPECT_FALSE(pShort->End());
        EXPECT_THAT(pShort->GetLastError(), HasSubstr("199 of the 200 rows"));
    }
}

TEST(StreamWriters, MagickThreadLimitCapsTheThreadsTesscliUses)
{
    const int nAll = Threads::UsableThreadCount();
    ASSERT_EQ(setenv("MAGICK_THREAD_LIMIT", "1", 1), 0);
    EXPECT_EQ(Threads::UsableThreadCount(), 1);
    for (const char* pszIgnored : {"0", "-3", "many", "100000"}) {
        setenv("MAGICK_THREAD_LIMIT", pszIgnored, 1);
        EXPECT_EQ(Threads::UsableThreadCount(), nAll) << pszIgnored;
    }
    unsetenv("MAGICK_THREAD_LIMIT");
}

// The last sample of grey+alpha and RGBA is declared unassociated alpha, which the samples are;
// a count that disagrees with the photometric interpretation makes libtiff warn on every open.
TEST(StreamWriters, TiffDeclaresItsAlphaAsUnassociated)
{
    Sandbox dir;
    for (const int nChannels : {2, 4}) {
        SCOPED_TRACE(nChannels);
        const RasterFormat format{20, 10, nChannels, 8};
        const std::string strFile = dir / ("alpha" + std::to_string(nChannels) + ".tif");
        ASSERT_TRUE(Streamed(strFile, Options({}, "LZW"), format, MakeRaster(format)));
        int nMessages = 0;
        TIFFErrorHandlerExtR count = [](TIFF*, void* pCount, const char*, const char*, va_list) {
            return ++*static_cast<int*>(pCount), 1;
        };
        TIFFOpenOptions* pOptions = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(pOptions, count, &nMessages);
        TIFFOpenOptionsSetWarningHandlerExtR(pOptions, count, &nMessages);
        TIFF* pTiff = TIFFOpenExt(strFile.c_str(), "r", pOptions);
        TIFFOpenOptionsFree(pOptions);
        ASSERT_NE(pTiff, nullptr);
        uint16_t nSamples = 0, nPhotometric = 0, nExtraCount = 0;
        uint16_t* pExtraTypes = nullptr;
        ASSERT_TRUE(TIFFGetField(pTiff, TIFFTAG_SAMPLESPERPIXEL, &nSamples) == 1
                    && TIFFGetField(pTiff, TIFFTAG_PHOTOMETRIC, &nPhotometric) == 1
                    && TIFFGetField(pTiff, TIFFTAG_EXTRASAMPLES, &nExtraCount, &pExtraTypes) == 1 && nExtraCount == 1);
        EXPECT_EQ(nSamples, nChannels);
        EXPECT_EQ(nPhotometric, nChannels == 2 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
        EXPECT_EQ(pExtraTypes[0], EXTRASAMPLE_UNASSALPHA);
        std::vector<uint8_t> strip(TIFFStripSize(pTiff));
        for (uint32_t nStrip = 0; nStrip < TIFFNumberOfStrips(pTiff); ++nStrip)
            EXPECT_GE(TIFFReadEncodedStrip(pTiff, nStrip, strip.data(), tmsize_t(strip.size())), 0);
        TIFFClose(pTiff);
        EXPECT_EQ(nMessages, 0) << "libtiff warned or failed";
    }
}

TEST(StreamWriters, TiffTurnsBigWhenTheFileCouldPassFourGiB)
{
    using Compression = Codecs::TiffSettings::Compression;
    EXPECT_FALSE(Codecs::TiffStreamWriter::NeedsBigTiff(RasterFormat{30000, 30000, 4, 8}, Compression::None));
    EXPECT_TRUE(Codecs::TiffStreamWriter::NeedsBigTiff(RasterFormat{33000, 33000, 4, 8}, Compression::Deflate));
    EXPECT_TRUE(Codecs::TiffStreamWriter::NeedsBigTiff(RasterFormat{30000, 30000, 4, 8}, Compression::Lzw));
    EXPECT_TRUE(Codecs::TiffStreamWriter::NeedsBigTiff(RasterFormat{23000, 23000, 4, 16}, Compression::None));
}
