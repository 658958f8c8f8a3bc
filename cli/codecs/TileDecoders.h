#pragma once

#include "codecs/TileDecoder.h"

#include <memory>
#include <string>

namespace Codecs {

// The one place that decides which tiles skip ImageMagick: a decoder for a PNG or JPEG file of a
// kind the direct decoders are proven to read to ImageMagick's exact samples; nullptr for any
// other file, which ImageMagick reads as before. Only the file's header is read here.
std::unique_ptr<TileDecoder> ChooseTileDecoder(const std::string& strFile);

} // namespace Codecs
