#include "TestSupport.h"

#include <cstdlib>
#include <vector>

namespace TestSupport {

Magick::Image ImageOf(int nWidth, int nHeight, const std::function<Rgba(int, int)>& pixelAt)
{
    std::vector<unsigned char> bytes;
    bool bAlpha = false;
    for (int nY = 0; nY < nHeight; ++nY) {
        for (int nX = 0; nX < nWidth; ++nX) {
            const Rgba pixel = pixelAt(nX, nY);
            for (unsigned nComponent : {pixel.red, pixel.green, pixel.blue, pixel.alpha})
                bytes.push_back(static_cast<unsigned char>(nComponent));
            bAlpha |= pixel.alpha != 255;
        }
    }
    Magick::Image image(nWidth, nHeight, "RGBA", Magick::CharPixel, bytes.data());
    image.matte(bAlpha);
    image.depth(8);
    return image;
}

std::ostream& operator<<(std::ostream& stream, const Rgba& color)
{
    return stream << "rgba(" << color.red << "," << color.green << "," << color.blue << "," << color.alpha << ")";
}

Magick::Image CoordinateImage(int nWidth, int nHeight, unsigned nTag)
{
    return ImageOf(nWidth, nHeight,
                   [nTag](int nX, int nY) { return Rgba{unsigned(nX % 256), unsigned(nY % 256), nTag}; });
}

Magick::Image SolidImage(int nWidth, int nHeight, const Rgba& color)
{
    return ImageOf(nWidth, nHeight, [color](int, int) { return color; });
}

void Save(Magick::Image image, const std::filesystem::path& path)
{
    image.write(path.string());
}

Rgba PixelAt(Magick::Image image, int nX, int nY)
{
    unsigned char rgba[4];
    image.write(nX, nY, 1, 1, "RGBA", Magick::CharPixel, rgba);
    // Without an alpha channel, the library leaves whatever it likes in the alpha slot.
    return Rgba{rgba[0], rgba[1], rgba[2], image.matte() ? rgba[3] : 255u};
}

void ExpectSamePixels(const Magick::Image& expected, const Magick::Image& actual)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (int nY = 0; nY < static_cast<int>(expected.rows()); ++nY)
        for (int nX = 0; nX < static_cast<int>(expected.columns()); ++nX)
            ASSERT_EQ(PixelAt(actual, nX, nY), PixelAt(expected, nX, nY)) << "at (" << nX << ", " << nY << ")";
}

std::string RgbOf(const Misc::Color& color)
{
    return std::to_string(color.GetRed()) + "," + std::to_string(color.GetGreen()) + "," +
           std::to_string(color.GetBlue());
}

std::string Layout(const Data::DataSetInputFiles& files, const std::string& strDir)
{
    std::string strLayout;
    for (const Data::InputFile& entry : files.GetEntries()) {
        std::string strName = entry.empty ? "<empty>" : entry.fileName;
        if (!strDir.empty() && strName.rfind(strDir + "/", 0) == 0)
            strName.replace(0, strDir.size(), ".");
        strLayout += (strLayout.empty() ? "" : " ") + strName;
        if (entry.row >= 0 || entry.column >= 0)
            strLayout += "@" + std::to_string(entry.row) + "," + std::to_string(entry.column);
        if (entry.index >= 0)
            strLayout += "#" + std::to_string(entry.index);
    }
    return strLayout;
}

TempDir::TempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tesscli-test-XXXXXX").string();
    m_path = std::filesystem::canonical(mkdtemp(strTemplate.data()));
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

ArgumentTable::ArgumentTable(const std::vector<std::string>& arguments)
{
    std::vector<const char*> argv{"tesscli"};
    for (const std::string& strArg : arguments)
        argv.push_back(strArg.c_str());
    Initialize(static_cast<int>(argv.size()), argv.data());
}

} // namespace TestSupport
