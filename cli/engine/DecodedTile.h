#pragma once

#include "codecs/TileRaster.h"

namespace Engine {

// A tile read by a direct decoder and the block of it a cell keeps: the whole raster until a
// region or an overlap is cut. Holds what ImageMagick's image and its crop would hold, at the
// file's own depth instead of 8 bytes a pixel.
class DecodedTile
{
public:
    explicit DecodedTile(Codecs::TileRaster raster);

    const Codecs::TileRaster& GetRaster() const { return m_raster; }
    int GetLeft() const { return m_left; }
    int GetTop() const { return m_top; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    // Keeps the nWidth x nHeight block at (nX, nY) of what is kept now, clipped to it, as the
    // library's crop does.
    void Keep(int nX, int nY, int nWidth, int nHeight);
    // Turns the whole raster upright from its EXIF orientation (1 to 8) as the library's
    // auto-orientation does; before anything is cut.
    void TurnUpright(int nOrientation);

private:
    Codecs::TileRaster m_raster;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Engine
