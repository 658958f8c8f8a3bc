#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace Codecs {

// How a JPEG is encoded: ImageMagick's choices for the run's options (see StreamingWriters), and
// how many threads may share the work.
struct JpegSettings
{
    int quality = 92;
    bool fullChroma = true; // 1x1 sampling of every component instead of libjpeg's 2x2 luma
    bool optimizeCoding = false;
    J_DCT_METHOD dctMethod = JDCT_ISLOW;
    std::string comment; // written as COM markers when not empty
    // Above 1, large images are encoded in restart-marker segments at once (JpegSegmentStream).
    int threads = 1;
    // Rows of one segment, rounded up to whole MCU rows; 0 chooses them by the width.
    int segmentRows = 0;
    // Smaller images keep ImageMagick's exact bytes: their whole encoding takes a few tens of
    // milliseconds, and a second thread saved too little of that to show in measurements.
    long long segmentedFromPixels = 4LL << 20;

    // ImageMagick's reading of a "jpeg:dct-method" value; an unknown one gives fallback.
    static J_DCT_METHOD DctMethodNamed(const std::string& strName, J_DCT_METHOD fallback);

    // Gives a created compressor these settings for an image of that size (1 component: grey,
    // 3: RGB); every compressor of one file gets the same tables, sampling and DCT from here.
    void Apply(jpeg_compress_struct& jpeg, int nWidth, int nHeight, int nComponents) const;
    // The comment as COM markers, after jpeg_start_compress.
    void WriteComment(jpeg_compress_struct& jpeg) const;
    // Pixels of one MCU (side of its square) as Apply samples the components.
    int McuSide(int nComponents) const { return nComponents == 1 || fullChroma ? 8 : 16; }
};

// Where a compressor's fatal errors go: libjpeg's error_exit must not return, so it keeps the
// message and jumps to the setjmp of the call that failed. Warnings are dropped, never printed.
struct JpegErrorExit
{
    jpeg_error_mgr base;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];

    // For the compressor's err.
    jpeg_error_mgr* Install();
};

} // namespace Codecs
