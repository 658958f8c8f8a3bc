#include "collectors/TessaraSettings.h"

namespace Collectors {

TessaraSettings::TessaraSettings()
{
    ClearSettings();
}

void TessaraSettings::ClearSettings()
{
    rows.clear();
    overlap = -1;
    regionWidth = -1;
    regionHeight = -1;
    background = Misc::Color();
    transparency = Misc::Color();
    stackImages = false;
    autoOrient = false;
    tray.clear();
    flags = 0;
}

bool TessaraSettings::VerifySettings(std::string& strError) const
{
    strError.clear();
    if (!IsSet(FlagRows))
        strError = "No input rows have been specified";
    else if (IsSet(FlagOverlap) && IsSet(FlagRegion))
        strError = "Overlap and region cannot be used at the same time";
    else if (IsSet(FlagOverlap) && overlap < 1)
        strError = "The overlap is too small";
    else if (IsSet(FlagRegion) && (regionWidth < 5 || regionHeight < 5))
        strError = "The region is too small";
    else if (IsSet(FlagBackground) && !background.IsValid())
        strError = "The background color is invalid";
    else if (IsSet(FlagTransparency) && !transparency.IsValid())
        strError = "The transparency key color is invalid";
    return strError.empty();
}

} // namespace Collectors
