#include "codecs/TileDecoders.h"

#include "codecs/JpegDecompression.h"
#include "codecs/JpegTileDecoder.h"

#include <cstdio>
#include <cstring>

namespace Codecs {

namespace {
// The first bytes of a file, fewer when it is shorter.
std::string FileStart(const std::string& strFile, size_t nBytes)
{
    std::string strStart(nBytes, '\0');
    FILE* pFile = std::fopen(strFile.c_str(), "rb");
    if (!pFile)
        return {};
    strStart.resize(std::fread(&strStart[0], 1, nBytes, pFile));
    std::fclose(pFile);
    return strStart;
}

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
    // ImageMagick rejects any JPEG file this short as lacking data.
    if (FileStart(strFile, 107).size() < 107)
        return nullptr;
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
    const std::string strStart = FileStart(strFile, 8);
    if (strStart.compare(0, 3, "\xFF\xD8\xFF") == 0)
        return ChooseJpegDecoder(strFile);
    return nullptr;
}

} // namespace Codecs
