#include "engine/ImageGrid.h"

#include "data/DataSet.h"
#include "engine/CanvasLimits.h"
#include "engine/Orientation.h"
#include "engine/ReplacingFileWriter.h"
#include "misc/Format.h"

#include <Magick++.h>

#include <algorithm>
#include <cstdio>
#include <new>

namespace Engine {

using Data::DataSet;

namespace {
void PrintToStandardOutput(const std::string& strText)
{
    std::fwrite(strText.data(), 1, strText.size(), stdout);
    std::fflush(stdout);
}
} // namespace

ImageGrid::ImageGrid() : Misc::Matrix<ImageGridCell*>(nullptr), m_printer(PrintToStandardOutput) {}

ImageGrid::~ImageGrid()
{
    ReleaseCompoundImage();
    Clear();
}

void ImageGrid::OnCellDestroyed(Cell* pCell)
{
    delete pCell->GetValue();
}

bool ImageGrid::SetDataSet(DataSet* pDataSet)
{
    if (!pDataSet)
        return false;
    m_pDataSet = pDataSet;
    return true;
}

ImageGridCell* ImageGrid::GetImageCell(int nRow, int nColumn) const
{
    const Cell* pCell = GetCell(nRow, nColumn);
    return pCell ? pCell->GetValue() : nullptr;
}

bool ImageGrid::IsStacked() const
{
    return m_pDataSet->IsSet(DataSet::Flag_StackImages) && m_pDataSet->GetStackImages();
}

bool ImageGrid::IsAutoOriented() const
{
    return m_pDataSet->IsSet(DataSet::Flag_AutoOrient) && m_pDataSet->GetAutoOrient();
}

bool ImageGrid::CreateGrid()
{
    const auto [nColumns, nRows] = m_pDataSet->GetGridExtent();
    if (nColumns < 1 || nRows < 1) {
        SetLastError("The grid needs at least one row and one column (got %i row(s), %i column(s))", nRows, nColumns);
        return false;
    }
    try {
        Resize(nRows, nColumns);
    } catch (const std::bad_alloc&) {
        // A mistyped -grid (an extra zero or two) must end with a message, not an abort.
        Clear();
        SetLastError("Not enough memory for a grid of %i row(s) and %i column(s)", nRows, nColumns);
        return false;
    }

    const int nCorner = m_pDataSet->IsSet(DataSet::Flag_GridStartPosition) ? m_pDataSet->GetGridStartPosition() : 0;
    const bool bFromRight = nCorner == 1 || nCorner == 3;
    const bool bFromBottom = nCorner == 2 || nCorner == 3;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
            const Data::InputFile* pEntry = m_pDataSet->FindInputFile(nRow, nColumn);
            if (!pEntry || pEntry->empty)
                continue;
            const int nTargetRow = bFromBottom ? nRows - 1 - nRow : nRow;
            const int nTargetColumn = bFromRight ? nColumns - 1 - nColumn : nColumn;
            auto* pImageCell = new ImageGridCell(this, pEntry->fileName, nTargetRow, nTargetColumn);
            pImageCell->CreateImage();
            // The corner mapping is one-to-one, so the target cell is still empty.
            GetCell(nTargetRow, nTargetColumn)->SetValue(pImageCell);
        }
    }
    return true;
}

std::string ImageGrid::GetDimensionsText() const
{
    return Misc::Format("    Grid dimensions: %i row(s), %i column(s)\n", GetRowCount(), GetColumnCount());
}

bool ImageGrid::PreloadImages()
{
    for (int nRow = 0; nRow < GetRowCount(); ++nRow) {
        for (int nColumn = 0; nColumn < GetColumnCount(); ++nColumn) {
            ImageGridCell* pCell = GetImageCell(nRow, nColumn);
            if (!pCell || !pCell->HasImage())
                continue;
            Print(Misc::Format("    %s... ", pCell->GetFile().c_str()));
            if (!pCell->PingImage()) {
                Print("failed\n");
                return false;
            }
            Print("done\n");
        }
    }
    CalculateLayout();
    return true;
}

void ImageGrid::CalculateLayout()
{
    LayoutCuts cuts;
    if (m_pDataSet->IsSet(DataSet::Flag_RegionSize)) {
        cuts.regionWidth = m_pDataSet->GetRegionWidth();
        cuts.regionHeight = m_pDataSet->GetRegionHeight();
    }
    if (m_pDataSet->IsSet(DataSet::Flag_Overlap))
        cuts.overlap = m_pDataSet->GetOverlap();
    cuts.stack = IsStacked();

    std::vector<std::vector<std::optional<ImageSize>>> sizes(GetRowCount());
    m_imageDepth = 0;
    for (int nRow = 0; nRow < GetRowCount(); ++nRow) {
        for (int nColumn = 0; nColumn < GetColumnCount(); ++nColumn) {
            const ImageGridCell* pCell = GetImageCell(nRow, nColumn);
            if (!pCell || !pCell->HasImage()) {
                sizes[nRow].emplace_back();
                continue;
            }
            const Magick::Image& image = pCell->GetImage();
            sizes[nRow].push_back(LayoutSize(image, IsAutoOriented()));
            m_imageDepth = std::max(m_imageDepth, image.depth());
        }
    }
    // Without images to go by, the common 8 bits per channel.
    if (m_imageDepth == 0)
        m_imageDepth = 8;
    m_layout.Calculate(sizes, cuts);
}

Magick::Color ImageGrid::GetBackgroundColor() const
{
    if (m_pDataSet->IsSet(DataSet::Flag_BackgroundColor))
        return m_pDataSet->GetBackgroundColor().ToImageColor();
    return Magick::Color(0, 0, 0);
}

bool ImageGrid::CreateCompoundImage()
{
    const int nWidth = m_layout.GetTotalWidth();
    const int nHeight = m_layout.GetTotalHeight();
    if (!CreateCanvas(Magick::Geometry(nWidth, nHeight), GetBackgroundColor()))
        return false;

    Print("    Combining images... [");
    const bool bStacked = IsStacked();
    int nY = 0;
    for (int nRow = 0; nRow < GetRowCount(); ++nRow) {
        int nX = 0;
        for (int nColumn = 0; nColumn < GetColumnCount(); ++nColumn) {
            ImageGridCell* pCell = GetImageCell(nRow, nColumn);
            if (pCell && pCell->HasImage()) {
                if (!PlaceCell(pCell, bStacked ? 0 : nX, bStacked ? 0 : nY)) {
                    Print("x] failed\n");
                    ReleaseCompoundImage();
                    return false;
                }
                Print("*");
            }
            nX += m_layout.GetColumnWidths()[nColumn];
        }
        nY += m_layout.GetRowHeights()[nRow];
    }
    Print("] done\n");

    const bool bSaved = SaveCompoundImage();
    ReleaseCompoundImage();
    return bSaved;
}

bool ImageGrid::CreateCanvas(const Magick::Geometry& size, const Magick::Color& color)
{
    ReleaseCompoundImage();
    const int nWidth = static_cast<int>(size.width());
    const int nHeight = static_cast<int>(size.height());
    if (nWidth < 1 || nHeight < 1) {
        SetLastError("The compound image would be empty (%ix%i pixels): no cell holds anything to show", nWidth,
                     nHeight);
        return false;
    }
    CanvasLimits limits;
    if (!limits.Admits(nWidth, nHeight)) {
        SetLastError("%s", limits.GetLastError().c_str());
        return false;
    }
    try {
        m_compoundImage = std::make_unique<Magick::Image>(size, color);
        m_compoundImage->quiet(true);
        // As deep as the deepest input, so 8-bit tiles do not turn into a 16-bit result. The
        // canvas gets an alpha channel only once a cell brings transparency (PlaceCell): forced
        // alpha makes every opaque mosaic an RGBA file and its PNG encoding several times slower.
        m_compoundImage->depth(m_imageDepth);
        ApplyOutputOptions();
    } catch (const Magick::Exception& e) {
        m_compoundImage.reset();
        SetLastError("%s", limits.DescribeFailure(nWidth, nHeight, e.what()).c_str());
        return false;
    }
    return true;
}

void ImageGrid::ApplyOutputOptions()
{
    // Optimised Huffman tables make the JPEG encoder keep every coefficient of the image besides
    // the canvas, nearly doubling peak memory for files about 5% smaller. Extra data can ask for it.
    m_compoundImage->defineValue("jpeg", "optimize-coding", "false");
    if (m_pDataSet->IsSet(DataSet::Flag_Compression))
        m_compoundImage->compressType(static_cast<Magick::CompressionType>(m_pDataSet->GetCompression()));
    if (m_pDataSet->IsSet(DataSet::Flag_Quality))
        m_compoundImage->quality(m_pDataSet->GetQuality());
    if (m_pDataSet->IsSet(DataSet::Flag_Attributes))
        for (const auto& [strName, strValue] : m_pDataSet->GetAttributes())
            m_compoundImage->attribute(strName, strValue);
    if (m_pDataSet->IsSet(DataSet::Flag_ExtraData))
        for (const auto& extra : m_pDataSet->GetExtraData())
            m_compoundImage->defineValue(extra.format, extra.key, extra.value);
}

bool ImageGrid::PlaceCell(ImageGridCell* pCell, int nX, int nY)
{
    if (!pCell->ReadImage()) {
        SetLastError("Failed to load image %s", pCell->GetFile().c_str());
        return false;
    }
    // Stacked images are blended so that their transparent parts let earlier layers through;
    // side by side, each image replaces its rectangle, its transparency included.
    const auto compose = IsStacked() ? Magick::OverCompositeOp : Magick::CopyCompositeOp;
    try {
        if (IsAutoOriented())
            TurnUpright(pCell->GetImage());
        if (!CutCellImage(pCell))
            return false;
        if (compose == Magick::CopyCompositeOp && pCell->GetImage().matte() && !m_compoundImage->matte())
            m_compoundImage->matte(true);
        m_compoundImage->composite(pCell->GetImage(), nX, nY, compose);
    } catch (const Magick::Exception& e) {
        SetLastError("%s", e.what());
        return false;
    }
    pCell->ReleaseImage();
    return true;
}

bool ImageGrid::CutCellImage(ImageGridCell* pCell)
{
    if (m_pDataSet->IsSet(DataSet::Flag_TransparentColor))
        pCell->MakeTransparent(m_pDataSet->GetTransparentColor().ToImageColor());
    if (m_pDataSet->IsSet(DataSet::Flag_RegionSize)
        && !pCell->ExtractRegion(m_pDataSet->GetRegionWidth(), m_pDataSet->GetRegionHeight()))
        return false;
    if (m_pDataSet->IsSet(DataSet::Flag_Overlap)
        && !pCell->TrimOverlap(m_pDataSet->GetOverlap(), GetColumnCount(), GetRowCount()))
        return false;
    return true;
}

bool ImageGrid::SaveCompoundImage()
{
    const std::string& strTarget = m_pDataSet->GetOutputFile();
    Print(Misc::Format("    Saving to %s... ", strTarget.c_str()));
    ReplacingFileWriter writer(strTarget);
    const bool bSaved = writer.Write(*m_compoundImage);
    Print(bSaved ? "done\n" : "failed\n");
    if (!bSaved)
        SetLastError("%s", writer.GetLastError().c_str());
    return bSaved;
}

void ImageGrid::ReleaseCompoundImage()
{
    m_compoundImage.reset();
}

} // namespace Engine
