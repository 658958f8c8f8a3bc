#include "testmain.h"
#include "engine/ImageCellDrag.h"
#include "tabletestsupport.h"

#include <QDataStream>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

using Engine::ImageCellEngine;
using TableTest::Layout;
using UI::Controls::ImageTableWidget;

namespace {
// Drags over and drops on the first item of pTable without a drag of this editor, as from another process;
// "entered dropped" as 1 or 0 for whether the table took each event.
QString DropFromOutside(ImageTableWidget* pTable, const QMimeData& mimeData, Qt::DropAction action)
{
    const QPoint pos = pTable->visualItemRect(pTable->Item(0, 0)).center();
    QDragEnterEvent enter(pos, action, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTable->viewport(), &enter);
    QDropEvent drop(pos, action, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTable->viewport(), &drop);
    return QStringLiteral("%1 %2").arg(enter.isAccepted() && enter.dropAction() == action).arg(drop.isAccepted());
}

// One mouse drag: the selected items (column, row) of the source table, pressed on the first one
// (with these keys held), dropped on the target item, and where the cells end up.
struct DragCase
{
    QString grid, tray;
    bool bFromTray;
    QList<QPoint> selected;
    bool bToTray;
    QPoint target;
    QString gridAfter, trayAfter;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool bUnloaded = false; // the pressed cell's image is not loaded
};
} // namespace
Q_DECLARE_METATYPE(DragCase)

class TestImageTableDrag : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;

private slots:
    void mouseDragMovesCells_data()
    {
        QTest::addColumn<DragCase>("drag");
        const bool Grid = false, Tray = true;
        QTest::newRow("grid: one cell onto another swaps them")
            << DragCase{"a b c | d e -", "", Grid, {{0, 0}}, Grid, {2, 0}, "c b a | d e -", ""};
        QTest::newRow("grid: onto its own place nothing changes")
            << DragCase{"a b c | d e -", "", Grid, {{1, 1}}, Grid, {1, 1}, "a b c | d e -", ""};
        QTest::newRow("grid: onto an empty place moves it")
            << DragCase{"a b c | d e -", "", Grid, {{1, 0}}, Grid, {2, 1}, "a - c | d e b", ""};
        QTest::newRow("grid: two cells swap one at a time")
            << DragCase{"a b c | d e -", "", Grid, {{0, 0}, {1, 0}}, Grid, {1, 1}, "e - c | d a b", ""};
        QTest::newRow("grid: row by row past reserved places") << DragCase{
            "a b c | K K - | - - -", "", Grid, {{0, 0}, {1, 0}, {2, 0}}, Grid, {2, 0}, "- - a | K K b | c - -", ""};
        // z finds no place and stays; the displaced b follows at the end.
        QTest::newRow("tray to grid: passes reservations, displaced cell to the tray")
            << DragCase{"a b | K -", "x y z c", Tray, {{0, 0}, {1, 0}, {2, 0}}, Grid, {1, 0}, "a x | K y", "z c b"};
        QTest::newRow("grid to tray: appended")
            << DragCase{"a b c", "x y", Grid, {{0, 0}, {2, 0}}, Tray, {0, 0}, "- b -", "x y a c"};
        QTest::newRow("tray: first onto third swaps them")
            << DragCase{"-", "x y z", Tray, {{0, 0}}, Tray, {2, 0}, "-", "z y x"};
        QTest::newRow("tray: onto itself nothing changes")
            << DragCase{"-", "x y z", Tray, {{1, 0}}, Tray, {1, 0}, "-", "x y z"};
        QTest::newRow("Control press selects, never drags")
            << DragCase{"a b", "", Grid, {{0, 0}}, Grid, {1, 0}, "a b", "", Qt::ControlModifier};
        QTest::newRow("cell without a loaded image stays")
            << DragCase{"a b", "", Grid, {{0, 0}}, Grid, {1, 0}, "a b", "", Qt::NoModifier, true};
    }
    void mouseDragMovesCells()
    {
        QFETCH(DragCase, drag);
        TableTest::Tables tables;
        QVERIFY(tables.Arrange(m_sandbox, drag.grid, drag.tray) && tables.Show());
        ImageTableWidget* pSource = drag.bFromTray ? tables.m_pTray : static_cast<ImageTableWidget*>(tables.m_pGrid);
        ImageTableWidget* pTarget = drag.bToTray ? tables.m_pTray : static_cast<ImageTableWidget*>(tables.m_pGrid);
        TableTest::Select(*pSource, drag.selected);
        if (drag.bUnloaded)
            pSource->Item(drag.selected[0].y(), drag.selected[0].x())->GetCell()->UnloadImage();
        TableTest::MouseDrag(pSource, drag.selected[0], pTarget, drag.target, drag.modifiers);
        QCOMPARE(Layout(*tables.m_pGrid), drag.gridAfter);
        QCOMPARE(Layout(*tables.m_pTray), drag.trayAfter);
        QCOMPARE(tables.LocationMismatches(), QString());
        if (drag.bFromTray && drag.bToTray) // reordering the tray is display only
            QCOMPARE(TableTest::Names(tables.m_engine, ImageCellEngine::CellTray), drag.tray);
        if (drag.selected.size() > 1)
            QVERIFY(pSource->selectedItems().isEmpty());
    }

    void dropsFromOutsideTakeOnlyFilesOnTheTray()
    {
        TableTest::Tables tables;
        QVERIFY(tables.Arrange(m_sandbox, "a b", "x") && tables.Show());
        // A payload naming a live cell: only a drag of this editor may move cells.
        QMimeData cells;
        QByteArray payload;
        QDataStream(&payload, QIODevice::WriteOnly)
            << qint64(1) << tables.m_engine.GetCell(ImageCellEngine::CellTray, 0)->GetId();
        cells.setData(Engine::ImageCellDrag::ImageCellMimeType, payload);
        QMimeData files;
        QList<QUrl> urls;
        for (const QString& strFile : TableTest::WriteImages(m_sandbox, {"b_dropped", "A_dropped", "a_dropped"}))
            urls << QUrl::fromLocalFile(strFile);
        files.setUrls(urls);

        QCOMPARE(DropFromOutside(tables.m_pGrid, cells, Qt::MoveAction), "0 0");
        QCOMPARE(DropFromOutside(tables.m_pTray, cells, Qt::MoveAction), "0 0");
        QCOMPARE(DropFromOutside(tables.m_pGrid, files, Qt::CopyAction), "0 0");
        QCOMPARE(Layout(*tables.m_pGrid), "a b");
        QCOMPARE(Layout(*tables.m_pTray), "x");
        QCOMPARE(DropFromOutside(tables.m_pTray, files, Qt::CopyAction), "1 1");
        QCOMPARE(Layout(*tables.m_pTray), "x A_dropped a_dropped b_dropped");
    }
};

TESSARA_TEST(TestImageTableDrag)
#include "test_imagetabledrag.moc"
