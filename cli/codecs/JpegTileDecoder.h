#pragma once

#include "codecs/TileDecoder.h"

#include <string>

namespace Codecs {

// Decodes a grey or colour 8-bit JPEG into an 8-bit raster of 1 or 3 channels, row by row
// straight into the raster, with the samples ImageMagick's reader gives.
class JpegTileDecoder : public TileDecoder
{
public:
    explicit JpegTileDecoder(std::string strFile);

    Outcome Decode(const TileExpectation& expected, TileRaster& raster) override;

private:
    std::string m_file;
};

} // namespace Codecs
