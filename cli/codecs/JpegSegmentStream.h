#pragma once

#include "codecs/JpegSettings.h"
#include "threads/WorkerThreads.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Codecs {

// Encodes an image's rows as one baseline JPEG in restart-interval segments, several at once on
// the threads of a pool. Each segment is compressed by its own libjpeg compressor with the file's
// settings into memory; since the DC predictions start afresh after a restart marker, a segment's
// entropy-coded data is exactly what one compressor with that restart interval writes between two
// RST markers. The file takes the first segment's headers (with its DRI marker, the comment, and
// the image's height), then each segment's data after the RST marker numbered in turn.
// Every segment but the last covers whole MCU rows, so libjpeg pads with copied rows only at the
// image's bottom, as for one compressor, and the quantised coefficients are those of one.
// Memory: fewer than one segment's rows carried over to the next part, plus two encoded segments
// a thread (their buffers are kept for the next segments, which saves clearing and faulting in
// fresh memory for every segment).
class JpegSegmentStream
{
public:
    using Sink = std::function<bool(const uint8_t* pData, size_t nSize)>;

    // Images of nComponents (1 or 3) 8-bit samples a pixel, in segments of settings.segmentRows.
    JpegSegmentStream(JpegSettings settings, int nWidth, int nHeight, int nComponents, Threads::WorkerPool& pool);

    // Rows of one segment: settings.segmentRows (0: about c_segmentPixels) rounded up to whole MCU
    // rows, within the 65535 MCUs a DRI marker can count.
    static int SegmentRows(const JpegSettings& settings, int nWidth, int nComponents);

    // nRows more rows, back to back: encodes the segments they complete and passes their bytes to
    // sink in order, keeping the rest for the next call; bLast: the rows end the image. False when
    // libjpeg (strError tells) or the sink failed.
    bool Append(const uint8_t* pRows, int nRows, bool bLast, const Sink& sink, std::string& strError);

    static constexpr long long c_segmentPixels = 512 * 1024;

private:
    struct Part
    {
        const uint8_t* rows;
        int rowCount;
    };
    // One encoded segment: a whole small JPEG of its rows, in the first size bytes of jpeg, whose
    // memory serves the next segments in this slot.
    struct Slot
    {
        std::vector<uint8_t> jpeg;
        size_t size = 0;
        bool ok = false;
        std::string error;
    };

    // Encodes the parts on the pool and passes them to sink in order; bLast: the last is the image's.
    bool Write(const std::vector<Part>& parts, bool bLast, const Sink& sink, std::string& strError);
    // bFirst: the image's first segment, which carries the comment.
    void Encode(const Part& part, bool bFirst, Slot& slot) const;
    bool Compress(JSAMPARRAY pRows, int nRows, bool bFirst, jpeg_destination_mgr& destination, char* pszMessage) const;
    // Passes the image's segment number nIndex to sink as the file has it.
    bool Join(const Slot& slot, size_t nIndex, bool bLast, const Sink& sink, std::string& strError) const;

    const JpegSettings m_settings;
    const int m_width;
    const int m_height;
    const int m_components;
    const size_t m_rowBytes;
    int m_segmentRows = 0;
    unsigned m_restartInterval = 0; // MCUs of one segment
    Threads::WorkerPool& m_pool;
    std::vector<uint8_t> m_carried; // rows that do not make a whole segment yet
    std::vector<Slot> m_slots;
    size_t m_segmentsWritten = 0;
};

} // namespace Codecs
