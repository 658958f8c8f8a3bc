#include "codecs/PngStreamWriter.h"

#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace Codecs {

namespace {
int ColorType(int nChannels)
{
    switch (nChannels) {
    case 1:
        return PNG_COLOR_TYPE_GRAY;
    case 2:
        return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 4:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    default:
        return PNG_COLOR_TYPE_RGB;
    }
}

// Rows of host-order samples as PNG stores them: 16-bit samples big-endian.
void CopyInPngOrder(const void* pData, size_t nBytes, int nBitDepth, uint8_t* pOut)
{
    if (nBitDepth == 8) {
        std::memcpy(pOut, pData, nBytes);
        return;
    }
    const auto* pSamples = static_cast<const uint16_t*>(pData);
    for (size_t i = 0; i < nBytes / 2; ++i) {
        pOut[2 * i] = static_cast<uint8_t>(pSamples[i] >> 8);
        pOut[2 * i + 1] = static_cast<uint8_t>(pSamples[i] & 0xff);
    }
}
} // namespace

namespace {
// What libpng leaves of a filter mask for a single row or column.
int FiltersForSize(int nFilters, int nWidth, int nHeight)
{
    if (nHeight == 1)
        nFilters &= ~(PNG_FILTER_UP | PNG_FILTER_AVG | PNG_FILTER_PAETH);
    if (nWidth == 1)
        nFilters &= ~(PNG_FILTER_SUB | PNG_FILTER_AVG | PNG_FILTER_PAETH);
    return nFilters;
}
} // namespace

int PngSettings::FilterMask(int nWidth, int nHeight) const
{
    const int nFilters = FiltersForSize(filters, nWidth, nHeight);
    // Without a valid bit libpng filters no row.
    return nFilters == 0 ? PNG_FILTER_NONE : nFilters;
}

int PngSettings::Strategy(int nWidth, int nHeight) const
{
    if (zlibStrategy >= 0)
        return zlibStrategy;
    // libpng deflates as for filtered data unless its mask is exactly "none"; a mask without a
    // valid bit counts as filtered.
    const int nFilters = FiltersForSize(filters, nWidth, nHeight);
    return filters != 0 && (nFilters == 0 || nFilters == PNG_FILTER_NONE) ? Z_DEFAULT_STRATEGY : Z_FILTERED;
}

PngStreamWriter::PngStreamWriter(PngSettings settings) : m_settings(std::move(settings)) {}

PngStreamWriter::~PngStreamWriter()
{
    StopBackground();
    Release();
}

void PngStreamWriter::OnLibraryError(png_structp pPng, png_const_charp pszMessage)
{
    auto* pThis = static_cast<PngStreamWriter*>(png_get_error_ptr(pPng));
    std::snprintf(pThis->m_libraryMessage, sizeof pThis->m_libraryMessage, "%s", pszMessage);
    png_longjmp(pPng, 1);
}

std::string PngStreamWriter::LibraryError() const
{
    return "Cannot write " + Path() + ": " + (*m_libraryMessage ? m_libraryMessage : "out of memory");
}

void PngStreamWriter::Release()
{
    if (m_png)
        png_destroy_write_struct(&m_png, &m_info);
    CloseFile(false);
}

bool PngStreamWriter::Open()
{
    if (!OpenFile())
        return false;
    m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnLibraryError, nullptr);
    m_info = m_png ? png_create_info_struct(m_png) : nullptr;
    m_texts.clear();
    for (const PngSettings::Text& text : m_settings.texts) {
        png_text entry{};
        entry.compression = text.compressed ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
        entry.key = const_cast<char*>(text.key.c_str());
        entry.text = const_cast<char*>(text.value.c_str());
        entry.text_length = text.value.size();
        m_texts.push_back(entry);
    }
    if (!m_info || !WriteHeader()) {
        SetLastError("%s", LibraryError().c_str());
        Release();
        return false;
    }

    const RasterFormat& format = Format();
    const int nFilters = m_settings.FilterMask(format.width, format.height);
    m_pool = std::make_unique<Threads::WorkerPool>(std::max(1, m_settings.threads));
    m_deflate = std::make_unique<ParallelDeflateStream>(
        m_settings.zlibLevel, m_settings.Strategy(format.width, format.height), m_settings.pieceSize, *m_pool);
    m_filter = std::make_unique<PngRowFilter>(nFilters, format.channels * format.bitDepth / 8, format.BytesPerRow());
    m_previousRow.assign(format.BytesPerRow(), 0);
    return true;
}

bool PngStreamWriter::WriteHeader()
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    const RasterFormat& format = Format();
    png_init_io(m_png, File());
    png_set_IHDR(m_png, m_info, format.width, format.height, format.bitDepth, ColorType(format.channels),
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The sRGB gamma and primaries ImageMagick notes for its images.
    png_set_gAMA_fixed(m_png, m_info, 45455);
    png_set_cHRM_fixed(m_png, m_info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
    if (!m_texts.empty())
        png_set_text(m_png, m_info, m_texts.data(), static_cast<int>(m_texts.size()));
    png_write_info(m_png, m_info);
    return true;
}

bool PngStreamWriter::WriteChunk(const char* pszType, const uint8_t* pData, size_t nSize)
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    png_write_chunk(m_png, reinterpret_cast<png_const_bytep>(pszType), pData, nSize);
    return true;
}

void PngStreamWriter::CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band)
{
    // Each row behind a free byte for its filter type, so that rows are filtered in place and
    // the band goes to zlib as it is.
    const size_t nRowBytes = Format().BytesPerRow();
    const size_t nRows = nBytes / nRowBytes;
    band.resize(nRows * (nRowBytes + 1));
    for (size_t nRow = 0; nRow < nRows; ++nRow)
        CopyInPngOrder(static_cast<const uint8_t*>(pData) + nRow * nRowBytes, nRowBytes, Format().bitDepth,
                       &band[nRow * (nRowBytes + 1) + 1]);
}

bool PngStreamWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError)
{
    const size_t nRowBytes = Format().BytesPerRow();
    const size_t nStride = nRowBytes + 1;
    auto raw = [&](size_t nRow) { return &band[nRow * nStride + 1]; };
    // Each row needs only the raw row above it, so rows are filtered in parallel too: every task
    // goes up its own rows, and the raw rows just above the tasks are kept aside first.
    const size_t nRowsPerTask = std::max<size_t>(1, m_settings.pieceSize / nStride);
    const size_t nTasks = (nRows + nRowsPerTask - 1) / nRowsPerTask;
    std::vector<uint8_t> above(nTasks * nRowBytes);
    if (nTasks > 0)
        std::memcpy(above.data(), m_previousRow.data(), nRowBytes);
    for (size_t nTask = 1; nTask < nTasks; ++nTask)
        std::memcpy(&above[nTask * nRowBytes], raw(nTask * nRowsPerTask - 1), nRowBytes);
    if (nRows > 0)
        std::memcpy(m_previousRow.data(), raw(nRows - 1), nRowBytes);
    m_pool->ParallelFor(nTasks, [&](size_t nTask) {
        const size_t nFirst = nTask * nRowsPerTask;
        for (size_t nRow = std::min<size_t>(nRows, nFirst + nRowsPerTask); nRow-- > nFirst;) {
            const uint8_t* pAbove = nRow == nFirst ? &above[nTask * nRowBytes] : raw(nRow - 1);
            m_filter->Filter(raw(nRow), pAbove, raw(nRow) - 1);
        }
    });

    const bool bWritten =
        m_deflate->Append(band.data(), nStride * nRows, bLast,
                          [this](const uint8_t* pData, size_t nSize) { return WriteChunk("IDAT", pData, nSize); });
    if (!bWritten)
        strError = LibraryError();
    return bWritten;
}

bool PngStreamWriter::Close(bool bComplete)
{
    bool bOk = true;
    if (bComplete && !WriteChunk("IEND", nullptr, 0)) {
        SetLastError("%s", LibraryError().c_str());
        bOk = false;
    }
    if (m_png)
        png_destroy_write_struct(&m_png, &m_info);
    if (!CloseFile(bComplete && bOk))
        bOk = false;
    return bOk;
}

} // namespace Codecs
