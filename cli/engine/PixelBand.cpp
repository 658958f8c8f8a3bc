#include "engine/PixelBand.h"

#include "codecs/ScanlineWriter.h"
#include "engine/DecodedTile.h"

#include <Magick++.h>

#include <algorithm>
#include <cstring>

namespace Engine {

namespace {
using MagickCore::Quantum;

uint8_t To8(Quantum value)
{
    return MagickCore::ScaleQuantumToChar(value);
}
uint8_t RoundedDown(Quantum value)
{
    return static_cast<uint8_t>(value / 257);
}
// The library's Over for an opaque destination, term for term, so that the rounding agrees.
Quantum Over(Quantum source, double dSourceOpacity, Quantum destination)
{
    const double dSa = 1.0 - QuantumScale * dSourceOpacity;
    const double dDa = 1.0;
    return MagickCore::ClampToQuantum(dSa * source + dDa * destination * (1.0 - dSa));
}
} // namespace

PixelBand::PixelBand(int nWidth, int nHeight, int nChannels, int nBits, const Sample16& background, bool bRoundDown)
    : m_width(nWidth), m_height(nHeight), m_channels(nChannels), m_bits(nBits), m_roundDown(bRoundDown),
      m_data(new uint8_t[BytesPerRow() * static_cast<size_t>(nHeight)])
{
    if (nWidth < 1 || nHeight < 1)
        return;
    const bool bGrey = nChannels < 3;
    const bool bAlpha = nChannels % 2 == 0;
    std::vector<uint16_t> pixel{background.red};
    if (!bGrey)
        pixel.insert(pixel.end(), {background.green, background.blue});
    if (bAlpha)
        pixel.push_back(QuantumRange);
    // The first row sample by sample, the others as copies of it: a band is filled once per
    // grid row and is as large as the tiles it will hold.
    uint8_t* pFirstRow = m_data.get();
    for (int nColumn = 0; nColumn < nWidth; ++nColumn) {
        for (int c = 0; c < nChannels; ++c) {
            const size_t nSample = static_cast<size_t>(nColumn) * nChannels + c;
            if (nBits == 8)
                pFirstRow[nSample] = To8Bits(pixel[c]);
            else
                reinterpret_cast<uint16_t*>(pFirstRow)[nSample] = pixel[c];
        }
    }
    for (int nRow = 1; nRow < nHeight; ++nRow)
        std::memcpy(pFirstRow + nRow * BytesPerRow(), pFirstRow, BytesPerRow());
}

uint8_t PixelBand::To8Bits(uint16_t nQuantum) const
{
    return m_roundDown ? RoundedDown(nQuantum) : To8(nQuantum);
}

template <typename Sample, typename Operation>
void PixelBand::ForEachPixel(const Magick::Image& image, int nX, int nY, Operation operation)
{
    const int nLeft = std::max(nX, 0);
    const int nRight = std::min(nX + static_cast<int>(image.columns()), m_width);
    const int nTop = std::max(nY, 0);
    const int nBottom = std::min(nY + static_cast<int>(image.rows()), m_height);
    if (nLeft >= nRight || nTop >= nBottom)
        return;
    auto* pSamples = reinterpret_cast<Sample*>(m_data.get());
    // Rows are requested in blocks: each request costs the library an exception record and its
    // locks, while a block bounds the copy it makes when the pixels are not in memory.
    const int nWidth = nRight - nLeft;
    const int nBlockRows = std::max(1, (1 << 20) / nWidth);
    for (int nBlockTop = nTop; nBlockTop < nBottom; nBlockTop += nBlockRows) {
        const int nBlockBottom = std::min(nBottom, nBlockTop + nBlockRows);
        const Magick::PixelPacket* pSource =
            image.getConstPixels(nLeft - nX, nBlockTop - nY, nWidth, nBlockBottom - nBlockTop);
        for (int nRow = nBlockTop; nRow < nBlockBottom; ++nRow) {
            Sample* pTarget = pSamples + (static_cast<size_t>(nRow) * m_width + nLeft) * m_channels;
            for (int nColumn = nLeft; nColumn < nRight; ++nColumn, ++pSource, pTarget += m_channels)
                operation(pTarget, *pSource);
        }
    }
}

void PixelBand::Copy(const Magick::Image& image, int nX, int nY)
{
    const bool bSourceAlpha = image.matte();
    const bool bGrey = m_channels < 3;
    const bool bAlpha = m_channels % 2 == 0;
    // The narrowing is chosen once per tile, not per sample, so the copy loop stays branch-free.
    auto copyWith = [&](auto scaled) {
        return [&, scaled](auto* pTarget, const Magick::PixelPacket& source) {
            *pTarget++ = scaled(source.red);
            if (!bGrey) {
                *pTarget++ = scaled(source.green);
                *pTarget++ = scaled(source.blue);
            }
            if (bAlpha)
                *pTarget = scaled(bSourceAlpha ? QuantumRange - source.opacity : QuantumRange);
        };
    };
    if (m_bits == 16)
        ForEachPixel<uint16_t>(image, nX, nY, copyWith([](Quantum value) { return value; }));
    else if (m_roundDown)
        ForEachPixel<uint8_t>(image, nX, nY, copyWith([](Quantum value) { return RoundedDown(value); }));
    else
        ForEachPixel<uint8_t>(image, nX, nY, copyWith([](Quantum value) { return To8(value); }));
}

void PixelBand::Over(const Magick::Image& image, int nX, int nY)
{
    if (!image.matte()) {
        Copy(image, nX, nY);
        return;
    }
    const bool bGrey = m_channels < 3;
    auto blend = [&](uint16_t* pTarget, const Magick::PixelPacket& source) {
        // A fully transparent pixel leaves the destination exactly as it was.
        if (source.opacity == TransparentOpacity)
            return;
        const double dOpacity = source.opacity;
        pTarget[0] = Engine::Over(source.red, dOpacity, pTarget[0]);
        if (!bGrey) {
            pTarget[1] = Engine::Over(source.green, dOpacity, pTarget[1]);
            pTarget[2] = Engine::Over(source.blue, dOpacity, pTarget[2]);
        }
    };
    ForEachPixel<uint16_t>(image, nX, nY, blend);
}

template <typename Operation>
void PixelBand::ForEachTileRow(const DecodedTile& tile, int nX, int nY, Operation operation)
{
    const int nLeft = std::max(nX, 0);
    const int nRight = std::min(nX + tile.GetWidth(), m_width);
    const int nTop = std::max(nY, 0);
    const int nBottom = std::min(nY + tile.GetHeight(), m_height);
    if (nLeft >= nRight || nTop >= nBottom)
        return;
    const Codecs::TileRaster& raster = tile.GetRaster();
    const size_t nSourcePixelBytes = static_cast<size_t>(raster.channels) * (raster.bitDepth / 8);
    const size_t nTargetPixelBytes = static_cast<size_t>(m_channels) * (m_bits / 8);
    const size_t nSourceColumn = static_cast<size_t>(tile.GetLeft() + nLeft - nX);
    for (int nRow = nTop; nRow < nBottom; ++nRow) {
        const uint8_t* pSource = raster.Row(tile.GetTop() + nRow - nY) + nSourceColumn * nSourcePixelBytes;
        uint8_t* pTarget = m_data.get() + nRow * BytesPerRow() + static_cast<size_t>(nLeft) * nTargetPixelBytes;
        operation(pTarget, pSource, nRight - nLeft);
    }
}

void PixelBand::Copy(const DecodedTile& tile, int nX, int nY)
{
    const Codecs::TileRaster& raster = tile.GetRaster();
    if (raster.channels == m_channels && raster.bitDepth == m_bits) {
        // The library's quanta of these samples narrow back to the same samples.
        const size_t nPixelBytes = static_cast<size_t>(m_channels) * (m_bits / 8);
        ForEachTileRow(tile, nX, nY, [&](uint8_t* pTarget, const uint8_t* pSource, int nPixels) {
            std::memcpy(pTarget, pSource, nPixels * nPixelBytes);
        });
        return;
    }
    // Otherwise as Copy does with the library's pixels: grey is its red channel, a missing alpha
    // is opaque.
    const int nSourceChannels = raster.channels;
    const bool bSourceGrey = nSourceChannels < 3;
    const bool bSourceAlpha = nSourceChannels % 2 == 0;
    const bool bGrey = m_channels < 3;
    const bool bAlpha = m_channels % 2 == 0;
    auto copyPixels = [&](auto* pTarget, const auto* pSource, int nPixels, auto quantum, auto store) {
        for (int n = 0; n < nPixels; ++n, pSource += nSourceChannels) {
            const uint16_t nRed = quantum(pSource[0]);
            *pTarget++ = store(nRed);
            if (!bGrey) {
                *pTarget++ = store(bSourceGrey ? nRed : quantum(pSource[1]));
                *pTarget++ = store(bSourceGrey ? nRed : quantum(pSource[2]));
            }
            if (bAlpha)
                *pTarget++ = store(bSourceAlpha ? quantum(pSource[nSourceChannels - 1]) : uint16_t(QuantumRange));
        }
    };
    auto from8 = [](uint8_t nSample) { return static_cast<uint16_t>(nSample * 257); };
    auto from16 = [](uint16_t nSample) { return nSample; };
    auto to8 = [this](uint16_t nQuantum) { return To8Bits(nQuantum); };
    auto to16 = [](uint16_t nQuantum) { return nQuantum; };
    ForEachTileRow(tile, nX, nY, [&](uint8_t* pTarget, const uint8_t* pSource, int nPixels) {
        auto* pTarget16 = reinterpret_cast<uint16_t*>(pTarget);
        const auto* pSource16 = reinterpret_cast<const uint16_t*>(pSource);
        if (raster.bitDepth == 8 && m_bits == 8)
            copyPixels(pTarget, pSource, nPixels, from8, to8);
        else if (raster.bitDepth == 8)
            copyPixels(pTarget16, pSource, nPixels, from8, to16);
        else if (m_bits == 8)
            copyPixels(pTarget, pSource16, nPixels, from16, to8);
        else
            copyPixels(pTarget16, pSource16, nPixels, from16, to16);
    });
}

void PixelBand::Over(const DecodedTile& tile, int nX, int nY)
{
    const Codecs::TileRaster& raster = tile.GetRaster();
    if (raster.channels % 2 != 0) {
        Copy(tile, nX, nY);
        return;
    }
    const int nSourceChannels = raster.channels;
    const bool bSourceGrey = nSourceChannels < 3;
    const bool bGrey = m_channels < 3;
    ForEachTileRow(tile, nX, nY, [&](uint8_t* pTargetBytes, const uint8_t* pSourceBytes, int nPixels) {
        auto* pTarget = reinterpret_cast<uint16_t*>(pTargetBytes);
        for (int n = 0; n < nPixels; ++n, pTarget += m_channels) {
            const size_t nFirst = static_cast<size_t>(n) * nSourceChannels;
            auto quantum = [&](int c) {
                return raster.bitDepth == 8 ? static_cast<Quantum>(pSourceBytes[nFirst + c] * 257)
                                            : reinterpret_cast<const uint16_t*>(pSourceBytes)[nFirst + c];
            };
            const Quantum nOpacity = QuantumRange - quantum(nSourceChannels - 1);
            // A fully transparent pixel leaves the destination exactly as it was.
            if (nOpacity == TransparentOpacity)
                continue;
            const Quantum nRed = quantum(0);
            pTarget[0] = Engine::Over(nRed, nOpacity, pTarget[0]);
            if (!bGrey) {
                pTarget[1] = Engine::Over(bSourceGrey ? nRed : quantum(1), nOpacity, pTarget[1]);
                pTarget[2] = Engine::Over(bSourceGrey ? nRed : quantum(2), nOpacity, pTarget[2]);
            }
        }
    });
}

bool PixelBand::WriteTo(Codecs::ScanlineWriter& writer, int nBits) const
{
    if (nBits == m_bits)
        return writer.WriteScanlines(m_data.get(), m_height);
    // Only 16-bit quanta ever go out as 8 bits; a few rows at a time keep the copy small.
    const int nChunkRows = 64;
    const size_t nSamplesPerRow = static_cast<size_t>(m_width) * m_channels;
    const auto* pSamples = reinterpret_cast<const uint16_t*>(m_data.get());
    std::vector<uint8_t> chunk(nSamplesPerRow * nChunkRows);
    for (int nRow = 0; nRow < m_height; nRow += nChunkRows) {
        const int nRows = std::min(nChunkRows, m_height - nRow);
        const uint16_t* pFrom = pSamples + nSamplesPerRow * nRow;
        std::transform(pFrom, pFrom + nSamplesPerRow * nRows, chunk.begin(),
                       [this](uint16_t nQuantum) { return To8Bits(nQuantum); });
        if (!writer.WriteScanlines(chunk.data(), nRows))
            return false;
    }
    return true;
}

} // namespace Engine
