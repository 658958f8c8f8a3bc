#include "codecs/BackgroundScanlineWriter.h"

#include <cerrno>
#include <cstring>

namespace Codecs {

bool BackgroundScanlineWriter::Begin(const std::string& strPath, const RasterFormat& format)
{
    m_format = format;
    m_path = strPath;
    m_rowsTaken = 0;
    m_failed = false;
    if (format.width < 1 || format.height < 1 || format.channels < 1 || format.channels > 4
        || (format.bitDepth != 8 && format.bitDepth != 16)) {
        SetLastError("Cannot write an image of %ix%i pixels with %i channel(s) of %i bits to %s", format.width,
                     format.height, format.channels, format.bitDepth, strPath.c_str());
        return false;
    }
    if (!Open())
        return false;
    m_background = std::make_unique<Threads::SerialWorker>();
    return true;
}

bool BackgroundScanlineWriter::OpenFile()
{
    m_file = std::fopen(m_path.c_str(), "wb");
    if (m_file)
        return true;
    SetLastError("Cannot open %s for writing: %s", m_path.c_str(), std::strerror(errno));
    return false;
}

bool BackgroundScanlineWriter::CloseFile(bool bReport)
{
    FILE* pFile = m_file;
    m_file = nullptr;
    if (!pFile || std::fclose(pFile) == 0 || !bReport)
        return true;
    SetLastError("Cannot write %s: %s", m_path.c_str(), std::strerror(errno));
    return false;
}

void BackgroundScanlineWriter::CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band)
{
    band.resize(nBytes);
    std::memcpy(band.data(), pData, nBytes);
}

bool BackgroundScanlineWriter::TakeBackgroundFailure()
{
    if (!m_failed)
        return false;
    SetLastError("%s", m_backgroundError.c_str());
    return true;
}

bool BackgroundScanlineWriter::WriteScanlines(const void* pData, int nRows)
{
    if (!m_background) {
        SetLastError("No image is open for writing");
        return false;
    }
    m_background->Wait();
    if (TakeBackgroundFailure())
        return false;
    if (nRows < 0 || nRows > m_format.height - m_rowsTaken) {
        SetLastError("%i more rows do not fit into the %i rows of %s", nRows, m_format.height, m_path.c_str());
        return false;
    }
    if (nRows == 0)
        return true; // nothing to encode, and the image must not be finished twice
    CopyRows(pData, m_format.BytesPerRow() * nRows, m_band);
    m_rowsTaken += nRows;
    const bool bLast = m_rowsTaken == m_format.height;
    m_background->Post([this, nRows, bLast] {
        if (!EncodeRows(m_band, nRows, bLast, m_backgroundError))
            m_failed = true;
    });
    return true;
}

bool BackgroundScanlineWriter::End()
{
    if (!m_background) {
        SetLastError("No image is open for writing");
        return false;
    }
    m_background.reset();
    bool bComplete = !TakeBackgroundFailure();
    if (bComplete && m_rowsTaken != m_format.height) {
        SetLastError("Only %i of the %i rows of %s were written", m_rowsTaken, m_format.height, m_path.c_str());
        bComplete = false;
    }
    const bool bClosed = Close(bComplete);
    return bComplete && bClosed;
}

} // namespace Codecs
