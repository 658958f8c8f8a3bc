#include "codecs/JpegDecompression.h"

#include <algorithm>

namespace Codecs {

namespace {
// ImageMagick's JPEG reader fails a file at this many scans, however valid.
const int kMaxScans = 1024;
} // namespace

JpegDecompression::JpegDecompression()
{
    m_jpeg.err = jpeg_std_error(&m_error.base);
    m_error.base.error_exit = OnError;
    m_error.base.emit_message = OnMessage;
    m_jpeg.client_data = this;
    m_progress.progress_monitor = OnProgress;
}

JpegDecompression::~JpegDecompression()
{
    // Safe on a struct never created: its memory manager is still null.
    jpeg_destroy_decompress(&m_jpeg);
    if (m_file)
        std::fclose(m_file);
}

void JpegDecompression::Stop(j_common_ptr pInfo)
{
    auto* pThis = static_cast<JpegDecompression*>(pInfo->client_data);
    char szMessage[JMSG_LENGTH_MAX] = "";
    pInfo->err->format_message(pInfo, szMessage);
    pThis->m_problem = szMessage;
    longjmp(pThis->m_error.jump, 1);
}

void JpegDecompression::OnError(j_common_ptr pInfo)
{
    Stop(pInfo);
}

void JpegDecompression::OnMessage(j_common_ptr pInfo, int nLevel)
{
    // Negative levels are warnings (a cut file, stray bytes); the others are traces.
    if (nLevel < 0)
        Stop(pInfo);
}

void JpegDecompression::OnProgress(j_common_ptr pInfo)
{
    auto* pThis = static_cast<JpegDecompression*>(pInfo->client_data);
    if (pThis->m_jpeg.input_scan_number < kMaxScans)
        return;
    pThis->m_problem = "too many scans";
    longjmp(pThis->m_error.jump, 1);
}

bool JpegDecompression::Open(const std::string& strFile, int nKeptMarker)
{
    m_file = std::fopen(strFile.c_str(), "rb");
    if (!m_file) {
        m_problem = "cannot open the file";
        return false;
    }
    if (setjmp(m_error.jump))
        return false;
    jpeg_create_decompress(&m_jpeg);
    m_jpeg.progress = &m_progress;
    jpeg_stdio_src(&m_jpeg, m_file);
    if (nKeptMarker)
        jpeg_save_markers(&m_jpeg, nKeptMarker, 0xffff);
    return true;
}

bool JpegDecompression::ReadHeader()
{
    if (setjmp(m_error.jump))
        return false;
    return jpeg_read_header(&m_jpeg, TRUE) == JPEG_HEADER_OK;
}

bool JpegDecompression::Start()
{
    if (setjmp(m_error.jump))
        return false;
    return jpeg_start_decompress(&m_jpeg) == TRUE;
}

bool JpegDecompression::ReadRows(uint8_t* pFirst, size_t nRowBytes, int nRows)
{
    if (setjmp(m_error.jump))
        return false;
    // A few rows per call: the library hands out up to an MCU row of them at once.
    const int kBatch = 16;
    JSAMPROW rows[kBatch];
    int nDone = 0;
    while (nDone < nRows) {
        const int nAsk = std::min(kBatch, nRows - nDone);
        for (int i = 0; i < nAsk; ++i)
            rows[i] = pFirst + (nDone + i) * nRowBytes;
        const JDIMENSION nRead = jpeg_read_scanlines(&m_jpeg, rows, static_cast<JDIMENSION>(nAsk));
        if (nRead == 0) {
            m_problem = "no rows decoded";
            return false;
        }
        nDone += static_cast<int>(nRead);
    }
    return true;
}

bool JpegDecompression::Finish()
{
    if (setjmp(m_error.jump))
        return false;
    return jpeg_finish_decompress(&m_jpeg) == TRUE;
}

} // namespace Codecs
