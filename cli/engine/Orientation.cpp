#include "engine/Orientation.h"

#include <Magick++.h>

namespace Engine {

namespace {
bool IsQuarterTurn(Magick::OrientationType orientation)
{
    switch (orientation) {
    case Magick::LeftTopOrientation:
    case Magick::RightTopOrientation:
    case Magick::RightBottomOrientation:
    case Magick::LeftBottomOrientation:
        return true;
    default:
        return false;
    }
}
} // namespace

ImageSize LayoutSize(const Magick::Image& image, bool bUpright)
{
    const int nWidth = static_cast<int>(image.columns());
    const int nHeight = static_cast<int>(image.rows());
    if (bUpright && IsQuarterTurn(image.orientation()))
        return ImageSize{nHeight, nWidth};
    return ImageSize{nWidth, nHeight};
}

void TurnUpright(Magick::Image& image)
{
    image.autoOrient();
}

} // namespace Engine
