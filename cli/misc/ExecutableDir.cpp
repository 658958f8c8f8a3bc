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

} // namespace Misc
