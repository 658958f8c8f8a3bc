#include "engine/ImagePixelLimit.h"

#include "engine/CanvasLimits.h"
#include "misc/Format.h"

#include <Magick++.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace Engine {

namespace {
const char* const kVariable = "TESSCLI_MAX_IMAGE_PIXELS";

// Digits only: strtoull alone would take " -5" as a huge number and "12x" as 12.
bool ParseLimit(const char* pValue, unsigned long long& nLimit)
{
    if (!pValue || *pValue < '0' || *pValue > '9')
        return false;
    char* pEnd = nullptr;
    errno = 0;
    nLimit = std::strtoull(pValue, &pEnd, 10);
    return errno == 0 && *pEnd == '\0' && nLimit > 0;
}

unsigned long long LimitFromEnvironment()
{
    unsigned long long nLimit = 0;
    return ParseLimit(std::getenv(kVariable), nLimit) ? nLimit : ImagePixelLimit::kDefaultLimit;
}
} // namespace

ImagePixelLimit::ImagePixelLimit() : m_limit(LimitFromEnvironment()) {}

bool ImagePixelLimit::CheckEnvironment()
{
    const char* pValue = std::getenv(kVariable);
    unsigned long long nLimit = 0;
    if (!pValue || ParseLimit(pValue, nLimit))
        return true;
    SetLastError("%s is '%s', which is not a positive whole number of pixels", kVariable,
                 Misc::Printable(pValue).c_str());
    return false;
}

bool ImagePixelLimit::Admits(const std::string& strFile, size_t nWidth, size_t nHeight)
{
    // Both sides fit in 32 bits in every format the library reads, so the product cannot wrap.
    const unsigned long long nPixels = static_cast<unsigned long long>(nWidth) * nHeight;
    if (nPixels > m_limit) {
        SetLastError("The image %s declares %zux%zu pixels, more than the limit of %llu pixels per image "
                     "(set %s to raise it)",
                     Misc::Printable(strFile).c_str(), nWidth, nHeight, m_limit, kVariable);
        return false;
    }
    for (const bool bHeight : {false, true}) {
        const size_t nSide = bHeight ? nHeight : nWidth;
        const MagickCore::ResourceType type = bHeight ? MagickCore::HeightResource : MagickCore::WidthResource;
        if (static_cast<MagickCore::MagickSizeType>(nSide) <= MagickCore::GetMagickResourceLimit(type))
            continue;
        SetLastError("The image %s declares %zux%zu pixels, %s than ImageMagick's %s limit (%s)",
                     Misc::Printable(strFile).c_str(), nWidth, nHeight, bHeight ? "higher" : "wider",
                     bHeight ? "height" : "width", SideLimitText(bHeight).c_str());
        return false;
    }
    return true;
}

bool ImagePixelLimit::AdmitsDeclaredSize(const std::string& strFile)
{
    // Signature, then the IHDR chunk: length, type, width and height as big-endian numbers.
    unsigned char header[24] = {};
    std::ifstream file(strFile, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(header), sizeof(header))
        || std::string(reinterpret_cast<char*>(header), 8) != "\x89PNG\r\n\x1a\n"
        || std::string(reinterpret_cast<char*>(header) + 12, 4) != "IHDR")
        return true;
    auto bigEndian = [&](size_t nOffset) {
        return static_cast<size_t>(header[nOffset]) << 24 | static_cast<size_t>(header[nOffset + 1]) << 16
               | static_cast<size_t>(header[nOffset + 2]) << 8 | header[nOffset + 3];
    };
    return Admits(strFile, bigEndian(16), bigEndian(20));
}

} // namespace Engine
