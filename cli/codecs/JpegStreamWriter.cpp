#include "codecs/JpegStreamWriter.h"

#include "misc/TextCase.h"

#include <algorithm>
#include <cstring>

namespace Codecs {

J_DCT_METHOD JpegSettings::DctMethodNamed(const std::string& strName, J_DCT_METHOD fallback)
{
    static const std::pair<const char*, J_DCT_METHOD> c_methods[] = {
        {"default", JDCT_DEFAULT}, {"fastest", JDCT_FASTEST}, {"float", JDCT_FLOAT},
        {"ifast", JDCT_IFAST},     {"islow", JDCT_ISLOW},
    };
    for (const auto& [pszName, method] : c_methods)
        if (Misc::EqualsNoCase(strName, pszName))
            return method;
    return fallback;
}

JpegStreamWriter::JpegStreamWriter(JpegSettings settings) : m_settings(std::move(settings)) {}

JpegStreamWriter::~JpegStreamWriter()
{
    StopBackground();
    Release();
}

void JpegStreamWriter::OnLibraryError(j_common_ptr pInfo)
{
    auto* pError = reinterpret_cast<ErrorManager*>(pInfo->err);
    pInfo->err->format_message(pInfo, pError->message);
    longjmp(pError->jump, 1);
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
    CloseFile(false);
}

bool JpegStreamWriter::Open()
{
    if (!OpenFile())
        return false;
    m_components = Format().channels <= 2 ? 1 : 3;
    m_jpeg = std::make_unique<jpeg_compress_struct>();
    m_jpeg->err = jpeg_std_error(&m_error.base);
    m_error.base.error_exit = OnLibraryError;
    m_error.base.output_message = [](j_common_ptr) {}; // nothing goes to stderr
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
    pJpeg->image_width = static_cast<JDIMENSION>(Format().width);
    pJpeg->image_height = static_cast<JDIMENSION>(Format().height);
    pJpeg->input_components = m_components;
    pJpeg->in_color_space = m_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(pJpeg);
    jpeg_set_quality(pJpeg, m_settings.quality, TRUE);
    if (m_settings.fullChroma) {
        for (int i = 0; i < MAX_COMPONENTS; ++i) {
            pJpeg->comp_info[i].h_samp_factor = 1;
            pJpeg->comp_info[i].v_samp_factor = 1;
        }
    }
    pJpeg->dct_method = m_settings.dctMethod;
    pJpeg->optimize_coding = m_settings.optimizeCoding ? TRUE : FALSE;
    jpeg_start_compress(pJpeg, TRUE);
    // ImageMagick splits a long comment into markers of at most 65533 bytes.
    const std::string& strComment = m_settings.comment;
    for (size_t nAt = 0; nAt < strComment.size(); nAt += 65533) {
        const size_t nLength = std::min<size_t>(65533, strComment.size() - nAt);
        jpeg_write_marker(pJpeg, JPEG_COM, reinterpret_cast<const JOCTET*>(strComment.data() + nAt),
                          static_cast<unsigned>(nLength));
    }
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

bool JpegStreamWriter::EncodeRows(std::vector<uint8_t>& band, int nRows, bool, std::string& strError)
{
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
    if (bComplete && !FinishCompress()) {
        SetLastError("%s", LibraryError().c_str());
        bOk = false;
    }
    if (m_jpeg)
        jpeg_destroy_compress(m_jpeg.get());
    m_jpeg.reset();
    if (!CloseFile(bComplete && bOk))
        bOk = false;
    return bOk;
}

} // namespace Codecs
