#include "engine/CanvasLimits.h"

#include "misc/Format.h"

#include <Magick++.h>

#include <cerrno>
#include <cstring>
#include <iterator>

namespace Engine {

namespace {
using MagickCore::MagickSizeType;

enum class Unit {
    Pixels,
    Bytes
};

// Sizes in the notation of the library's policy files: binary steps for bytes ("16GiB"),
// decimal ones for pixels ("900MP").
std::string SizeText(MagickSizeType nSize, Unit unit)
{
    const bool bBytes = unit == Unit::Bytes;
    const double dStep = bBytes ? 1024.0 : 1000.0;
    const char* const prefixes[] = {"", "K", "M", "G", "T", "P", "E"};
    double dSize = static_cast<double>(nSize);
    size_t nPrefix = 0;
    while (dSize >= dStep && nPrefix + 1 < std::size(prefixes)) {
        dSize /= dStep;
        ++nPrefix;
    }
    return Misc::Format("%.4g%s%s%s", dSize, prefixes[nPrefix], bBytes && nPrefix > 0 ? "i" : "", bBytes ? "B" : "P");
}

std::string LimitText(MagickCore::ResourceType type, Unit unit)
{
    const MagickSizeType nLimit = MagickCore::GetMagickResourceLimit(type);
    return nLimit == MagickResourceInfinity ? "unlimited" : SizeText(nLimit, unit);
}
} // namespace

bool CanvasLimits::Admits(int nWidth, int nHeight)
{
    const auto nWidthLimit = MagickCore::GetMagickResourceLimit(MagickCore::WidthResource);
    const auto nHeightLimit = MagickCore::GetMagickResourceLimit(MagickCore::HeightResource);
    if (static_cast<MagickSizeType>(nWidth) > nWidthLimit) {
        SetLastError("The compound image of %ix%i pixels is wider than ImageMagick's width limit (%s)", nWidth, nHeight,
                     LimitText(MagickCore::WidthResource, Unit::Pixels).c_str());
        return false;
    }
    if (static_cast<MagickSizeType>(nHeight) > nHeightLimit) {
        SetLastError("The compound image of %ix%i pixels is higher than ImageMagick's height limit (%s)", nWidth,
                     nHeight, LimitText(MagickCore::HeightResource, Unit::Pixels).c_str());
        return false;
    }
    return true;
}

std::string SideLimitText(bool bHeight)
{
    return LimitText(bHeight ? MagickCore::HeightResource : MagickCore::WidthResource, Unit::Pixels);
}

std::string CanvasLimits::DescribeFailure(int nWidth, int nHeight, const std::string& strReason) const
{
    // The library keeps four channels per pixel.
    const auto nBytes = static_cast<MagickSizeType>(nWidth) * nHeight * 4 * sizeof(MagickCore::Quantum);
    // The library words a full disk under its cache like a limit; the user needs to hear which.
    if (strReason.find(std::strerror(ENOSPC)) != std::string::npos) {
        return Misc::Format("The temporary folder is full: the compound image of %ix%i pixels (%s) does not fit "
                            "in it (set TMPDIR to a folder with more room): %s",
                            nWidth, nHeight, SizeText(nBytes, Unit::Bytes).c_str(), strReason.c_str());
    }
    return Misc::Format("The compound image of %ix%i pixels (%s) exceeds ImageMagick's resource limits "
                        "(area %s, memory %s, map %s, disk %s): %s",
                        nWidth, nHeight, SizeText(nBytes, Unit::Bytes).c_str(),
                        LimitText(MagickCore::AreaResource, Unit::Pixels).c_str(),
                        LimitText(MagickCore::MemoryResource, Unit::Bytes).c_str(),
                        LimitText(MagickCore::MapResource, Unit::Bytes).c_str(),
                        LimitText(MagickCore::DiskResource, Unit::Bytes).c_str(), strReason.c_str());
}

} // namespace Engine
