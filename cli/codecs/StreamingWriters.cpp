#include "codecs/StreamingWriters.h"

#include "codecs/DeepZoomWriter.h"
#include "codecs/JpegStreamWriter.h"
#include "codecs/PngStreamWriter.h"
#include "codecs/PyramidTiffWriter.h"
#include "codecs/TiffStreamWriter.h"
#include "misc/TextCase.h"
#include "threads/WorkerThreads.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace Codecs {

// Each writer takes only what it can reproduce exactly; anything else (another format, an
// unknown define, an attribute ImageMagick turns into image settings) returns nullptr, and the
// whole-canvas path writes the file as it always has. A wrong guess here would silently change
// files, a refusal only costs memory.

namespace {
bool StartsWith(const std::string& strText, const char* pszPrefix)
{
    return strText.rfind(pszPrefix, 0) == 0;
}

// Attribute names that ImageMagick turns into image settings (resolution, gamma, ...) instead
// of, or besides, a plain text property, and the properties its coders treat specially.
bool IsPlainProperty(const std::string& strName)
{
    static const std::set<std::string> s_settings = {
        "background", "bias",        "colorspace", "compose", "compress",     "delay", "density", "dispose",
        "gamma",      "gravity",     "intensity",  "intent",  "interpolate",  "loop",  "page",    "rendering-intent",
        "resolution", "tile-offset", "type",       "units",   "virtual-pixel"};
    const std::string strLower = Misc::ToLowerAscii(strName);
    if (strName.empty() || s_settings.count(strLower) != 0)
        return false;
    for (const char* pszPrefix : {"png:", "jpeg:", "tiff:", "date:", "exif:", "icc:", "8bim:", "iptc:", "xmp:"})
        if (StartsWith(strLower, pszPrefix))
            return false;
    return true;
}

bool HasPlainUniqueAttributes(const OutputOptions& options)
{
    std::set<std::string> names;
    for (const auto& [strName, strValue] : options.attributes) {
        // An empty value removes the property; the same name twice keeps one of them.
        if (!IsPlainProperty(strName) || strValue.empty() || !names.insert(Misc::ToLowerAscii(strName)).second)
            return false;
    }
    return true;
}

// Defines addressed to another of these coders are ignored by ImageMagick, as here.
bool IsOtherCodersDefine(const OutputOptions::Define& define, const std::string& strOwn)
{
    const std::string strFormat = Misc::ToLowerAscii(define.format);
    return strFormat != strOwn && (strFormat == "png" || strFormat == "jpeg" || strFormat == "tiff");
}

// A value "0" .. "nMax" as ImageMagick's PNG coder compares it.
bool ParseDigit(const std::string& strValue, int nMax, int& nDigit)
{
    if (strValue.size() != 1 || strValue[0] < '0' || strValue[0] > '0' + nMax)
        return false;
    nDigit = strValue[0] - '0';
    return true;
}

bool IsPngKeyword(const std::string& strKey)
{
    if (strKey.empty() || strKey.size() > 79 || strKey.front() == ' ' || strKey.back() == ' '
        || strKey.find("  ") != std::string::npos)
        return false;
    return std::all_of(strKey.begin(), strKey.end(), [](unsigned char c) { return (c >= 32 && c <= 126) || c >= 161; });
}

std::unique_ptr<ScanlineWriter> CreatePngWriter(const OutputOptions& options)
{
    int nLevel = 0, nStrategy = 0, nFilter = 0; // ImageMagick's codes: the value + 1, 0 unset
    for (const OutputOptions::Define& define : options.defines) {
        if (IsOtherCodersDefine(define, "png"))
            continue;
        const std::string strKey = Misc::ToLowerAscii(define.key);
        int nDigit = 0;
        if (!Misc::EqualsNoCase(define.format, "png"))
            return nullptr;
        if (strKey == "compression-level" && ParseDigit(define.value, 9, nDigit))
            nLevel = nDigit + 1;
        else if (strKey == "compression-strategy" && ParseDigit(define.value, 4, nDigit))
            nStrategy = nDigit + 1;
        else if (strKey == "compression-filter" && ParseDigit(define.value, 5, nDigit))
            nFilter = nDigit + 1;
        else
            return nullptr;
    }
    if (!HasPlainUniqueAttributes(options))
        return nullptr;

    // ImageMagick's reading of -quality for PNG (undefined is 75): tens the zlib level, units
    // the filter, 8 and 9 the run-length strategy, below 10 Huffman coding only.
    PngSettings settings;
    const unsigned nQuality = options.quality.value_or(0) == 0 ? 75 : *options.quality;
    if (nQuality <= 9) {
        if (nStrategy == 0)
            nStrategy = Z_HUFFMAN_ONLY + 1;
    } else if (nLevel == 0) {
        nLevel = static_cast<int>(std::min(nQuality / 10, 9u)) + 1;
    }
    if (nStrategy == 0 && (nQuality % 10 == 8 || nQuality % 10 == 9))
        nStrategy = Z_RLE + 1;
    if (nFilter == 0)
        nFilter = static_cast<int>(nQuality % 10) + 1;
    settings.zlibLevel = nLevel != 0 ? nLevel - 1 : Z_DEFAULT_COMPRESSION;
    settings.zlibStrategy = nStrategy - 1;
    // What ImageMagick 6.9 with libpng 1.6 writes, measured row by row: filter codes 2 to 5
    // (units 1 to 4) reach libpng as a mask without a valid filter bit, so no row is filtered
    // though zlib is told the data are filtered; every other code ends in adaptive filtering
    // (the grey and low-quality exceptions in ImageMagick's source do not show in its files).
    settings.filters = nFilter >= 2 && nFilter <= 5 ? 0 : PNG_ALL_FILTERS;
    settings.threads = Threads::UsableThreadCount();

    // Texts: uncompressed with -compression None, compressed with any other compression, and
    // without one compressed from 128 bytes on.
    for (const auto& [strName, strValue] : options.attributes) {
        if (!IsPngKeyword(strName))
            return nullptr;
        const bool bCompressed = options.compression ? *options.compression != "None" : strValue.size() >= 128;
        settings.texts.push_back({strName, strValue, bCompressed});
    }
    return std::make_unique<PngStreamWriter>(std::move(settings));
}

bool IsTrue(const std::string& strValue)
{
    // ImageMagick's IsStringTrue.
    for (const char* pszTrue : {"true", "on", "yes", "1"})
        if (Misc::EqualsNoCase(strValue, pszTrue))
            return true;
    return false;
}

std::unique_ptr<ScanlineWriter> CreateJpegWriter(const OutputOptions& options)
{
    if (!HasPlainUniqueAttributes(options))
        return nullptr;
    // Undefined quality is ImageMagick's 92. From 90 on it keeps full chroma resolution, and
    // above 90 it uses the accurate integer DCT, below the fast one (measured: its files are
    // byte for byte those of libjpeg with these settings).
    JpegSettings settings;
    settings.quality = options.quality.value_or(0) == 0 ? 92 : static_cast<int>(*options.quality);
    settings.fullChroma = settings.quality >= 90;
    settings.dctMethod = settings.quality > 90 ? JDCT_ISLOW : JDCT_IFAST;
    for (const OutputOptions::Define& define : options.defines) {
        if (IsOtherCodersDefine(define, "jpeg"))
            continue;
        const std::string strKey = Misc::ToLowerAscii(define.key);
        if (!Misc::EqualsNoCase(define.format, "jpeg"))
            return nullptr;
        if (strKey == "optimize-coding")
            settings.optimizeCoding = IsTrue(define.value);
        else if (strKey == "dct-method") // any value, even an unknown one, ends the fast default
            settings.dctMethod = JpegSettings::DctMethodNamed(define.value, JDCT_DEFAULT);
        else
            return nullptr;
    }
    // Of the attributes only the comment reaches a JPEG; the compression does not apply.
    for (const auto& [strName, strValue] : options.attributes)
        if (Misc::EqualsNoCase(strName, "comment"))
            settings.comment = strValue;
    settings.threads = Threads::UsableThreadCount();
    return std::make_unique<JpegStreamWriter>(std::move(settings));
}

// The TIFF compressions the streaming writers know, by their -compression names; false for others.
bool TiffCompressionNamed(const std::string& strName, TiffSettings::Compression& compression)
{
    using Compression = TiffSettings::Compression;
    static const std::pair<const char*, Compression> c_compressions[] = {
        {"", Compression::None},        {"None", Compression::None},   {"LZW", Compression::Lzw},
        {"RLE", Compression::PackBits}, {"Zip", Compression::Deflate}, {"JPEG", Compression::Jpeg}};
    const auto found = std::find_if(std::begin(c_compressions), std::end(c_compressions),
                                    [&](const auto& entry) { return strName == entry.first; });
    if (found == std::end(c_compressions))
        return false;
    compression = found->second;
    return true;
}

// ImageMagick's Deflate level for TIFF: the tens of -quality, 7 when it is not given.
int ZipLevel(const OutputOptions& options)
{
    return options.quality.value_or(0) == 0 ? 7 : static_cast<int>(std::min(*options.quality / 10, 9u));
}

// Only this writer makes pyramidal TIFFs; of the TIFF defines it takes the one that asks for it.
std::unique_ptr<ScanlineWriter> CreatePyramidTiffWriter(const OutputOptions& options)
{
    for (const OutputOptions::Define& define : options.defines)
        if (Misc::EqualsNoCase(define.format, "tiff") && !Misc::EqualsNoCase(define.key, "pyramid"))
            return nullptr;
    PyramidTiffSettings settings;
    if (!TiffCompressionNamed(options.compression.value_or(""), settings.compression))
        return nullptr;
    settings.zipQuality = ZipLevel(options);
    settings.jpegQuality = options.quality.value_or(0) == 0 ? 75 : static_cast<int>(*options.quality);
    settings.threads = Threads::UsableThreadCount();
    return std::make_unique<PyramidTiffWriter>(settings);
}

std::unique_ptr<ScanlineWriter> CreateTiffWriter(const OutputOptions& options)
{
    for (const OutputOptions::Define& define : options.defines)
        if (!IsOtherCodersDefine(define, "tiff"))
            return nullptr;
    if (!HasPlainUniqueAttributes(options))
        return nullptr;
    TiffSettings settings;
    // JPEG strips are left to ImageMagick, as are Fax, Group4 and BZip (bilevel or not in libtiff).
    if (!TiffCompressionNamed(options.compression.value_or(""), settings.compression)
        || settings.compression == TiffSettings::Compression::Jpeg)
        return nullptr;
    settings.zipQuality = ZipLevel(options);
    for (const auto& [strName, strValue] : options.attributes) {
        const std::string strLower = Misc::ToLowerAscii(strName);
        if (strLower == "comment")
            settings.description = strValue;
        else if (strLower == "label")
            settings.pageName = strValue;
    }
    return std::make_unique<TiffStreamWriter>(std::move(settings));
}

// A whole number from nMin to nMax, nothing else.
bool ParseNumber(const std::string& strValue, int nMin, int nMax, int& nNumber)
{
    if (strValue.empty() || strValue.size() > 9 || strValue.find_first_not_of("0123456789") != std::string::npos)
        return false;
    nNumber = std::stoi(strValue);
    return nNumber >= nMin && nNumber <= nMax;
}

// Only this writer makes DeepZoom pyramids, so it answers to its own defines alone; the
// other formats' defines have nothing to change here.
std::unique_ptr<ScanlineWriter> CreateDeepZoomWriter(const OutputOptions& options)
{
    DeepZoomSettings settings;
    for (const OutputOptions::Define& define : options.defines) {
        if (!Misc::EqualsNoCase(define.format, "dzi"))
            continue;
        const std::string strKey = Misc::ToLowerAscii(define.key);
        const std::string strValue = Misc::ToLowerAscii(define.value);
        if (strKey == "tile-size" && ParseNumber(strValue, 1, DeepZoomSettings::kMaxTileSize, settings.tileSize))
            continue;
        if (strKey == "overlap" && ParseNumber(strValue, 0, DeepZoomSettings::kMaxTileSize, settings.overlap))
            continue;
        if (strKey == "format" && (strValue == "jpg" || strValue == "jpeg" || strValue == "png")) {
            settings.png = strValue == "png";
            continue;
        }
        return nullptr;
    }
    if (settings.overlap > settings.tileSize)
        return nullptr;
    // vips's quality for DeepZoom tiles, and ImageMagick's rules for what depends on it.
    settings.jpeg.quality = options.quality.value_or(0) == 0 ? 75 : static_cast<int>(*options.quality);
    settings.jpeg.fullChroma = settings.jpeg.quality >= 90;
    settings.jpeg.dctMethod = JDCT_ISLOW;
    settings.threads = Threads::UsableThreadCount();
    return std::make_unique<DeepZoomWriter>(std::move(settings));
}
} // namespace

std::string StreamingFormatName(const std::string& strOutputFile)
{
    const std::string strExtension = Misc::ToLowerAscii(std::filesystem::path(strOutputFile).extension().string());
    if (strExtension == ".png")
        return "PNG";
    if (strExtension == ".jpg" || strExtension == ".jpeg" || strExtension == ".jpe")
        return "JPEG";
    if (strExtension == ".tif" || strExtension == ".tiff")
        return "TIFF";
    if (strExtension == ".dzi")
        return "DZI";
    return "";
}

std::string PyramidOptionsHelp(const std::string& strOutputFile)
{
    return StreamingFormatName(strOutputFile) == "DZI"
               ? "DeepZoom takes -extradata dzi tile-size (1 to 8192), overlap (0 to the tile size) and format "
                 "(jpg or png)"
               : "a pyramidal TIFF takes -compression None, LZW, Zip, JPEG or RLE, and no other tiff define";
}

bool IsPyramidOutput(const std::string& strOutputFile, const OutputOptions& options)
{
    const std::string strFormat = StreamingFormatName(strOutputFile);
    if (strFormat == "DZI")
        return true;
    return strFormat == "TIFF" && std::any_of(options.defines.begin(), options.defines.end(), [](const auto& define) {
               return Misc::EqualsNoCase(define.format, "tiff") && Misc::EqualsNoCase(define.key, "pyramid")
                      && IsTrue(define.value);
           });
}

std::unique_ptr<ScanlineWriter> CreateStreamingWriter(const std::string& strOutputFile, const OutputOptions& options)
{
    const std::string strFormat = StreamingFormatName(strOutputFile);
    if (strFormat == "PNG")
        return CreatePngWriter(options);
    if (strFormat == "JPEG")
        return CreateJpegWriter(options);
    if (strFormat == "TIFF")
        return IsPyramidOutput(strOutputFile, options) ? CreatePyramidTiffWriter(options) : CreateTiffWriter(options);
    if (strFormat == "DZI")
        return CreateDeepZoomWriter(options);
    return nullptr;
}

} // namespace Codecs
