#pragma once

#include "codecs/TileRaster.h"
#include "misc/Object.h"

#include <memory>
#include <string>

namespace Codecs {

// What the caller expects of a tile when it decodes it: the size its ping found, and the most
// pixels it may hold. A file that changed since its ping, or that declares more, is refused
// before anything is allocated.
struct TileExpectation
{
    int width = 0;
    int height = 0;
    unsigned long long maxPixels = 0;
};

// Decodes one PNG or JPEG file straight into a TileRaster, without ImageMagick, to exactly the
// samples ImageMagick's reader gives. Used only for files the chooser (TileDecoders.h) has let
// through; it is safe to run several at once on different files.
class TileDecoder : public Object
{
public:
    enum class Outcome {
        Decoded,
        // The file is not what was checked (another size, too many pixels): the last error names
        // the file and says why. Nothing was allocated.
        Refused,
        // Corrupt or truncated data, or anything unexpected: ImageMagick reads the tile instead, so
        // that such files compose (and warn) exactly as they always have.
        LeftToImageMagick,
    };

    virtual Outcome Decode(const TileExpectation& expected, TileRaster& raster) = 0;

protected:
    // False, with the last error naming strFile, when the size a header declares holds more
    // pixels than allowed or is not the size expected.
    bool AdmitsSize(const std::string& strFile, unsigned long long nWidth, unsigned long long nHeight,
                    const TileExpectation& expected);
};

} // namespace Codecs
