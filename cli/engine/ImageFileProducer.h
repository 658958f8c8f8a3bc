#pragma once

#include "codecs/ReplacingFileWriter.h"

namespace Magick {
class Image;
}

namespace Engine {

// Has ImageMagick write the whole image to the file a ReplacingFileWriter asks for, in the format
// the file's extension names; the image must outlive the write.
Codecs::ReplacingFileWriter::Producer ImageFileProducer(Magick::Image& image);

} // namespace Engine
