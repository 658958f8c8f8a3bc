#include "engine/ImageGrid.h"

#include "codecs/ReplacingFileWriter.h"
#include "codecs/ReplacingFolderWriter.h"
#include "codecs/StreamingWriters.h"
#include "data/DataSet.h"
#include "data/ImageCompressions.h"
#include "engine/CanvasLimits.h"
#include "engine/ImageFileProducer.h"
#include "misc/Format.h"
#include "misc/InterruptCleanup.h"
#include "threads/WorkerThreads.h"

#include <Magick++.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace Engine {

using Data::DataSet;

namespace {
void PrintToStandardOutput(const std::string& strText)
{
    std::fwrite(strText.data(), 1, strText.size(), stdout);
    std::fflush(stdout);
}

using MagickCore::Quantum; // QuantumRange names it unqualified

// An opaque library colour: the alpha is deliberately not carried over. 0 and 255 stay no and
// full intensity whatever the library's quantum depth.
Magick::Color ToImageColor(const Misc::Color& color)
{
    const auto toQuantum = [](unsigned int nComponent) {
        return static_cast<Magick::Quantum>(nComponent * static_cast<double>(QuantumRange) / 255.0 + 0.5);
    };
    return Magick::Color(toQuantum(color.GetRed()), toQuantum(color.GetGreen()), toQuantum(color.GetBlue()));
}

// Writes the output through Replacing (a single file, or a pyramid's folder); false with its error.
template <class Replacing>
bool WriteReplacing(const std::string& strOutput, const Codecs::ReplacingFileWriter::Producer& produce,
                    std::string& strError)
{
    Replacing replacing(strOutput);
    if (replacing.Write(produce))
        return true;
    strError = replacing.GetLastError();
    return false;
}
} // namespace

ImageGrid::ImageGrid() : m_printer(PrintToStandardOutput) {}

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
    m_dataSet = pDataSet;
    return true;
}

ImageGridCell* ImageGrid::GetImageCell(int nRow, int nColumn) const
{
    const Cell* pCell = GetCell(nRow, nColumn);
    return pCell ? pCell->GetValue() : nullptr;
}

bool ImageGrid::IsStacked() const
{
    return m_dataSet->IsSet(DataSet::FieldStackImages) && m_dataSet->GetStackImages();
}

bool ImageGrid::IsAutoOriented() const
{
    return m_dataSet->IsSet(DataSet::FieldAutoOrient) && m_dataSet->GetAutoOrient();
}

bool ImageGrid::CreateGrid()
{
    const auto [nColumns, nRows] = m_dataSet->GetGridExtent();
    if (nColumns < 1 || nRows < 1) {
        SetLastError("The grid needs at least one row and one column (got %i row(s), %i column(s))", nRows, nColumns);
        return false;
    }
    Resize(nRows, nColumns);

    const int nCorner = m_dataSet->IsSet(DataSet::FieldGridStartPosition) ? m_dataSet->GetGridStartPosition() : 0;
    const bool bFromRight = nCorner == 1 || nCorner == 3;
    const bool bFromBottom = nCorner == 2 || nCorner == 3;
    // The first entry for a position decides it, an empty one included. Only the entries are
    // visited, so the cost follows the files, not the number of grid positions.
    std::set<std::pair<int, int>> decided;
    for (const Data::InputFile& entry : m_dataSet->GetInputFiles().GetEntries()) {
        if (entry.row < 0 || entry.row >= nRows || entry.column < 0 || entry.column >= nColumns)
            continue;
        if (!decided.insert({entry.row, entry.column}).second || entry.empty)
            continue;
        const int nTargetRow = bFromBottom ? nRows - 1 - entry.row : entry.row;
        const int nTargetColumn = bFromRight ? nColumns - 1 - entry.column : entry.column;
        // The corner mapping is one-to-one, so the target position is still free.
        SetValue(nTargetRow, nTargetColumn, new ImageGridCell(this, entry.fileName, nTargetRow, nTargetColumn));
    }
    return true;
}

std::string ImageGrid::GetDimensionsText() const
{
    return Misc::Format("    Grid dimensions: %i row(s), %i column(s)\n", GetRowCount(), GetColumnCount());
}

bool ImageGrid::PreloadImages()
{
    bool bPinged = true;
    ForEachCell([&](ImageGridCell& cell) {
        if (!bPinged)
            return;
        Print(Misc::Format("    %s... ", Misc::Printable(cell.GetFile()).c_str()));
        bPinged = cell.PingImage();
        Print(bPinged ? "done\n" : "failed\n");
        if (!bPinged)
            SetLastError("%s", cell.GetLastError().c_str());
    });
    if (!bPinged)
        return false;
    CalculateLayout();
    return true;
}

void ImageGrid::CalculateLayout()
{
    LayoutCuts cuts;
    if (m_dataSet->IsSet(DataSet::FieldRegionSize)) {
        cuts.regionWidth = m_dataSet->GetRegionWidth();
        cuts.regionHeight = m_dataSet->GetRegionHeight();
    }
    if (m_dataSet->IsSet(DataSet::FieldOverlap))
        cuts.overlap = m_dataSet->GetOverlap();
    cuts.stack = IsStacked();

    std::vector<PlacedSize> sizes;
    m_imageDepth = 0;
    ForEachCell([&](const ImageGridCell& cell) {
        sizes.push_back(PlacedSize{cell.GetRow(), cell.GetColumn(), cell.GetSize()});
        m_imageDepth = std::max(m_imageDepth, cell.GetDepth());
    });
    // Without images to go by, the common 8 bits per channel.
    if (m_imageDepth == 0)
        m_imageDepth = 8;
    m_layout.Calculate(GetRowCount(), GetColumnCount(), sizes, cuts);
}

Magick::Color ImageGrid::GetBackgroundColor() const
{
    if (m_dataSet->IsSet(DataSet::FieldBackgroundColor))
        return ToImageColor(m_dataSet->GetBackgroundColor());
    return Magick::Color(0, 0, 0);
}

bool ImageGrid::CreateCompoundImage()
{
    const long long nWidth = m_layout.GetTotalWidth();
    const long long nHeight = m_layout.GetTotalHeight();
    if (nWidth < 1 || nHeight < 1) {
        SetLastError("The compound image would be empty (%lldx%lld pixels): no cell holds anything to show", nWidth,
                     nHeight);
        return false;
    }
    if (nWidth > INT_MAX || nHeight > INT_MAX) {
        SetLastError("The compound image of %lldx%lld pixels is larger than any image file can hold", nWidth, nHeight);
        return false;
    }
    std::unique_ptr<Codecs::ScanlineWriter> pWriter = ChooseStreamingWriter();
    if (!pWriter && Codecs::IsPyramidOutput(m_dataSet->GetOutputFile(), GetOutputOptions())) {
        SetLastError("The options of the pyramid %s are not valid: %s",
                     Misc::Printable(m_dataSet->GetOutputFile()).c_str(),
                     Codecs::PyramidOptionsHelp(m_dataSet->GetOutputFile()).c_str());
        return false;
    }
    return pWriter ? ComposeInBands(*pWriter) : ComposeWholeCanvas();
}

std::unique_ptr<Codecs::ScanlineWriter> ImageGrid::ChooseStreamingWriter() const
{
    std::unique_ptr<Codecs::ScanlineWriter> pWriter =
        Codecs::CreateStreamingWriter(m_dataSet->GetOutputFile(), GetOutputOptions());
    if (pWriter && pWriter->WritesPyramid())
        return pWriter;
    // Tests compare both paths on the same grids.
    if (std::getenv("TESSCLI_WHOLE_CANVAS"))
        return nullptr;
    // Bilevel, 12-bit or floating-point tiles make the library write a depth the writers do not
    // reproduce; only 8 and 16 bits a sample stream.
    if (m_imageDepth != 8 && m_imageDepth != 16)
        return nullptr;
    // The output's channels are fixed before the first tile is decoded.
    bool bAlphaKnown = true;
    ForEachCell([&](const ImageGridCell& cell) { bAlphaKnown = bAlphaKnown && cell.IsAlphaKnown(); });
    if (!bAlphaKnown)
        return nullptr;
    return pWriter;
}

ImageGrid::OutputPlan ImageGrid::PlanOutput() const
{
    // Measured: the library keeps 8 bytes a pixel for the canvas and for a decoded tile, and a
    // process starts at about 20 MiB. A streaming writer holds the band being composed and the
    // one being encoded, and the tiles read ahead.
    const unsigned long long nBase = 20ull << 20;
    const std::unique_ptr<Codecs::ScanlineWriter> pWriter = ChooseStreamingWriter();
    const bool bDirect = pWriter && DecodesDirectly();
    unsigned long long nLargestTile = 0;
    int nTallestRow = 0;
    ForEachCell([&](const ImageGridCell& cell) {
        nLargestTile = std::max(nLargestTile, cell.GetDecodedBytes(bDirect));
        nTallestRow = std::max(nTallestRow, m_layout.GetRowHeight(cell.GetRow()));
    });
    const unsigned long long nWidth = static_cast<unsigned long long>(m_layout.GetTotalWidth());
    const unsigned long long nHeight = static_cast<unsigned long long>(m_layout.GetTotalHeight());
    OutputPlan plan;
    if (!pWriter) {
        plan.writer = "ImageMagick, from the whole canvas";
        plan.peakBytes = nBase + 8 * nWidth * nHeight + 2 * nLargestTile;
        return plan;
    }
    const Codecs::RasterFormat format = GetRasterFormat(*pWriter);
    const unsigned long long nBandRows = IsStacked() ? nHeight : static_cast<unsigned long long>(nTallestRow);
    const unsigned long long nBand = nWidth * nBandRows * format.channels * (IsStacked() ? 2 : format.bitDepth / 8);
    plan.writer = "the streaming " + pWriter->GetFormatName() + " writer, "
                  + (IsStacked() ? "in one band" : "one grid row at a time");
    const Codecs::ScanlineWriter::PyramidPlan pyramid = pWriter->PlanPyramid(format);
    if (pyramid.levels > 0)
        plan.pyramid = Misc::Format("%i levels, %lld tiles", pyramid.levels, pyramid.tiles);
    plan.peakBytes = nBase + 2 * nBand + (2ull + GetReadAheadCount()) * nLargestTile + pyramid.bufferBytes;
    return plan;
}

Codecs::OutputOptions ImageGrid::GetOutputOptions() const
{
    Codecs::OutputOptions options;
    options.defines.push_back({"jpeg", "optimize-coding", "false"});
    if (m_dataSet->IsSet(DataSet::FieldCompression))
        options.compression = Data::ImageCompressions::Instance().GetName(m_dataSet->GetCompression());
    if (m_dataSet->IsSet(DataSet::FieldQuality))
        options.quality = m_dataSet->GetQuality();
    if (m_dataSet->IsSet(DataSet::FieldAttributes))
        options.attributes = m_dataSet->GetAttributes();
    if (m_dataSet->IsSet(DataSet::FieldExtraData))
        for (const auto& extra : m_dataSet->GetExtraData())
            options.defines.push_back({extra.format, extra.key, extra.value});
    return options;
}

bool ImageGrid::ComposeWholeCanvas()
{
    if (!CreateCanvas(Magick::Geometry(m_layout.GetTotalWidth(), m_layout.GetTotalHeight()), GetBackgroundColor()))
        return false;

    Print("    Combining images... [");
    bool bPlaced = true;
    ForEachCell([&](ImageGridCell& cell) {
        bPlaced = bPlaced
                  && PlaceCell(&cell, static_cast<int>(m_layout.GetColumnOffset(cell.GetColumn())),
                               static_cast<int>(m_layout.GetRowOffset(cell.GetRow())));
        if (bPlaced)
            Print("*");
    });
    if (!bPlaced) {
        Print("x] failed\n");
        ReleaseCompoundImage();
        return false;
    }
    Print("] done\n");
    PrintReadWarnings();

    const bool bSaved = SaveCompoundImage();
    ReleaseCompoundImage();
    return bSaved;
}

Codecs::RasterFormat ImageGrid::GetRasterFormat(const Codecs::ScanlineWriter& writer) const
{
    bool bGrey = true;
    bool bAlpha = m_dataSet->IsSet(DataSet::FieldTransparentColor);
    ForEachCell([&](const ImageGridCell& cell) {
        bGrey = bGrey && cell.IsGrey();
        // Known only once read: a pyramid, which takes any tiles, keeps room for it.
        bAlpha = bAlpha || cell.HasAlpha() || !cell.IsAlphaKnown();
    });
    const Magick::Color background = GetBackgroundColor();
    bGrey = bGrey && background.redQuantum() == background.greenQuantum()
            && background.redQuantum() == background.blueQuantum();
    // Blending over the opaque background leaves a stacked canvas opaque.
    bAlpha = bAlpha && !IsStacked() && writer.KeepsAlpha();

    Codecs::RasterFormat format;
    format.width = static_cast<int>(m_layout.GetTotalWidth());
    format.height = static_cast<int>(m_layout.GetTotalHeight());
    format.channels = (bGrey ? 1 : 3) + (bAlpha ? 1 : 0);
    // Bilevel or 4-bit tiles reach only a pyramid writer, which takes 8 bits.
    format.bitDepth = std::min(std::max(static_cast<int>(m_imageDepth), 8), writer.GetMaxBitDepth());
    return format;
}

bool ImageGrid::ComposeInBands(Codecs::ScanlineWriter& writer)
{
    const Codecs::RasterFormat format = GetRasterFormat(writer);
    if (!AdmitsCanvas(writer, format))
        return false;
    bool bComposed = false;
    bool bCellFailed = false;
    const auto produce = [&](const std::string& strTemporary, std::string& strError) {
        if (!writer.Begin(strTemporary, format)) {
            strError = writer.GetLastError();
            return false;
        }
        Print("    Combining images... [");
        if (!(IsStacked() ? ComposeStacked(writer, format) : ComposeRows(writer, format))) {
            Print("x] failed\n");
            writer.End();
            strError = GetLastError();
            bCellFailed = true;
            return false;
        }
        Print("] done\n");
        PrintReadWarnings();
        bComposed = true;
        Print(Misc::Format("    Saving to %s... ", Misc::Printable(m_dataSet->GetOutputFile()).c_str()));
        if (!writer.End()) {
            strError = writer.GetLastError();
            return false;
        }
        return true;
    };
    const std::string& strOutput = m_dataSet->GetOutputFile();
    std::string strSaveError;
    const bool bSaved = writer.WritesPyramid()
                            ? WriteReplacing<Codecs::ReplacingFolderWriter>(strOutput, produce, strSaveError)
                            : WriteReplacing<Codecs::ReplacingFileWriter>(strOutput, produce, strSaveError);
    if (bComposed)
        Print(bSaved ? "done\n" : "failed\n");
    // A cell's error is printable already and may hold a reason on a line of its own; the
    // writer's name the output as given.
    if (!bSaved && !bCellFailed)
        SetLastError("%s", Misc::Printable(strSaveError).c_str());
    return bSaved;
}

bool ImageGrid::AdmitsCanvas(const Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format)
{
    long long nMaxSide = writer.GetMaxSide();
    // Tests reach the ceiling with small images.
    if (const char* pTestCeiling = std::getenv("TESSCLI_TEST_MAX_SIDE"))
        nMaxSide = std::atoll(pTestCeiling);
    if (format.width <= nMaxSide && format.height <= nMaxSide)
        return true;
    SetLastError("The compound image of %ix%i pixels is larger than the %s format allows (%lld pixels a side)",
                 format.width, format.height, writer.GetFormatName().c_str(), nMaxSide);
    return false;
}

PixelBand ImageGrid::CreateBand(const Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format, int nHeight,
                                int nBits) const
{
    const Magick::Color background = GetBackgroundColor();
    return PixelBand(format.width, nHeight, format.channels, nBits,
                     {background.redQuantum(), background.greenQuantum(), background.blueQuantum()},
                     writer.TruncatesTo8Bits());
}

bool ImageGrid::ComposeRows(Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format)
{
    // Cells come rows first: each row's band is written when the next row begins.
    std::optional<PixelBand> band;
    int nBandRow = -1;
    auto writeBand = [&] {
        if (!band || band->GetHeight() == 0 || band->WriteTo(writer, format.bitDepth))
            return true;
        SetLastError("%s", Misc::Printable(writer.GetLastError()).c_str());
        return false;
    };
    auto startRow = [&](const ImageGridCell& cell) {
        if (cell.GetRow() == nBandRow)
            return true;
        // Rows without images are empty and take no space, so bands follow each other.
        if (!writeBand())
            return false;
        band.reset();
        band.emplace(CreateBand(writer, format, m_layout.GetRowHeight(cell.GetRow()), format.bitDepth));
        nBandRow = cell.GetRow();
        return true;
    };
    const bool bComposed = ForEachPreparedCell(startRow, [&](ImageGridCell& cell) {
        const int nX = static_cast<int>(m_layout.GetColumnOffset(cell.GetColumn()));
        if (cell.HasTile())
            band->Copy(cell.GetTile(), nX, 0);
        else
            band->Copy(cell.GetImage(), nX, 0);
        return true;
    });
    return bComposed && writeBand();
}

bool ImageGrid::ComposeStacked(Codecs::ScanlineWriter& writer, const Codecs::RasterFormat& format)
{
    // Blending needs the library's full 16-bit quanta to round as it does.
    PixelBand band = CreateBand(writer, format, format.height, 16);
    auto nothingFirst = [](const ImageGridCell&) { return true; };
    const bool bPlaced = ForEachPreparedCell(nothingFirst, [&](ImageGridCell& cell) {
        if (cell.HasTile())
            band.Over(cell.GetTile(), 0, 0);
        else
            band.Over(cell.GetImage(), 0, 0);
        return true;
    });
    if (!bPlaced)
        return false;
    if (!band.WriteTo(writer, format.bitDepth)) {
        SetLastError("%s", Misc::Printable(writer.GetLastError()).c_str());
        return false;
    }
    return true;
}

int ImageGrid::GetReadAheadCount() const
{
    bool bAny = false;
    const bool bDirect = DecodesDirectly();
    ForEachCell([&](const ImageGridCell& cell) { bAny = bAny || !cell.IsReadOneAtATime(bDirect); });
    // Beyond a few, the tiles would come faster than a JPEG or TIFF encoder, which runs on one
    // thread, takes them, and would only wait in memory.
    const int nMostAhead = 4;
    const int nThreads = Threads::UsableThreadCount();
    return bAny && nThreads > 1 ? std::min(nThreads, nMostAhead) : 0;
}

bool ImageGrid::ForEachPreparedCell(const std::function<bool(const ImageGridCell&)>& before,
                                    const std::function<bool(ImageGridCell&)>& place)
{
    std::vector<ImageGridCell*> cells;
    ForEachCell([&](ImageGridCell& cell) { cells.push_back(&cell); });
    const bool bDirect = DecodesDirectly();
    Threads::RunAhead preparation(
        cells.size(),
        [&](size_t nIndex, std::string& strError) {
            try {
                return PrepareCell(cells[nIndex], bDirect, strError);
            } catch (const std::exception& e) {
                // Also on a worker thread, where nothing else would catch it.
                strError = Misc::Printable(e.what());
                return false;
            }
        },
        [&](size_t nIndex) { return !cells[nIndex]->IsReadOneAtATime(bDirect); }, GetReadAheadCount());
    for (size_t nIndex = 0; nIndex < cells.size(); ++nIndex) {
        if (!before(*cells[nIndex]))
            return false;
        std::string strError;
        if (!preparation.Take(nIndex, strError)) {
            SetLastError("%s", strError.c_str());
            return false;
        }
        if (!place(*cells[nIndex]))
            return false;
        KeepReadWarning(*cells[nIndex]);
        cells[nIndex]->ReleaseImage();
        Print("*");
        if (nIndex == 0)
            Misc::InterruptCleanup::StopPointForTests("composing");
    }
    return true;
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
        SetLastError("%s", limits.DescribeFailure(nWidth, nHeight, Misc::Printable(e.what())).c_str());
        return false;
    }
    return true;
}

void ImageGrid::ApplyOutputOptions()
{
    // Optimised Huffman tables make the JPEG encoder keep every coefficient of the image besides
    // the canvas, nearly doubling peak memory for files about 5% smaller. Extra data can ask for it.
    m_compoundImage->defineValue("jpeg", "optimize-coding", "false");
    if (m_dataSet->IsSet(DataSet::FieldCompression))
        m_compoundImage->compressType(static_cast<Magick::CompressionType>(m_dataSet->GetCompression()));
    if (m_dataSet->IsSet(DataSet::FieldQuality))
        m_compoundImage->quality(m_dataSet->GetQuality());
    if (m_dataSet->IsSet(DataSet::FieldAttributes))
        for (const auto& [strName, strValue] : m_dataSet->GetAttributes())
            m_compoundImage->attribute(strName, strValue);
    if (m_dataSet->IsSet(DataSet::FieldExtraData))
        for (const auto& extra : m_dataSet->GetExtraData())
            m_compoundImage->defineValue(extra.format, extra.key, extra.value);
}

bool ImageGrid::PlaceCell(ImageGridCell* pCell, int nX, int nY)
{
    std::string strError;
    if (!PrepareCell(pCell, false, strError)) {
        SetLastError("%s", strError.c_str());
        return false;
    }
    // Stacked images are blended so that their transparent parts let earlier layers through;
    // side by side, each image replaces its rectangle, its transparency included.
    const auto compose = IsStacked() ? Magick::OverCompositeOp : Magick::CopyCompositeOp;
    try {
        if (compose == Magick::CopyCompositeOp && pCell->GetImage().matte() && !m_compoundImage->matte())
            m_compoundImage->matte(true);
        m_compoundImage->composite(pCell->GetImage(), nX, nY, compose);
    } catch (const Magick::Exception& e) {
        SetLastError("%s", Misc::Printable(e.what()).c_str());
        return false;
    }
    KeepReadWarning(*pCell);
    pCell->ReleaseImage();
    return true;
}

void ImageGrid::KeepReadWarning(const ImageGridCell& cell)
{
    if (!cell.GetReadWarning().empty())
        m_readWarnings.push_back(Misc::Format("    Warning: %s is damaged or ends early; what could be read is "
                                              "composed (%s)\n",
                                              Misc::Printable(cell.GetFile()).c_str(),
                                              Misc::Printable(cell.GetReadWarning()).c_str()));
}

void ImageGrid::PrintReadWarnings()
{
    for (const std::string& strWarning : m_readWarnings)
        Print(strWarning);
    m_readWarnings.clear();
}

bool ImageGrid::DecodesDirectly() const
{
    // The library's key-colour matching stays with the library; tests compare both decoders.
    return !m_dataSet->IsSet(DataSet::FieldTransparentColor) && !std::getenv("TESSCLI_NO_DIRECT_DECODING");
}

bool ImageGrid::PrepareCell(ImageGridCell* pCell, bool bDirect, std::string& strError) const
{
    switch (pCell->ReadImage(bDirect)) {
    case ImageGridCell::ReadResult::Read:
        break;
    case ImageGridCell::ReadResult::Refused:
        strError = Misc::Printable(pCell->GetLastError());
        return false;
    case ImageGridCell::ReadResult::Failed:
        // The library's words (or the system's) say why: a damaged file, an exhausted pixel cache, a
        // full temporary disk.
        strError = Misc::WithReason(Misc::Format("Failed to load image %s", Misc::Printable(pCell->GetFile()).c_str()),
                                    Misc::WithoutSourceLocation(pCell->GetLastError()));
        return false;
    }
    try {
        // Upright first, so that regions and overlaps are cut from the image as it is seen.
        if (IsAutoOriented())
            pCell->TurnUpright();
        if (CutCellImage(pCell))
            return true;
        strError = pCell->GetLastError();
    } catch (const Magick::Exception& e) {
        strError = Misc::Printable(e.what());
    }
    return false;
}

bool ImageGrid::CutCellImage(ImageGridCell* pCell) const
{
    if (m_dataSet->IsSet(DataSet::FieldTransparentColor))
        pCell->MakeTransparent(ToImageColor(m_dataSet->GetTransparentColor()));
    if (m_dataSet->IsSet(DataSet::FieldRegionSize)
        && !pCell->ExtractRegion(m_dataSet->GetRegionWidth(), m_dataSet->GetRegionHeight()))
        return false;
    if (m_dataSet->IsSet(DataSet::FieldOverlap)
        && !pCell->TrimOverlap(m_dataSet->GetOverlap(), GetColumnCount(), GetRowCount()))
        return false;
    return true;
}

bool ImageGrid::SaveCompoundImage()
{
    const std::string& strTarget = m_dataSet->GetOutputFile();
    Print(Misc::Format("    Saving to %s... ", Misc::Printable(strTarget).c_str()));
    Codecs::ReplacingFileWriter writer(strTarget);
    const bool bSaved = writer.Write(ImageFileProducer(*m_compoundImage));
    Print(bSaved ? "done\n" : "failed\n");
    if (!bSaved)
        SetLastError("%s", Misc::Printable(writer.GetLastError()).c_str());
    return bSaved;
}

void ImageGrid::ReleaseCompoundImage()
{
    m_compoundImage.reset();
}

} // namespace Engine
