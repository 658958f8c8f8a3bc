#include "core/TessaraProcess.h"

#include "misc/Guard.h"

#include <QEventLoop>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace Core {

TessaraProcess::TessaraProcess(QObject* pParent) : QObject(pParent)
{
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(TerminateGraceMilliseconds);
    connect(&m_killTimer, &QTimer::timeout, &m_process, &QProcess::kill);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &TessaraProcess::ReadOutput);
#ifdef Q_OS_LINUX
    // A killed editor must not leave tesscli writing on for a reader that is gone: the kernel sends it
    // SIGTERM, which tesscli answers by removing its temporary file and keeping the old output. The
    // signal follows the death of the thread that forked, and QProcess forks from the thread calling
    // start(), the GUI thread, which lives as long as the editor.
    const pid_t nParent = getpid();
    m_process.setChildProcessModifier([nParent] {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The editor may have died between the fork and the prctl call.
        if (getppid() != nParent)
            raise(SIGTERM);
    });
#endif
}

void TessaraProcess::Run(const QString& strExecutable, const QStringList& astrArguments)
{
    GUARD_RUN([&] {
        m_output.clear();
        m_cancelled = false;
        QEventLoop loop;
        connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        m_process.start(strExecutable, astrArguments, QIODevice::ReadOnly);
        if (!m_process.waitForStarted(-1)) {
            m_resultCode = -1;
            m_outputText = tr("Unable to start the Tessara command-line utility") + QLatin1Char('\n')
                           + tr("Program tried: %1").arg(strExecutable);
            return;
        }
        if (m_process.state() != QProcess::NotRunning)
            loop.exec();
        m_killTimer.stop();
        ReadOutput();

        m_outputText = QString::fromLocal8Bit(m_output);
        // A crash leaves no meaningful exit code; it must never pass for success.
        if (m_process.exitStatus() == QProcess::CrashExit) {
            m_resultCode = -1;
            if (!m_cancelled)
                m_outputText += tr("\nThe Tessara command-line utility terminated unexpectedly");
        } else {
            m_resultCode = m_process.exitCode();
        }
    });
}

void TessaraProcess::Cancel()
{
    GUARD_RUN([&] {
        if (m_process.state() == QProcess::NotRunning || m_cancelled)
            return;
        m_cancelled = true;
        m_process.terminate();
        m_killTimer.start();
    });
}

void TessaraProcess::ReadOutput()
{
    const QByteArray chunk = m_process.readAllStandardOutput();
    if (chunk.isEmpty())
        return;
    m_output += chunk;
    emit Sig_Output(chunk);
}

} // namespace Core
