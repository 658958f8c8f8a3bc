#pragma once

#include <vector>

namespace Codecs {

// The levels of an image pyramid: the full size first, then each level half the one before
// (rounded up) down to 1x1, and how a level is cut into square tiles.
struct PyramidGeometry
{
    struct Size
    {
        int width = 0;
        int height = 0;
    };

    // Every level from the full size down to 1x1: ceil(log2(max side)) + 1 of them.
    static std::vector<Size> Levels(int nWidth, int nHeight);
    // The levels from the full size down to the first that fits into one tile.
    static std::vector<Size> LevelsDownToTile(int nWidth, int nHeight, int nTileSize);
    static long long TileCount(const Size& level, int nTileSize);
    static long long TileCount(const std::vector<Size>& levels, int nTileSize);
};

} // namespace Codecs
