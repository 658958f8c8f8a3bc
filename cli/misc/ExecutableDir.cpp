#include "misc/ExecutableDir.h"

#include <filesystem>
#include <system_error>

namespace Misc {

std::string GetExecutableDir(const std::string& strExeLink)
{
    // The link target is taken as a real path: nothing in it ("~", "$VAR") is expanded.
    std::error_code error;
    const std::filesystem::path exePath = std::filesystem::canonical(strExeLink, error);
    if (error || !exePath.has_parent_path())
        return std::string();
    return exePath.parent_path().string();
}

std::string FindImConfigDir(const std::string& strExecutableDir, const std::string& strInstalledDir)
{
    namespace fs = std::filesystem;
    const fs::path besideDir = fs::path(strExecutableDir) / "ImConfig";
    std::error_code error;
    if (fs::is_directory(besideDir, error))
        return besideDir.string();
    const fs::path installedDir = (fs::path(strExecutableDir) / strInstalledDir).lexically_normal();
    if (!strInstalledDir.empty() && fs::is_directory(installedDir, error))
        return installedDir.string();
    return besideDir.string();
}

} // namespace Misc
