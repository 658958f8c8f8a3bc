#include "codecs/ParallelDeflateStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace Codecs {

namespace {
constexpr size_t c_windowSize = 32768;
constexpr int c_memoryLevel = 9; // as ImageMagick asks of libpng
} // namespace

ParallelDeflateStream::ParallelDeflateStream(int nLevel, int nStrategy, size_t nPieceSize, Threads::WorkerPool& pool)
    : m_level(nLevel), m_strategy(nStrategy), m_pieceSize(std::max<size_t>(nPieceSize, 1)), m_pool(pool)
{}

std::vector<uint8_t> ParallelDeflateStream::HeaderBytes() const
{
    // The header zlib itself writes for these settings, so a one-piece stream equals zlib's.
    const int nLevel = m_level == Z_DEFAULT_COMPRESSION ? 6 : m_level;
    int nLevelFlags = 3;
    if (m_strategy >= Z_HUFFMAN_ONLY || nLevel < 2)
        nLevelFlags = 0;
    else if (nLevel < 6)
        nLevelFlags = 1;
    else if (nLevel == 6)
        nLevelFlags = 2;
    unsigned nHeader = (Z_DEFLATED + ((15 - 8) << 4)) << 8 | (nLevelFlags << 6);
    nHeader += 31 - nHeader % 31;
    return {static_cast<uint8_t>(nHeader >> 8), static_cast<uint8_t>(nHeader & 0xff)};
}

void ParallelDeflateStream::Compress(const uint8_t* pData, size_t nSize, size_t nOffset, bool bFinish,
                                     Piece& piece) const
{
    const size_t nLength = std::min(m_pieceSize, nSize - nOffset);
    // The window before the piece: earlier parts' tail, then this part's bytes before it.
    std::vector<uint8_t> dictionary;
    const size_t nFromPart = std::min(nOffset, c_windowSize);
    const size_t nFromTail = std::min(m_tail.size(), c_windowSize - nFromPart);
    dictionary.reserve(nFromTail + nFromPart);
    dictionary.insert(dictionary.end(), m_tail.end() - nFromTail, m_tail.end());
    dictionary.insert(dictionary.end(), pData + nOffset - nFromPart, pData + nOffset);

    piece.ok = false;
    z_stream stream{};
    if (deflateInit2(&stream, m_level, Z_DEFLATED, -15, c_memoryLevel, m_strategy) != Z_OK)
        return;
    bool bOk = dictionary.empty()
               || deflateSetDictionary(&stream, dictionary.data(), static_cast<uInt>(dictionary.size())) == Z_OK;
    piece.data.resize(deflateBound(&stream, nLength) + 64);
    stream.next_in = const_cast<Bytef*>(pData + nOffset);
    stream.avail_in = static_cast<uInt>(nLength);
    size_t nProduced = 0;
    while (bOk) {
        stream.next_out = piece.data.data() + nProduced;
        stream.avail_out = static_cast<uInt>(piece.data.size() - nProduced);
        const int nResult = deflate(&stream, bFinish ? Z_FINISH : Z_SYNC_FLUSH);
        nProduced = piece.data.size() - stream.avail_out;
        if (nResult == Z_STREAM_END || (nResult == Z_OK && stream.avail_out > 0 && !bFinish))
            break;
        bOk = nResult == Z_OK || nResult == Z_BUF_ERROR;
        piece.data.resize(piece.data.size() * 2);
    }
    deflateEnd(&stream);
    piece.data.resize(nProduced);
    piece.adler = adler32(1, pData + nOffset, static_cast<uInt>(nLength));
    piece.ok = bOk;
}

void ParallelDeflateStream::KeepTail(const uint8_t* pData, size_t nSize)
{
    if (nSize >= c_windowSize) {
        m_tail.assign(pData + nSize - c_windowSize, pData + nSize);
        return;
    }
    m_tail.insert(m_tail.end(), pData, pData + nSize);
    if (m_tail.size() > c_windowSize)
        m_tail.erase(m_tail.begin(), m_tail.end() - c_windowSize);
}

bool ParallelDeflateStream::Append(const uint8_t* pData, size_t nSize, bool bLast, const Sink& sink)
{
    // Even an empty last part makes a piece: the one that ends the stream.
    const size_t nPieces = std::max<size_t>((nSize + m_pieceSize - 1) / m_pieceSize, bLast ? 1 : 0);
    // Compressed at once, written in order; the window keeps memory at a few pieces.
    const size_t nWindow = 4 * static_cast<size_t>(m_pool.GetThreadCount());
    std::vector<Piece> slots(std::min(nPieces, nWindow));
    auto writePiece = [&](size_t i, size_t nSlot) {
        Piece& piece = slots[nSlot];
        if (!piece.ok)
            return false;
        const size_t nLength = std::min(m_pieceSize, nSize - i * m_pieceSize);
        m_adler = adler32_combine(m_adler, piece.adler, static_cast<z_off_t>(nLength));
        // The header rides with the first piece and the trailer with the last, so no tiny chunks.
        if (!m_started) {
            const std::vector<uint8_t> header = HeaderBytes();
            piece.data.insert(piece.data.begin(), header.begin(), header.end());
            m_started = true;
        }
        if (bLast && i + 1 == nPieces) {
            const uint8_t trailer[4] = {static_cast<uint8_t>(m_adler >> 24), static_cast<uint8_t>(m_adler >> 16),
                                        static_cast<uint8_t>(m_adler >> 8), static_cast<uint8_t>(m_adler)};
            piece.data.insert(piece.data.end(), trailer, trailer + sizeof trailer);
        }
        return piece.data.empty() || sink(piece.data.data(), piece.data.size());
    };
    const bool bWritten = m_pool.ProduceInOrder(
        nPieces, slots.size(),
        [&](size_t i, size_t nSlot) {
            Compress(pData, nSize, i * m_pieceSize, bLast && i + 1 == nPieces, slots[nSlot]);
        },
        writePiece);
    if (!bWritten)
        return false;
    KeepTail(pData, nSize);
    return true;
}

} // namespace Codecs
