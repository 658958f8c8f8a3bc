#pragma once

#include "engine/GridLayout.h"
#include "engine/ImageGridCell.h"
#include "misc/Matrix.h"

#include <functional>
#include <memory>
#include <string>

namespace Data { class DataSet; }
namespace Magick { class Color; class Geometry; class Image; }

namespace Engine {

// The grid of one run: creates its cells from the data set, pings the images for the layout,
// composes them one at a time onto the canvas and saves the result. Owns its cells.
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
    void ApplyOutputOptions();
    bool CutCellImage(ImageGridCell* pCell);
    bool IsStacked() const;
    bool IsAutoOriented() const;

    Data::DataSet* m_pDataSet = nullptr;
    std::unique_ptr<Magick::Image> m_compoundImage;
    GridLayout m_layout;
    size_t m_imageDepth = 8;
    Printer m_printer;
};

} // namespace Engine
