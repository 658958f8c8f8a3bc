#pragma once

#include "codecs/BackgroundScanlineWriter.h"
#include "codecs/JpegSegmentStream.h"
#include "codecs/JpegSettings.h"
#include "threads/WorkerThreads.h"

#include <cstdio>
#include <csetjmp>
#include <memory>
#include <string>

#include <jpeglib.h>

namespace Codecs {

// Writes a baseline JPEG with libjpeg band by band, in the background. Grey images (with or
// without alpha) become one-component files; alpha is dropped and 16-bit samples are scaled to
// 8 bits as ImageMagick does.
// With several threads, standard Huffman tables and an image of at least
// JpegSettings::segmentedFromPixels and more than one segment, the rows are encoded in
// restart-marker segments at once (JpegSegmentStream): the same coefficients, so the same decoded
// pixels, in a file with DRI and RST markers. Otherwise one compressor writes the file as
// ImageMagick does, byte for byte. Memory besides the two bands: one compressor's few rows, or
// fewer than one segment's rows carried between bands plus two encoded segments a thread.
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
    bool StartCompress();
    bool WriteRows(const uint8_t* pRows, int nRows);
    bool FinishCompress();
    std::string LibraryError() const;
    void Release();

    bool WriteToFile(const uint8_t* pData, size_t nSize);

    JpegSettings m_settings;
    std::unique_ptr<jpeg_compress_struct> m_jpeg;
    std::unique_ptr<Threads::WorkerPool> m_pool;
    std::unique_ptr<JpegSegmentStream> m_segments;
    std::string m_fileError;
    JpegErrorExit m_error{};
    int m_components = 3;
};

} // namespace Codecs
