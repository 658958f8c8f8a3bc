#include "misc/InterruptCleanup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Misc {

namespace {
const char kNotWritten[] = "\nInterrupted: the output file was not written.\n";
const char kWritten[] = "\nInterrupted after the output file was written.\n";

char g_pendingFile[PATH_MAX];
// The folder of a replaced output, synced before exiting so the rename lasts.
char g_writtenFolder[PATH_MAX];
char g_temporaryFolder[PATH_MAX];
char g_pendingFolder[PATH_MAX];
volatile sig_atomic_t g_temporaryFolderFd = -1;
volatile sig_atomic_t g_outputWritten = 0;
volatile sig_atomic_t g_exitStatus = 1;

void CopyPath(char* pTarget, const std::string& strPath)
{
    const size_t nLength = std::min(strPath.size(), static_cast<size_t>(PATH_MAX - 1));
    std::memcpy(pTarget, strPath.data(), nLength);
    pTarget[nLength] = '\0';
}

// getdents64 straight from the kernel: opendir/readdir may allocate, which a handler must not.
void EmptyTemporaryFolder()
{
    const int nFolder = g_temporaryFolderFd;
    if (nFolder < 0)
        return;
    alignas(8) static char entries[8192];
    for (;;) {
        lseek(nFolder, 0, SEEK_SET);
        const long nBytes = syscall(SYS_getdents64, nFolder, entries, sizeof(entries));
        if (nBytes <= 0)
            break;
        bool bRemoved = false;
        for (long nOffset = 0; nOffset < nBytes;) {
            const auto* pEntry = reinterpret_cast<const struct dirent64*>(entries + nOffset);
            const char* pName = pEntry->d_name;
            if (std::strcmp(pName, ".") != 0 && std::strcmp(pName, "..") != 0)
                bRemoved |= unlinkat(nFolder, pName, 0) == 0;
            nOffset += pEntry->d_reclen;
        }
        if (!bRemoved)
            break;
    }
    rmdir(g_temporaryFolder);
}

// Removes the entry nName of the folder nParent, and all it holds. A pyramid under construction is
// three folders deep (its tiles, a level, a tile); the buffers are static, one for each depth.
bool RemoveTree(int nParent, const char* pName, int nDepth)
{
    constexpr int kDeepest = 6;
    alignas(8) static char entries[kDeepest][8192];
    if (unlinkat(nParent, pName, 0) == 0)
        return true;
    const int nFolder =
        nDepth < kDeepest ? openat(nParent, pName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
    if (nFolder < 0)
        return false;
    for (bool bRemoved = true; bRemoved;) {
        bRemoved = false;
        lseek(nFolder, 0, SEEK_SET);
        const long nBytes = syscall(SYS_getdents64, nFolder, entries[nDepth], sizeof(entries[nDepth]));
        for (long nOffset = 0; nOffset < nBytes;) {
            const auto* pEntry = reinterpret_cast<const struct dirent64*>(entries[nDepth] + nOffset);
            nOffset += pEntry->d_reclen;
            if (std::strcmp(pEntry->d_name, ".") == 0 || std::strcmp(pEntry->d_name, "..") == 0)
                continue;
            bRemoved |= RemoveTree(nFolder, pEntry->d_name, nDepth + 1);
        }
    }
    close(nFolder);
    return unlinkat(nParent, pName, AT_REMOVEDIR) == 0;
}

const int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int nSignal : kInterruptSignals)
        sigaddset(&signals, nSignal);
    return signals;
}

bool OnMainThread()
{
    return syscall(SYS_gettid) == getpid();
}

// Async-signal-safe throughout; called on the main thread with the interrupting signals held.
[[noreturn]] void CleanUpAndExit()
{
    if (g_pendingFile[0] != '\0')
        unlink(g_pendingFile);
    EmptyTemporaryFolder();
    if (g_pendingFolder[0] != '\0')
        RemoveTree(AT_FDCWD, g_pendingFolder, 0);
    const bool bWritten = g_outputWritten;
    if (bWritten) {
        const int nFolder = open(g_writtenFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (nFolder >= 0) {
            fsync(nFolder);
            close(nFolder);
        }
    }
    const char* pText = bWritten ? kWritten : kNotWritten;
    const ssize_t nIgnored = write(STDOUT_FILENO, pText, std::strlen(pText));
    (void)nIgnored;
    // The output the user asked for exists complete: the run did its job.
    _exit(bWritten ? 0 : g_exitStatus);
}

void OnInterrupt(int nSignal)
{
    // A signal may reach any thread (the encoders', the library's pools). Only the main thread
    // cleans up: there the signals held around a file's creation and registration take effect,
    // so the signal is passed on and waits until they are released.
    if (!OnMainThread()) {
        const pid_t nProcess = getpid();
        syscall(SYS_tgkill, nProcess, nProcess, nSignal);
        return;
    }
    CleanUpAndExit();
}
} // namespace

// The handler must never see a half-copied path: updates happen with the signals held back.
InterruptCleanup::SignalsHeld::SignalsHeld()
{
    const sigset_t signals = InterruptSignals();
    sigprocmask(SIG_BLOCK, &signals, &m_previous);
}

InterruptCleanup::SignalsHeld::~SignalsHeld()
{
    sigprocmask(SIG_SETMASK, &m_previous, nullptr);
}

void InterruptCleanup::Install(int nStatus)
{
    g_exitStatus = nStatus;
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnInterrupt;
    // While one signal is being handled another must not start a second cleanup.
    action.sa_mask = InterruptSignals();
    for (const int nSignal : kInterruptSignals) {
        // A hang-up ignored by nohup stays ignored; so does a file-size limit whose signal the
        // caller ignores: the write then fails with EFBIG and the writer reports it.
        struct sigaction previous;
        if ((nSignal == SIGHUP || nSignal == SIGXFSZ) && sigaction(nSignal, nullptr, &previous) == 0
            && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(nSignal, &action, nullptr);
    }
    signal(SIGPIPE, SIG_IGN);
}

void InterruptCleanup::EndInterrupted()
{
    // Another thread hands the clean-up to the main one, as a signal would be.
    if (!OnMainThread()) {
        const pid_t nProcess = getpid();
        syscall(SYS_tgkill, nProcess, nProcess, SIGTERM);
        for (;;)
            pause();
    }
    const sigset_t signals = InterruptSignals();
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    CleanUpAndExit();
}

void InterruptCleanup::SetPendingFile(const std::string& strPath)
{
    SignalsHeld held;
    CopyPath(g_pendingFile, strPath);
}

void InterruptCleanup::ClearPendingFile()
{
    SignalsHeld held;
    g_pendingFile[0] = '\0';
}

bool InterruptCleanup::ReplaceWithPendingFile(const std::string& strTarget, const std::string& strFolder)
{
    SignalsHeld held;
    if (std::rename(g_pendingFile, strTarget.c_str()) != 0)
        return false;
    g_pendingFile[0] = '\0';
    NoteOutputWritten(strFolder);
    return true;
}

void InterruptCleanup::SetPendingFolder(const std::string& strPath)
{
    SignalsHeld held;
    CopyPath(g_pendingFolder, strPath);
}

void InterruptCleanup::ClearPendingFolder()
{
    SignalsHeld held;
    g_pendingFolder[0] = '\0';
}

void InterruptCleanup::NoteOutputWritten(const std::string& strFolder)
{
    SignalsHeld held;
    CopyPath(g_writtenFolder, strFolder);
    g_outputWritten = 1;
}

void InterruptCleanup::StopPointForTests(const char* pPoint)
{
    const char* pStopAt = std::getenv("TESSCLI_TEST_STOP_AT");
    if (pStopAt && std::strcmp(pStopAt, pPoint) == 0)
        raise(SIGSTOP);
}

void InterruptCleanup::SetTemporaryFolder(const std::string& strPath)
{
    const int nFolder = open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    SignalsHeld held;
    CopyPath(g_temporaryFolder, strPath);
    g_temporaryFolderFd = nFolder;
}

void InterruptCleanup::ClearTemporaryFolder()
{
    int nFolder = -1;
    {
        SignalsHeld held;
        nFolder = g_temporaryFolderFd;
        g_temporaryFolderFd = -1;
        g_temporaryFolder[0] = '\0';
    }
    if (nFolder >= 0)
        close(nFolder);
}

} // namespace Misc
