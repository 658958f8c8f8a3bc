#include "misc/RegularFile.h"

#include "misc/Format.h"

#include <sys/stat.h>

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

} // namespace Misc
