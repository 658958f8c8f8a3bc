#pragma once

#include "codecs/PyramidGeometry.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace Codecs {

// Takes an image's 8-bit rows top to bottom and makes each smaller level of a pyramid from the
// one above as its rows complete, the 2x2 mean of every block rounded half up (as vips's
// pyramids shrink); on an odd width or height the last column or row is the mean of the pixels
// there are (a pair, or the corner pixel itself), as if the edge were repeated. Each level's rows
// are handed on a tile row at a time, with the overlap rows the tiles share above and below. A
// level keeps only one tile row and its overlap, so memory follows the width, never the height.
class HalvingCascade
{
public:
    // Rows [top, top + rows) of one level (0: the full size), nWidth pixels each, back to back.
    struct Band
    {
        int level = 0;
        int tileRow = 0;
        int top = 0;
        int rows = 0;
        int width = 0;
        const uint8_t* pixels = nullptr;
    };
    // Called for each level's tile rows in order; false stops the cascade.
    using Consumer = std::function<bool(const Band& band)>;

    HalvingCascade(const std::vector<PyramidGeometry::Size>& levels, int nChannels, int nTileSize, int nOverlap,
                   Consumer consume);

    // nRows more rows of the full-size level; false when the consumer refused one.
    bool AddRows(const uint8_t* pRows, int nRows);
    bool IsComplete() const;
    // The bytes every level's buffers hold at most, for an image of that shape.
    static unsigned long long BufferBytes(const std::vector<PyramidGeometry::Size>& levels, int nChannels,
                                          int nTileSize, int nOverlap);

private:
    struct Level
    {
        PyramidGeometry::Size size;
        std::vector<uint8_t> rows; // from bandTop on
        int bandTop = 0;
        int rowsTaken = 0;
        int tileRow = 0;
        std::vector<uint8_t> upperRow; // the even row waiting for its partner
    };

    bool AddRow(size_t nLevel, const uint8_t* pRow);
    bool EmitTileRow(Level& level, size_t nLevel);
    void Halve(const Level& level, const uint8_t* pUpper, const uint8_t* pLower, uint8_t* pOut) const;

    std::vector<Level> m_levels;
    const int m_channels;
    const int m_tileSize;
    const int m_overlap;
    Consumer m_consume;
    std::vector<std::vector<uint8_t>> m_halved; // one row per level below the first
};

} // namespace Codecs
