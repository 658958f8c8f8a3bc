#pragma once

#include <optional>
#include <string>

namespace Magick {
class Image;
}

namespace Engine {

// Whether ImageMagick will decode the pinged file with an alpha channel. Its ping says so for
// most formats; for TIFF it stops before the extra samples, which are read here instead; for DPX
// only decoding tells, and the result is empty.
std::optional<bool> AlphaBeforeDecoding(const Magick::Image& ping, const std::string& strFile);

} // namespace Engine
