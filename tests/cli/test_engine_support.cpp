#include "test_engine_support.h"

#include <cstdlib>

namespace TestSupport {

namespace {
using MagickCore::Quantum; // MaxRGB names it unqualified

Magick::Quantum ToQuantum(unsigned nValue)
{
    return static_cast<Magick::Quantum>(nValue * 257);
}
unsigned ToByte(Magick::Quantum nValue)
{
    return static_cast<unsigned>((nValue + 128) / 257);
}
} // namespace

std::ostream& operator<<(std::ostream& stream, const Rgba& color)
{
    return stream << "rgba(" << color.red << "," << color.green << "," << color.blue << "," << color.alpha << ")";
}

Magick::Image CoordinateImage(int nWidth, int nHeight, unsigned nTag)
{
    Magick::Image image(Magick::Geometry(nWidth, nHeight), Magick::Color(0, 0, 0));
    image.depth(8);
    image.modifyImage();
    Magick::Pixels view(image);
    Magick::PixelPacket* pPixels = view.get(0, 0, nWidth, nHeight);
    for (int nY = 0; nY < nHeight; ++nY) {
        for (int nX = 0; nX < nWidth; ++nX) {
            Magick::PixelPacket& pixel = pPixels[nY * nWidth + nX];
            pixel.red = ToQuantum(nX % 256);
            pixel.green = ToQuantum(nY % 256);
            pixel.blue = ToQuantum(nTag);
        }
    }
    view.sync();
    return image;
}

Magick::Image SolidImage(int nWidth, int nHeight, const Rgba& color)
{
    Magick::Image image(Magick::Geometry(nWidth, nHeight),
                        Magick::Color(ToQuantum(color.red), ToQuantum(color.green), ToQuantum(color.blue),
                                      MaxRGB - ToQuantum(color.alpha)));
    image.depth(8);
    if (color.alpha != 255)
        image.matte(true);
    return image;
}

void Save(Magick::Image image, const std::filesystem::path& path)
{
    image.write(path.string());
}

// Read from the pixel cache, which holds colours for palette images as well.
Rgba PixelAt(const Magick::Image& image, int nX, int nY)
{
    const Magick::PixelPacket* pPixel = image.getConstPixels(nX, nY, 1, 1);
    const unsigned nAlpha = image.matte() ? 255 - ToByte(pPixel->opacity) : 255;
    return Rgba{ToByte(pPixel->red), ToByte(pPixel->green), ToByte(pPixel->blue), nAlpha};
}

TempDir::TempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tesscli-test-XXXXXX").string();
    m_path = mkdtemp(strTemplate.data());
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

} // namespace TestSupport
