#include "codecs/JpegStreamWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Codecs {

JpegStreamWriter::JpegStreamWriter(JpegSettings settings) : m_settings(std::move(settings)) {}

JpegStreamWriter::~JpegStreamWriter()
{
    StopBackground();
    Release();
}

std::string JpegStreamWriter::LibraryError() const
{
    return "Cannot write " + Path() + ": " + m_error.message;
}

void JpegStreamWriter::Release()
{
    if (m_jpeg)
        jpeg_destroy_compress(m_jpeg.get());
    m_jpeg.reset();
    m_segments.reset();
    m_pool.reset();
    CloseFile(false);
}

bool JpegStreamWriter::Open()
{
    if (!OpenFile())
        return false;
    m_components = Format().channels <= 2 ? 1 : 3;
    const RasterFormat& format = Format();
    if (m_settings.threads > 1 && !m_settings.optimizeCoding
        && static_cast<long long>(format.width) * format.height >= m_settings.segmentedFromPixels
        && format.height > JpegSegmentStream::SegmentRows(m_settings, format.width, m_components)) {
        m_pool = std::make_unique<Threads::WorkerPool>(m_settings.threads);
        m_segments =
            std::make_unique<JpegSegmentStream>(m_settings, format.width, format.height, m_components, *m_pool);
        return true;
    }
    m_jpeg = std::make_unique<jpeg_compress_struct>();
    m_jpeg->err = m_error.Install();
    if (!StartCompress()) {
        SetLastError("%s", LibraryError().c_str());
        Release();
        return false;
    }
    return true;
}

bool JpegStreamWriter::StartCompress()
{
    jpeg_compress_struct* pJpeg = m_jpeg.get();
    if (setjmp(m_error.jump))
        return false;
    jpeg_create_compress(pJpeg);
    jpeg_stdio_dest(pJpeg, File());
    m_settings.Apply(*pJpeg, Format().width, Format().height, m_components);
    jpeg_start_compress(pJpeg, TRUE);
    m_settings.WriteComment(*pJpeg);
    return true;
}

void JpegStreamWriter::CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band)
{
    // Colour (or grey) samples only, 8 bits each, as the encoder takes them.
    const RasterFormat& format = Format();
    if (format.bitDepth == 8 && format.channels == m_components) {
        BackgroundScanlineWriter::CopyRows(pData, nBytes, band);
        return;
    }
    const size_t nBytesPerSample = format.bitDepth / 8;
    const size_t nPixels = nBytes / (format.channels * nBytesPerSample);
    band.resize(nPixels * m_components);
    const auto* p8 = static_cast<const uint8_t*>(pData);
    const auto* p16 = static_cast<const uint16_t*>(pData);
    uint8_t* pOut = band.data();
    for (size_t nPixel = 0; nPixel < nPixels; ++nPixel) {
        const size_t nFirst = nPixel * format.channels;
        for (int c = 0; c < m_components; ++c) {
            if (format.bitDepth == 8) {
                *pOut++ = p8[nFirst + c];
            } else {
                // ImageMagick's ScaleQuantumToChar: rounds v / 257.
                const unsigned v = p16[nFirst + c] + 128u;
                *pOut++ = static_cast<uint8_t>((v - (v >> 8)) >> 8);
            }
        }
    }
}

bool JpegStreamWriter::WriteRows(const uint8_t* pRows, int nRows)
{
    jpeg_compress_struct* pJpeg = m_jpeg.get();
    if (setjmp(m_error.jump))
        return false;
    const size_t nRowBytes = static_cast<size_t>(Format().width) * m_components;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        JSAMPROW pRow = const_cast<JSAMPROW>(pRows + nRow * nRowBytes);
        jpeg_write_scanlines(pJpeg, &pRow, 1);
    }
    return true;
}

bool JpegStreamWriter::WriteToFile(const uint8_t* pData, size_t nSize)
{
    if (std::fwrite(pData, 1, nSize, File()) == nSize)
        return true;
    m_fileError = std::strerror(errno);
    return false;
}

bool JpegStreamWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError)
{
    if (m_segments) {
        std::string strLibrary;
        const auto sink = [this](const uint8_t* pData, size_t nSize) { return WriteToFile(pData, nSize); };
        if (m_segments->Append(band.data(), nRows, bLast, sink, strLibrary))
            return true;
        strError = "Cannot write " + Path() + ": " + (strLibrary.empty() ? m_fileError : strLibrary);
        return false;
    }
    if (WriteRows(band.data(), nRows))
        return true;
    strError = LibraryError();
    return false;
}

bool JpegStreamWriter::FinishCompress()
{
    jpeg_compress_struct* pJpeg = m_jpeg.get();
    if (setjmp(m_error.jump))
        return false;
    jpeg_finish_compress(pJpeg);
    return true;
}

bool JpegStreamWriter::Close(bool bComplete)
{
    bool bOk = true;
    if (bComplete && m_jpeg && !FinishCompress()) {
        SetLastError("%s", LibraryError().c_str());
        bOk = false;
    }
    if (m_jpeg)
        jpeg_destroy_compress(m_jpeg.get());
    m_jpeg.reset();
    m_segments.reset();
    m_pool.reset();
    if (!CloseFile(bComplete && bOk))
        bOk = false;
    return bOk;
}

} // namespace Codecs
