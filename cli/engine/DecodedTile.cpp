#include "engine/DecodedTile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Engine {

DecodedTile::DecodedTile(Codecs::TileRaster raster)
    : m_raster(std::move(raster)), m_width(m_raster.width), m_height(m_raster.height)
{}

void DecodedTile::Keep(int nX, int nY, int nWidth, int nHeight)
{
    const int nRight = std::min(m_width, nX + nWidth);
    const int nBottom = std::min(m_height, nY + nHeight);
    m_left += nX;
    m_top += nY;
    m_width = std::max(0, nRight - nX);
    m_height = std::max(0, nBottom - nY);
}

void DecodedTile::TurnUpright(int nOrientation)
{
    if (nOrientation < 2 || nOrientation > 8)
        return;
    const int nWidth = m_raster.width;
    const int nHeight = m_raster.height;
    // Orientations 5 to 8 are a quarter turn: the sides swap.
    const bool bQuarter = nOrientation >= 5;
    Codecs::TileRaster upright;
    upright.width = bQuarter ? nHeight : nWidth;
    upright.height = bQuarter ? nWidth : nHeight;
    upright.channels = m_raster.channels;
    upright.bitDepth = m_raster.bitDepth;
    upright.data.reset(new uint8_t[upright.ByteSize()]);
    // Where the upright pixel (u, v) comes from, as flop, rotation, flip, transpose and
    // transverse move pixels.
    auto sourceOf = [&](int u, int v) -> std::pair<int, int> {
        switch (nOrientation) {
        case 2:
            return {nWidth - 1 - u, v};
        case 3:
            return {nWidth - 1 - u, nHeight - 1 - v};
        case 4:
            return {u, nHeight - 1 - v};
        case 5:
            return {v, u};
        case 6:
            return {v, nHeight - 1 - u};
        case 7:
            return {nWidth - 1 - v, nHeight - 1 - u};
        default:
            return {nWidth - 1 - v, u};
        }
    };
    const size_t nPixelBytes = static_cast<size_t>(m_raster.channels) * (m_raster.bitDepth / 8);
    for (int v = 0; v < upright.height; ++v) {
        uint8_t* pTarget = upright.Row(v);
        for (int u = 0; u < upright.width; ++u, pTarget += nPixelBytes) {
            const auto [x, y] = sourceOf(u, v);
            std::memcpy(pTarget, m_raster.Row(y) + x * nPixelBytes, nPixelBytes);
        }
    }
    m_raster = std::move(upright);
    m_left = m_top = 0;
    m_width = m_raster.width;
    m_height = m_raster.height;
}

} // namespace Engine
