#pragma once

#include <string>

namespace Misc {

// An RGB colour on the 0..255 scale with an opacity that never reaches the image library.
class Color
{
public:
    Color() = default;
    // Tolerant hexadecimal form of project files: "#" anywhere is dropped, up to six digits read
    // in pairs, unreadable pairs give 0. The result is always valid.
    explicit Color(const std::string& strText);
    virtual ~Color() = default;

    bool SetColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue, float fAlpha);

    bool IsValid() const { return m_valid; }
    unsigned int GetRed() const { return m_red; }
    unsigned int GetGreen() const { return m_green; }
    unsigned int GetBlue() const { return m_blue; }

private:
    unsigned int m_red = 0;
    unsigned int m_green = 0;
    unsigned int m_blue = 0;
    float m_alpha = 1.0f;
    bool m_valid = false;
};

} // namespace Misc
