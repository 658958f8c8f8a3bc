#pragma once

#include "codecs/BackgroundScanlineWriter.h"
#include "codecs/ParallelDeflateStream.h"
#include "codecs/PngRowFilter.h"
#include "threads/WorkerThreads.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace Codecs {

// How a PNG is encoded: ImageMagick's choices for the run's options (see StreamingWriters).
struct PngSettings
{
    struct Text
    {
        std::string key, value;
        bool compressed = false; // zTXt instead of tEXt
    };

    int zlibLevel = 7;
    int zlibStrategy = -1;         // a zlib strategy; -1: libpng's choice for the filters
    int filters = PNG_ALL_FILTERS; // a libpng filter mask; 0: one without a valid filter bit
    std::vector<Text> texts;
    size_t pieceSize = 256 * 1024; // bytes of scanlines one thread filters or deflates at a time
    int threads = 1;

    // The filters libpng leaves of the mask for an image of that size, as a valid mask.
    int FilterMask(int nWidth, int nHeight) const;
    // The strategy libpng gives zlib for them.
    int Strategy(int nWidth, int nHeight) const;
};

// Writes a PNG band by band: libpng writes the chunks; the scanlines are filtered and deflated
// on all threads of a pool, in the background while the caller prepares the next band.
class PngStreamWriter : public BackgroundScanlineWriter
{
public:
    explicit PngStreamWriter(PngSettings settings);
    ~PngStreamWriter() override;

    std::string GetFormatName() const override { return "PNG"; }
    long long GetMaxSide() const override { return 0x7fffffff; }
    bool TruncatesTo8Bits() const override { return true; }

protected:
    bool Open() override;
    void CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band) override;
    bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) override;
    bool Close(bool bComplete) override;

private:
    bool WriteHeader();
    bool WriteChunk(const char* pszType, const uint8_t* pData, size_t nSize);
    std::string LibraryError() const;
    void Release();
    static void OnLibraryError(png_structp pPng, png_const_charp pszMessage);

    PngSettings m_settings;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    char m_libraryMessage[256] = {};
    std::vector<png_text> m_texts;

    std::unique_ptr<Threads::WorkerPool> m_pool;
    std::unique_ptr<ParallelDeflateStream> m_deflate;
    std::unique_ptr<PngRowFilter> m_filter;
    std::vector<uint8_t> m_previousRow; // the raw row above the band
};

} // namespace Codecs
