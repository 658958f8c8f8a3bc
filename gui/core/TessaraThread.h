#pragma once

#include <QMutex>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

namespace Core
{

// Worker that runs one tesscli process and keeps its exit code and standard output.
class TessaraThread : public QThread
{
    Q_OBJECT

public:
    explicit TessaraThread(QObject* pParent = nullptr);

    void InitTessaraThread(const QString& strExecutable, const QStringList& astrArguments);

    int GetResultCode() const;
    QString GetOutputText() const;

protected:
    void run() override;

private:
    void SetResult(int nCode, const QString& strOutput);

    QString m_strExecutable;
    QStringList m_astrArguments;
    mutable QMutex m_mutex;
    QString m_strOutput;
    int m_nResultCode = 0;
};

}  // namespace Core
