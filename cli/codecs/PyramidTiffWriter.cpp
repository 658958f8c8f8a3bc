#include "codecs/PyramidTiffWriter.h"

#include "codecs/TiffStreamWriter.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace Codecs {

namespace {
uint16_t CompressionTag(PyramidTiffSettings::Compression compression)
{
    switch (compression) {
    case PyramidTiffSettings::Compression::Lzw:
        return COMPRESSION_LZW;
    case PyramidTiffSettings::Compression::PackBits:
        return COMPRESSION_PACKBITS;
    case PyramidTiffSettings::Compression::Deflate:
        return COMPRESSION_ADOBE_DEFLATE;
    case PyramidTiffSettings::Compression::Jpeg:
        return COMPRESSION_JPEG;
    default:
        return COMPRESSION_NONE;
    }
}

int NoWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}
} // namespace

PyramidTiffWriter::PyramidTiffWriter(PyramidTiffSettings settings) : m_settings(settings) {}

PyramidTiffWriter::~PyramidTiffWriter()
{
    StopBackground();
    CloseAll();
}

int PyramidTiffWriter::OnLibraryError(TIFF*, void* pUser, const char* pszModule, const char* pszFormat,
                                      va_list arguments)
{
    char message[512];
    std::vsnprintf(message, sizeof message, pszFormat, arguments);
    static_cast<PyramidTiffWriter*>(pUser)->m_libraryMessage = std::string(pszModule ? pszModule : "") + ": " + message;
    return 1;
}

std::string PyramidTiffWriter::LibraryError() const
{
    return "Cannot write " + Path() + ": " + m_libraryMessage;
}

std::string PyramidTiffWriter::SpoolPath(const std::string& strPath, size_t nLevel)
{
    return (fs::path(strPath).parent_path() / (".level" + std::to_string(nLevel) + ".tif")).string();
}

ScanlineWriter::PyramidPlan PyramidTiffWriter::PlanPyramid(const RasterFormat& format) const
{
    const auto levels = PyramidGeometry::LevelsDownToTile(format.width, format.height, PyramidTiffSettings::kTileSize);
    PyramidPlan plan;
    plan.levels = static_cast<int>(levels.size());
    plan.tiles = PyramidGeometry::TileCount(levels, PyramidTiffSettings::kTileSize);
    plan.bufferBytes = HalvingCascade::BufferBytes(levels, format.channels, PyramidTiffSettings::kTileSize, 0);
    return plan;
}

TIFF* PyramidTiffWriter::OpenTiff(const std::string& strPath, const char* pszMode)
{
    TIFFOpenOptions* pOptions = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(pOptions, OnLibraryError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(pOptions, NoWarning, this);
    TIFF* pTiff = TIFFOpenExt(strPath.c_str(), pszMode, pOptions);
    TIFFOpenOptionsFree(pOptions);
    return pTiff;
}

bool PyramidTiffWriter::SetFields(TIFF* pTiff, const PyramidGeometry::Size& size, bool bReduced)
{
    const RasterFormat& format = Format();
    const uint16_t nCompression = CompressionTag(m_settings.compression);
    const bool bJpeg = nCompression == COMPRESSION_JPEG;
    const bool bColour = format.channels >= 3;
    uint16_t nPhotometric = bColour ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    // JPEG tiles in YCbCr with chroma halved, as vips writes them: a third of the size of RGB ones.
    if (bJpeg && bColour)
        nPhotometric = PHOTOMETRIC_YCBCR;
    bool bOk = TIFFSetField(pTiff, TIFFTAG_SUBFILETYPE, bReduced ? FILETYPE_REDUCEDIMAGE : 0)
               && TIFFSetField(pTiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(size.width))
               && TIFFSetField(pTiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(size.height))
               && TIFFSetField(pTiff, TIFFTAG_BITSPERSAMPLE, 8)
               && TIFFSetField(pTiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(format.channels))
               && TIFFSetField(pTiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
               && TIFFSetField(pTiff, TIFFTAG_PHOTOMETRIC, nPhotometric)
               && TIFFSetField(pTiff, TIFFTAG_COMPRESSION, nCompression)
               && TIFFSetField(pTiff, TIFFTAG_TILEWIDTH, PyramidTiffSettings::kTileSize)
               && TIFFSetField(pTiff, TIFFTAG_TILELENGTH, PyramidTiffSettings::kTileSize);
    if (bOk && format.channels % 2 == 0) {
        const uint16_t nExtra = EXTRASAMPLE_UNASSALPHA;
        bOk = TIFFSetField(pTiff, TIFFTAG_EXTRASAMPLES, 1, &nExtra);
    }
    if (bOk && (nCompression == COMPRESSION_LZW || nCompression == COMPRESSION_ADOBE_DEFLATE))
        bOk = TIFFSetField(pTiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (bOk && nCompression == COMPRESSION_ADOBE_DEFLATE)
        bOk = TIFFSetField(pTiff, TIFFTAG_ZIPQUALITY, m_settings.zipQuality);
    if (bOk && bJpeg) {
        bOk = TIFFSetField(pTiff, TIFFTAG_JPEGQUALITY, m_settings.jpegQuality);
        if (bOk && bColour)
            bOk = TIFFSetField(pTiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    return bOk;
}

bool PyramidTiffWriter::Open()
{
    const RasterFormat& format = Format();
    m_libraryMessage.clear();
    if (format.bitDepth != 8 || (!KeepsAlpha() && format.channels % 2 == 0)) {
        SetLastError("Cannot write %i-bit tiles with %i channel(s) to %s", format.bitDepth, format.channels,
                     Path().c_str());
        return false;
    }
    m_levels = PyramidGeometry::LevelsDownToTile(format.width, format.height, PyramidTiffSettings::kTileSize);
    // The smaller levels add a third at most.
    RasterFormat whole = format;
    whole.height = static_cast<int>(std::min<long long>(format.height * 4LL / 3 + 1, 0x7fffffff));
    const bool bBig = TiffStreamWriter::NeedsBigTiff(
        whole, m_settings.compression == PyramidTiffSettings::Compression::Lzw ? TiffSettings::Compression::Lzw
                                                                               : TiffSettings::Compression::None);
    for (size_t nLevel = 0; nLevel < m_levels.size(); ++nLevel) {
        TIFF* pTiff = OpenTiff(nLevel == 0 ? Path() : SpoolPath(Path(), nLevel), nLevel == 0 && !bBig ? "w" : "w8");
        if (pTiff)
            m_files.push_back(pTiff);
        if (!pTiff || !SetFields(pTiff, m_levels[nLevel], nLevel > 0)) {
            SetLastError("%s", LibraryError().c_str());
            CloseAll();
            return false;
        }
    }
    m_tile.assign(
        static_cast<size_t>(PyramidTiffSettings::kTileSize) * PyramidTiffSettings::kTileSize * format.channels, 0);
    m_cascade =
        std::make_unique<HalvingCascade>(m_levels, format.channels, PyramidTiffSettings::kTileSize, 0,
                                         [this](const HalvingCascade::Band& band) { return WriteTileRow(band); });
    return true;
}

bool PyramidTiffWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool, std::string& strError)
{
    if (m_cascade->AddRows(band.data(), nRows))
        return true;
    strError = LibraryError();
    return false;
}

bool PyramidTiffWriter::WriteTileRow(const HalvingCascade::Band& band)
{
    const int nSide = PyramidTiffSettings::kTileSize;
    const size_t nPixelBytes = static_cast<size_t>(Format().channels);
    const size_t nRowBytes = band.width * nPixelBytes;
    TIFF* pTiff = m_files[static_cast<size_t>(band.level)];
    for (int nLeft = 0; nLeft < band.width; nLeft += nSide) {
        const size_t nCopied = std::min(nSide, band.width - nLeft) * nPixelBytes;
        // Edge tiles are padded with black, as libtiff's readers expect whole tiles.
        if (nCopied < nSide * nPixelBytes || band.rows < nSide)
            std::fill(m_tile.begin(), m_tile.end(), 0);
        for (int nRow = 0; nRow < band.rows; ++nRow)
            std::memcpy(&m_tile[nRow * nSide * nPixelBytes], band.pixels + nRow * nRowBytes + nLeft * nPixelBytes,
                        nCopied);
        const uint32_t nTile =
            TIFFComputeTile(pTiff, static_cast<uint32_t>(nLeft), static_cast<uint32_t>(band.top), 0, 0);
        if (TIFFWriteEncodedTile(pTiff, nTile, m_tile.data(), static_cast<tmsize_t>(m_tile.size())) < 0)
            return false;
    }
    return true;
}

bool PyramidTiffWriter::CopyTiles(TIFF* pFrom, size_t nLevel)
{
    TIFF* pTo = m_files[0];
    if (!TIFFWriteDirectory(pTo) || !SetFields(pTo, m_levels[nLevel], true))
        return false;
    // The tiles stay as encoded; JPEG ones need the tables they were encoded with.
    uint32_t nTables = 0;
    void* pTables = nullptr;
    if (TIFFGetField(pFrom, TIFFTAG_JPEGTABLES, &nTables, &pTables)
        && !TIFFSetField(pTo, TIFFTAG_JPEGTABLES, nTables, pTables))
        return false;
    std::vector<uint8_t> raw;
    for (uint32_t nTile = 0; nTile < TIFFNumberOfTiles(pFrom); ++nTile) {
        raw.resize(static_cast<size_t>(TIFFGetStrileByteCount(pFrom, nTile)));
        if (TIFFReadRawTile(pFrom, nTile, raw.data(), static_cast<tmsize_t>(raw.size())) < 0
            || TIFFWriteRawTile(pTo, nTile, raw.data(), static_cast<tmsize_t>(raw.size())) < 0)
            return false;
    }
    return true;
}

bool PyramidTiffWriter::AppendSpooledLevels()
{
    for (size_t nLevel = 1; nLevel < m_levels.size(); ++nLevel) {
        // Written out and read back: the spool's directory holds its tiles' places.
        if (!TIFFFlush(m_files[nLevel]))
            return false;
        TIFFClose(m_files[nLevel]);
        m_files[nLevel] = OpenTiff(SpoolPath(Path(), nLevel), "r");
        if (!m_files[nLevel] || !CopyTiles(m_files[nLevel], nLevel))
            return false;
        TIFFClose(m_files[nLevel]);
        m_files[nLevel] = nullptr;
        std::remove(SpoolPath(Path(), nLevel).c_str());
    }
    return TIFFFlush(m_files[0]);
}

void PyramidTiffWriter::CloseAll()
{
    for (TIFF* pTiff : m_files)
        if (pTiff)
            TIFFClose(pTiff);
    m_files.clear();
    m_cascade.reset();
}

bool PyramidTiffWriter::Close(bool bComplete)
{
    bool bOk = bComplete && m_cascade && m_cascade->IsComplete();
    if (bOk && !AppendSpooledLevels()) {
        SetLastError("%s", LibraryError().c_str());
        bOk = false;
    }
    CloseAll();
    if (bComplete && !bOk && m_libraryMessage.empty())
        SetLastError("The pyramid of %s is incomplete", Path().c_str());
    return bOk;
}

} // namespace Codecs
