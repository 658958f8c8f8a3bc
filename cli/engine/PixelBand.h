#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Magick {
class Image;
}

namespace Codecs {
class ScanlineWriter;
}

namespace Engine {

class DecodedTile;

// A strip of the compound image, as wide as the canvas, in plain interleaved samples: what one
// grid row (or, stacked, the whole canvas) needs instead of a library image at 8 bytes a pixel.
// Samples are 8 or 16 bits; a 16-bit band holds the library's own 16-bit quantum values so that
// blending gives the same results as the library's operators. Quanta become 8-bit samples rounded,
// or rounded down where the writer's format does so. Channels: 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA.
class PixelBand
{
public:
    struct Sample16
    {
        uint16_t red, green, blue;
    };

    PixelBand(int nWidth, int nHeight, int nChannels, int nBits, const Sample16& background, bool bRoundDown);

    int GetHeight() const { return m_height; }

    // Replaces the band's pixels under the image at (nX, nY), alpha included, as a copy operator
    // does. Touches only that rectangle (clipped to the band).
    void Copy(const Magick::Image& image, int nX, int nY);
    // Blends the image over the band's opaque pixels at (nX, nY), as the library's Over operator.
    void Over(const Magick::Image& image, int nX, int nY);
    // The same for the kept block of a directly decoded tile, to the same samples.
    void Copy(const DecodedTile& tile, int nX, int nY);
    void Over(const DecodedTile& tile, int nX, int nY);

    // Hands the band to the writer at nBits per sample, narrowing 16-bit quanta when needed.
    bool WriteTo(Codecs::ScanlineWriter& writer, int nBits) const;

    size_t BytesPerRow() const { return static_cast<size_t>(m_width) * m_channels * (m_bits / 8); }

private:
    template <typename Sample, typename Operation>
    void ForEachPixel(const Magick::Image& image, int nX, int nY, Operation operation);
    // Calls operation(pTarget, pSource, nPixels) for each band row under the tile's kept block.
    template <typename Operation>
    void ForEachTileRow(const DecodedTile& tile, int nX, int nY, Operation operation);
    uint8_t To8Bits(uint16_t nQuantum) const;

    int m_width;
    int m_height;
    int m_channels;
    int m_bits;
    bool m_roundDown;
    std::unique_ptr<uint8_t[]> m_data; // not zeroed first: the background fills it
};

} // namespace Engine
