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

using Engine::ImageCell;
using Engine::ImageCellEngine;
using UI::Controls::ImageGrid;
using UI::Controls::ImageTableItem;
using UI::Controls::ImageTableWidget;
using UI::Controls::ImageTray;
using TableTest::Layout;
using TableTest::Select;

namespace
{
// A window with a grid above a tray, both following one engine, as in the editor.
struct Editor
{
    explicit Editor(const TestUtils::Sandbox& sandbox) : m_sandbox(sandbox)
    {
        auto* pLayout = new QVBoxLayout(&m_window);
        m_pGrid = new ImageGrid(&m_window);
        m_pTray = new ImageTray(&m_window);
        pLayout->addWidget(m_pGrid);
        pLayout->addWidget(m_pTray);
        m_pGrid->InitImageGrid(&m_engine);
        m_pTray->InitImageTray(&m_engine);
        m_pGrid->SetImageSize(64);
        m_pTray->SetImageSize(64);
        m_window.resize(800, 600);
    }

    // Cells for the names placed row by row on an nRows x nCols grid, the rest in the tray
    // (all of them for -1, -1, with a 1x1 grid shown).
    bool Load(const QStringList& names, int nRows, int nCols)
    {
        if (!m_engine.CreateCells(TableTest::WriteImages(m_sandbox, names), nRows, nCols)
            || !m_pGrid->Resize(qMax(nRows, 1), qMax(nCols, 1), true))
            return false;
        m_window.show();
        return QTest::qWaitForWindowExposed(&m_window);
    }

    QString LocationMismatches() const { return TableTest::LocationMismatches(m_engine, *m_pGrid); }

    QPoint Center(const ImageTableWidget* pTable, int nRow, int nCol) const
    {
        return pTable->visualItemRect(pTable->Item(nRow, nCol)).center();
    }

    const TestUtils::Sandbox& m_sandbox;
    ImageCellEngine m_engine;
    QWidget m_window;
    ImageGrid* m_pGrid;
    ImageTray* m_pTray;
};

void SendMouse(QWidget* pViewport, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, pViewport->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(pViewport, &event);
}

// Presses on the source, moves a little (which starts the drag) and, from inside the drag's own event
// loop, moves over the target position, calls fnWhileOver there, and releases.
void MouseDrag(ImageTableWidget* pSource, const QPoint& from, ImageTableWidget* pTarget, const QPoint& to,
               const std::function<void()>& fnWhileOver = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* pSourceViewport = pSource->viewport();
    QWidget* pTargetViewport = pTarget->viewport();
    bool bDragRan = false;
    QTimer::singleShot(0, pTarget, [&] {
        bDragRan = true;
        SendMouse(pTargetViewport, QEvent::MouseMove, to - QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(pTargetViewport, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        if (fnWhileOver)
            fnWhileOver();
        SendMouse(pTargetViewport, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    });
    SendMouse(pSourceViewport, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    SendMouse(pSourceViewport, QEvent::MouseMove, from + QPoint(3, 3), Qt::NoButton, Qt::LeftButton, modifiers);
    if (!bDragRan)
    {
        // No drag started: let the queued moves run (as plain mouse moves) and end the press.
        QCoreApplication::processEvents();
        SendMouse(pSourceViewport, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    }
}

QStringList Highlighted(const ImageTableWidget* pTable)
{
    QStringList positions;
    for (int r = 0; r < pTable->rowCount(); ++r)
        for (int c = 0; c < pTable->columnCount(); ++c)
            if (pTable->Item(r, c)->IsDragHighlighted())
                positions << QStringLiteral("%1,%2").arg(r).arg(c);
    return positions;
}

}

class TestImageTableDrag : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;

private slots:
    void gridToGridSwapsCells_data()
    {
        QTest::addColumn<QList<QPoint>>("dragged");  // (column, row) of the selected items, press on the first
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QString>("layout");
        QTest::newRow("one cell onto another swaps them") << QList<QPoint>{{0, 0}} << QPoint(2, 0) << "c b a | d e -";
        QTest::newRow("onto its own place nothing changes") << QList<QPoint>{{1, 1}} << QPoint(1, 1) << "a b c | d e -";
        QTest::newRow("onto an empty place moves it") << QList<QPoint>{{1, 0}} << QPoint(2, 1) << "a - c | d e b";
        QTest::newRow("two cells swap one at a time")
            << QList<QPoint>{{0, 0}, {1, 0}} << QPoint(1, 1) << "e - c | d a b";
    }
    void gridToGridSwapsCells()
    {
        QFETCH(QList<QPoint>, dragged);
        QFETCH(QPoint, target);
        QFETCH(QString, layout);
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b", "c", "d", "e"}, 2, 3));
        Select(*editor.m_pGrid, dragged);
        const QPoint from = editor.Center(editor.m_pGrid, dragged[0].y(), dragged[0].x());
        MouseDrag(editor.m_pGrid, from, editor.m_pGrid, editor.Center(editor.m_pGrid, target.y(), target.x()));
        QCOMPARE(Layout(*editor.m_pGrid), layout);
        QCOMPARE(editor.LocationMismatches(), QString());
        QVERIFY(editor.m_pGrid->selectedItems().isEmpty() || dragged.size() == 1);
    }

    void trayToGridPassesKeepEmptyAndDisplacesToTray()
    {
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b", "c", "x", "y", "z"}, 1, 3));  // grid a b c; tray x y z
        QVERIFY(editor.m_pGrid->Resize(2, 2, true));                  // grid a b | - -; tray x y z c
        editor.m_pGrid->SetKeepEmptyCells({{"None", "None"}, {"keepempty", "None"}});
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b | K -"));
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("x y z c"));

        Select(*editor.m_pTray, {{0, 0}, {1, 0}, {2, 0}});
        QStringList highlighted;
        MouseDrag(editor.m_pTray, editor.Center(editor.m_pTray, 0, 0), editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 1),
                  [&] { highlighted = Highlighted(editor.m_pGrid); });
        QCOMPARE(highlighted, QStringList({"0,1", "1,1"}));
        QCOMPARE(Highlighted(editor.m_pGrid), QStringList());
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a x | K y"));
        // z found no place and stays; the displaced b follows at the end.
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("z c b"));
        QCOMPARE(editor.LocationMismatches(), QString());
    }

    void gridToTrayAppendsWithoutHighlight()
    {
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b", "c", "x", "y"}, 1, 3));
        Select(*editor.m_pGrid, {{0, 0}, {2, 0}});
        QStringList highlighted{"not recorded"};
        MouseDrag(editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 0), editor.m_pTray, editor.Center(editor.m_pTray, 0, 0),
                  [&] { highlighted = Highlighted(editor.m_pTray); });
        QCOMPARE(highlighted, QStringList());
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("- b -"));
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("x y a c"));
        QCOMPARE(editor.LocationMismatches(), QString());
    }

    void trayToTrayReordersBySwapping_data()
    {
        QTest::addColumn<int>("nFrom");
        QTest::addColumn<int>("nTo");
        QTest::addColumn<QString>("layout");
        QTest::newRow("first onto third") << 0 << 2 << "z y x";
        QTest::newRow("onto itself") << 1 << 1 << "x y z";
    }
    void trayToTrayReordersBySwapping()
    {
        QFETCH(int, nFrom);
        QFETCH(int, nTo);
        QFETCH(QString, layout);
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"x", "y", "z"}, -1, -1));
        Select(*editor.m_pTray, {{nFrom, 0}});
        MouseDrag(editor.m_pTray, editor.Center(editor.m_pTray, 0, nFrom), editor.m_pTray,
                  editor.Center(editor.m_pTray, 0, nTo));
        QCOMPARE(Layout(*editor.m_pTray), layout);
        // Reordering is display only: the engine's tray keeps its order.
        QCOMPARE(QFileInfo(editor.m_engine.GetCell(ImageCellEngine::CellTray, 0)->GetFilename()).baseName(),
                 QStringLiteral("x"));
    }

    void highlightWalksRowMajorPastKeepEmpty()
    {
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b", "c"}, 3, 3));
        editor.m_pGrid->SetKeepEmptyCells({{}, {"KeepEmpty", "keepEMPTY"}});
        Select(*editor.m_pGrid, {{0, 0}, {1, 0}, {2, 0}});
        QStringList highlighted;
        // Three cells dropped on the last item of the first row: that item, then the first free one below.
        MouseDrag(editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 0), editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 2),
                  [&] { highlighted = Highlighted(editor.m_pGrid); });
        QCOMPARE(highlighted, QStringList({"0,2", "1,2", "2,0"}));
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("- - a | K K b | c - -"));
        QCOMPARE(editor.LocationMismatches(), QString());
    }

    void dragNeedsPlainPressAndLoadedImages()
    {
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b"}, 1, 2));
        Select(*editor.m_pGrid, {{0, 0}});
        MouseDrag(editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 0), editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 1),
                  {}, Qt::ControlModifier);
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));

        editor.m_pGrid->Item(0, 0)->GetCell()->UnloadImage();
        Select(*editor.m_pGrid, {{0, 0}});
        MouseDrag(editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 0), editor.m_pGrid, editor.Center(editor.m_pGrid, 0, 1));
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));
    }

    void dropFromOutsideTheEditorIsIgnored()
    {
        // A payload naming live cells, but dropped without a drag of this editor (as from another process).
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"a", "b", "x"}, 1, 2));
        QByteArray payload;
        QDataStream stream(&payload, QIODevice::WriteOnly);
        stream << qint64(1) << editor.m_engine.GetCell(ImageCellEngine::CellTray, 0)->GetId();
        QMimeData mimeData;
        mimeData.setData(Engine::ImageCellDrag::ImageCellMimeType, payload);

        for (ImageTableWidget* pTable : {static_cast<ImageTableWidget*>(editor.m_pGrid),
                                         static_cast<ImageTableWidget*>(editor.m_pTray)})
        {
            const QPointF pos = editor.Center(pTable, 0, 0);
            QDragEnterEvent enter(pos.toPoint(), Qt::MoveAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pTable->viewport(), &enter);
            QCOMPARE(enter.dropAction(), Qt::IgnoreAction);
            QCOMPARE(Highlighted(pTable), QStringList());
            QDropEvent drop(pos, Qt::MoveAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pTable->viewport(), &drop);
            QVERIFY(!drop.isAccepted());
        }
        QCOMPARE(Layout(*editor.m_pGrid), QStringLiteral("a b"));
        QCOMPARE(Layout(*editor.m_pTray), QStringLiteral("x"));
    }

    void filesDroppedOnTrayArriveSorted()
    {
        Editor editor(m_sandbox);
        QVERIFY(editor.Load({"x"}, -1, -1));
        QList<QUrl> urls;
        for (QString strName : {"b", "A", "a"})
        {
            const QString strFile = m_sandbox.File(strName + "_dropped.png");
            QVERIFY(TestUtils::WriteImage(strFile, 12, 12, Qt::magenta));
            urls << QUrl::fromLocalFile(strFile);
        }
        QMimeData mimeData;
        mimeData.setUrls(urls);

        const QPoint pos = editor.Center(editor.m_pTray, 0, 0);
        QDragEnterEvent gridEnter(editor.Center(editor.m_pGrid, 0, 0), Qt::CopyAction, &mimeData, Qt::LeftButton,
                                  Qt::NoModifier);
        QApplication::sendEvent(editor.m_pGrid->viewport(), &gridEnter);
        QVERIFY(!gridEnter.isAccepted());

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

int main(int argc, char** argv)
{
    // The offscreen platform turns every drag down at once; the minimal one runs Qt's own in-process
    // drag, so these drags travel through QDrag and the real drag-enter, -move and drop events.
    qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    QApplication app(argc, argv);
    TestImageTableDrag test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_imagetabledrag.moc"
