#include "misc/Format.h"

#include <cstdio>

namespace Misc {

std::string FormatV(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();

    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    return text;
}

std::string Printable(const std::string& strText)
{
    std::string strPrintable;
    strPrintable.reserve(strText.size());
    for (const char cCharacter : strText) {
        const unsigned char nCode = static_cast<unsigned char>(cCharacter);
        if (nCode >= 0x20 && nCode != 0x7f)
            strPrintable += cCharacter;
        else if (cCharacter == '\n')
            strPrintable += "\\n";
        else if (cCharacter == '\t')
            strPrintable += "\\t";
        else if (cCharacter == '\r')
            strPrintable += "\\r";
        else
            strPrintable += Format("\\x%02x", nCode);
    }
    return strPrintable;
}

std::string WithoutSourceLocation(const std::string& strMessage)
{
    const size_t nAt = strMessage.rfind(" @ ");
    if (nAt == std::string::npos)
        return strMessage;
    // "error/cache.c/OpenPixelCache/4095": a location has slashes and no blank.
    const std::string strTail = strMessage.substr(nAt + 3);
    if (strTail.find('/') == std::string::npos || strTail.find(' ') != std::string::npos)
        return strMessage;
    return strMessage.substr(0, nAt);
}

std::string WithReason(const std::string& strMessage, const std::string& strReason)
{
    if (strReason.empty())
        return strMessage;
    return strMessage + "\n    " + Printable(strReason);
}

} // namespace Misc
