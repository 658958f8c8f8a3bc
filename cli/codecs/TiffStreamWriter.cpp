#include "codecs/TiffStreamWriter.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace Codecs {

uint16_t TiffStreamWriter::CompressionTag(TiffSettings::Compression compression)
{
    switch (compression) {
    case TiffSettings::Compression::Lzw:
        return COMPRESSION_LZW;
    case TiffSettings::Compression::PackBits:
        return COMPRESSION_PACKBITS;
    case TiffSettings::Compression::Deflate:
        return COMPRESSION_ADOBE_DEFLATE;
    case TiffSettings::Compression::Jpeg:
        return COMPRESSION_JPEG;
    default:
        return COMPRESSION_NONE;
    }
}

TiffStreamWriter::TiffStreamWriter(TiffSettings settings) : m_settings(std::move(settings)) {}

// Handlers of this file only: the process-wide ones belong to ImageMagick, which may be reading
// a TIFF tile meanwhile.
TIFFOpenOptions* TiffStreamWriter::OpenOptionsKeepingErrors(std::string& strMessage)
{
    TIFFOpenOptions* pOptions = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(
        pOptions,
        [](TIFF*, void* pMessage, const char* pszModule, const char* pszFormat, va_list arguments) {
            char message[512];
            std::vsnprintf(message, sizeof message, pszFormat, arguments);
            *static_cast<std::string*>(pMessage) = std::string(pszModule ? pszModule : "") + ": " + message;
            return 1;
        },
        &strMessage);
    TIFFOpenOptionsSetWarningHandlerExtR(
        pOptions, [](TIFF*, void*, const char*, const char*, va_list) { return 1; }, nullptr);
    return pOptions;
}

TiffStreamWriter::~TiffStreamWriter()
{
    StopBackground();
    if (m_tiff)
        TIFFClose(m_tiff);
}

bool TiffStreamWriter::NeedsBigTiff(const RasterFormat& format, TiffSettings::Compression compression)
{
    // LZW can grow data by half, the others by a little; tags and strip tables come on top.
    const double dRaw = static_cast<double>(format.BytesPerRow()) * format.height;
    const double dWorst = compression == TiffSettings::Compression::Lzw ? dRaw * 1.5 : dRaw * 1.01;
    return dWorst + 64.0 * 1024 * 1024 >= 4294967296.0;
}

std::string TiffStreamWriter::LibraryError() const
{
    return "Cannot write " + Path() + ": " + m_libraryMessage;
}

bool TiffStreamWriter::Open()
{
    m_libraryMessage.clear();
    const bool bBig = NeedsBigTiff(Format(), m_settings.compression);
    TIFFOpenOptions* pOptions = OpenOptionsKeepingErrors(m_libraryMessage);
    m_tiff = TIFFOpenExt(Path().c_str(), bBig ? "w8" : "w", pOptions);
    TIFFOpenOptionsFree(pOptions);
    if (!m_tiff) {
        SetLastError("%s", LibraryError().c_str());
        return false;
    }
    if (!SetFields()) {
        SetLastError("%s", LibraryError().c_str());
        TIFFClose(m_tiff);
        m_tiff = nullptr;
        return false;
    }
    m_nextRow = 0;
    return true;
}

bool TiffStreamWriter::SetAlphaAndPrediction(TIFF* pTiff, int nChannels, TiffSettings::Compression compression,
                                             int nZipQuality)
{
    bool bOk = true;
    if (nChannels % 2 == 0) {
        const uint16_t nExtra = EXTRASAMPLE_UNASSALPHA;
        bOk = TIFFSetField(pTiff, TIFFTAG_EXTRASAMPLES, 1, &nExtra);
    }
    // ImageMagick predicts LZW and Deflate horizontally and takes the Deflate level from -quality.
    const bool bDeflate = compression == TiffSettings::Compression::Deflate;
    if (bOk && (bDeflate || compression == TiffSettings::Compression::Lzw))
        bOk = TIFFSetField(pTiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (bOk && bDeflate)
        bOk = TIFFSetField(pTiff, TIFFTAG_ZIPQUALITY, nZipQuality);
    return bOk;
}

bool TiffStreamWriter::SetFields()
{
    const RasterFormat& format = Format();
    const uint16_t nCompression = CompressionTag(m_settings.compression);
    bool bOk =
        TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(format.width))
        && TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(format.height))
        && TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(format.bitDepth))
        && TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(format.channels))
        && TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
        && TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, format.channels <= 2 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB)
        && TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, nCompression);
    bOk = bOk && SetAlphaAndPrediction(m_tiff, format.channels, m_settings.compression, m_settings.zipQuality);
    if (bOk && !m_settings.description.empty())
        bOk = TIFFSetField(m_tiff, TIFFTAG_IMAGEDESCRIPTION, m_settings.description.c_str());
    if (bOk && !m_settings.pageName.empty())
        bOk = TIFFSetField(m_tiff, TIFFTAG_PAGENAME, m_settings.pageName.c_str());
    // About 8 KiB a strip, as libtiff and ImageMagick choose for uncompressed files; compressed
    // strips of about 1 MiB keep the codec's overhead small.
    const uint32_t nTarget = nCompression == COMPRESSION_NONE
                                 ? 0
                                 : static_cast<uint32_t>(std::max<size_t>(1, (1u << 20) / format.BytesPerRow()));
    return bOk && TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(m_tiff, nTarget));
}

bool TiffStreamWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool, std::string& strError)
{
    const size_t nRowBytes = Format().BytesPerRow();
    for (int nRow = 0; nRow < nRows; ++nRow, ++m_nextRow) {
        // libtiff's predictor works in place on the row it is given.
        if (TIFFWriteScanline(m_tiff, &band[nRow * nRowBytes], m_nextRow, 0) < 0) {
            strError = LibraryError();
            return false;
        }
    }
    return true;
}

bool TiffStreamWriter::Close(bool bComplete)
{
    if (!m_tiff)
        return !bComplete;
    m_libraryMessage.clear();
    const bool bFlushed = !bComplete || TIFFFlush(m_tiff);
    TIFFClose(m_tiff);
    m_tiff = nullptr;
    if (!bFlushed)
        SetLastError("%s", LibraryError().c_str());
    return bFlushed;
}

} // namespace Codecs
