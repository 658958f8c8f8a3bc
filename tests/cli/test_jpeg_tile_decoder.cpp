#include "TestSupport.h"

#include <jpeglib.h>

#include <algorithm>

using namespace TestSupport;
using Codecs::TileExpectation;
using Codecs::TileRaster;
using Outcome = Codecs::TileDecoder::Outcome;

namespace {
// How a test JPEG is written with libjpeg. Chroma is 1x1; the luma factors give the subsampling.
struct JpegRecipe
{
    int width = 33, height = 17; // splits MCUs at both edges
    int components = 3;          // 1 grey, 3 colour, 4 CMYK
    int lumaH = 1, lumaV = 1;
    bool progressive = false;
    int restartMcus = 0;
    bool arithmetic = false;
    J_COLOR_SPACE coded = JCS_UNKNOWN; // libjpeg's choice unless set
    int orientation = 0;               // EXIF tag, none when 0
    int scans = 0;                     // of a progressive file: the first few only, all when 0
};

void WriteJpeg(const std::string& strPath, const JpegRecipe& recipe)
{
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr error{};
    jpeg.err = jpeg_std_error(&error);
    jpeg_create_compress(&jpeg);
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    jpeg_stdio_dest(&jpeg, pFile);
    jpeg.image_width = recipe.width;
    jpeg.image_height = recipe.height;
    jpeg.input_components = recipe.components;
    jpeg.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : recipe.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 80, TRUE);
    if (recipe.coded != JCS_UNKNOWN)
        jpeg_set_colorspace(&jpeg, recipe.coded);
    jpeg.comp_info[0].h_samp_factor = recipe.lumaH;
    jpeg.comp_info[0].v_samp_factor = recipe.lumaV;
    if (recipe.progressive)
        jpeg_simple_progression(&jpeg);
    if (recipe.scans)
        jpeg.num_scans = recipe.scans; // still valid: the DC coefficients come first
    jpeg.restart_interval = recipe.restartMcus;
    jpeg.arith_code = recipe.arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&jpeg, TRUE);
    const std::string strExif = ExifOrientation(recipe.orientation);
    if (recipe.orientation)
        jpeg_write_marker(&jpeg, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(strExif.data()), strExif.size());
    std::vector<JSAMPLE> row(recipe.width * recipe.components);
    unsigned nNoise = 12345;
    while (jpeg.next_scanline < jpeg.image_height) {
        const unsigned nY = jpeg.next_scanline;
        for (size_t i = 0; i < row.size(); ++i) {
            nNoise = nNoise * 1103515245 + 12345; // edges and noise, so every DCT rounds differently
            row[i] = JSAMPLE((i * 5 + nY * 7 + (i * nY) % 23 * 9 + (nNoise >> 16) % 48) & 0xff);
        }
        JSAMPROW pRow = row.data();
        jpeg_write_scanlines(&jpeg, &pRow, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    std::fclose(pFile);
}
} // namespace

TEST(JpegTileDecoder, GivesImageMagicksSamplesForEveryAcceptedKindAndOrientation)
{
    std::vector<std::pair<std::string, JpegRecipe>> cases = {
        {"grey", {33, 17, 1}},
        {"444", {}},
        {"422", {33, 17, 3, 2, 1}},
        {"420", {33, 17, 3, 2, 2}},
        {"440", {33, 17, 3, 1, 2}},
        {"411", {35, 19, 3, 4, 1}},
        {"progressive_grey", {33, 17, 1, 1, 1, true}},
        {"progressive_420_restarts", {257, 131, 3, 2, 2, true, 2}},
        {"restarts_422", {129, 70, 3, 2, 1, false, 1}},
        {"arithmetic_420", {65, 40, 3, 2, 2, false, 0, true}},
        {"arithmetic_progressive", {65, 40, 3, 2, 1, true, 0, true}},
        {"rgb_coded", {33, 17, 3, 1, 1, false, 0, false, JCS_RGB}},
        {"progressive_dc_only", {64, 48, 3, 2, 2, true, 0, false, JCS_UNKNOWN, 0, 3}}, // blocks smoothed
    };
    for (int nOrientation = 1; nOrientation <= 8; ++nOrientation)
        cases.push_back(
            {"oriented" + std::to_string(nOrientation), {33, 17, 3, 2, 2, false, 0, false, JCS_UNKNOWN, nOrientation}});
    Sandbox dir;
    for (const auto& [strName, recipe] : cases) {
        const std::string strPath = dir / (strName + ".jpg");
        WriteJpeg(strPath, recipe);
        TileRaster raster;
        ASSERT_EQ(DecodeDirectly(strPath, {recipe.width, recipe.height, 1ULL << 30}, raster), Outcome::Decoded)
            << strName;
        EXPECT_EQ(raster.channels, recipe.components) << strName;
        ExpectAsMagickReads(strPath, raster, recipe.orientation);
    }
}

TEST(JpegTileDecoder, LeavesOtherKindsToImageMagick)
{
    Sandbox dir;
    JpegRecipe cmyk{33, 17, 4};
    WriteJpeg(dir / "cmyk.jpg", cmyk);
    cmyk.coded = JCS_YCCK;
    WriteJpeg(dir / "ycck.jpg", cmyk);
    // This libjpeg writes no 12-bit files: the baseline frame header turned into an extended one.
    WriteJpeg(dir / "base.jpg", {});
    std::string strBytes = ReadFile(dir / "base.jpg");
    const size_t nFrame = strBytes.find("\xFF\xC0");
    strBytes.replace(nFrame, 5, std::string("\xFF\xC1", 2) + strBytes.substr(nFrame + 2, 2) + "\x0C");
    std::ofstream(dir / "12bit.jpg", std::ios::binary) << strBytes;
    // The Photoshop block of an ITU fax, which ImageMagick reads as Lab.
    strBytes = ReadFile(dir / "base.jpg");
    const std::string strFax = std::string("\xFF\xED\x00\x25Photoshop 3.0", 18) + "G3FAX" + std::string(16, ' ');
    std::ofstream(dir / "fax.jpg", std::ios::binary) << strBytes.insert(2, strFax);
    EXPECT_EQ(Magick::Image(dir / "fax.jpg").colorSpace(), Magick::LabColorspace);
    for (const char* pszName : {"cmyk.jpg", "ycck.jpg", "12bit.jpg", "fax.jpg"})
        EXPECT_EQ(Codecs::ChooseTileDecoder(dir / pszName), nullptr) << pszName;
    EXPECT_NE(Codecs::ChooseTileDecoder(dir / "base.jpg"), nullptr);
}

TEST(JpegTileDecoder, RefusesAnotherSizeOrTooManyPixelsWithoutAllocating)
{
    Sandbox dir;
    const std::string strPath = dir / "tile.jpg";
    JpegRecipe recipe{33, 17, 3, 2, 2};
    WriteJpeg(strPath, recipe);
    // A header claiming 60000x60000 over the same few bytes: reading it would take 10 GB.
    std::string strBytes = ReadFile(strPath);
    strBytes.replace(strBytes.find("\xFF\xC0") + 5, 4, "\xEA\x60\xEA\x60");
    std::ofstream(dir / "huge.jpg", std::ios::binary) << strBytes;
    ExpectRefused(strPath, {33, 18, 1000}, "changed since it was checked: 33x17 instead of 33x18");
    ExpectRefused(strPath, {33, 17, 560}, "declares 33x17 pixels");
    ExpectRefused(dir / "huge.jpg", {60000, 60000, 1000000000}, "declares 60000x60000 pixels");
}

TEST(JpegTileDecoder, LeavesDamagedDataToImageMagick)
{
    Sandbox dir;
    const JpegRecipe recipe{96, 64, 3, 2, 2, true, 1};
    WriteJpeg(dir / "whole.jpg", recipe);
    const std::string strBytes = ReadFile(dir / "whole.jpg");
    const size_t nScan = strBytes.find("\xFF\xDA");
    std::string strEnded = strBytes;
    strEnded.replace(strBytes.size() / 2, 2, "\xFF\xD9"); // an end marker inside the data
    std::string strBadRestart = strBytes;
    strBadRestart[strBytes.find("\xFF\xD0", nScan) + 1] = '\xD5'; // restarts out of order
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"cut_to_a_third", strBytes.substr(0, std::max(strBytes.size() / 3, nScan + 20))},
        {"ended_early", strEnded},
        {"restarts_out_of_order", strBadRestart},
    };
    for (const auto& [pszName, strData] : cases) {
        std::ofstream(dir / pszName, std::ios::binary) << strData;
        TileRaster raster; // the header is whole: a decoder is chosen
        EXPECT_EQ(DecodeDirectly(dir / pszName, {96, 64, 1ULL << 30}, raster), Outcome::LeftToImageMagick) << pszName;
        EXPECT_EQ(raster.data, nullptr) << pszName;
    }
}

TEST(JpegTileDecoder, DecodersRunAtOnce)
{
    Sandbox dir;
    std::vector<std::pair<std::string, TileExpectation>> files;
    for (int i = 0; i < 4; ++i) {
        files.emplace_back(dir / ("t" + std::to_string(i) + ".jpg"), TileExpectation{200 + i, 150, 1ULL << 20});
        WriteJpeg(files.back().first, {200 + i, 150, i == 0 ? 1 : 3, 2, 2, i % 2 == 1, i});
    }
    ExpectSameSamplesOnThreads(files, 20);
}
