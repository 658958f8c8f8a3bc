#pragma once

#include <csignal>
#include <string>

namespace Misc {

// Ends the process cleanly on SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGXFSZ: the output file being
// written and the private temporary folder are removed, a line on standard output says so, and the
// status is nStatus. Once the output has replaced its target the line says it was written and the
// status is 0. The editor's cancel relies on this. SIGPIPE is ignored: a closed standard output is
// noticed by the write that fails (EndInterrupted), any other pipe fails its own write. Everything
// the handler needs is kept in preallocated storage, since a signal handler may only make
// async-signal-safe calls. Install it, and use it, on the process's main thread: signals that reach
// other threads are passed on to that one.
class InterruptCleanup
{
public:
    static void Install(int nStatus);

    // The same clean-up and exit as a signal, for standard output gone (EPIPE). Does not return.
    [[noreturn]] static void EndInterrupted();

    // Holds the interrupting signals back on the main thread while it lives, so that a file and its
    // registration come into being together.
    class SignalsHeld
    {
    public:
        SignalsHeld();
        ~SignalsHeld();
        SignalsHeld(const SignalsHeld&) = delete;
        SignalsHeld& operator=(const SignalsHeld&) = delete;

    private:
        sigset_t m_previous;
    };

    // The file a write is producing right now; removed if the run is interrupted.
    static void SetPendingFile(const std::string& strPath);
    // The write was abandoned; its file is gone.
    static void ClearPendingFile();
    // Renames the pending file over strTarget, in strFolder, and notes the output as written, both
    // at once for the handler. False with errno when the rename fails.
    static bool ReplaceWithPendingFile(const std::string& strTarget, const std::string& strFolder);

    // A folder a write is building (a pyramid and its tiles); removed with all it holds if the run
    // is interrupted, also after the output was written (it then holds only what was replaced).
    static void SetPendingFolder(const std::string& strPath);
    static void ClearPendingFolder();
    // The output is in place: an interrupt from now on reports it written and syncs strFolder.
    // Call it with the signals held, together with the renames that put the output in place.
    static void NoteOutputWritten(const std::string& strFolder);

    // Tests interrupt a run at a known point: when TESSCLI_TEST_STOP_AT names pPoint, the process
    // stops itself here (SIGSTOP) until it is continued.
    static void StopPointForTests(const char* pPoint);

    // A folder only this process uses; its files (no subfolders) are removed if interrupted.
    static void SetTemporaryFolder(const std::string& strPath);
    static void ClearTemporaryFolder();
};

} // namespace Misc
