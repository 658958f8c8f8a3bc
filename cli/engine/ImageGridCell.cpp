#include "engine/ImageGridCell.h"

#include "codecs/TileDecoders.h"
#include "engine/AlphaBeforeDecoding.h"
#include "engine/ImageGrid.h"
#include "engine/ImagePixelLimit.h"
#include "engine/Orientation.h"
#include "misc/Format.h"
#include "misc/RegularFile.h"

#include <Magick++.h>

namespace Engine {

namespace {
// Colour spaces whose channels the canvas can take as they are. Any other model (CMYK, Lab, ...)
// keeps different quantities in the same channels and would be composed as wrong colours.
bool HoldsRgbChannels(Magick::ColorspaceType colorSpace)
{
    switch (colorSpace) {
    case Magick::UndefinedColorspace:
    case Magick::RGBColorspace:
    case Magick::GRAYColorspace:
    case MagickCore::LinearGRAYColorspace: // linear grey keeps its samples as linear RGB does
    case Magick::TransparentColorspace:
    case Magick::sRGBColorspace:
        return true;
    default:
        return false;
    }
}

// ImageMagick's PNG coder (the PNG, MNG and JNG formats) holds one process-wide lock for the whole
// of each read, so two of its reads never run at once.
bool IsPngCoder(const std::string& strMagick)
{
    return strMagick.rfind("PNG", 0) == 0 || strMagick == "MNG" || strMagick == "JNG";
}
// The library's words without the program name before them and the file and source location
// after: "tesscli: Premature end of JPEG file `x.jpg' @ warning/..." says "Premature end of JPEG file".
std::string ReasonOf(const std::string& strMessage)
{
    const size_t nStart = strMessage.find(": ");
    std::string strReason = nStart == std::string::npos ? strMessage : strMessage.substr(nStart + 2);
    return strReason.substr(0, strReason.find(" `"));
}
} // namespace

ImageGridCell::ImageGridCell(ImageGrid* pGrid, const std::string& strFile, int nRow, int nColumn)
    : m_grid(pGrid), m_file(strFile), m_column(nColumn), m_row(nRow)
{}

ImageGridCell::~ImageGridCell() = default;

void ImageGridCell::CreateImage()
{
    m_image = std::make_unique<Magick::Image>();
}

bool ImageGridCell::PingImage()
{
    // Refused before the library opens the file or decodes a single pixel of it.
    std::string strError;
    if (!Misc::CheckRegularFile(m_file, strError)) {
        SetLastError("%s", strError.c_str());
        return false;
    }
    ImagePixelLimit limit;
    if (!limit.AdmitsDeclaredSize(m_file)) {
        SetLastError("%s", limit.GetLastError().c_str());
        return false;
    }
    CreateImage();
    bool bPinged = LoadImage(false);
    if (bPinged) {
        m_size = LayoutSize(*m_image, m_grid->IsAutoOriented());
        m_storedSize = ImageSize{static_cast<int>(m_image->columns()), static_cast<int>(m_image->rows())};
        m_orientation = static_cast<int>(m_image->orientation());
        m_depth = m_image->depth();
        m_alpha = AlphaBeforeDecoding(*m_image, m_file);
        m_grey = m_image->colorSpace() == Magick::GRAYColorspace
                 || m_image->colorSpace() == MagickCore::LinearGRAYColorspace;
        m_pngCoder = IsPngCoder(m_image->magick());
        m_directlyDecodable = Codecs::ChooseTileDecoder(m_file) != nullptr;
        bPinged = limit.Admits(m_file, m_image->columns(), m_image->rows());
        if (!bPinged)
            SetLastError("%s", limit.GetLastError().c_str());
    }
    // A ping image still holds the file's profiles and properties: on a big grid of small tiles
    // these add up to far more than the canvas.
    ReleaseImage();
    return bPinged;
}

unsigned long long ImageGridCell::GetDecodedBytes(bool bDirect) const
{
    const unsigned long long nPixels = static_cast<unsigned long long>(m_size.width) * m_size.height;
    if (!(bDirect && m_directlyDecodable))
        return 8 * nPixels;
    const unsigned long long nChannels = (m_grey ? 1 : 3) + (HasAlpha() ? 1 : 0);
    return nPixels * nChannels * (m_depth > 8 ? 2 : 1);
}

ImageGridCell::ReadResult ImageGridCell::ReadImage(bool bDirect)
{
    ReleaseImage();
    m_readWarning.clear();
    SetLastError("%s", "");
    // Checked again: a FIFO put in the file's place since its ping would block the reader.
    std::string strError;
    if (!Misc::CheckRegularFile(m_file, strError)) {
        SetLastError("%s", strError.c_str());
        return ReadResult::Refused;
    }
    if (bDirect && m_directlyDecodable) {
        const ReadResult result = DecodeDirectly();
        if (result != ReadResult::Failed)
            return result;
    }
    CreateImage();
    if (!LoadImage(true))
        return ReadResult::Failed;
    const int nWidth = static_cast<int>(m_image->columns());
    const int nHeight = static_cast<int>(m_image->rows());
    const bool bPinged = m_storedSize.width > 0;
    if (bPinged && (nWidth != m_storedSize.width || nHeight != m_storedSize.height)) {
        // Placed as it is, a replaced file would be clipped or leave a gap without a word.
        SetLastError("The image %s changed since it was checked: %ix%i instead of %ix%i",
                     Misc::Printable(m_file).c_str(), nWidth, nHeight, m_storedSize.width, m_storedSize.height);
        return ReadResult::Refused;
    }
    try {
        if (!HoldsRgbChannels(m_image->colorSpace()))
            m_image->colorSpace(Magick::sRGBColorspace);
    } catch (const Magick::Warning&) {
        // The pixels are converted all the same.
    } catch (const Magick::Exception& e) {
        SetLastError("%s", Misc::Printable(e.what()).c_str());
        return ReadResult::Failed;
    }
    return ReadResult::Read;
}

bool ImageGridCell::LoadImage(bool bPixels)
{
    if (!m_image)
        return false;
    try {
        if (bPixels)
            m_image->read(m_file);
        else
            m_image->ping(m_file);
    } catch (const Magick::Warning& e) {
        // Harmless oddities of a file (an unknown TIFF tag, a slightly short JPEG) come as
        // warnings with a usable image; some decoders also warn when they delivered nothing.
        if (m_image->columns() == 0 || m_image->rows() == 0) {
            SetLastError("%s", Misc::Printable(e.what()).c_str());
            return false;
        }
        // Data that ends early or is damaged still gives an image, which the user should hear of.
        if (bPixels && dynamic_cast<const Magick::WarningCorruptImage*>(&e))
            m_readWarning = ReasonOf(e.what());
    } catch (const Magick::Exception& e) {
        SetLastError("%s", Misc::Printable(e.what()).c_str());
        return false;
    }
    return true;
}

ImageGridCell::ReadResult ImageGridCell::DecodeDirectly()
{
    // Chosen again: the file may have changed since its ping. If it is no longer of a kind a
    // direct decoder takes, the library reads it.
    const std::unique_ptr<Codecs::TileDecoder> pDecoder = Codecs::ChooseTileDecoder(m_file);
    if (!pDecoder)
        return ReadResult::Failed;
    Codecs::TileExpectation expected;
    expected.width = m_storedSize.width;
    expected.height = m_storedSize.height;
    expected.maxPixels = ImagePixelLimit().GetLimit();
    Codecs::TileRaster raster;
    switch (pDecoder->Decode(expected, raster)) {
    case Codecs::TileDecoder::Outcome::Decoded:
        m_tile = std::make_unique<DecodedTile>(std::move(raster));
        return ReadResult::Read;
    case Codecs::TileDecoder::Outcome::Refused:
        SetLastError("%s", pDecoder->GetLastError().c_str());
        return ReadResult::Refused;
    case Codecs::TileDecoder::Outcome::LeftToImageMagick:
        break;
    }
    return ReadResult::Failed;
}

void ImageGridCell::ReleaseImage()
{
    m_image.reset();
    m_tile.reset();
}

void ImageGridCell::TurnUpright()
{
    if (m_tile)
        m_tile->TurnUpright(m_orientation);
    else if (m_image) {
        Engine::TurnUpright(*m_image);
        // The library's transverse leaves a page offset that would shift the region and overlap
        // cut from the upright image.
        m_image->page(Magick::Geometry(0, 0, 0, 0));
    }
}

int ImageGridCell::GetWidth() const
{
    return m_tile ? m_tile->GetWidth() : static_cast<int>(m_image->columns());
}

int ImageGridCell::GetHeight() const
{
    return m_tile ? m_tile->GetHeight() : static_cast<int>(m_image->rows());
}

void ImageGridCell::MakeTransparent(const Magick::Color& color)
{
    if (m_image)
        m_image->transparent(color);
}

bool ImageGridCell::ExtractRegion(int nWidth, int nHeight)
{
    if (!HasImage() && !HasTile())
        return true;
    const int nX = m_column * nWidth;
    const int nY = m_row * nHeight;
    const int nImageWidth = GetWidth();
    const int nImageHeight = GetHeight();
    if (nX >= nImageWidth || nY >= nImageHeight) {
        SetLastError("The region %ix%i at (%i, %i) lies outside the image %s (%ix%i)", nWidth, nHeight, nX, nY,
                     Misc::Printable(m_file).c_str(), nImageWidth, nImageHeight);
        return false;
    }
    KeepBlock(nX, nY, nWidth, nHeight);
    return true;
}

bool ImageGridCell::TrimOverlap(int nOverlap, int nColumns, int nRows)
{
    if ((!HasImage() && !HasTile()) || nOverlap < 1)
        return true;
    const int nLeft = m_column > 0 ? nOverlap : 0;
    const int nRight = m_column < nColumns - 1 ? nOverlap : 0;
    const int nTop = m_row > 0 ? nOverlap : 0;
    const int nBottom = m_row < nRows - 1 ? nOverlap : 0;
    const int nImageWidth = GetWidth();
    const int nImageHeight = GetHeight();
    // 64-bit, so that an overlap near the largest int cannot wrap around to a size.
    const long long nWidth = static_cast<long long>(nImageWidth) - nLeft - nRight;
    const long long nHeight = static_cast<long long>(nImageHeight) - nTop - nBottom;
    if (nWidth < 1 || nHeight < 1) {
        SetLastError("An overlap of %i pixels leaves nothing of the image %s (%ix%i)", nOverlap,
                     Misc::Printable(m_file).c_str(), nImageWidth, nImageHeight);
        return false;
    }
    if (nWidth < nImageWidth || nHeight < nImageHeight)
        KeepBlock(nLeft, nTop, static_cast<int>(nWidth), static_cast<int>(nHeight));
    return true;
}

// The block may reach past the image's right or bottom edge; the library clips it.
void ImageGridCell::KeepBlock(int nX, int nY, int nWidth, int nHeight)
{
    if (m_tile) {
        m_tile->Keep(nX, nY, nWidth, nHeight);
        return;
    }
    m_image->crop(Magick::Geometry(nWidth, nHeight, nX, nY));
    // The cut keeps its old position as a page offset; placement must start from its own corner.
    m_image->page(Magick::Geometry(0, 0, 0, 0));
}

} // namespace Engine
