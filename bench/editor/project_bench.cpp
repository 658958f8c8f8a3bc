// Times opening a project in the editor's main window: reading the file, creating the cells and
// filling the grid. Usage: project_bench <rows> <cols>; prints one line of milliseconds.
#include "core/TessaraCore.h"
#include "ui/MainWindowFactory.h"
#include "ui/TessaraWnd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// A project over a handful of small tiles, repeated: the cost measured is the editor's, not the disk's.
QString WriteProject(const QString& strFolder, int nRows, int nCols)
{
    QStringList tiles;
    for (int i = 0; i < 16; ++i) {
        QImage tile(32, 24, QImage::Format_RGB32);
        tile.fill(QColor::fromHsv(i * 22, 200, 220));
        tiles.append(QDir(strFolder).filePath(QString("tile_%1.png").arg(i)));
        tile.save(tiles.last());
    }
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
} // namespace

int main(int argc, char** argv)
{
    const int nRows = argc > 1 ? atoi(argv[1]) : 100;
    const int nCols = argc > 2 ? atoi(argv[2]) : nRows;
    if (!Core::TessaraCore::CreateCore(1, argv, &UI::CreateMainWindow)
        || !Core::TessaraCore::s_instance->InitializeCore())
        return 1;
    QTemporaryDir folder;
    const QString strProject = WriteProject(folder.path(), nRows, nCols);
    auto* pWindow = static_cast<UI::TessaraWnd*>(Core::TessaraCore::s_instance->GetMainWindow());
    pWindow->show();

    QElapsedTimer timer;
    timer.start();
    QString strError;
    const bool bLoaded = pWindow->LoadProjectFrom(strProject, strError);
    std::printf("%dx%d project: open %lld ms%s\n", nRows, nCols, timer.elapsed(), bLoaded ? "" : " (failed)");
    Core::TessaraCore::DestroyCore();
    return bLoaded ? 0 : 1;
}
