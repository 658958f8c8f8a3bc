#pragma once

#include "codecs/BackgroundScanlineWriter.h"
#include "codecs/HalvingCascade.h"
#include "codecs/JpegSettings.h"

#include <memory>
#include <string>

namespace Codecs {

struct DeepZoomSettings
{
    int tileSize = 254;
    int overlap = 1;
    bool png = false;  // PNG tiles instead of JPEG ones
    JpegSettings jpeg; // for JPEG tiles
    int threads = 1;

    static constexpr int kMaxTileSize = 8192;
    const char* Extension() const { return png ? "png" : "jpg"; }
};

// Writes a DeepZoom pyramid: the descriptor at the path given (name.dzi) and the tiles in
// name_files/<level>/<column>_<row>.<ext>, level 0 being 1x1 and the last the full size. The
// rows go through a HalvingCascade on the background thread; each tile row of each level is
// encoded on every thread of a pool, one file a tile. Memory besides the two bands: a tile row
// and its overlap for every level (HalvingCascade::BufferBytes). The whole pyramid is meant to be
// built in a hidden folder and moved into place (ReplacingFolderWriter).
class DeepZoomWriter : public BackgroundScanlineWriter
{
public:
    explicit DeepZoomWriter(DeepZoomSettings settings);
    ~DeepZoomWriter() override;

    std::string GetFormatName() const override { return "DeepZoom"; }
    int GetMaxBitDepth() const override { return 8; }
    bool KeepsAlpha() const override { return m_settings.png; }
    long long GetMaxSide() const override { return 0x7fffffff; }
    bool WritesPyramid() const override { return true; }
    PyramidPlan PlanPyramid(const RasterFormat& format) const override;

    // The tiles folder of a descriptor path: name.dzi -> name_files.
    static std::string TilesFolder(const std::string& strDescriptor);
    // The descriptor's XML for an image of that size.
    static std::string Descriptor(const DeepZoomSettings& settings, int nWidth, int nHeight);

protected:
    bool Open() override;
    bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) override;
    bool Close(bool bComplete) override;

private:
    bool WriteTileRow(const HalvingCascade::Band& band);
    bool WriteDescriptor();

    DeepZoomSettings m_settings;
    std::vector<PyramidGeometry::Size> m_levels;
    std::unique_ptr<HalvingCascade> m_cascade;
    std::unique_ptr<Threads::WorkerPool> m_pool;
    std::string m_tileError;
};

} // namespace Codecs
