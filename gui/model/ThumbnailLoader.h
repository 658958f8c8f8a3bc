#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QThreadPool>

namespace Model {
class ImageCell;

// Reads cells' thumbnails on worker threads, one per core, and hands them to the cells on the GUI
// thread. Cells asked for urgently (those coming into view) go before the others, the latest
// first; a cell destroyed meanwhile is passed over.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    explicit ThumbnailLoader(QObject* pParent = nullptr);
    ~ThumbnailLoader() override;

    void Request(ImageCell* pCell, bool bUrgent);
    bool IsBusy() const { return !m_jobs.isEmpty(); }
    // The files that yielded no image since the loader was last idle.
    const QStringList& GetFailedFiles() const { return m_failedFiles; }

signals:
    // nDone of nTotal requests since the loader was last idle; equal when it is idle again.
    void Sig_Progress(int nDone, int nTotal);
    // A cell has its thumbnail, or knows it has none.
    void Sig_CellLoaded(Model::ImageCell* pCell);

private:
    struct Job
    {
        QPointer<ImageCell> cell;
        QString file;
        bool autoOrient = false;
        bool running = false;
    };

    void StartJobs();
    bool StartNext(QList<qint64>& queue, bool bFromBack);
    void Finish(qint64 nId, bool bRead, const QImage& thumbnail, const QSize& imageSize);

    QThreadPool m_pool;
    QHash<qint64, Job> m_jobs;
    QList<qint64> m_urgent;
    QList<qint64> m_background;
    qsizetype m_backgroundNext = 0;
    int m_running = 0;
    bool m_startPending = false;
    int m_done = 0;
    int m_total = 0;
    QStringList m_failedFiles;
};
} // namespace Model
