#include "codecs/PyramidTiffWriter.h"

#include "codecs/TiffStreamWriter.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace Codecs {

namespace {
// A TIFF in memory: libtiff's codecs compress one tile into it on a worker thread, and the tile's
// bytes are then written raw into the real file in order.
struct MemoryFile
{
    std::vector<uint8_t> bytes;
    toff_t position = 0;

    static MemoryFile& Of(thandle_t handle) { return *static_cast<MemoryFile*>(handle); }
    static tmsize_t Read(thandle_t handle, void* pData, tmsize_t nSize)
    {
        MemoryFile& file = Of(handle);
        const size_t nRead = std::min<size_t>(static_cast<size_t>(nSize),
                                              file.bytes.size() - std::min<size_t>(file.position, file.bytes.size()));
        std::memcpy(pData, file.bytes.data() + file.position, nRead);
        file.position += nRead;
        return static_cast<tmsize_t>(nRead);
    }
    static tmsize_t Write(thandle_t handle, void* pData, tmsize_t nSize)
    {
        MemoryFile& file = Of(handle);
        if (file.position + nSize > file.bytes.size())
            file.bytes.resize(file.position + nSize);
        std::memcpy(file.bytes.data() + file.position, pData, static_cast<size_t>(nSize));
        file.position += nSize;
        return nSize;
    }
    static toff_t Seek(thandle_t handle, toff_t nOffset, int nWhence)
    {
        MemoryFile& file = Of(handle);
        file.position =
            nWhence == SEEK_SET ? nOffset : (nWhence == SEEK_CUR ? file.position : file.bytes.size()) + nOffset;
        return file.position;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t handle) { return Of(handle).bytes.size(); }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}
};
} // namespace

PyramidTiffWriter::PyramidTiffWriter(PyramidTiffSettings settings)
    : PyramidWriter({PyramidTiffSettings::kTileSize, 0, PyramidTiffSettings::kTileSize}, settings.threads),
      m_settings(settings)
{}

PyramidTiffWriter::~PyramidTiffWriter()
{
    StopBackground();
    CloseAll();
}

std::string PyramidTiffWriter::LibraryError() const
{
    return "Cannot write " + Path() + ": " + m_libraryMessage;
}

std::string PyramidTiffWriter::SpoolPath(const std::string& strPath, size_t nLevel)
{
    return (fs::path(strPath).parent_path() / (".level" + std::to_string(nLevel) + ".tif")).string();
}

TIFF* PyramidTiffWriter::OpenTiff(const std::string& strPath, const char* pszMode)
{
    TIFFOpenOptions* pOptions = TiffStreamWriter::OpenOptionsKeepingErrors(m_libraryMessage);
    TIFF* pTiff = TIFFOpenExt(strPath.c_str(), pszMode, pOptions);
    TIFFOpenOptionsFree(pOptions);
    return pTiff;
}

bool PyramidTiffWriter::SetFields(TIFF* pTiff, const PyramidGeometry::Size& size, bool bReduced) const
{
    const RasterFormat& format = Format();
    const uint16_t nCompression = TiffStreamWriter::CompressionTag(m_settings.compression);
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
    bOk = bOk
          && TiffStreamWriter::SetAlphaAndPrediction(pTiff, format.channels, m_settings.compression,
                                                     m_settings.zipQuality);
    if (bOk && bJpeg) {
        bOk = TIFFSetField(pTiff, TIFFTAG_JPEGQUALITY, m_settings.jpegQuality);
        if (bOk && bColour)
            bOk = TIFFSetField(pTiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    return bOk;
}

bool PyramidTiffWriter::OpenLevels()
{
    const RasterFormat& format = Format();
    const std::vector<PyramidGeometry::Size>& levels = Levels();
    m_libraryMessage.clear();
    // The smaller levels add a third at most.
    RasterFormat whole = format;
    whole.height = static_cast<int>(std::min<long long>(format.height * 4LL / 3 + 1, 0x7fffffff));
    const bool bBig = TiffStreamWriter::NeedsBigTiff(whole, m_settings.compression);
    for (size_t nLevel = 0; nLevel < levels.size(); ++nLevel) {
        TIFF* pTiff = OpenTiff(nLevel == 0 ? Path() : SpoolPath(Path(), nLevel), nLevel == 0 && !bBig ? "w" : "w8");
        if (pTiff)
            m_files.push_back(pTiff);
        if (!pTiff || !SetFields(pTiff, levels[nLevel], nLevel > 0)) {
            SetLastError("%s", LibraryError().c_str());
            CloseAll();
            return false;
        }
    }
    // Every tile is compressed alike, so the JPEG tables of one serve them all.
    if (m_settings.compression == PyramidTiffSettings::Compression::Jpeg) {
        std::vector<uint8_t> tile(static_cast<size_t>(PyramidTiffSettings::kTileSize) * PyramidTiffSettings::kTileSize
                                  * format.channels);
        std::vector<uint8_t> tables, compressed;
        bool bTables = CompressTile(tile.data(), compressed, m_libraryMessage, &tables);
        for (TIFF* pTiff : m_files)
            bTables =
                bTables && TIFFSetField(pTiff, TIFFTAG_JPEGTABLES, static_cast<uint32_t>(tables.size()), tables.data());
        if (!bTables) {
            SetLastError("%s", LibraryError().c_str());
            CloseAll();
            return false;
        }
    }
    return true;
}

bool PyramidTiffWriter::CompressTile(const uint8_t* pTile, std::vector<uint8_t>& compressed, std::string& strError,
                                     std::vector<uint8_t>* pTables) const
{
    MemoryFile file;
    TIFFOpenOptions* pOptions = TiffStreamWriter::OpenOptionsKeepingErrors(strError);
    TIFF* pTiff = TIFFClientOpenExt("tile", "w", &file, MemoryFile::Read, MemoryFile::Write, MemoryFile::Seek,
                                    MemoryFile::Close, MemoryFile::Size, MemoryFile::Map, MemoryFile::Unmap, pOptions);
    TIFFOpenOptionsFree(pOptions);
    if (!pTiff)
        return false;
    const int nSide = PyramidTiffSettings::kTileSize;
    const tmsize_t nBytes = static_cast<tmsize_t>(nSide) * nSide * Format().channels;
    bool bOk = SetFields(pTiff, {nSide, nSide}, false)
               && TIFFWriteEncodedTile(pTiff, 0, const_cast<uint8_t*>(pTile), nBytes) >= 0;
    if (bOk) {
        const uint64_t nOffset = TIFFGetStrileOffset(pTiff, 0);
        const uint64_t nSize = TIFFGetStrileByteCount(pTiff, 0);
        compressed.assign(file.bytes.begin() + static_cast<std::ptrdiff_t>(nOffset),
                          file.bytes.begin() + static_cast<std::ptrdiff_t>(nOffset + nSize));
        uint32_t nTables = 0;
        void* pData = nullptr;
        if (pTables && TIFFGetField(pTiff, TIFFTAG_JPEGTABLES, &nTables, &pData))
            pTables->assign(static_cast<uint8_t*>(pData), static_cast<uint8_t*>(pData) + nTables);
    }
    TIFFClose(pTiff);
    return bOk;
}

bool PyramidTiffWriter::WriteTileRow(const HalvingCascade::Band& band)
{
    const int nSide = PyramidTiffSettings::kTileSize;
    const size_t nPixelBytes = static_cast<size_t>(Format().channels);
    const size_t nRowBytes = band.width * nPixelBytes;
    const size_t nColumns = (static_cast<size_t>(band.width) + nSide - 1) / nSide;
    m_compressed.resize(std::max(m_compressed.size(), nColumns));
    std::mutex failure;
    Pool().ParallelFor(nColumns, [&](size_t nColumn) {
        const int nLeft = static_cast<int>(nColumn) * nSide;
        const size_t nCopied = std::min(nSide, band.width - nLeft) * nPixelBytes;
        // Edge tiles are padded with black: readers expect whole tiles.
        std::vector<uint8_t> tile(static_cast<size_t>(nSide) * nSide * nPixelBytes, 0);
        for (int nRow = 0; nRow < band.rows; ++nRow)
            std::memcpy(&tile[nRow * nSide * nPixelBytes], band.pixels + nRow * nRowBytes + nLeft * nPixelBytes,
                        nCopied);
        std::string strError;
        if (!CompressTile(tile.data(), m_compressed[nColumn], strError, nullptr)) {
            std::lock_guard<std::mutex> lock(failure);
            m_libraryMessage = strError;
        }
    });
    if (!m_libraryMessage.empty())
        return false;
    TIFF* pTiff = m_files[static_cast<size_t>(band.level)];
    for (size_t nColumn = 0; nColumn < nColumns; ++nColumn) {
        const uint32_t nTile =
            TIFFComputeTile(pTiff, static_cast<uint32_t>(nColumn * nSide), static_cast<uint32_t>(band.top), 0, 0);
        std::vector<uint8_t>& bytes = m_compressed[nColumn];
        if (TIFFWriteRawTile(pTiff, nTile, bytes.data(), static_cast<tmsize_t>(bytes.size())) < 0)
            return false;
    }
    return true;
}

bool PyramidTiffWriter::CopyTiles(TIFF* pFrom, size_t nLevel)
{
    TIFF* pTo = m_files[0];
    if (!TIFFWriteDirectory(pTo) || !SetFields(pTo, Levels()[nLevel], true))
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
    for (size_t nLevel = 1; nLevel < Levels().size(); ++nLevel) {
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
    m_compressed.clear();
}

bool PyramidTiffWriter::Close(bool bComplete)
{
    const bool bCascaded = FinishCascade();
    bool bOk = bComplete && bCascaded;
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
