#pragma once

#include <cstddef>
#include <cstdint>

namespace Codecs {

// Filters one PNG scanline the way libpng does: with several filters allowed, the one whose
// bytes, read as signed, have the smallest sum of absolute values (ties to the earlier filter
// in the order None, Sub, Up, Average, Paeth), so a file matches what libpng would write.
class PngRowFilter
{
public:
    // nFilters is a libpng mask (PNG_FILTER_NONE .. PNG_ALL_FILTERS).
    PngRowFilter(int nFilters, size_t nBytesPerPixel, size_t nRowBytes);

    // pOut receives the filter type byte and nRowBytes filtered bytes; pPrevious is the raw row
    // above (all zero for the first row). pOut may be pRow - 1, to filter a row in place.
    void Filter(const uint8_t* pRow, const uint8_t* pPrevious, uint8_t* pOut) const;

private:
    size_t Sum(int nType, const uint8_t* pRow, const uint8_t* pPrevious, size_t nLimit) const;
    void Apply(int nType, const uint8_t* pRow, const uint8_t* pPrevious, uint8_t* pOut) const;

    int m_filters;
    size_t m_bpp;
    size_t m_rowBytes;
};

} // namespace Codecs
