#include "codecs/JpegSegmentStream.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include <jerror.h>

namespace Codecs {

namespace {
constexpr unsigned c_maxRestartInterval = 65535;

// A libjpeg destination filling a vector that keeps its size from segment to segment, so its
// memory is neither cleared nor faulted in again; used: the bytes written.
struct VectorDestination
{
    jpeg_destination_mgr base;
    std::vector<uint8_t>* bytes;
    size_t used;

    static void Init(j_compress_ptr pJpeg)
    {
        auto* pDest = reinterpret_cast<VectorDestination*>(pJpeg->dest);
        pDest->base.next_output_byte = pDest->bytes->data();
        pDest->base.free_in_buffer = pDest->bytes->size();
    }
    static boolean Grow(j_compress_ptr pJpeg)
    {
        // libjpeg calls this when the whole buffer is full.
        auto* pDest = reinterpret_cast<VectorDestination*>(pJpeg->dest);
        const size_t nUsed = pDest->bytes->size();
        bool bGrown = true;
        try {
            pDest->bytes->resize(nUsed * 2);
        } catch (const std::bad_alloc&) {
            bGrown = false;
        }
        if (!bGrown)
            ERREXIT1(pJpeg, JERR_OUT_OF_MEMORY, 0);
        pDest->base.next_output_byte = pDest->bytes->data() + nUsed;
        pDest->base.free_in_buffer = nUsed;
        return TRUE;
    }
    static void Term(j_compress_ptr pJpeg)
    {
        auto* pDest = reinterpret_cast<VectorDestination*>(pJpeg->dest);
        pDest->used = pDest->bytes->size() - pDest->base.free_in_buffer;
    }
};

// Where a whole JPEG's entropy-coded data start (after the SOS header) and where its SOF0 marker
// is; false when the bytes are not laid out as libjpeg writes a baseline file.
bool FindScan(const uint8_t* pJpeg, size_t nSize, size_t& nDataAt, size_t& nFrameAt)
{
    nFrameAt = 0;
    for (size_t nAt = 2; nAt + 4 <= nSize;) {
        if (pJpeg[nAt] != 0xFF)
            return false;
        const uint8_t nMarker = pJpeg[nAt + 1];
        const size_t nLength = static_cast<size_t>(pJpeg[nAt + 2]) << 8 | pJpeg[nAt + 3];
        if (nMarker == 0xC0)
            nFrameAt = nAt;
        nAt += 2 + nLength;
        if (nMarker == 0xDA) {
            nDataAt = nAt;
            return nFrameAt != 0 && nDataAt + 2 <= nSize && pJpeg[nSize - 2] == 0xFF && pJpeg[nSize - 1] == JPEG_EOI;
        }
    }
    return false;
}
} // namespace

JpegSegmentStream::JpegSegmentStream(JpegSettings settings, int nWidth, int nHeight, int nComponents,
                                     Threads::WorkerPool& pool)
    : m_settings(std::move(settings)), m_width(nWidth), m_height(nHeight), m_components(nComponents),
      m_rowBytes(static_cast<size_t>(nWidth) * nComponents), m_pool(pool)
{
    m_segmentRows = SegmentRows(m_settings, nWidth, nComponents);
    const int nMcuSide = m_settings.McuSide(nComponents);
    m_restartInterval = static_cast<unsigned>((nWidth + nMcuSide - 1) / nMcuSide * (m_segmentRows / nMcuSide));
}

int JpegSegmentStream::SegmentRows(const JpegSettings& settings, int nWidth, int nComponents)
{
    const int nMcuSide = settings.McuSide(nComponents);
    const long long nMcusPerRow = (std::max(nWidth, 1) + nMcuSide - 1) / nMcuSide;
    const long long nRows = settings.segmentRows > 0 ? settings.segmentRows : c_segmentPixels / std::max(nWidth, 1);
    const long long nMcuRows = std::clamp<long long>((nRows + nMcuSide - 1) / nMcuSide, 1,
                                                     std::max<long long>(c_maxRestartInterval / nMcusPerRow, 1));
    return static_cast<int>(nMcuRows * nMcuSide);
}

void JpegSegmentStream::Encode(const Part& part, bool bFirst, Slot& slot) const
{
    std::vector<JSAMPROW> rows(static_cast<size_t>(part.rowCount));
    for (size_t nRow = 0; nRow < rows.size(); ++nRow)
        rows[nRow] = const_cast<JSAMPROW>(part.rows + nRow * m_rowBytes);
    // Room for a well-compressed segment at once; noisy ones grow it a few times.
    const size_t nRoom = std::max<size_t>(m_rowBytes * rows.size() / 4, 4096);
    if (slot.jpeg.size() < nRoom)
        slot.jpeg.resize(nRoom);
    VectorDestination destination{};
    destination.bytes = &slot.jpeg;
    destination.base.init_destination = VectorDestination::Init;
    destination.base.empty_output_buffer = VectorDestination::Grow;
    destination.base.term_destination = VectorDestination::Term;
    char message[JMSG_LENGTH_MAX] = {};
    slot.ok = Compress(rows.data(), part.rowCount, bFirst, destination.base, message);
    slot.size = slot.ok ? destination.used : 0;
    slot.error = slot.ok ? "" : message;
}

bool JpegSegmentStream::Compress(JSAMPARRAY pRows, int nRows, bool bFirst, jpeg_destination_mgr& destination,
                                 char* pszMessage) const
{
    // Nothing here needs destroying but the compressor: libjpeg's errors jump back to setjmp.
    jpeg_compress_struct jpeg{};
    JpegErrorExit error{};
    jpeg.err = error.Install();
    if (setjmp(error.jump)) {
        std::memcpy(pszMessage, error.message, JMSG_LENGTH_MAX);
        jpeg_destroy_compress(&jpeg);
        return false;
    }
    jpeg_create_compress(&jpeg);
    jpeg.dest = &destination;
    m_settings.Apply(jpeg, m_width, nRows, m_components);
    jpeg.restart_interval = m_restartInterval;
    jpeg_start_compress(&jpeg, TRUE);
    if (bFirst)
        m_settings.WriteComment(jpeg);
    while (jpeg.next_scanline < jpeg.image_height)
        jpeg_write_scanlines(&jpeg, pRows + jpeg.next_scanline, jpeg.image_height - jpeg.next_scanline);
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    return true;
}

bool JpegSegmentStream::Join(const Slot& slot, size_t nIndex, bool bLast, const Sink& sink, std::string& strError) const
{
    if (!slot.ok) {
        strError = slot.error;
        return false;
    }
    size_t nDataAt = 0, nFrameAt = 0;
    if (!FindScan(slot.jpeg.data(), slot.size, nDataAt, nFrameAt)) {
        strError = "libjpeg wrote a segment of an unexpected layout";
        return false;
    }
    bool bOk = true;
    if (nIndex == 0) {
        // The segment's headers with the image's height in place of the segment's.
        std::vector<uint8_t> header(slot.jpeg.begin(), slot.jpeg.begin() + nDataAt);
        header[nFrameAt + 5] = static_cast<uint8_t>(m_height >> 8);
        header[nFrameAt + 6] = static_cast<uint8_t>(m_height & 0xff);
        bOk = sink(header.data(), header.size());
    } else {
        const uint8_t restart[2] = {0xFF, static_cast<uint8_t>(JPEG_RST0 + (nIndex - 1) % 8)};
        bOk = sink(restart, sizeof restart);
    }
    // The entropy-coded data, with the EOI only after the image's last segment.
    const size_t nEnd = slot.size - (bLast ? 0 : 2);
    return bOk && sink(slot.jpeg.data() + nDataAt, nEnd - nDataAt);
}

bool JpegSegmentStream::Append(const uint8_t* pRows, int nRows, bool bLast, const Sink& sink, std::string& strError)
{
    // The carried rows first, topped up to a segment when these rows reach that far.
    std::vector<Part> parts;
    int nAt = 0;
    bool bCarriedOut = false;
    const int nCarried = static_cast<int>(m_carried.size() / m_rowBytes);
    if (nCarried > 0) {
        nAt = std::min(nRows, m_segmentRows - nCarried);
        m_carried.insert(m_carried.end(), pRows, pRows + nAt * m_rowBytes);
        bCarriedOut = nCarried + nAt == m_segmentRows || bLast;
        if (bCarriedOut)
            parts.push_back({m_carried.data(), nCarried + nAt});
    }
    while (nRows - nAt >= m_segmentRows || (bLast && nAt < nRows)) {
        const int nTake = std::min(m_segmentRows, nRows - nAt);
        parts.push_back({pRows + nAt * m_rowBytes, nTake});
        nAt += nTake;
    }
    if (!Write(parts, bLast, sink, strError))
        return false;
    if (bCarriedOut)
        m_carried.clear();
    m_carried.insert(m_carried.end(), pRows + nAt * m_rowBytes, pRows + nRows * m_rowBytes);
    return true;
}

bool JpegSegmentStream::Write(const std::vector<Part>& parts, bool bLast, const Sink& sink, std::string& strError)
{
    // Encoded at once, joined in order; two slots a thread keep memory at a few encoded segments.
    const size_t nCount = parts.size();
    const size_t nSlots = std::min(nCount, 2 * static_cast<size_t>(m_pool.GetThreadCount()));
    if (m_slots.size() < nSlots)
        m_slots.resize(nSlots);
    const size_t nFirst = m_segmentsWritten;
    const bool bJoined = m_pool.ProduceInOrder(
        nCount, nSlots, [&](size_t i, size_t nSlot) { Encode(parts[i], nFirst + i == 0, m_slots[nSlot]); },
        [&](size_t i, size_t nSlot) {
            return Join(m_slots[nSlot], nFirst + i, bLast && i + 1 == nCount, sink, strError);
        });
    if (bJoined)
        m_segmentsWritten += nCount;
    return bJoined;
}

} // namespace Codecs
