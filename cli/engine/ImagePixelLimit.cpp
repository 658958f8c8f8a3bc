#include "engine/ImagePixelLimit.h"

#include <cerrno>
#include <cstdlib>

namespace Engine {

namespace {
const char* const kVariable = "TESSCLI_MAX_IMAGE_PIXELS";

unsigned long long LimitFromEnvironment()
{
    const char* pValue = std::getenv(kVariable);
    if (!pValue || !*pValue)
        return ImagePixelLimit::kDefaultLimit;
    char* pEnd = nullptr;
    errno = 0;
    const unsigned long long nValue = std::strtoull(pValue, &pEnd, 10);
    if (errno != 0 || *pEnd != '\0' || nValue == 0 || *pValue == '-')
        return ImagePixelLimit::kDefaultLimit;
    return nValue;
}
} // namespace

ImagePixelLimit::ImagePixelLimit() : m_limit(LimitFromEnvironment()) {}

bool ImagePixelLimit::Admits(const std::string& strFile, size_t nWidth, size_t nHeight)
{
    // Both sides fit in 32 bits in every format the library reads, so the product cannot wrap.
    const unsigned long long nPixels = static_cast<unsigned long long>(nWidth) * nHeight;
    if (nPixels <= m_limit)
        return true;
    SetLastError("The image %s declares %zux%zu pixels, more than the limit of %llu pixels per image "
                 "(set %s to raise it)",
                 strFile.c_str(), nWidth, nHeight, m_limit, kVariable);
    return false;
}

} // namespace Engine
