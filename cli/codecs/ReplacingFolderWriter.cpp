#include "codecs/ReplacingFolderWriter.h"

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
// Puts strFrom in the place of strTo: a folder swaps places with an old folder there in one
// step, so that a reader sees either the whole old or the whole new one.
bool MoveInto(const std::string& strFrom, const std::string& strTo)
{
    struct stat status;
    if (lstat(strTo.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::error_code error;
        if (!fs::is_directory(fs::symlink_status(strFrom, error))) {
            errno = EISDIR;
            return false;
        }
        return renameat2(AT_FDCWD, strFrom.c_str(), AT_FDCWD, strTo.c_str(), RENAME_EXCHANGE) == 0;
    }
    return std::rename(strFrom.c_str(), strTo.c_str()) == 0;
}

// The output must be on the disk before it replaces anything, as for a single file. One syncfs
// for the whole file system: an fsync for each of many thousand tiles took longer than making them.
void SyncFileSystem(const std::string& strFolder)
{
    const int nFolder = open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFolder >= 0) {
        syncfs(nFolder);
        close(nFolder);
    }
}
} // namespace

ReplacingFolderWriter::ReplacingFolderWriter(const std::string& strTarget) : m_target(Misc::FollowLinks(strTarget)) {}

bool ReplacingFolderWriter::CreateHiddenFolder(std::string& strFolder)
{
    const fs::path target(m_target);
    const std::string strParent = Misc::FolderOf(m_target);
    std::error_code error;
    if (!fs::exists(strParent, error))
        fs::create_directory(strParent, error);
    std::string strTemplate = (fs::path(strParent) / ("." + target.filename().string() + "-XXXXXX")).string();
    if (!mkdtemp(strTemplate.data())) {
        SetLastError("Cannot create a folder in %s: %s", strParent.c_str(), std::strerror(errno));
        return false;
    }
    // mkdtemp makes it private; what is moved out of it gets the permissions of new files.
    const mode_t nMask = umask(0);
    umask(nMask);
    chmod(strTemplate.c_str(), 0777 & ~nMask);
    strFolder = strTemplate;
    return true;
}

bool ReplacingFolderWriter::Write(const ReplacingFileWriter::Producer& produce)
{
    std::string strRefusal;
    if (!Misc::CheckOutputTarget(m_target, strRefusal)) {
        SetLastError("%s", strRefusal.c_str());
        return false;
    }
    std::string strFolder;
    {
        Misc::InterruptCleanup::SignalsHeld held;
        if (!CreateHiddenFolder(strFolder))
            return false;
        Misc::InterruptCleanup::SetPendingFolder(strFolder);
    }
    const bool bMoved = ProduceAndMove(produce, strFolder);
    std::error_code error;
    fs::remove_all(strFolder, error);
    Misc::InterruptCleanup::ClearPendingFolder();
    return bMoved;
}

bool ReplacingFolderWriter::ProduceAndMove(const ReplacingFileWriter::Producer& produce, const std::string& strFolder)
{
    const std::string strInside = (fs::path(strFolder) / fs::path(m_target).filename()).string();
    std::string strError;
    if (!produce(strInside, strError)) {
        SetLastError("%s", strError.c_str());
        return false;
    }
    Misc::InterruptCleanup::StopPointForTests("produced");
    SyncFileSystem(strFolder);
    if (!MoveEntries(strFolder))
        return false;
    Misc::InterruptCleanup::StopPointForTests("replaced");
    SyncFileSystem(Misc::FolderOf(m_target));
    return true;
}

bool ReplacingFolderWriter::MoveEntries(const std::string& strFolder)
{
    const fs::path target(m_target);
    const std::string strName = target.filename().string();
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(strFolder, error)) {
        const std::string strEntry = entry.path().filename().string();
        if (strEntry[0] != '.' && strEntry != strName)
            names.push_back(strEntry);
    }
    // The target's own name last: once it is in place, the output is complete. A machine crash
    // between the moves can leave new companions (tiles) beside the old descriptor.
    names.push_back(strName);
    Misc::InterruptCleanup::SignalsHeld held;
    for (size_t nMoved = 0; nMoved < names.size(); ++nMoved) {
        const std::string strTo = (target.parent_path() / names[nMoved]).string();
        if (MoveInto((fs::path(strFolder) / names[nMoved]).string(), strTo))
            continue;
        SetLastError("Cannot replace %s: %s", strTo.c_str(), std::strerror(errno));
        // Back as it was: swapped folders swap again, new entries go back into the hidden folder.
        while (nMoved-- > 0)
            MoveInto((target.parent_path() / names[nMoved]).string(), (fs::path(strFolder) / names[nMoved]).string());
        return false;
    }
    Misc::InterruptCleanup::NoteOutputWritten(Misc::FolderOf(m_target));
    return true;
}

} // namespace Codecs
