#include "codecs/PngTileDecoder.h"

#include <cstdint>
#include <new>

namespace Codecs {

namespace {
bool IsLittleEndianHost()
{
    const uint16_t nOne = 1;
    return *reinterpret_cast<const uint8_t*>(&nOne) == 1;
}
} // namespace

PngTileDecoder::PngTileDecoder(std::string strFile) : m_file(std::move(strFile)) {}

PngTileDecoder::~PngTileDecoder()
{
    Release();
}

void PngTileDecoder::OnLibraryError(png_structp pPng, png_const_charp)
{
    // The message is not kept: ImageMagick reads the file next and reports in its own words.
    png_longjmp(pPng, 1);
}

void PngTileDecoder::OnLibraryWarning(png_structp pPng, png_const_charp)
{
    static_cast<PngTileDecoder*>(png_get_error_ptr(pPng))->m_warned = true;
}

void PngTileDecoder::Release()
{
    if (m_png)
        png_destroy_read_struct(&m_png, &m_info, nullptr);
    if (m_stream)
        std::fclose(m_stream);
    m_png = nullptr;
    m_info = nullptr;
    m_stream = nullptr;
}

bool PngTileDecoder::Open()
{
    m_stream = std::fopen(m_file.c_str(), "rb");
    if (!m_stream)
        return false;
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnLibraryError, OnLibraryWarning);
    m_info = m_png ? png_create_info_struct(m_png) : nullptr;
    return m_info != nullptr;
}

bool PngTileDecoder::ReadHeader()
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    png_init_io(m_png, m_stream);
    png_read_info(m_png, m_info);
    return true;
}

bool PngTileDecoder::PrepareRows(TileRaster& raster)
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    const int nColorType = png_get_color_type(m_png, m_info);
    const int nBitDepth = png_get_bit_depth(m_png, m_info);
    m_palette = nColorType == PNG_COLOR_TYPE_PALETTE;
    // libpng's expansion is ImageMagick's reading: tRNS as an alpha of 0 or the maximum, low-depth
    // grey v as v * 255 / (2^depth - 1). Palettes are expanded here (ExpandPalette).
    if (m_palette && nBitDepth < 8)
        png_set_packing(m_png);
    if (nColorType == PNG_COLOR_TYPE_GRAY && nBitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(m_png);
    if (!m_palette && png_get_valid(m_png, m_info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(m_png);
    if (nBitDepth == 16 && IsLittleEndianHost())
        png_set_swap(m_png);
    m_passes = png_set_interlace_handling(m_png);
    png_read_update_info(m_png, m_info);

    raster.width = static_cast<int>(png_get_image_width(m_png, m_info));
    raster.height = static_cast<int>(png_get_image_height(m_png, m_info));
    raster.channels =
        m_palette ? (png_get_valid(m_png, m_info, PNG_INFO_tRNS) ? 4 : 3) : png_get_channels(m_png, m_info);
    raster.bitDepth = png_get_bit_depth(m_png, m_info);
    // Anything but the rows the raster holds would be a misreading of the header.
    const size_t nRowBytes = m_palette ? static_cast<size_t>(raster.width) : raster.BytesPerRow();
    return raster.channels >= 1 && raster.channels <= 4 && (raster.bitDepth == 8 || raster.bitDepth == 16)
           && png_get_rowbytes(m_png, m_info) == nRowBytes;
}

uint8_t* PngTileDecoder::DecodedRow(TileRaster& raster, int nRow) const
{
    // A palette image's indices, one byte each, fill the end of the raster until they are expanded.
    if (m_palette)
        return raster.data.get() + raster.ByteSize() - static_cast<size_t>(raster.width) * (raster.height - nRow);
    return raster.Row(nRow);
}

bool PngTileDecoder::ReadRows(TileRaster& raster)
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    // Interlaced passes each fill in the rows the earlier ones left, in place.
    for (int nPass = 0; nPass < m_passes; ++nPass)
        for (int nRow = 0; nRow < raster.height; ++nRow)
            png_read_row(m_png, DecodedRow(raster, nRow), nullptr);
    // The rest of the file too: a missing end or a bad checksum leaves the tile to ImageMagick.
    png_read_end(m_png, nullptr);
    return true;
}

bool PngTileDecoder::ExpandPalette(TileRaster& raster) const
{
    png_colorp pPalette = nullptr;
    int nEntries = 0;
    png_bytep pAlpha = nullptr;
    int nAlphas = 0;
    png_get_PLTE(m_png, m_info, &pPalette, &nEntries);
    png_get_tRNS(m_png, m_info, &pAlpha, &nAlphas, nullptr);
    // Forwards in place: pixel n's samples end at or before index n, which is read first.
    const size_t nPixels = static_cast<size_t>(raster.width) * raster.height;
    const uint8_t* pIndex = raster.data.get() + raster.ByteSize() - nPixels;
    uint8_t* pOut = raster.data.get();
    for (size_t n = 0; n < nPixels; ++n) {
        const int nIndex = pIndex[n];
        // ImageMagick fails on an index past the palette's end.
        if (nIndex >= nEntries)
            return false;
        *pOut++ = pPalette[nIndex].red;
        *pOut++ = pPalette[nIndex].green;
        *pOut++ = pPalette[nIndex].blue;
        if (raster.channels == 4)
            *pOut++ = nIndex < nAlphas ? pAlpha[nIndex] : 255;
    }
    return true;
}

TileDecoder::Outcome PngTileDecoder::Decode(const TileExpectation& expected, TileRaster& raster)
{
    Release();
    m_warned = false;
    if (!Open() || !ReadHeader()) {
        Release();
        return Outcome::LeftToImageMagick;
    }
    if (!AdmitsSize(m_file, png_get_image_width(m_png, m_info), png_get_image_height(m_png, m_info), expected)) {
        Release();
        return Outcome::Refused;
    }
    TileRaster decoded;
    if (!PrepareRows(decoded)) {
        Release();
        return Outcome::LeftToImageMagick;
    }
    decoded.data.reset(new (std::nothrow) uint8_t[decoded.ByteSize()]);
    const bool bRead = decoded.data && ReadRows(decoded) && !m_warned && (!m_palette || ExpandPalette(decoded));
    Release();
    if (!bRead)
        return Outcome::LeftToImageMagick;
    raster = std::move(decoded);
    return Outcome::Decoded;
}

} // namespace Codecs
