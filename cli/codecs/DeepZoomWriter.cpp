#include "codecs/DeepZoomWriter.h"

#include "codecs/DeepZoomViewerPage.h"
#include "codecs/TileFileEncoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace Codecs {

DeepZoomWriter::DeepZoomWriter(DeepZoomSettings settings)
    : PyramidWriter({settings.tileSize, settings.overlap, 1}, settings.threads), m_settings(std::move(settings))
{}

DeepZoomWriter::~DeepZoomWriter()
{
    StopBackground();
}

std::string DeepZoomWriter::TilesFolder(const std::string& strDescriptor)
{
    const fs::path descriptor(strDescriptor);
    return (descriptor.parent_path() / (descriptor.stem().string() + "_files")).string();
}

std::string DeepZoomWriter::Descriptor(const DeepZoomSettings& settings, int nWidth, int nHeight)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<Image xmlns=\"http://schemas.microsoft.com/deepzoom/2008\" Format=\"%s\" Overlap=\"%d\" "
                  "TileSize=\"%d\">\n  <Size Width=\"%d\" Height=\"%d\"/>\n</Image>\n",
                  settings.Extension(), settings.overlap, settings.tileSize, nWidth, nHeight);
    return text;
}

bool DeepZoomWriter::OpenLevels()
{
    m_tileError.clear();
    const std::string strTiles = TilesFolder(Path());
    for (size_t nLevel = 0; nLevel < Levels().size(); ++nLevel) {
        std::error_code error;
        fs::create_directories(fs::path(strTiles) / std::to_string(nLevel), error);
        if (error) {
            SetLastError("Cannot create %s: %s", strTiles.c_str(), error.message().c_str());
            return false;
        }
    }
    return true;
}

bool DeepZoomWriter::WriteTileRow(const HalvingCascade::Band& band)
{
    const int nTileSize = m_settings.tileSize;
    const int nOverlap = m_settings.overlap;
    const int nChannels = Format().channels;
    const size_t nRowBytes = static_cast<size_t>(band.width) * nChannels;
    // The cascade's level 0 is the full size, DeepZoom's the 1x1 one.
    const fs::path folder =
        fs::path(TilesFolder(Path())) / std::to_string(Levels().size() - 1 - static_cast<size_t>(band.level));
    const size_t nColumns = (static_cast<size_t>(band.width) + nTileSize - 1) / nTileSize;
    std::mutex failure;
    Pool().ParallelFor(nColumns, [&](size_t nColumn) {
        const int nLeft = std::max(static_cast<int>(nColumn) * nTileSize - nOverlap, 0);
        const int nRight = std::min((static_cast<int>(nColumn) + 1) * nTileSize + nOverlap, band.width);
        TileFileEncoder::Tile tile;
        tile.first = band.pixels + static_cast<size_t>(nLeft) * nChannels;
        tile.stride = nRowBytes;
        tile.width = nRight - nLeft;
        tile.height = band.rows;
        tile.channels = nChannels;
        const std::string strPath =
            (folder / (std::to_string(nColumn) + "_" + std::to_string(band.tileRow) + "." + m_settings.Extension()))
                .string();
        std::string strError;
        const bool bWritten = m_settings.png ? TileFileEncoder::WritePng(strPath, tile, strError)
                                             : TileFileEncoder::WriteJpeg(strPath, tile, m_settings.jpeg, strError);
        if (!bWritten) {
            std::lock_guard<std::mutex> lock(failure);
            if (m_tileError.empty())
                m_tileError = strError;
        }
    });
    return m_tileError.empty();
}

bool DeepZoomWriter::WriteDescriptor()
{
    const std::string strText = Descriptor(m_settings, Format().width, Format().height);
    if (!OpenFile())
        return false;
    const bool bWritten = std::fwrite(strText.data(), 1, strText.size(), File()) == strText.size();
    if (!bWritten)
        SetLastError("Cannot write %s: %s", Path().c_str(), std::strerror(errno));
    return CloseFile(bWritten) && bWritten;
}

bool DeepZoomWriter::Close(bool bComplete)
{
    const bool bCascaded = FinishCascade();
    if (!bComplete)
        return false;
    if (!bCascaded) {
        SetLastError("The pyramid of %s is incomplete", Path().c_str());
        return false;
    }
    // The viewer page goes beside the descriptor in the hidden folder: the folder's move puts it in
    // place together with the pyramid.
    const DeepZoomLayout layout{Format().width, Format().height, m_settings.tileSize, m_settings.overlap,
                                m_settings.Extension()};
    DeepZoomViewerPage page;
    if (!page.Write(Path(), layout)) {
        SetLastError("%s", page.GetLastError().c_str());
        return false;
    }
    return WriteDescriptor();
}

} // namespace Codecs
