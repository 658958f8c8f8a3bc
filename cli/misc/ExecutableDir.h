#pragma once

#include <string>

namespace Misc {

// The directory of the running executable, canonical and without a trailing separator, found
// through the process's own exe link. Empty when it cannot be determined. The link is a parameter
// only so that the lookup can be exercised on other links.
std::string GetExecutableDir(const std::string& strExeLink = "/proc/self/exe");

// The ImageMagick configuration that ships with tesscli: "ImConfig" beside the executable (a build
// folder or an unpacked copy), else strInstalledDir taken from the executable's directory (the data
// folder of an install). When neither exists, the folder beside the executable, so that the
// configuration line names the first place looked at.
std::string FindImConfigDir(const std::string& strExecutableDir, const std::string& strInstalledDir);

} // namespace Misc
