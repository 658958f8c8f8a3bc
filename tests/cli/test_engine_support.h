#pragma once

#include <Magick++.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace TestSupport {

// 8-bit colour with alpha, for exact pixel comparisons. Fully transparent pixels are equal
// whatever colour they keep.
struct Rgba
{
    unsigned red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const Rgba& other) const
    {
        if (alpha == 0 || other.alpha == 0)
            return alpha == other.alpha;
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
};
std::ostream& operator<<(std::ostream& stream, const Rgba& color);

// An image whose pixel (x, y) is (x, y, nTag): any pixel tells where in which image it came from.
Magick::Image CoordinateImage(int nWidth, int nHeight, unsigned nTag);
Magick::Image SolidImage(int nWidth, int nHeight, const Rgba& color);
void Save(Magick::Image image, const std::filesystem::path& path);
Rgba PixelAt(const Magick::Image& image, int nX, int nY);

// A fresh directory, removed with everything in it at the end of the test.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& strName) const { return (m_path / strName).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace TestSupport
