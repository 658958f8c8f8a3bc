#pragma once

#include "codecs/BackgroundScanlineWriter.h"
#include "codecs/HalvingCascade.h"

#include <memory>
#include <string>
#include <vector>

namespace Codecs {

// What the pyramid writers (DeepZoom, pyramidal TIFF) share: 8-bit tiles, every smaller level made
// from the one above by a HalvingCascade on the background thread, and each level's tile rows
// handed to the writer, which encodes their tiles on every thread of the pool. Memory besides the
// two bands: a tile row and its overlap for every level (HalvingCascade::BufferBytes).
class PyramidWriter : public BackgroundScanlineWriter
{
public:
    int GetMaxBitDepth() const final { return 8; }
    bool WritesPyramid() const final { return true; }
    PyramidPlan PlanPyramid(const RasterFormat& format) const final;

protected:
    struct Tiling
    {
        int tileSize = 0;
        int overlap = 0;
        int lastSide = 1; // the levels end with the first whose sides are at most this
    };
    PyramidWriter(Tiling tiling, int nThreads);

    // Creates what the levels are written into; false with the last error set.
    virtual bool OpenLevels() = 0;
    // Encodes a tile row of a level; false with TileRowError saying why.
    virtual bool WriteTileRow(const HalvingCascade::Band& band) = 0;
    virtual std::string TileRowError() const = 0;
    // Ends the cascade and the pool; whether every level got all its rows.
    bool FinishCascade();

    // Full size first.
    const std::vector<PyramidGeometry::Size>& Levels() const { return m_levels; }
    Threads::WorkerPool& Pool() { return *m_pool; }

private:
    bool Open() final;
    bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) final;
    std::vector<PyramidGeometry::Size> LevelsOf(const RasterFormat& format) const;

    const Tiling m_tiling;
    const int m_threads;
    std::vector<PyramidGeometry::Size> m_levels;
    std::unique_ptr<HalvingCascade> m_cascade;
    std::unique_ptr<Threads::WorkerPool> m_pool;
};

} // namespace Codecs
