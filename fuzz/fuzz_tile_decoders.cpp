// The direct decoders' checks of PNG and JPEG headers and data. The first two bytes are the size
// the ping would have found (1 to 256 a side), the rest is the file.
#include "FuzzInputFile.h"
#include "codecs/TileDecoders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static FuzzInputFile file;
    if (nSize < 2)
        return 0;
    Codecs::TileExpectation expected;
    expected.width = pData[0] + 1;
    expected.height = pData[1] + 1;
    expected.maxPixels = 1 << 14;
    const std::unique_ptr<Codecs::TileDecoder> pDecoder = Codecs::ChooseTileDecoder(file.Write(pData + 2, nSize - 2));
    if (!pDecoder)
        return 0;
    Codecs::TileRaster raster;
    if (pDecoder->Decode(expected, raster) != Codecs::TileDecoder::Outcome::Decoded)
        return 0;
    // A decoded tile is the size expected, within the limit, with every sample in place.
    if (raster.width != expected.width || raster.height != expected.height
        || static_cast<unsigned long long>(raster.width) * raster.height > expected.maxPixels || raster.channels < 1
        || raster.channels > 4 || (raster.bitDepth != 8 && raster.bitDepth != 16) || !raster.data)
        __builtin_trap();
    return 0;
}
