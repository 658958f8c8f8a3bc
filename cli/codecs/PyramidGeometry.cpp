#include "codecs/PyramidGeometry.h"

namespace Codecs {

std::vector<PyramidGeometry::Size> PyramidGeometry::Levels(int nWidth, int nHeight)
{
    return LevelsDownToTile(nWidth, nHeight, 1);
}

std::vector<PyramidGeometry::Size> PyramidGeometry::LevelsDownToTile(int nWidth, int nHeight, int nTileSize)
{
    std::vector<Size> levels{{nWidth, nHeight}};
    while (levels.back().width > nTileSize || levels.back().height > nTileSize) {
        const Size& above = levels.back();
        levels.push_back({(above.width + 1) / 2, (above.height + 1) / 2});
    }
    return levels;
}

long long PyramidGeometry::TileCount(const Size& level, int nTileSize)
{
    const long long nColumns = (level.width + nTileSize - 1LL) / nTileSize;
    const long long nRows = (level.height + nTileSize - 1LL) / nTileSize;
    return nColumns * nRows;
}

long long PyramidGeometry::TileCount(const std::vector<Size>& levels, int nTileSize)
{
    long long nTiles = 0;
    for (const Size& level : levels)
        nTiles += TileCount(level, nTileSize);
    return nTiles;
}

} // namespace Codecs
