#include "testmain.h"
#include "engine/ImageCellDrag.h"
#include "tabletestsupport.h"
#include "ui/controls/ImageGrid.h"
#include "ui/controls/ImageTray.h"

#include <QApplication>
#include <QDataStream>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

using Engine::ImageCellEngine;
using TableTest::Layout;
using TableTest::MouseDrag;
using UI::Controls::ImageTableWidget;

namespace {
// A window with a grid above a tray, both following one engine, as in the editor.
struct Editor
{
    Editor()
    {
        auto* pLayout = new QVBoxLayout(&m_window);
        pLayout->addWidget(m_pGrid = new UI::Controls::ImageGrid(&m_window));
        pLayout->addWidget(m_pTray = new UI::Controls::ImageTray(&m_window));
        m_pGrid->InitImageGrid(&m_engine);
        m_pTray->InitImageTray(&m_engine);
        m_pGrid->SetImageSize(64);
        m_pTray->SetImageSize(64);
        m_window.resize(800, 600);
    }

    bool Arrange(const TestUtils::Sandbox& sandbox, const QString& strGrid, const QString& strTray)
    {
        if (!TableTest::Arrange(m_engine, *m_pGrid, sandbox, strGrid, strTray))
            return false;
        m_window.show();
        return QTest::qWaitForWindowExposed(&m_window);
    }

    ImageTableWidget* Table(bool bTray) const { return bTray ? static_cast<ImageTableWidget*>(m_pTray) : m_pGrid; }
    // The centre of the item at (column, row).
    static QPoint Center(const ImageTableWidget* pTable, const QPoint& position)
    {
        return pTable->visualItemRect(pTable->Item(position.y(), position.x())).center();
    }

    ImageCellEngine m_engine;
    QWidget m_window;
    UI::Controls::ImageGrid* m_pGrid;
    UI::Controls::ImageTray* m_pTray;
};

// "0,1 1,1": (row, column) of the drag-highlighted items.
QString Highlighted(const ImageTableWidget* pTable)
{
    QStringList positions;
    for (int r = 0; r < pTable->rowCount(); ++r)
        for (int c = 0; c < pTable->columnCount(); ++c)
            if (pTable->Item(r, c)->IsDragHighlighted())
                positions << QStringLiteral("%1,%2").arg(r).arg(c);
    return positions.join(' ');
}

// One mouse drag: the selected items (column, row) of the source table, pressed on the first one,
// dropped on the target item; what is highlighted over the target and where the cells end up.
struct DragCase
{
    QString grid, tray;
    bool bFromTray;
    QList<QPoint> selected;
    bool bToTray;
    QPoint target;
    QString highlighted, gridAfter, trayAfter;
};
} // namespace
Q_DECLARE_METATYPE(DragCase)

class TestImageTableDrag : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;

private slots:
    void mouseDragMovesCells_data()
    {
        QTest::addColumn<DragCase>("drag");
        const bool Grid = false, Tray = true;
        QTest::newRow("grid: one cell onto another swaps them")
            << DragCase{"a b c | d e -", "", Grid, {{0, 0}}, Grid, {2, 0}, "0,2", "c b a | d e -", ""};
        QTest::newRow("grid: onto its own place nothing changes")
            << DragCase{"a b c | d e -", "", Grid, {{1, 1}}, Grid, {1, 1}, "1,1", "a b c | d e -", ""};
        QTest::newRow("grid: onto an empty place moves it")
            << DragCase{"a b c | d e -", "", Grid, {{1, 0}}, Grid, {2, 1}, "1,2", "a - c | d e b", ""};
        QTest::newRow("grid: two cells swap one at a time")
            << DragCase{"a b c | d e -", "", Grid, {{0, 0}, {1, 0}}, Grid, {1, 1}, "1,1 1,2", "e - c | d a b", ""};
        QTest::newRow("grid: highlight walks row by row past reserved places")
            << DragCase{"a b c | K K - | - - -", "", Grid, {{0, 0}, {1, 0}, {2, 0}}, Grid, {2, 0}, "0,2 1,2 2,0",
                        "- - a | K K b | c - -", ""};
        // z finds no place and stays; the displaced b follows at the end.
        QTest::newRow("tray to grid: passes reservations, displaced cell to the tray") << DragCase{
            "a b | K -", "x y z c", Tray, {{0, 0}, {1, 0}, {2, 0}}, Grid, {1, 0}, "0,1 1,1", "a x | K y", "z c b"};
        QTest::newRow("grid to tray: appended, nothing highlighted")
            << DragCase{"a b c", "x y", Grid, {{0, 0}, {2, 0}}, Tray, {0, 0}, "", "- b -", "x y a c"};
        QTest::newRow("tray: first onto third swaps them")
            << DragCase{"-", "x y z", Tray, {{0, 0}}, Tray, {2, 0}, "0,2", "-", "z y x"};
        QTest::newRow("tray: onto itself nothing changes")
            << DragCase{"-", "x y z", Tray, {{1, 0}}, Tray, {1, 0}, "0,1", "-", "x y z"};
    }
    void mouseDragMovesCells()
    {
        QFETCH(DragCase, drag);
        Editor editor;
        QVERIFY(editor.Arrange(m_sandbox, drag.grid, drag.tray));
        ImageTableWidget* pSource = editor.Table(drag.bFromTray);
        ImageTableWidget* pTarget = editor.Table(drag.bToTray);
        TableTest::Select(*pSource, drag.selected);
        QString strHighlighted = "not recorded";
        MouseDrag(pSource, Editor::Center(pSource, drag.selected[0]), pTarget, Editor::Center(pTarget, drag.target),
                  [&] { strHighlighted = Highlighted(pTarget); });
        QCOMPARE(strHighlighted, drag.highlighted);
        QCOMPARE(Highlighted(pTarget), QString());
        QCOMPARE(Layout(*editor.m_pGrid), drag.gridAfter);
        QCOMPARE(Layout(*editor.m_pTray), drag.trayAfter);
        QCOMPARE(TableTest::LocationMismatches(editor.m_engine, *editor.m_pGrid), QString());
        if (drag.bFromTray && drag.bToTray) // reordering the tray is display only
            QCOMPARE(TableTest::Names(editor.m_engine, ImageCellEngine::CellTray), drag.tray);
        if (drag.selected.size() > 1)
            QVERIFY(pSource->selectedItems().isEmpty());
    }

    void dragNeedsPlainPressAndLoadedImages()
    {
        Editor editor;
        QVERIFY(editor.Arrange(m_sandbox, "a b", ""));
        const QPoint from = Editor::Center(editor.m_pGrid, {0, 0}), to = Editor::Center(editor.m_pGrid, {1, 0});
        editor.m_pGrid->Item(0, 0)->setSelected(true);
        MouseDrag(editor.m_pGrid, from, editor.m_pGrid, to, {}, Qt::ControlModifier);
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));

        editor.m_pGrid->Item(0, 0)->GetCell()->UnloadImage();
        TableTest::Select(*editor.m_pGrid, {{0, 0}});
        MouseDrag(editor.m_pGrid, from, editor.m_pGrid, to);
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));
    }

    void dropFromOutsideTheEditorIsIgnored()
    {
        // A payload naming live cells, but dropped without a drag of this editor (as from another process).
        Editor editor;
        QVERIFY(editor.Arrange(m_sandbox, "a b", "x"));
        QByteArray payload;
        QDataStream(&payload, QIODevice::WriteOnly)
            << qint64(1) << editor.m_engine.GetCell(ImageCellEngine::CellTray, 0)->GetId();
        QMimeData mimeData;
        mimeData.setData(Engine::ImageCellDrag::ImageCellMimeType, payload);

        for (ImageTableWidget* pTable : {editor.Table(false), editor.Table(true)}) {
            const QPoint pos = Editor::Center(pTable, {0, 0});
            QDragEnterEvent enter(pos, Qt::MoveAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pTable->viewport(), &enter);
            QCOMPARE(enter.dropAction(), Qt::IgnoreAction);
            QCOMPARE(Highlighted(pTable), QString());
            QDropEvent drop(pos, Qt::MoveAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pTable->viewport(), &drop);
            QVERIFY(!drop.isAccepted());
        }
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("x"));
    }

    void filesDroppedOnTrayArriveSorted()
    {
        Editor editor;
        QVERIFY(editor.Arrange(m_sandbox, "-", "x"));
        QMimeData mimeData;
        QList<QUrl> urls;
        for (const QString& strFile : TableTest::WriteImages(m_sandbox, {"b_dropped", "A_dropped", "a_dropped"}))
            urls << QUrl::fromLocalFile(strFile);
        mimeData.setUrls(urls);

        QDragEnterEvent gridEnter(Editor::Center(editor.m_pGrid, {0, 0}), Qt::CopyAction, &mimeData, Qt::LeftButton,
                                  Qt::NoModifier);
        QApplication::sendEvent(editor.m_pGrid->viewport(), &gridEnter);
        QVERIFY(!gridEnter.isAccepted());

        const QPoint pos = Editor::Center(editor.m_pTray, {0, 0});
        QDragEnterEvent enter(pos, Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.m_pTray->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(pos, Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.m_pTray->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("x A_dropped a_dropped b_dropped"));
    }
};

TESSARA_TEST(TestImageTableDrag)
#include "test_imagetabledrag.moc"
