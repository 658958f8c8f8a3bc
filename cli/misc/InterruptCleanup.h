#pragma once

#include <csignal>
#include <string>

namespace Misc {

// Ends the process cleanly on SIGINT and SIGTERM: the output file being written and the private
// temporary folder are removed, a line on standard output says so, and the status is nStatus. The
// editor's cancel relies on this. Everything the handler needs is kept in preallocated storage,
// since a signal handler may only make async-signal-safe calls. Install it, and use it, on the
// process's main thread: signals that reach other threads are passed on to that one.
class InterruptCleanup
{
public:
    static void Install(int nStatus);

    // Holds SIGINT and SIGTERM back on the main thread while it lives, so that a file and its
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
    // The write either replaced its target (bWritten) or was abandoned.
    static void ClearPendingFile(bool bWritten);

    // A folder only this process uses; its files (no subfolders) are removed if interrupted.
    static void SetTemporaryFolder(const std::string& strPath);
    static void ClearTemporaryFolder();
};

} // namespace Misc
