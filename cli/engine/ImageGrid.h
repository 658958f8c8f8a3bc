#pragma once

#include "codecs/ScanlineWriter.h"
#include "engine/GridLayout.h"
#include "engine/ImageGridCell.h"
#include "engine/PixelBand.h"
#include "misc/Matrix.h"

#include <functional>
#include <memory>
#include <string>

namespace Data {
class DataSet;
}
namespace Magick {
class Color;
class Geometry;
class Image;
} // namespace Magick

namespace Engine {

// The grid of one run: creates its cells from the data set, pings the images for the layout,
// composes them one at a time and saves the result. Owns its cells. Formats with a streaming
// writer are composed one grid row at a time and written as they go; others onto one canvas.
class ImageGrid : public Misc::Matrix<ImageGridCell*>
{
public:
    using Printer = std::function<void(const std::string&)>;

    ImageGrid();
    ~ImageGrid() override;

    // Progress lines go through here; standard output (flushed) until the driver sets its own.
    void SetPrinter(Printer printer) { m_printer = std::move(printer); }

    bool SetDataSet(Data::DataSet* pDataSet);
    bool CreateGrid();
    std::string GetDimensionsText() const;
    bool PreloadImages();
    void CalculateLayout();
    bool CreateCompoundImage();

    ImageGridCell* GetImageCell(int nRow, int nColumn) const;
    // Whether images are turned upright from their EXIF orientation (layout and pixels).
    bool IsAutoOriented() const;

    // How the output would be written, for a dry run: by which writer and with about how much
    // memory at the peak (the canvas or two bands, plus the largest tile as decoded).
    struct OutputPlan
    {
        std::string writer;
        std::string pyramid; // its levels and tiles, empty for a single image
        unsigned long long peakBytes = 0;
    };
    OutputPlan PlanOutput() const;
    const GridLayout& GetLayout() const { return m_layout; }

    Magick::Color GetBackgroundColor() const;
    bool CreateCanvas(const Magick::Geometry& size, const Magick::Color& color);
    bool PlaceCell(ImageGridCell* pCell, int nX, int nY);
    bool SaveCompoundImage();
    void ReleaseCompoundImage();

protected:
    void OnCellDestroyed(Cell* pCell) override;

private:
    void Print(const std::string& strText) const { m_printer(strText); }
    // The cells that hold an image, rows first.
    template <typename Visit>
    void ForEachCell(Visit visit) const
    {
        ForEachOccupied([&](int, int, const Cell& cell) { visit(*cell.GetValue()); });
    }

    // The one place that decides between the streaming writers and the whole canvas.
    std::unique_ptr<Codecs::ScanlineWriter> ChooseStreamingWriter() const;
    Codecs::OutputOptions GetOutputOptions() const;
    Codecs::RasterFormat GetRasterFormat(const Codecs::ScanlineWriter& writer) const;
    bool AdmitsCanvas(const Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format);
    bool ComposeInBands(Codecs::ScanlineWriter& writer);
    bool ComposeRows(Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format);
    bool ComposeStacked(Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format);
    PixelBand CreateBand(const Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format, int nHeight,
                         int nBits) const;
    bool ComposeWholeCanvas();
    void ApplyOutputOptions();
    // For each cell with an image, rows first: calls before, then place once the cell is
    // prepared (read ahead meanwhile on other threads where its decoder allows), then releases its
    // pixels and shows its star. before runs ahead of the wait, so that what it frees is free
    // before a tile read in turn takes its memory. False with the last error at the first cell
    // that fails or that a callback refuses.
    bool ForEachPreparedCell(const std::function<bool(const ImageGridCell&)>& before,
                             const std::function<bool(ImageGridCell&)>& place);
    // How many cells are read ahead of their placement: none on one thread or when every tile's
    // decoder reads one file at a time.
    int GetReadAheadCount() const;
    // Whether the streaming path reads tiles with the direct decoders where they can.
    bool DecodesDirectly() const;
    // Reads the cell's pixels (bDirect: with a direct decoder where one can) and applies the key
    // colour, the region and the overlap. Touches nothing but the cell, so cells can be prepared
    // on several threads at once.
    bool PrepareCell(ImageGridCell* pCell, bool bDirect, std::string& strError) const;
    bool CutCellImage(ImageGridCell* pCell) const;
    bool IsStacked() const;
    // Keeps the cell's read warning for PrintReadWarnings, in the order the cells are placed.
    void KeepReadWarning(const ImageGridCell& cell);
    void PrintReadWarnings();

    Data::DataSet* m_dataSet = nullptr;
    std::unique_ptr<Magick::Image> m_compoundImage;
    GridLayout m_layout;
    size_t m_imageDepth = 8;
    Printer m_printer;
    std::vector<std::string> m_readWarnings;
};

} // namespace Engine
