#include "core/TessaraThread.h"

#include <QMutexLocker>

namespace Core
{

TessaraThread::TessaraThread(QObject* pParent)
    : QThread(pParent)
{
}

void TessaraThread::InitTessaraThread(const QString& strExecutable, const QStringList& astrArguments)
{
    m_strExecutable = strExecutable;
    m_astrArguments = astrArguments;
}

int TessaraThread::GetResultCode() const
{
    QMutexLocker lock(&m_mutex);
    return m_nResultCode;
}

QString TessaraThread::GetOutputText() const
{
    QMutexLocker lock(&m_mutex);
    return m_strOutput;
}

void TessaraThread::SetResult(int nCode, const QString& strOutput)
{
    QMutexLocker lock(&m_mutex);
    m_nResultCode = nCode;
    m_strOutput = strOutput;
}

// Not under the guard: its call-stack list belongs to the GUI thread, and this is the worker.
void TessaraThread::run()
{
    // Created here so the process lives entirely in the worker thread.
    QProcess process;
    process.start(m_strExecutable, m_astrArguments, QIODevice::ReadWrite);
    if (!process.waitForStarted(-1))
    {
        SetResult(-1, tr("Unable to start the Tessara command-line utility") + QLatin1Char('\n')
                          + tr("Program tried: %1").arg(m_strExecutable));
        return;
    }
    process.waitForFinished(-1);

    const QString strOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    // A crash leaves no meaningful exit code; it must never pass for success.
    if (process.exitStatus() == QProcess::CrashExit)
        SetResult(-1, strOutput + tr("\nThe Tessara command-line utility terminated unexpectedly"));
    else
        SetResult(process.exitCode(), strOutput);
}

}  // namespace Core
