#pragma once

#include "misc/Object.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Codecs {

// Shape of the pixels handed to a streaming writer: interleaved samples, 8 bits as uint8_t or
// 16 bits as uint16_t in host byte order. Channels: 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA.
struct RasterFormat
{
    int width = 0;
    int height = 0;
    int channels = 3;
    int bitDepth = 8;

    size_t BytesPerRow() const { return static_cast<size_t>(width) * channels * (bitDepth / 8); }
};

// The output options of a run as the writers see them.
struct OutputOptions
{
    struct Define
    {
        std::string format, key, value;
    };
    std::optional<std::string> compression; // a -compression name: "None", "LZW", "Zip", ...
    std::optional<unsigned> quality;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Define> defines;
};

// Writes an image scanline by scanline, top to bottom, without holding it whole. Memory: every
// writer here keeps at most two of the caller's bands (one waiting, one being encoded on a
// background thread, see BackgroundScanlineWriter) plus encoder state of a few rows (a JPEG in
// restart segments: fewer rows than a segment, and two encoded segments a thread); nothing it holds
// grows with the image's height.
class ScanlineWriter : public Object
{
public:
    // Opens strPath (created or truncated) for an image of this format.
    virtual bool Begin(const std::string& strPath, const RasterFormat& format) = 0;
    // nRows complete scanlines, format.BytesPerRow() each, back to back. The data may be reused
    // by the caller as soon as this returns.
    virtual bool WriteScanlines(const void* pData, int nRows) = 0;
    // Writes what is pending and closes the file; false when any of it failed.
    virtual bool End() = 0;

    // What the format can carry, so the engine composes nothing the file would drop.
    virtual std::string GetFormatName() const = 0;
    virtual int GetMaxBitDepth() const { return 16; }
    virtual bool KeepsAlpha() const { return true; }
    virtual long long GetMaxSide() const = 0;
    // How 16-bit quanta become 8-bit samples in this format as ImageMagick writes it: rounded
    // (most coders) or rounded down (its PNG coder). Blended pixels and tiles converted from
    // other colour models tell the difference.
    virtual bool TruncatesTo8Bits() const { return false; }
    // A pyramid (DeepZoom, pyramidal TIFF): no other writer makes it, so the engine gives it any
    // tiles, at the depth it takes, and builds it in a hidden folder (ReplacingFolderWriter).
    virtual bool WritesPyramid() const { return false; }
    // A pyramid's levels and tiles for an image of that format, and the bytes its writer keeps
    // besides the caller's bands; all 0 for a single image.
    struct PyramidPlan
    {
        int levels = 0;
        long long tiles = 0;
        unsigned long long bufferBytes = 0;
    };
    virtual PyramidPlan PlanPyramid(const RasterFormat&) const { return {}; }
};

} // namespace Codecs
