#pragma once

#include "codecs/TileDecoder.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace Codecs {

// Decodes a PNG with libpng, rows straight into the raster: palettes expanded to RGB (RGBA with
// tRNS), tRNS of grey and RGB to an alpha channel, 1-, 2- and 4-bit grey scaled to the full 8-bit
// range, 16 bits kept. This is how ImageMagick holds such files; gamma, chromaticities and colour
// profiles leave the samples as stored, as they do there. One decoder per file; decoders share
// nothing.
class PngTileDecoder : public TileDecoder
{
public:
    explicit PngTileDecoder(std::string strFile);
    ~PngTileDecoder() override;

    Outcome Decode(const TileExpectation& expected, TileRaster& raster) override;

private:
    bool Open();
    bool ReadHeader();
    bool PrepareRows(TileRaster& raster);
    uint8_t* DecodedRow(TileRaster& raster, int nRow) const;
    bool ReadRows(TileRaster& raster);
    bool ExpandPalette(TileRaster& raster) const;
    void Release();
    static void OnLibraryError(png_structp pPng, png_const_charp pszMessage);
    static void OnLibraryWarning(png_structp pPng, png_const_charp pszMessage);

    std::string m_file;
    std::FILE* m_stream = nullptr;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    int m_passes = 1;
    bool m_palette = false;
    // libpng warns of what it repaired or dropped: ImageMagick then decides what the file shows.
    bool m_warned = false;
};

} // namespace Codecs
