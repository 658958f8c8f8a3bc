#pragma once

#include "codecs/JpegSettings.h"

#include <cstdint>
#include <string>

namespace Codecs {

// Writes one small image (a pyramid's tile) to its own file in one go, as JPEG with the given
// settings or as PNG. The rows need not be consecutive: row i starts at pFirst + i * nStride.
// Keeps no state, so each worker thread can encode its own tiles at once.
class TileFileEncoder
{
public:
    struct Tile
    {
        const uint8_t* first = nullptr;
        size_t stride = 0;
        int width = 0;
        int height = 0;
        int channels = 3; // 1 grey, 3 RGB; for PNG also 2 and 4 with alpha
    };

    // False with strError naming the file.
    static bool WriteJpeg(const std::string& strPath, const Tile& tile, const JpegSettings& settings,
                          std::string& strError);
    static bool WritePng(const std::string& strPath, const Tile& tile, std::string& strError);
};

} // namespace Codecs
