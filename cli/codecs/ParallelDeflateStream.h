#pragma once

#include "threads/WorkerThreads.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Codecs {

// Writes one zlib stream whose data arrive in parts, compressing every part in pieces on all
// threads of a pool: each piece is a raw deflate stream primed with the 32 KiB before it and
// ended by a sync flush (the stream's last piece by finishing it), so the pieces joined in
// order are one valid deflate stream; the trailer's Adler-32 is combined from the pieces'.
class ParallelDeflateStream
{
public:
    using Sink = std::function<bool(const uint8_t* pData, size_t nSize)>;

    ParallelDeflateStream(int nLevel, int nStrategy, size_t nPieceSize, Threads::WorkerPool& pool);

    // Compresses nSize more bytes (bLast: the end of the stream) and passes the compressed
    // bytes to sink in order; false when zlib or the sink failed.
    bool Append(const uint8_t* pData, size_t nSize, bool bLast, const Sink& sink);

private:
    struct Piece
    {
        std::vector<uint8_t> data;
        uint32_t adler = 1;
        bool ok = false;
    };

    void Compress(const uint8_t* pData, size_t nSize, size_t nOffset, bool bFinish, Piece& piece) const;
    void KeepTail(const uint8_t* pData, size_t nSize);
    std::vector<uint8_t> HeaderBytes() const;

    int m_level;
    int m_strategy;
    size_t m_pieceSize;
    Threads::WorkerPool& m_pool;
    bool m_started = false;
    uint32_t m_adler = 1;
    std::vector<uint8_t> m_tail; // the last bytes of earlier parts: the next part's dictionary
};

} // namespace Codecs
