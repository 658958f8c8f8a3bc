#pragma once

#include "misc/Color.h"

#include "TessaraContract.h"

#include <string>
#include <vector>

namespace Collectors {

// The content of a project: rows of file names and the compositing settings. A member counts only
// when its bit in flags is set.
class TessaraSettings : public Contract::SettingsFlags
{
public:
    TessaraSettings();
    virtual ~TessaraSettings() = default;

    void ClearSettings();
    // The first inconsistency found is described in strError.
    bool VerifySettings(std::string& strError) const;

    bool IsSet(Flag flag) const { return (flags & flag) != 0; }

    std::vector<std::vector<std::string>> rows;
    int overlap;
    int regionWidth;
    int regionHeight;
    Misc::Color background;
    Misc::Color transparency;
    bool stackImages;
    bool autoOrient; // turn images upright from their EXIF orientation
    std::vector<std::string> tray;
    unsigned int flags;
};

} // namespace Collectors
