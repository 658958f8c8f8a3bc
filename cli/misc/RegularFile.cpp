#include "misc/RegularFile.h"

#include "misc/Format.h"

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace Misc {

bool CheckRegularFile(const std::string& strPath, std::string& strError)
{
    struct stat status;
    if (stat(strPath.c_str(), &status) == 0) {
        if (S_ISREG(status.st_mode))
            return true;
        strError = Format("The file %s is not a regular file", Printable(strPath).c_str());
        return false;
    }
    struct stat linkStatus;
    if (lstat(strPath.c_str(), &linkStatus) == 0 && S_ISLNK(linkStatus.st_mode)) {
        strError = Format("The file %s is a symbolic link to a file that does not exist", Printable(strPath).c_str());
        return false;
    }
    return true;
}

bool CheckOutputTarget(const std::string& strPath, std::string& strError)
{
    struct stat status;
    if (stat(strPath.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode))
        return true;
    strError = Format("The output file %s is a FIFO, device or socket; it is left as it is", strPath.c_str());
    return false;
}

std::string FollowLinks(const std::string& strPath)
{
    fs::path path(strPath);
    std::error_code error;
    // As many hops as the kernel allows before it calls it a loop.
    for (int nHop = 0; nHop < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++nHop) {
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            break;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path.string();
}

std::string FolderOf(const std::string& strPath)
{
    const fs::path path(strPath);
    return path.has_parent_path() ? path.parent_path().string() : std::string(".");
}

} // namespace Misc
