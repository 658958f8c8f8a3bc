#pragma once

#include "codecs/BackgroundScanlineWriter.h"

#include <cstdarg>
#include <cstdint>
#include <string>

typedef struct tiff TIFF;
typedef struct TIFFOpenOptions TIFFOpenOptions;

namespace Codecs {

// How a TIFF is encoded: ImageMagick's choices for the run's options (see StreamingWriters).
struct TiffSettings
{
    enum class Compression {
        None,
        Lzw,
        PackBits,
        Deflate,
        Jpeg // tiled pyramids only: a strip writer's chooser never picks it
    };
    Compression compression = Compression::None;
    int zipQuality = 7;
    std::string description; // the comment attribute
    std::string pageName;    // the label attribute
};

// Writes a strip TIFF with libtiff band by band, in the background: interleaved samples,
// alpha as an unassociated extra sample as ImageMagick writes it, and BigTIFF whenever the
// file could pass the 4 GiB of a classic TIFF.
class TiffStreamWriter : public BackgroundScanlineWriter
{
public:
    explicit TiffStreamWriter(TiffSettings settings);
    ~TiffStreamWriter() override;

    std::string GetFormatName() const override { return "TIFF"; }
    long long GetMaxSide() const override { return 0xffffffffLL; }

    // libtiff's tag for the compression.
    static uint16_t CompressionTag(TiffSettings::Compression compression);
    // Alpha as an unassociated extra sample (even channel counts), and the horizontal predictor
    // and Deflate level that go with the compression; after the compression tag is set.
    static bool SetAlphaAndPrediction(TIFF* pTiff, int nChannels, TiffSettings::Compression compression,
                                      int nZipQuality);
    // Options for opening one file whose errors go to strMessage ("module: text") and whose
    // warnings are dropped; the caller frees them (TIFFOpenOptionsFree).
    static TIFFOpenOptions* OpenOptionsKeepingErrors(std::string& strMessage);
    // Whether an image of this format may need more than a classic TIFF can address.
    static bool NeedsBigTiff(const RasterFormat& format, TiffSettings::Compression compression);

protected:
    bool Open() override;
    bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) override;
    bool Close(bool bComplete) override;

private:
    bool SetFields();
    std::string LibraryError() const;

    TiffSettings m_settings;
    TIFF* m_tiff = nullptr;
    uint32_t m_nextRow = 0;
    std::string m_libraryMessage;
};

} // namespace Codecs
