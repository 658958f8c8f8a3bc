#include "codecs/ReplacingFileWriter.h"

#include "misc/InterruptCleanup.h"
#include "misc/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Codecs {

namespace {
// The library names the file it failed on; the user knows only the target.
std::string ReplaceAll(std::string strText, const std::string& strFrom, const std::string& strTo)
{
    for (size_t nPos = strText.find(strFrom); nPos != std::string::npos;
         nPos = strText.find(strFrom, nPos + strTo.size()))
        strText.replace(nPos, strFrom.size(), strTo);
    return strText;
}

// A replaced file keeps its permissions; a new one gets those any new file would get.
mode_t ResultMode(const std::string& strTarget)
{
    struct stat status;
    if (stat(strTarget.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return status.st_mode & 07777;
    const mode_t nMask = umask(0);
    umask(nMask);
    return 0666 & ~nMask;
}

// The data must be on the disk before the rename makes it the target, and the rename itself
// before we report success: otherwise a crash of the machine can leave an empty target.
bool SyncToDisk(const std::string& strPath, int nFlags)
{
    const int nFile = open(strPath.c_str(), nFlags | O_CLOEXEC);
    if (nFile < 0)
        return false;
    // Some file systems (FUSE, network mounts) cannot sync at all; there is nothing to wait for then.
    const bool bSynced = fsync(nFile) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int nError = errno;
    close(nFile);
    errno = nError;
    return bSynced;
}

} // namespace

ReplacingFileWriter::ReplacingFileWriter(const std::string& strTarget)
    : m_target(strTarget), m_replaced(Misc::FollowLinks(strTarget))
{}

bool ReplacingFileWriter::CreateTemporaryFile(std::string& strTemporary)
{
    const fs::path target(m_replaced);
    const fs::path directory = target.parent_path();
    std::error_code error;
    if (!directory.empty() && !fs::exists(directory, error))
        fs::create_directory(directory, error);

    const std::string strExtension = target.extension().string();
    std::string strTemplate = (directory / ("." + target.filename().string() + "-XXXXXX" + strExtension)).string();
    const int nFile = mkstemps(strTemplate.data(), static_cast<int>(strExtension.size()));
    if (nFile < 0) {
        SetLastError("Cannot create a file in %s: %s", directory.c_str(), std::strerror(errno));
        return false;
    }
    // A temporary file starts private.
    fchmod(nFile, ResultMode(m_replaced));
    close(nFile);
    strTemporary = strTemplate;
    return true;
}

bool ReplacingFileWriter::Write(const Producer& produce)
{
    std::string strRefusal;
    if (!Misc::CheckOutputTarget(m_target, strRefusal)) {
        SetLastError("%s", strRefusal.c_str());
        return false;
    }
    std::string strTemporary;
    {
        // The file exists from its creation on: an interrupt must already know its name.
        Misc::InterruptCleanup::SignalsHeld held;
        if (!CreateTemporaryFile(strTemporary))
            return false;
        Misc::InterruptCleanup::SetPendingFile(strTemporary);
    }
    const bool bReplaced = ProduceAndReplace(produce, strTemporary);
    if (!bReplaced) {
        std::remove(strTemporary.c_str());
        Misc::InterruptCleanup::ClearPendingFile();
    }
    return bReplaced;
}

bool ReplacingFileWriter::ProduceAndReplace(const Producer& produce, const std::string& strTemporary)
{
    std::string strError;
    if (!produce(strTemporary, strError)) {
        SetLastError("%s", ReplaceAll(strError, strTemporary, m_target).c_str());
        return false;
    }
    Misc::InterruptCleanup::StopPointForTests("produced");
    if (!SyncToDisk(strTemporary, O_RDONLY)) {
        SetLastError("Cannot write %s: %s", m_target.c_str(), std::strerror(errno));
        return false;
    }
    const std::string strDirectory = Misc::FolderOf(m_replaced);
    // From the rename on, an interrupt reports the output as written.
    if (!Misc::InterruptCleanup::ReplaceWithPendingFile(m_replaced, strDirectory)) {
        SetLastError("Cannot replace %s: %s", m_target.c_str(), std::strerror(errno));
        return false;
    }
    Misc::InterruptCleanup::StopPointForTests("replaced");
    SyncToDisk(strDirectory, O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace Codecs
