#include "codecs/PyramidWriter.h"

namespace Codecs {

PyramidWriter::PyramidWriter(Tiling tiling, int nThreads) : m_tiling(tiling), m_threads(nThreads) {}

std::vector<PyramidGeometry::Size> PyramidWriter::LevelsOf(const RasterFormat& format) const
{
    return PyramidGeometry::LevelsDownToTile(format.width, format.height, m_tiling.lastSide);
}

ScanlineWriter::PyramidPlan PyramidWriter::PlanPyramid(const RasterFormat& format) const
{
    const std::vector<PyramidGeometry::Size> levels = LevelsOf(format);
    PyramidPlan plan;
    plan.levels = static_cast<int>(levels.size());
    plan.tiles = PyramidGeometry::TileCount(levels, m_tiling.tileSize);
    plan.bufferBytes = HalvingCascade::BufferBytes(levels, format.channels, m_tiling.tileSize, m_tiling.overlap);
    return plan;
}

bool PyramidWriter::Open()
{
    const RasterFormat& format = Format();
    if (format.bitDepth != 8 || (!KeepsAlpha() && format.channels % 2 == 0)) {
        SetLastError("Cannot write %i-bit tiles with %i channel(s) to %s", format.bitDepth, format.channels,
                     Path().c_str());
        return false;
    }
    m_levels = LevelsOf(format);
    if (!OpenLevels())
        return false;
    m_pool = std::make_unique<Threads::WorkerPool>(m_threads);
    m_cascade =
        std::make_unique<HalvingCascade>(m_levels, format.channels, m_tiling.tileSize, m_tiling.overlap,
                                         [this](const HalvingCascade::Band& band) { return WriteTileRow(band); });
    return true;
}

bool PyramidWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool, std::string& strError)
{
    if (m_cascade->AddRows(band.data(), nRows))
        return true;
    strError = TileRowError();
    return false;
}

bool PyramidWriter::FinishCascade()
{
    m_pool.reset();
    const bool bComplete = m_cascade && m_cascade->IsComplete();
    m_cascade.reset();
    return bComplete;
}

} // namespace Codecs
