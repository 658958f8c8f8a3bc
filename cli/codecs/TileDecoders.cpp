#include "codecs/TileDecoders.h"

#include "codecs/JpegDecompression.h"
#include "codecs/JpegTileDecoder.h"
#include "codecs/PngTileDecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace Codecs {

namespace {
uint32_t BigEndian32(const uint8_t* pBytes)
{
    return static_cast<uint32_t>(pBytes[0]) << 24 | static_cast<uint32_t>(pBytes[1]) << 16
           | static_cast<uint32_t>(pBytes[2]) << 8 | pBytes[3];
}

// An open file, closed on every way out.
struct FileCloser
{
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// ---- PNG ----

bool IsPngBitDepthOfColorType(int nColorType, int nBitDepth)
{
    switch (nColorType) {
    case 0: // grey
        return nBitDepth == 1 || nBitDepth == 2 || nBitDepth == 4 || nBitDepth == 8 || nBitDepth == 16;
    case 3: // palette
        return nBitDepth == 1 || nBitDepth == 2 || nBitDepth == 4 || nBitDepth == 8;
    case 2: // RGB
    case 4: // grey+alpha
    case 6: // RGBA
        return nBitDepth == 8 || nBitDepth == 16;
    default:
        return false;
    }
}

// The chunks that may come before the image data of a PNG the direct decoder reads: each is
// either part of the pixels as ImageMagick reads them (the tests compare them) or leaves them alone.
bool IsPngChunkBeforeDataAdmitted(const char* pszType)
{
    static const char* const admitted[] = {
        "PLTE", "tRNS",                                 // expanded as ImageMagick expands them
        "gAMA", "cHRM", "sRGB", "iCCP", "sBIT",         // ImageMagick keeps the stored samples, linear ones too
        "bKGD", "pHYs", "tEXt", "zTXt", "iTXt", "tIME", // properties, no pixels
    };
    for (const char* pszAdmitted : admitted)
        if (std::memcmp(pszType, pszAdmitted, 4) == 0)
            return true;
    // Anything else stays with ImageMagick: acTL (an animation, whose frames ImageMagick reads its
    // own way), eXIf (an orientation the engine applies to ImageMagick's image), oFFs and
    // ImageMagick's vpAg and caNv (a page geometry), and chunks no test has compared.
    return false;
}

// Reads the signature, the header and the chunks up to the first image data.
bool IsPngTheDirectDecoderReads(std::FILE* pFile)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    uint8_t bytes[8 + 8 + 13];
    if (std::fread(bytes, 1, sizeof bytes, pFile) != sizeof bytes || std::memcmp(bytes, signature, 8) != 0
        || BigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return false;
    const uint8_t* pHeader = bytes + 16;
    const uint32_t nWidth = BigEndian32(pHeader);
    const uint32_t nHeight = BigEndian32(pHeader + 4);
    // Sizes libpng refuses, bit depths no colour type has, and unknown methods: ImageMagick
    // reports them.
    if (nWidth == 0 || nHeight == 0 || nWidth > 0x7fffffff || nHeight > 0x7fffffff
        || !IsPngBitDepthOfColorType(pHeader[9], pHeader[8]) || pHeader[10] != 0 || pHeader[11] != 0 || pHeader[12] > 1)
        return false;
    if (std::fseek(pFile, 4, SEEK_CUR) != 0)
        return false;
    for (;;) {
        uint8_t chunk[8];
        if (std::fread(chunk, 1, sizeof chunk, pFile) != sizeof chunk)
            return false; // no image data at all: ImageMagick reports it
        const char* pszType = reinterpret_cast<const char*>(chunk + 4);
        if (std::memcmp(pszType, "IDAT", 4) == 0)
            return true;
        const uint32_t nLength = BigEndian32(chunk);
        if (!IsPngChunkBeforeDataAdmitted(pszType) || nLength > 0x7fffffff)
            return false;
        if (std::fseek(pFile, static_cast<long>(nLength) + 4, SEEK_CUR) != 0)
            return false;
    }
}

// ---- JPEG ----

// ImageMagick reads an APP13 Photoshop block that starts with "G3FAX" as an ITU fax image, in Lab.
bool HasFaxBlock(const jpeg_decompress_struct& header)
{
    for (jpeg_saved_marker_ptr pMarker = header.marker_list; pMarker; pMarker = pMarker->next)
        if (pMarker->data_length >= 19 && std::memcmp(pMarker->data + 14, "G3FAX", 5) == 0)
            return true;
    return false;
}

// JPEG files whose decoding was proven equal to ImageMagick's: 8-bit grey, YCbCr or RGB, baseline
// or progressive, Huffman or arithmetic coded, any sampling, with or without restart markers.
std::unique_ptr<TileDecoder> ChooseJpegDecoder(const std::string& strFile)
{
    JpegDecompression jpeg;
    // Fails on 12-bit and lossless files (this libjpeg reads neither), and on any header warning.
    if (!jpeg.Open(strFile, JPEG_APP0 + 13) || !jpeg.ReadHeader())
        return nullptr;
    const jpeg_decompress_struct& header = jpeg.Header();
    // Only grey and three-component colour: CMYK and YCCK (four components, Adobe transform)
    // ImageMagick keeps as CMYK and inverts.
    const bool bGrey = header.num_components == 1 && header.jpeg_color_space == JCS_GRAYSCALE;
    const bool bColour =
        header.num_components == 3 && (header.jpeg_color_space == JCS_YCbCr || header.jpeg_color_space == JCS_RGB);
    if (!bGrey && !bColour)
        return nullptr;
    if (header.data_precision != 8)
        return nullptr;
    if (HasFaxBlock(header))
        return nullptr;
    return std::make_unique<JpegTileDecoder>(strFile);
}
} // namespace

std::unique_ptr<TileDecoder> ChooseTileDecoder(const std::string& strFile)
{
    FileHandle file(std::fopen(strFile.c_str(), "rb"));
    if (!file)
        return nullptr;
    // ImageMagick rejects any JPEG file shorter than this as lacking data.
    uint8_t start[107];
    const size_t nRead = std::fread(start, 1, sizeof start, file.get());
    if (nRead >= 3 && std::memcmp(start, "\xFF\xD8\xFF", 3) == 0)
        return nRead == sizeof start ? ChooseJpegDecoder(strFile) : nullptr;
    std::rewind(file.get());
    if (IsPngTheDirectDecoderReads(file.get()))
        return std::make_unique<PngTileDecoder>(strFile);
    return nullptr;
}

} // namespace Codecs
