#pragma once

#include "codecs/BackgroundScanlineWriter.h"

#include <cstdio>
#include <csetjmp>
#include <memory>
#include <string>

#include <jpeglib.h>

namespace Codecs {

// How a JPEG is encoded: ImageMagick's choices for the run's options (see StreamingWriters).
struct JpegSettings
{
    int quality = 92;
    bool fullChroma = true; // 1x1 sampling of every component instead of libjpeg's 2x2 luma
    bool optimizeCoding = false;
    J_DCT_METHOD dctMethod = JDCT_ISLOW;
    std::string comment; // written as COM markers when not empty

    // ImageMagick's reading of a "jpeg:dct-method" value; an unknown one gives fallback.
    static J_DCT_METHOD DctMethodNamed(const std::string& strName, J_DCT_METHOD fallback);
};

// Writes a baseline JPEG with libjpeg band by band, in the background. Grey images (with or
// without alpha) become one-component files; alpha is dropped and 16-bit samples are scaled to
// 8 bits as ImageMagick does.
class JpegStreamWriter : public BackgroundScanlineWriter
{
public:
    explicit JpegStreamWriter(JpegSettings settings);
    ~JpegStreamWriter() override;

    std::string GetFormatName() const override { return "JPEG"; }
    int GetMaxBitDepth() const override { return 8; }
    bool KeepsAlpha() const override { return false; }
    long long GetMaxSide() const override { return JPEG_MAX_DIMENSION; }

protected:
    bool Open() override;
    void CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band) override;
    bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) override;
    bool Close(bool bComplete) override;

private:
    struct ErrorManager
    {
        jpeg_error_mgr base;
        jmp_buf jump;
        char message[JMSG_LENGTH_MAX];
    };

    bool StartCompress();
    bool WriteRows(const uint8_t* pRows, int nRows);
    bool FinishCompress();
    std::string LibraryError() const;
    void Release();
    static void OnLibraryError(j_common_ptr pInfo);

    JpegSettings m_settings;
    std::unique_ptr<jpeg_compress_struct> m_jpeg;
    ErrorManager m_error{};
    int m_components = 3;
};

} // namespace Codecs
