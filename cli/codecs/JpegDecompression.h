#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace Codecs {

// One libjpeg decompression of one file, with the library's settings left as ImageMagick leaves
// them (islow DCT, fancy upsampling, block smoothing, RGB or grey output), which give its samples
// bit for bit. Every step returns false on an error, and also on any warning or on more scans than
// ImageMagick accepts: such a file is for ImageMagick to read, with its own warnings. Nothing is
// global, so separate objects may run at once.
class JpegDecompression
{
public:
    JpegDecompression();
    ~JpegDecompression();
    JpegDecompression(const JpegDecompression&) = delete;
    JpegDecompression& operator=(const JpegDecompression&) = delete;

    // Opens the file; the nKeptMarker segments (an APPn code, or 0 for none) are kept in
    // Header().marker_list when read.
    bool Open(const std::string& strFile, int nKeptMarker = 0);
    bool ReadHeader();
    const jpeg_decompress_struct& Header() const { return m_jpeg; }
    bool Start();
    // Reads the next nRows output rows into consecutive rows of nRowBytes at pFirst.
    bool ReadRows(uint8_t* pFirst, size_t nRowBytes, int nRows);
    // Reads to the end of the image, where a damaged or cut file may still warn.
    bool Finish();
    // libjpeg's words for the last failure, empty when none.
    const std::string& Problem() const { return m_problem; }

private:
    struct ErrorManager
    {
        jpeg_error_mgr base;
        jmp_buf jump;
    };

    static void OnError(j_common_ptr pInfo);
    static void OnMessage(j_common_ptr pInfo, int nLevel);
    static void OnProgress(j_common_ptr pInfo);
    static void Stop(j_common_ptr pInfo);

    jpeg_decompress_struct m_jpeg{};
    ErrorManager m_error{};
    jpeg_progress_mgr m_progress{};
    FILE* m_file = nullptr;
    std::string m_problem;
};

} // namespace Codecs
