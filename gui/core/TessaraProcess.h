#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace Core {

// Runs one tesscli process on the GUI thread: events keep flowing while it runs, its standard output
// is passed on as it arrives, and it can be cancelled.
class TessaraProcess : public QObject
{
    Q_OBJECT

public:
    // How long a cancelled tesscli may take to clean up after SIGTERM before it is killed.
    static constexpr int TerminateGraceMilliseconds = 5000;

    explicit TessaraProcess(QObject* pParent = nullptr);

    // Returns when the program has ended (or could not start), having processed events meanwhile.
    void Run(const QString& strExecutable, const QStringList& astrArguments);
    // Asks the program to stop (SIGTERM) and kills it when it has not ended after the grace period.
    void Cancel();

    bool WasCancelled() const { return m_cancelled; }
    // The exit code, or -1 when the program did not start or crashed.
    int GetResultCode() const { return m_resultCode; }
    QString GetOutputText() const { return m_outputText; }

signals:
    void Sig_Output(const QByteArray& output);

private:
    void ReadOutput();

    QProcess m_process;
    QTimer m_killTimer;
    QByteArray m_output;
    QString m_outputText;
    int m_resultCode = 0;
    bool m_cancelled = false;
};

} // namespace Core
