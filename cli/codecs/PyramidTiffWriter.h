#pragma once

#include "codecs/PyramidWriter.h"
#include "codecs/TiffStreamWriter.h"

#include <string>
#include <vector>

typedef struct tiff TIFF;

namespace Codecs {

struct PyramidTiffSettings
{
    using Compression = TiffSettings::Compression;
    Compression compression = Compression::None;
    int zipQuality = 7;
    int jpegQuality = 75;
    int threads = 1;

    static constexpr int kTileSize = 256;
};

// Writes a tiled pyramidal TIFF as vips and slide viewers read it: the full size first, then
// each half-size level (HalvingCascade) as a reduced-resolution image (NEWSUBFILETYPE 1) in the
// same chain of directories, down to the first level that fits into one tile. libtiff writes one
// directory at a time, so the full size goes straight into the file while every smaller level is
// written as it completes into a spool file of its own beside it (".level<N>.tif", hidden in the
// folder the pyramid is built in); at the end their compressed tiles are copied into the file
// unchanged. Memory besides the two bands: 256 rows of every level; the spools take about a third
// of the file on the disk. Each tile row's tiles are compressed on every thread of a pool, each in
// a TIFF of its own in memory, and written raw into the file in order. BigTIFF when the file could
// pass the 4 GiB of a classic TIFF.
class PyramidTiffWriter : public PyramidWriter
{
public:
    explicit PyramidTiffWriter(PyramidTiffSettings settings);
    ~PyramidTiffWriter() override;

    std::string GetFormatName() const override { return "pyramidal TIFF"; }
    bool KeepsAlpha() const override { return m_settings.compression != PyramidTiffSettings::Compression::Jpeg; }
    long long GetMaxSide() const override { return 0xffffffffLL; }

    // The spool of level nLevel (1 and on) of the file strPath.
    static std::string SpoolPath(const std::string& strPath, size_t nLevel);

private:
    bool OpenLevels() override;
    bool WriteTileRow(const HalvingCascade::Band& band) override;
    std::string TileRowError() const override { return LibraryError(); }
    bool Close(bool bComplete) override;
    TIFF* OpenTiff(const std::string& strPath, const char* pszMode);
    bool SetFields(TIFF* pTiff, const PyramidGeometry::Size& size, bool bReduced) const;
    // One tile of 256x256 pixels compressed as the file's tiles are, on any thread; the JPEG
    // tables when pTables asks for them.
    bool CompressTile(const uint8_t* pTile, std::vector<uint8_t>& compressed, std::string& strError,
                      std::vector<uint8_t>* pTables) const;
    bool AppendSpooledLevels();
    bool CopyTiles(TIFF* pFrom, size_t nLevel);
    void CloseAll();
    std::string LibraryError() const;

    PyramidTiffSettings m_settings;
    std::vector<TIFF*> m_files;                     // the file itself for level 0, then the spools
    std::vector<std::vector<uint8_t>> m_compressed; // a tile row's tiles, in order
    std::string m_libraryMessage;
};

} // namespace Codecs
