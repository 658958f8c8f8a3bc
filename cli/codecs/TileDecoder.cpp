#include "codecs/TileDecoder.h"

#include "misc/Format.h"

namespace Codecs {

bool TileDecoder::AdmitsSize(const std::string& strFile, unsigned long long nWidth, unsigned long long nHeight,
                             const TileExpectation& expected)
{
    // Both sides fit in 32 bits in PNG and JPEG headers, so the product cannot wrap.
    if (nWidth * nHeight > expected.maxPixels) {
        SetLastError("The image %s declares %llux%llu pixels, more than the limit of %llu pixels per image",
                     Misc::Printable(strFile).c_str(), nWidth, nHeight, expected.maxPixels);
        return false;
    }
    if (nWidth != static_cast<unsigned long long>(expected.width)
        || nHeight != static_cast<unsigned long long>(expected.height)) {
        SetLastError("The image %s changed since it was checked: %llux%llu instead of %ix%i",
                     Misc::Printable(strFile).c_str(), nWidth, nHeight, expected.width, expected.height);
        return false;
    }
    return true;
}

} // namespace Codecs
