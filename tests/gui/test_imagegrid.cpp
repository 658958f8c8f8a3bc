#include "testmain.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"

#include <QAction>
#include <QtTest>

using Engine::ImageCellEngine;
using TableTest::Layout;
using TableTest::Names;

namespace {
// An edit of the grid: the layout before, the selected places (column, row), the edit, and where the cells end up.
struct GridEdit
{
    QString before;
    QList<QPoint> selected;
    QString strEdit, after;
    QString tray = QString(); // the engine's tray afterwards
};
} // namespace
Q_DECLARE_METATYPE(GridEdit)

class TestImageGrid : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<TableTest::Tables> m_pTables;
    UI::Controls::ImageGrid* m_pGrid = nullptr;

private slots:
    void init() { m_pGrid = (m_pTables = std::make_unique<TableTest::Tables>())->m_pGrid; }

    void editsActOnTheSelectedPlaces_data()
    {
        QTest::addColumn<GridEdit>("edit");
        const QString strThreeByThree = "a b c | d e f | K h i";
        QTest::newRow("3x3 vertical flip") << GridEdit{strThreeByThree, {}, "flip vertically", "c b a | f e d | i h K"};
        QTest::newRow("3x3 horizontal flip")
            << GridEdit{strThreeByThree, {}, "flip horizontally", "K h i | d e f | a b c"};
        QTest::newRow("2x4 vertical flip") << GridEdit{"a b c d | K f g h", {}, "flip vertically", "d c b a | h g f K"};
        QTest::newRow("one row horizontal flip") << GridEdit{"a b c", {}, "flip horizontally", "a b c"};
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
        QVERIFY(m_pTables->Arrange(m_sandbox, edit.before));
        TableTest::Select(*m_pGrid, edit.selected);
        if (edit.strEdit == "flip vertically")
            m_pGrid->FlipVertically();
        else if (edit.strEdit == "flip horizontally")
            m_pGrid->FlipHorizontally();
        else
            (edit.strEdit == "keep empty"     ? m_pGrid->GetKeepEmptyAction()
             : edit.strEdit == "move to tray" ? m_pGrid->GetMoveToTrayAction()
                                              : m_pGrid->GetClearAction())
                ->trigger();
        QCOMPARE(Layout(*m_pGrid), edit.after);
        QCOMPARE(Names(m_pTables->m_engine, ImageCellEngine::CellTray), edit.tray);
        QCOMPARE(m_pTables->LocationMismatches(), QString());
    }

    void keepEmptyCellsFromProjectRows()
    {
        QVERIFY(m_pTables->Arrange(m_sandbox, "a b | c d"));
        m_pGrid->SetKeepEmptyCells({{"keepempty", "None"}, {"x.png", "KEEPEMPTY", "KeepEmpty"}, {"KeepEmpty"}});
        QCOMPARE(Layout(*m_pGrid), "a* b | c d*");
    }

    void shrinkingSendsOutsideCellsToTray()
    {
        QVERIFY(m_pTables->Arrange(m_sandbox, "a b c | d e f | g h i"));
        QVERIFY(!m_pGrid->Resize(0, 3, true));
        QVERIFY(!m_pGrid->Resize(2, -1, false));
        QVERIFY(m_pGrid->Resize(2, 2, true));
        QCOMPARE(Layout(*m_pGrid), "a b | d e");
        QCOMPARE(Names(m_pTables->m_engine, ImageCellEngine::CellTray), "i h g f c");
        QVERIFY(m_pGrid->Resize(3, 3, true));
        QCOMPARE(Layout(*m_pGrid), "a b - | d e - | - - -");
        QCOMPARE(m_pTables->LocationMismatches(), QString());
        m_pTables->m_engine.ClearBasket();
        QCOMPARE(Layout(*m_pGrid), "- - - | - - - | - - -");
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
        QVERIFY(m_pTables->Arrange(m_sandbox, "a b"));
        QPointer<Engine::ImageCell> oldCell(m_pGrid->Item(0, 1)->GetCell());
        TestUtils::ModalAnswers answers;
        answers.Then(strChoice.isEmpty() ? TestUtils::FinishDialog(&QDialog::reject)
                     : strChoice == "broken"
                         ? TestUtils::ChooseFiles({m_sandbox.WriteText("broken.png", "no pixels here")})
                         : TestUtils::ChooseFiles(TableTest::WriteImages(m_sandbox, {strChoice})));
        m_pGrid->SelectImageForItem(m_pGrid->Item(0, 1));
        QCOMPARE(answers.Problems(), QString());
        QTEST(Layout(*m_pGrid), "layout");
        QCOMPARE(oldCell.isNull(), strChoice == "z");
        QCOMPARE(m_pTables->m_engine.GetCellCount(ImageCellEngine::CellBasket), 2);
        QCOMPARE(m_pTables->LocationMismatches(), QString());
    }
};

TESSARA_TEST(TestImageGrid)
#include "test_imagegrid.moc"
