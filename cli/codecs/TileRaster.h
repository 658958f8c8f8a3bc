#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Codecs {

// A decoded tile as ImageMagick would hold it, in plain interleaved samples: 8 bits as uint8_t
// (the library's 16-bit quantum is the sample times 257) or 16 bits as uint16_t in host byte
// order (the quantum itself). Channels: 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA; alpha is
// unassociated, 0 transparent. Memory: exactly width x height x channels samples, no more.
struct TileRaster
{
    int width = 0;
    int height = 0;
    int channels = 0;
    int bitDepth = 8;
    std::unique_ptr<uint8_t[]> data;

    size_t BytesPerRow() const { return static_cast<size_t>(width) * channels * (bitDepth / 8); }
    size_t ByteSize() const { return BytesPerRow() * static_cast<size_t>(height); }
    uint8_t* Row(int nRow) { return data.get() + BytesPerRow() * static_cast<size_t>(nRow); }
    const uint8_t* Row(int nRow) const { return data.get() + BytesPerRow() * static_cast<size_t>(nRow); }
    // The sample as a 16-bit quantum, whatever the depth.
    uint16_t Quantum(int nX, int nY, int nChannel) const
    {
        const size_t nIndex = (static_cast<size_t>(nY) * width + nX) * channels + nChannel;
        return bitDepth == 8 ? static_cast<uint16_t>(data[nIndex] * 257)
                             : reinterpret_cast<const uint16_t*>(data.get())[nIndex];
    }
};

} // namespace Codecs
