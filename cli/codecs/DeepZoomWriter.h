#pragma once

#include "codecs/JpegSettings.h"
#include "codecs/PyramidWriter.h"

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
// name_files/<level>/<column>_<row>.<ext>, level 0 being 1x1 and the last the full size, one
// file a tile. The whole pyramid is meant to be built in a hidden folder and moved into place
// (ReplacingFolderWriter).
class DeepZoomWriter : public PyramidWriter
{
public:
    explicit DeepZoomWriter(DeepZoomSettings settings);
    ~DeepZoomWriter() override;

    std::string GetFormatName() const override { return "DeepZoom"; }
    bool KeepsAlpha() const override { return m_settings.png; }
    long long GetMaxSide() const override { return 0x7fffffff; }

    // The tiles folder of a descriptor path: name.dzi -> name_files.
    static std::string TilesFolder(const std::string& strDescriptor);
    // The descriptor's XML for an image of that size.
    static std::string Descriptor(const DeepZoomSettings& settings, int nWidth, int nHeight);

private:
    bool OpenLevels() override;
    bool WriteTileRow(const HalvingCascade::Band& band) override;
    std::string TileRowError() const override { return m_tileError; }
    bool Close(bool bComplete) override;
    bool WriteDescriptor();

    DeepZoomSettings m_settings;
    std::string m_tileError;
};

} // namespace Codecs
