// Times opening an N x N project in the editor's main window: until the event loop answers again
// (the window usable), until every thumbnail is read, and an undo of a flip of the whole grid.
// Usage: project_bench <rows> <cols> [tile folder]; prints one line of milliseconds. The tiles
// (256 distinct 640x480 JPEGs, repeated) are made in the tile folder when missing; the thumbnail
// cache is wherever XDG_CACHE_HOME points.
#include "core/TessaraCore.h"
#include "model/ImageCellEngine.h"
#include "model/ThumbnailLoader.h"
#include "ui/MainWindowFactory.h"
#include "ui/TessaraWnd.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <cstdio>
#include <ctime>

namespace {
QStringList MakeTiles(const QString& strFolder)
{
    QStringList tiles;
    for (int i = 0; i < 256; ++i) {
        tiles.append(QDir(strFolder).filePath(QString("tile_%1.jpg").arg(i, 3, 10, QChar('0'))));
        if (QFile::exists(tiles.last()))
            continue;
        QImage tile(640, 480, QImage::Format_RGB32);
        QPainter painter(&tile);
        painter.fillRect(tile.rect(), QLinearGradient(0, 0, 640, 480));
        painter.fillRect(tile.rect(), QColor::fromHsv((i * 37) % 360, 160, 220, 160));
        painter.drawText(tile.rect(), Qt::AlignCenter, QString::number(i));
        tile.save(tiles.last(), "JPEG", 90);
    }
    return tiles;
}

QString WriteProject(const QString& strFolder, const QStringList& tiles, int nRows, int nCols)
{
    QByteArray xml = "<Project type=\"TessaraProject\" version=\"1\"><Rows>";
    for (int r = 0; r < nRows; ++r) {
        xml += "<Row>";
        for (int c = 0; c < nCols; ++c)
            xml += "<File>" + tiles[(r * nCols + c) % tiles.size()].toUtf8() + "</File>";
        xml += "</Row>";
    }
    xml += "</Rows><Tray/><Settings/></Project>";
    const QString strProject = QDir(strFolder).filePath("bench.tsp");
    QFile file(strProject);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return QString();
    return strProject;
}

// This thread's processor time: the open without the waits of a busy machine.
qint64 ThreadCpuMs()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

// Returns once the event loop has handled what was queued before: what a click would wait for.
void WaitForEventLoop()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

int main(int argc, char** argv)
{
    const int nRows = argc > 1 ? atoi(argv[1]) : 100;
    const int nCols = argc > 2 ? atoi(argv[2]) : nRows;
    if (!Core::TessaraCore::CreateCore(1, argv, &UI::CreateMainWindow)
        || !Core::TessaraCore::s_instance->InitializeCore())
        return 1;
    QTemporaryDir folder;
    const QStringList tiles = MakeTiles(argc > 3 ? QString(argv[3]) : folder.path());
    const QString strProject = WriteProject(folder.path(), tiles, nRows, nCols);
    auto* pWindow = static_cast<UI::TessaraWnd*>(Core::TessaraCore::s_instance->GetMainWindow());
    pWindow->show();
    WaitForEventLoop();

    QElapsedTimer timer;
    timer.start();
    const qint64 nCpuStart = ThreadCpuMs();
    QString strError;
    const bool bLoaded = pWindow->LoadProjectFrom(strProject, strError);
    WaitForEventLoop();
    const qint64 nUsable = timer.elapsed();
    const qint64 nUsableCpu = ThreadCpuMs() - nCpuStart;
    Model::ThumbnailLoader* pLoader = Core::TessaraCore::s_instance->GetCellEngine()->GetThumbnailLoader();
    while (pLoader->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 nThumbnails = timer.elapsed();

    pWindow->findChild<QAction*>("actGridFlipHorz")->trigger();
    WaitForEventLoop();
    timer.restart();
    pWindow->GetUndoStack()->undo();
    WaitForEventLoop();
    const qint64 nUndo = timer.elapsed();
    std::printf("%dx%d project: usable %lld ms (%lld ms CPU), thumbnails %lld ms, undo %lld ms%s\n", nRows, nCols,
                nUsable, nUsableCpu, nThumbnails, nUndo, bLoaded ? "" : " (failed)");
    Core::TessaraCore::DestroyCore();
    return bLoaded ? 0 : 1;
}
