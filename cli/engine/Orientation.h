#pragma once

#include "engine/GridLayout.h"

namespace Magick {
class Image;
}

namespace Engine {

// The size an image takes in the layout: as stored, or upright when bUpright is set, where the
// EXIF orientations 5 to 8 (a quarter turn) swap width and height. Works on pinged images.
ImageSize LayoutSize(const Magick::Image& image, bool bUpright);

// Turns the pixels upright and marks them so, so that a viewer does not turn them again.
void TurnUpright(Magick::Image& image);

} // namespace Engine
