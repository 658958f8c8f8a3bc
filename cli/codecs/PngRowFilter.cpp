#include "codecs/PngRowFilter.h"

#include <png.h>

#include <cstdint>
#include <type_traits>

namespace Codecs {

namespace {
inline int Paeth(int a, int b, int c)
{
    const int p = b - c;
    const int q = a - c;
    const int pa = p < 0 ? -p : p;
    const int pb = q < 0 ? -q : q;
    const int pc = (p + q) < 0 ? -(p + q) : p + q;
    return (pa <= pb && pa <= pc) ? a : (pb <= pc) ? b : c;
}

// The filtered byte i of a row for filter type Type (PNG_FILTER_VALUE_*); a template, so that
// the per-byte loops carry no branch on the type.
template <int Type>
inline uint8_t Filtered(const uint8_t* pRow, const uint8_t* pPrevious, size_t i, size_t nBpp)
{
    const int left = i >= nBpp ? pRow[i - nBpp] : 0;
    int prediction = 0;
    if (Type == PNG_FILTER_VALUE_SUB)
        prediction = left;
    else if (Type == PNG_FILTER_VALUE_UP)
        prediction = pPrevious[i];
    else if (Type == PNG_FILTER_VALUE_AVG)
        prediction = (pPrevious[i] + left) / 2;
    else if (Type == PNG_FILTER_VALUE_PAETH)
        prediction = Paeth(left, pPrevious[i], i >= nBpp ? pPrevious[i - nBpp] : 0);
    return static_cast<uint8_t>((pRow[i] - prediction) & 0xff);
}

inline size_t Weight(unsigned v)
{
    return v < 128 ? v : 256 - v;
}

template <int Type>
size_t SumOf(const uint8_t* pRow, const uint8_t* pPrevious, size_t nBpp, size_t nRowBytes, size_t nLimit)
{
    size_t nSum = 0;
    for (size_t i = 0; i < nRowBytes; ++i) {
        nSum += Weight(Filtered<Type>(pRow, pPrevious, i, nBpp));
        // Already worse: the rest cannot make it win.
        if (nSum > nLimit)
            break;
    }
    return nSum;
}

// Right to left, so that pOut may be pRow - 1: each byte is replaced only after the bytes to its
// right, the last to need it, have been filtered.
template <int Type>
void ApplyOf(const uint8_t* pRow, const uint8_t* pPrevious, size_t nBpp, size_t nRowBytes, uint8_t* pOut)
{
    for (size_t i = nRowBytes; i-- > 0;)
        pOut[1 + i] = Filtered<Type>(pRow, pPrevious, i, nBpp);
    pOut[0] = static_cast<uint8_t>(Type);
}

// Calls visit with the filter type as a compile-time constant, so that each type gets its own
// loop without a branch per byte.
template <typename Visit>
decltype(auto) WithFilterType(int nType, Visit visit)
{
    switch (nType) {
    case PNG_FILTER_VALUE_SUB:
        return visit(std::integral_constant<int, PNG_FILTER_VALUE_SUB>());
    case PNG_FILTER_VALUE_UP:
        return visit(std::integral_constant<int, PNG_FILTER_VALUE_UP>());
    case PNG_FILTER_VALUE_AVG:
        return visit(std::integral_constant<int, PNG_FILTER_VALUE_AVG>());
    case PNG_FILTER_VALUE_PAETH:
        return visit(std::integral_constant<int, PNG_FILTER_VALUE_PAETH>());
    default:
        return visit(std::integral_constant<int, PNG_FILTER_VALUE_NONE>());
    }
}

constexpr int c_maskOfType[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH};
} // namespace

PngRowFilter::PngRowFilter(int nFilters, size_t nBytesPerPixel, size_t nRowBytes)
    : m_filters(nFilters), m_bpp(nBytesPerPixel), m_rowBytes(nRowBytes)
{}

size_t PngRowFilter::Sum(int nType, const uint8_t* pRow, const uint8_t* pPrevious, size_t nLimit) const
{
    return WithFilterType(
        nType, [&](auto type) { return SumOf<decltype(type)::value>(pRow, pPrevious, m_bpp, m_rowBytes, nLimit); });
}

void PngRowFilter::Apply(int nType, const uint8_t* pRow, const uint8_t* pPrevious, uint8_t* pOut) const
{
    WithFilterType(nType, [&](auto type) { ApplyOf<decltype(type)::value>(pRow, pPrevious, m_bpp, m_rowBytes, pOut); });
}

void PngRowFilter::Filter(const uint8_t* pRow, const uint8_t* pPrevious, uint8_t* pOut) const
{
    int nBest = PNG_FILTER_VALUE_NONE;
    for (int nType = PNG_FILTER_VALUE_NONE; nType <= PNG_FILTER_VALUE_PAETH; ++nType) {
        if (m_filters == c_maskOfType[nType]) {
            nBest = nType;
            break;
        }
    }
    // libpng compares against the unfiltered row only when None is one of several choices.
    const bool bSingle = nBest != PNG_FILTER_VALUE_NONE || m_filters == PNG_FILTER_NONE;
    if (!bSingle) {
        size_t nMin = SIZE_MAX - 256;
        if (m_filters & PNG_FILTER_NONE)
            nMin = Sum(PNG_FILTER_VALUE_NONE, pRow, pPrevious, SIZE_MAX);
        for (int nType = PNG_FILTER_VALUE_SUB; nType <= PNG_FILTER_VALUE_PAETH; ++nType) {
            if (!(m_filters & c_maskOfType[nType]))
                continue;
            const size_t nSum = Sum(nType, pRow, pPrevious, nMin);
            if (nSum < nMin) {
                nMin = nSum;
                nBest = nType;
            }
        }
    }
    Apply(nBest, pRow, pPrevious, pOut);
}

} // namespace Codecs
