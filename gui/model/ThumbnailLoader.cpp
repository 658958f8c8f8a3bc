#include "model/ThumbnailLoader.h"

#include "model/ImageCell.h"

namespace Model {
ThumbnailLoader::ThumbnailLoader(QObject* pParent) : QObject(pParent)
{
    // Below the GUI thread, so the window answers at once while every core reads.
    m_pool.setThreadPriority(QThread::LowPriority);
}

ThumbnailLoader::~ThumbnailLoader()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void ThumbnailLoader::Request(ImageCell* pCell, bool bUrgent)
{
    if (!pCell || pCell->GetFilename().isEmpty())
        return;
    const qint64 nId = pCell->GetId();
    auto it = m_jobs.find(nId);
    if (it == m_jobs.end()) {
        if (m_jobs.isEmpty()) {
            m_done = m_total = 0;
            m_failedFiles.clear();
        }
        m_jobs.insert(nId, Job{pCell, pCell->GetFilename(), pCell->GetAutoOrient()});
        ++m_total;
        (bUrgent ? m_urgent : m_background).append(nId);
    } else if (bUrgent && !it->running) {
        m_urgent.append(nId);
    }
    // Once the event loop runs again: a grid being filled cell by cell gets every core to itself.
    if (!m_startPending) {
        m_startPending = true;
        QMetaObject::invokeMethod(this, &ThumbnailLoader::StartJobs, Qt::QueuedConnection);
    }
}

void ThumbnailLoader::StartJobs()
{
    m_startPending = false;
    while (m_running < m_pool.maxThreadCount() && (StartNext(m_urgent, true) || StartNext(m_background, false))) {
    }
}

bool ThumbnailLoader::StartNext(QList<qint64>& queue, bool bFromBack)
{
    while (bFromBack ? !queue.isEmpty() : m_backgroundNext < queue.size()) {
        // The background queue is walked by index: taking from the front of a long list is slow.
        const qint64 nId = bFromBack ? queue.takeLast() : queue[m_backgroundNext++];
        auto it = m_jobs.find(nId);
        if (it == m_jobs.end() || it->running)
            continue; // done already, or asked for twice
        it->running = true;
        ++m_running;
        m_pool.start([this, nId, strFile = it->file, bAutoOrient = it->autoOrient] {
            QImage thumbnail;
            QSize imageSize;
            const bool bRead = ImageCell::ReadThumbnail(strFile, bAutoOrient, thumbnail, imageSize);
            QMetaObject::invokeMethod(
                this, [=] { Finish(nId, bRead, thumbnail, imageSize); }, Qt::QueuedConnection);
        });
        return true;
    }
    if (!bFromBack) {
        queue.clear();
        m_backgroundNext = 0;
    }
    return false;
}

void ThumbnailLoader::Finish(qint64 nId, bool bRead, const QImage& thumbnail, const QSize& imageSize)
{
    --m_running;
    ++m_done;
    const Job job = m_jobs.take(nId);
    ImageCell* pCell = job.cell;
    if (pCell && (pCell->GetFilename() != job.file || pCell->GetAutoOrient() != job.autoOrient)) {
        // The cell changed while its old file was read.
        Request(pCell, false);
    } else if (pCell) {
        if (bRead)
            pCell->SetThumbnail(thumbnail, imageSize);
        else {
            pCell->SetLoadFailed();
            m_failedFiles.append(job.file);
        }
        emit Sig_CellLoaded(pCell);
    }
    emit Sig_Progress(m_done, m_total);
    StartJobs();
}
} // namespace Model
