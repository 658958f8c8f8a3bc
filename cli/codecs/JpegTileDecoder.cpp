#include "codecs/JpegTileDecoder.h"

#include "codecs/JpegDecompression.h"

#include <new>

namespace Codecs {

JpegTileDecoder::JpegTileDecoder(std::string strFile) : m_file(std::move(strFile)) {}

TileDecoder::Outcome JpegTileDecoder::Decode(const TileExpectation& expected, TileRaster& raster)
{
    raster = TileRaster();
    JpegDecompression jpeg;
    if (!jpeg.Open(m_file) || !jpeg.ReadHeader())
        return Outcome::LeftToImageMagick;
    const jpeg_decompress_struct& header = jpeg.Header();
    if (!AdmitsSize(m_file, header.image_width, header.image_height, expected))
        return Outcome::Refused;
    // The chooser let only grey and colour files through; one rewritten since gets no guesses.
    const int nChannels = header.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    if ((header.out_color_space != JCS_GRAYSCALE && header.out_color_space != JCS_RGB) || !jpeg.Start()
        || header.output_components != nChannels || header.output_width != header.image_width
        || header.output_height != header.image_height)
        return Outcome::LeftToImageMagick;
    TileRaster decoded;
    decoded.width = expected.width;
    decoded.height = expected.height;
    decoded.channels = nChannels;
    decoded.bitDepth = 8;
    // Not zeroed: every byte is written by the decoder or the raster is dropped.
    decoded.data.reset(new (std::nothrow) uint8_t[decoded.ByteSize()]);
    if (!decoded.data)
        return Outcome::LeftToImageMagick;
    if (!jpeg.ReadRows(decoded.Row(0), decoded.BytesPerRow(), decoded.height) || !jpeg.Finish())
        return Outcome::LeftToImageMagick;
    raster = std::move(decoded);
    return Outcome::Decoded;
}

} // namespace Codecs
