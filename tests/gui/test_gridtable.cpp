#include "testmain.h"
#include "model/ImageCellDrag.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"

using Model::ImageCellEngine;
using TableTest::Layout;
using TableTest::Names;
using UI::Controls::ImageTableWidget;

namespace {
// An edit of the grid: the layout before, the selected places (column, row), the edit, and where the cells end up.
struct GridEdit
{
    QString before;
    QList<QPoint> selected;
    QString command, after;
    QString tray = QString(); // the engine's tray afterwards
};

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
    bool fromTray;
    QList<QPoint> selected;
    bool toTray;
    QPoint target;
    QString gridAfter, trayAfter;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool unloaded = false; // the pressed cell's image is not loaded
};
} // namespace
Q_DECLARE_METATYPE(GridEdit)
Q_DECLARE_METATYPE(DragCase)

class TestGridTable : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<TableTest::Tables> m_tables;
    UI::Controls::GridTable* m_grid = nullptr;

private slots:
    void init() { m_grid = (m_tables = std::make_unique<TableTest::Tables>())->m_grid; }

    void editsActOnTheSelectedPlaces_data()
    {
        QTest::addColumn<GridEdit>("edit");
        const QString strThreeByThree = "a b c | d e f | K h i";
        QTest::newRow("3x3 vertical flip") << GridEdit{strThreeByThree, {}, "flip vertically", "c b a | f e d | i h K"};
        QTest::newRow("3x3 horizontal flip")
            << GridEdit{strThreeByThree, {}, "flip horizontally", "K h i | d e f | a b c"};
        QTest::newRow("2x4 vertical flip") << GridEdit{"a b c d | K f g h", {}, "flip vertically", "d c b a | h g f K"};
        QTest::newRow("keep empty moves images out")
            << GridEdit{"a b | c -", {{0, 0}, {1, 1}}, "keep empty", "K b | c K", "a"};
        QTest::newRow("keep empty on a partly reserved selection reserves all")
            << GridEdit{"K b | c -", {{0, 0}, {1, 0}}, "keep empty", "K K | c -", "b"};
        QTest::newRow("keep empty on reserved places only lifts the reservation")
            << GridEdit{"K b | c K", {{0, 0}}, "keep empty", "- b | c K"};
        QTest::newRow("move to tray keeps the cells")
            << GridEdit{"a b | c d", {{0, 0}, {1, 1}}, "move to tray", "- b | c -", "a d"};
        QTest::newRow("clear destroys the cells") << GridEdit{"a b | c d", {{1, 0}, {0, 1}}, "clear", "a - | - d"};
    }
    void editsActOnTheSelectedPlaces()
    {
        QFETCH(GridEdit, edit);
        QVERIFY(m_tables->Arrange(m_sandbox, edit.before));
        TableTest::Select(*m_grid, edit.selected);
        if (edit.command == "flip vertically")
            m_grid->FlipVertically();
        else if (edit.command == "flip horizontally")
            m_grid->FlipHorizontally();
        else
            (edit.command == "keep empty"     ? m_grid->GetKeepEmptyAction()
             : edit.command == "move to tray" ? m_grid->GetMoveToTrayAction()
                                              : m_grid->GetClearAction())
                ->trigger();
        QCOMPARE(Layout(*m_grid), edit.after);
        QCOMPARE(Names(m_tables->m_engine, ImageCellEngine::CellTray), edit.tray);
        QCOMPARE(m_tables->LocationMismatches(), QString());
    }

    void keepEmptyCellsFromProjectRows()
    {
        QVERIFY(m_tables->Arrange(m_sandbox, "a b | c d"));
        m_grid->SetKeepEmptyCells({{"keepempty", "None"}, {"x.png", "KEEPEMPTY", "KeepEmpty"}, {"KeepEmpty"}});
        QCOMPARE(Layout(*m_grid), "a* b | c d*");
    }

    void shrinkingSendsOutsideCellsToTray()
    {
        QVERIFY(m_tables->Arrange(m_sandbox, "a b c | d e f | g h i"));
        QVERIFY(!m_grid->Resize(0, 3, true));
        QVERIFY(!m_grid->Resize(2, -1, false));
        QVERIFY(m_grid->Resize(2, 2, true));
        QCOMPARE(Layout(*m_grid), "a b | d e");
        QCOMPARE(Names(m_tables->m_engine, ImageCellEngine::CellTray), "i h g f c");
        QVERIFY(m_grid->Resize(3, 3, true));
        QCOMPARE(Layout(*m_grid), "a b - | d e - | - - -");
        QCOMPARE(m_tables->LocationMismatches(), QString());
        m_tables->m_engine.ClearBasket();
        QCOMPARE(Layout(*m_grid), "- - - | - - - | - - -");
    }

    void selectingAnImageReplacesOnlyOnSuccess_data()
    {
        QTest::addColumn<QString>("strChoice"); // "" cancels, "broken" is not an image
        QTest::addColumn<QString>("layout");
        QTest::newRow("cancel leaves the position") << QString() << "a b";
        QTest::newRow("unreadable file keeps the old image") << QString("broken") << "a b";
        QTest::newRow("new file replaces the old cell") << QString("z") << "a z";
    }
    void selectingAnImageReplacesOnlyOnSuccess()
    {
        QFETCH(QString, strChoice);
        QVERIFY(m_tables->Arrange(m_sandbox, "a b"));
        QPointer<Model::ImageCell> oldCell(m_grid->Item(0, 1)->GetCell());
        TestUtils::ModalAnswers answers(
            {strChoice.isEmpty()     ? TestUtils::FinishDialog(&QDialog::reject)
             : strChoice == "broken" ? TestUtils::ChooseFiles({m_sandbox.WriteText("broken.png", "no pixels here")})
                                     : TestUtils::ChooseFiles(TableTest::WriteImages(m_sandbox, {strChoice}))});
        m_grid->SelectImageForItem(m_grid->Item(0, 1));
        QTEST(Layout(*m_grid), "layout");
        QCOMPARE(oldCell.isNull(), strChoice == "z");
        QCOMPARE(m_tables->m_engine.GetCellCount(ImageCellEngine::CellBasket), 2);
        QCOMPARE(m_tables->LocationMismatches(), QString());
    }

    void rowFilenamesMarkEmptyPositions()
    {
        QVERIFY(m_tables->Arrange(m_sandbox, "- one - | K - two"));
        m_grid->Item(1, 2)->SetKeepEmpty(true); // an image placed on a reserved position is saved as the image
        const QList<QStringList> expected{{"None", m_sandbox.File("one.png"), "None"},
                                          {"KeepEmpty", "None", m_sandbox.File("two.png")}};
        QCOMPARE(m_grid->GetRowFilenames(), expected);
        QCOMPARE(m_grid->GetImageCount(), 2);
    }

    void changesAreAnnouncedAndRemovedCellsForgotten()
    {
        QVERIFY(m_tables->Arrange(m_sandbox, "a -", "t"));
        QSignalSpy changed(m_grid, &UI::Controls::ImageTableWidget::Sig_ImageTableChanged);
        Model::ImageCell* pCell = m_tables->m_engine.GetCell(ImageCellEngine::CellTray, 0);
        m_grid->SetItemImageCell(m_grid->Item(0, 1), pCell);
        QCOMPARE(changed.count(), 1);
        m_tables->m_engine.Remove(pCell);
        QCOMPARE(m_grid->Item(0, 1)->GetCell(), nullptr);
    }

    void toolTipShowsMarkupInTheFileNameAsText()
    {
        QVERIFY(m_tables->Arrange(m_sandbox, "a<b>&c"));
        const QString strToolTip = m_grid->Item(0, 0)->GetToolTip();
        QVERIFY2(strToolTip.contains(m_sandbox.File("a<b>&c.png").toHtmlEscaped()), qPrintable(strToolTip));
        QVERIFY2(!strToolTip.contains("a<b>&c"), qPrintable(strToolTip));
    }

    void deleteRemovesTheSelectionOfTheFocusedTableOnly()
    {
        // Grid and tray in one window both bind Delete; only the table with focus may react.
        TableTest::Tables& tables = *m_tables;
        QVERIFY(tables.Arrange(m_sandbox, "g", "a b c d e") && tables.Show());
        tables.m_grid->Item(0, 0)->setSelected(true);
        TableTest::Select(*tables.m_tray, {{0, 0}, {2, 0}, {3, 0}});
        tables.m_tray->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_tray), "b e");
        QCOMPARE(Layout(*tables.m_grid), "g");
        // The cells stay in the engine's tray until it is cleared.
        QCOMPARE(TableTest::Names(tables.m_engine, ImageCellEngine::CellTray), "a b c d e");
        tables.m_grid->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_grid), "-");
    }

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
        QTest::newRow("cell whose image could not be read stays")
            << DragCase{"a b", "", Grid, {{0, 0}}, Grid, {1, 0}, "a b", "", Qt::NoModifier, true};
    }
    void mouseDragMovesCells()
    {
        QFETCH(DragCase, drag);
        TableTest::Tables& tables = *m_tables;
        QVERIFY(tables.Arrange(m_sandbox, drag.grid, drag.tray) && tables.Show());
        ImageTableWidget* pSource = drag.fromTray ? tables.m_tray : static_cast<ImageTableWidget*>(tables.m_grid);
        ImageTableWidget* pTarget = drag.toTray ? tables.m_tray : static_cast<ImageTableWidget*>(tables.m_grid);
        TableTest::Select(*pSource, drag.selected);
        if (drag.unloaded)
            pSource->Item(drag.selected[0].y(), drag.selected[0].x())->GetCell()->SetLoadFailed();
        TableTest::MouseDrag(pSource, drag.selected[0], pTarget, drag.target, drag.modifiers);
        QCOMPARE(Layout(*tables.m_grid), drag.gridAfter);
        QCOMPARE(Layout(*tables.m_tray), drag.trayAfter);
        QCOMPARE(tables.LocationMismatches(), QString());
        if (drag.fromTray && drag.toTray) // reordering the tray is display only
            QCOMPARE(TableTest::Names(tables.m_engine, ImageCellEngine::CellTray), drag.tray);
        if (drag.selected.size() > 1)
            QVERIFY(pSource->selectedItems().isEmpty());
    }

    void dropsFromOutsideTakeOnlyFilesOnTheTray()
    {
        TableTest::Tables& tables = *m_tables;
        QVERIFY(tables.Arrange(m_sandbox, "a b", "x") && tables.Show());
        // A payload naming a live cell: only a drag of this editor may move cells.
        QMimeData cells;
        QByteArray payload;
        QDataStream(&payload, QIODevice::WriteOnly)
            << qint64(1) << tables.m_engine.GetCell(ImageCellEngine::CellTray, 0)->GetId();
        cells.setData(Model::ImageCellDrag::ImageCellMimeType, payload);
        QMimeData files;
        QList<QUrl> urls;
        for (const QString& strFile : TableTest::WriteImages(m_sandbox, {"b_dropped", "A_dropped", "a_dropped"}))
            urls << QUrl::fromLocalFile(strFile);
        files.setUrls(urls);

        QCOMPARE(DropFromOutside(tables.m_grid, cells, Qt::MoveAction), "0 0");
        QCOMPARE(DropFromOutside(tables.m_tray, cells, Qt::MoveAction), "0 0");
        QCOMPARE(DropFromOutside(tables.m_grid, files, Qt::CopyAction), "0 0");
        QCOMPARE(Layout(*tables.m_grid), "a b");
        QCOMPARE(Layout(*tables.m_tray), "x");
        QCOMPARE(DropFromOutside(tables.m_tray, files, Qt::CopyAction), "1 1");
        QCOMPARE(Layout(*tables.m_tray), "x A_dropped a_dropped b_dropped");
    }
};

TESSARA_TEST(TestGridTable)
#include "test_gridtable.moc"
