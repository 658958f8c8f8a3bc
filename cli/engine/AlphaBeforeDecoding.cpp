#include "engine/AlphaBeforeDecoding.h"

#include <Magick++.h>
#include <tiffio.h>

namespace Engine {

namespace {
// The reader reports the file's faults when it decodes it; here they only mean "no alpha".
int IgnoreLibraryMessage(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

bool TiffDeclaresAlpha(const std::string& strFile)
{
    TIFFOpenOptions* pOptions = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(pOptions, IgnoreLibraryMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(pOptions, IgnoreLibraryMessage, nullptr);
    TIFF* pTiff = TIFFOpenExt(strFile.c_str(), "r", pOptions);
    TIFFOpenOptionsFree(pOptions);
    if (!pTiff)
        return false;
    uint16_t nSamples = 0, nPhotometric = 0, nExtraSamples = 0;
    const uint16_t* pExtraTypes = nullptr;
    TIFFGetFieldDefaulted(pTiff, TIFFTAG_SAMPLESPERPIXEL, &nSamples);
    TIFFGetFieldDefaulted(pTiff, TIFFTAG_EXTRASAMPLES, &nExtraSamples, &pExtraTypes);
    const bool bPhotometric = TIFFGetField(pTiff, TIFFTAG_PHOTOMETRIC, &nPhotometric) == 1;
    TIFFClose(pTiff);
    // The reader's rule: any extra sample is alpha, and so is a fourth RGB sample without the tag.
    return nExtraSamples > 0 || (nSamples == 4 && bPhotometric && nPhotometric == PHOTOMETRIC_RGB);
}
} // namespace

std::optional<bool> AlphaBeforeDecoding(const Magick::Image& ping, const std::string& strFile)
{
    const std::string strMagick = ping.magick();
    if (ping.matte())
        return true;
    // TIFF64 is BigTIFF.
    if (strMagick == "TIFF" || strMagick == "TIFF64")
        return TiffDeclaresAlpha(strFile);
    if (strMagick == "DPX")
        return std::nullopt;
    return false;
}

} // namespace Engine
