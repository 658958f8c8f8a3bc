#pragma once

#include "misc/StringEnum.h"

namespace Data {

// Compression of the saved image; values are ImageMagick CompressionType numbers.
class ImageCompressions : public Misc::StringEnum
{
public:
    ImageCompressions();
    // The one shared table of the run.
    static const ImageCompressions& Instance();
};

} // namespace Data
