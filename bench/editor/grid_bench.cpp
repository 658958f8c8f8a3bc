// Times the editor's grid on large mosaics: loading the cells, laying them out, flipping and
// zooming. Usage: grid_bench <rows> <cols> [tile folder]; prints one line of milliseconds.
#include "model/ImageCellEngine.h"
#include "ui/controls/GridTable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {
QStringList MakeTiles(const QString& strFolder, int nCount)
{
    QStringList files;
    for (int i = 0; i < nCount; ++i) {
        QImage tile(96, 64, QImage::Format_RGB32);
        tile.fill(QColor::fromHsv((i * 37) % 360, 200, 220));
        QPainter(&tile).drawText(tile.rect(), Qt::AlignCenter, QString::number(i));
        const QString strFile = QDir(strFolder).filePath(QString("tile_%1.png").arg(i, 5, 10, QChar('0')));
        tile.save(strFile);
        files.append(strFile);
    }
    return files;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int nRows = argc > 1 ? atoi(argv[1]) : 20;
    const int nCols = argc > 2 ? atoi(argv[2]) : nRows;
    QTemporaryDir folder;
    const QStringList files = MakeTiles(argc > 3 ? QString(argv[3]) : folder.path(), nRows * nCols);

    Model::ImageCellEngine engine;
    UI::Controls::GridTable grid;
    grid.InitGridTable(&engine);
    grid.resize(1000, 700);

    QElapsedTimer timer;
    timer.start();
    engine.CreateCells(files, nRows, nCols);
    const qint64 nLoad = timer.restart();
    grid.Resize(nRows, nCols, true);
    const qint64 nLayout = timer.restart();
    grid.FlipHorizontally();
    const qint64 nFlip = timer.restart();
    grid.SetImageSize(grid.GetImageSize() / 2);
    const qint64 nZoom = timer.restart();
    std::printf("%dx%d cells: load %lld ms, grid %lld ms, flip %lld ms, zoom %lld ms\n", nRows, nCols, nLoad, nLayout,
                nFlip, nZoom);
    return 0;
}
