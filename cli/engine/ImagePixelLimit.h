#pragma once

#include "misc/Object.h"

#include <cstddef>
#include <string>

namespace Engine {

// The largest image, in pixels, that tesscli decodes. A file can claim any size in a few bytes
// of header, and decoding it would fill memory and the temporary disk before anything fails; the
// size a ping reports is checked against this limit first. The environment variable
// TESSCLI_MAX_IMAGE_PIXELS (a positive whole number) replaces the default.
class ImagePixelLimit : public Object
{
public:
    static const unsigned long long kDefaultLimit = 1000000000ULL;

    ImagePixelLimit();

    // False, naming the variable and its value, when TESSCLI_MAX_IMAGE_PIXELS is set to anything
    // but a positive whole number; checked once before any file is read, so that a mistyped limit
    // is not silently replaced by the default.
    bool CheckEnvironment();

    // False, naming the file and its declared size, when the image is larger than the limit, or
    // a side longer than ImageMagick's width or height limit.
    bool Admits(const std::string& strFile, size_t nWidth, size_t nHeight);
    // Admits for the size a PNG's header declares; other files pass. ImageMagick's PNG reader
    // refuses a side beyond its limits without saying which, or that a limit was hit at all.
    bool AdmitsDeclaredSize(const std::string& strFile);
    unsigned long long GetLimit() const { return m_limit; }

private:
    unsigned long long m_limit;
};

} // namespace Engine
