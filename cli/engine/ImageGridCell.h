#pragma once

#include "engine/DecodedTile.h"
#include "engine/GridLayout.h"
#include "misc/Object.h"

#include <memory>
#include <optional>
#include <string>

namespace Magick {
class Color;
class Image;
} // namespace Magick

namespace Engine {

class ImageGrid;

// One input image of the grid at its final row and column. Pinging keeps only what the layout and
// the output need to know (size, depth, alpha, grey); the pixels exist only between ReadImage and
// ReleaseImage. Failures leave the cell's last error text. Cells may be read on several threads at
// once, each cell by one thread at a time.
class ImageGridCell : public Object
{
public:
    ImageGridCell(ImageGrid* pGrid, const std::string& strFile, int nRow, int nColumn);
    ~ImageGridCell() override;

    const std::string& GetFile() const { return m_file; }
    int GetRow() const { return m_row; }
    int GetColumn() const { return m_column; }
    bool HasImage() const { return m_image != nullptr; }
    // Only valid while HasImage().
    Magick::Image& GetImage() const { return *m_image; }
    // A directly decoded tile instead of the library's image; only valid while HasTile().
    bool HasTile() const { return m_tile != nullptr; }
    const DecodedTile& GetTile() const { return *m_tile; }

    // What pinging found; zero size and depth before.
    const ImageSize& GetSize() const { return m_size; }
    size_t GetDepth() const { return m_depth; }
    // Unknown alpha counts as alpha.
    bool HasAlpha() const { return m_alpha.value_or(true); }
    bool IsAlphaKnown() const { return m_alpha.has_value(); }
    bool IsGrey() const { return m_grey; }
    // True when the file is read by the library one file at a time per process, so reading it
    // beside another one gains nothing; bDirect when a direct decoder may read it instead.
    bool IsReadOneAtATime(bool bDirect) const { return m_pngCoder && !(bDirect && m_directlyDecodable); }
    // The bytes the decoded pixels take: the library's 8 a pixel, or the file's own samples.
    unsigned long long GetDecodedBytes(bool bDirect) const;

    void CreateImage();
    bool PingImage();
    enum class ReadResult {
        Read,
        Failed,
        // The file is not the one pinged (another size) or declares too many pixels; the last
        // error says so, naming it.
        Refused,
    };
    // The pixels in RGB (or grey): other colour models, such as CMYK, are converted to sRGB.
    // bDirect lets a direct decoder read the file where the chooser allows it, to the same samples.
    ReadResult ReadImage(bool bDirect);
    void ReleaseImage();
    // Turns the pixels upright from the EXIF orientation the ping found.
    void TurnUpright();
    // What the library said of damaged or missing data it read past; empty when the file was whole.
    const std::string& GetReadWarning() const { return m_readWarning; }

    void MakeTransparent(const Magick::Color& color);
    // Keeps the nWidth x nHeight block at (column * nWidth, row * nHeight). False when that block
    // starts outside the image, which would leave nothing to place.
    bool ExtractRegion(int nWidth, int nHeight);
    // Cuts nOverlap pixels from every side that faces another row or column. False when nothing
    // of the image would remain.
    bool TrimOverlap(int nOverlap, int nColumns, int nRows);

private:
    bool LoadImage(bool bPixels);
    // Read when the file was read without the library, Failed when the library is to read it.
    ReadResult DecodeDirectly();
    int GetWidth() const;
    int GetHeight() const;
    void KeepBlock(int nX, int nY, int nWidth, int nHeight);

    ImageGrid* m_grid;
    std::string m_file;
    int m_column;
    int m_row;
    std::unique_ptr<Magick::Image> m_image;
    std::unique_ptr<DecodedTile> m_tile;
    ImageSize m_size;
    ImageSize m_storedSize; // before any turn upright
    int m_orientation = 0;  // EXIF orientation, 0 unknown
    bool m_directlyDecodable = false;
    size_t m_depth = 0;
    std::optional<bool> m_alpha = false;
    bool m_grey = false;
    bool m_pngCoder = false;
    std::string m_readWarning;
};

} // namespace Engine
