#include "testmain.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"

#include <QAction>
#include <QtTest>

using Engine::ImageCellEngine;
using TableTest::Layout;
using TableTest::Names;

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
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<QPoint>>("selected"); // (column, row)
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("tray");
        const QString strThreeByThree = "a b c | d e f | K h i";
        QTest::newRow("3x3 vertical flip") << strThreeByThree << QList<QPoint>{} << "flip vertically"
                                           << "c b a | f e d | i h K"
                                           << "";
        QTest::newRow("3x3 horizontal flip") << strThreeByThree << QList<QPoint>{} << "flip horizontally"
                                             << "K h i | d e f | a b c"
                                             << "";
        QTest::newRow("2x4 vertical flip") << "a b c d | K f g h" << QList<QPoint>{} << "flip vertically"
                                           << "d c b a | h g f K"
                                           << "";
        QTest::newRow("one row horizontal flip") << "a b c" << QList<QPoint>{} << "flip horizontally"
                                                 << "a b c"
                                                 << "";
        QTest::newRow("keep empty moves images out") << "a b | c -" << QList<QPoint>{{0, 0}, {1, 1}} << "keep empty"
                                                     << "K b | c K"
                                                     << "a";
        QTest::newRow("keep empty on a partly reserved selection reserves all")
            << "K b | c -" << QList<QPoint>{{0, 0}, {1, 0}} << "keep empty"
            << "K K | c -"
            << "b";
        QTest::newRow("keep empty on reserved places only lifts the reservation")
            << "K b | c K" << QList<QPoint>{{0, 0}} << "keep empty"
            << "- b | c K"
            << "";
        QTest::newRow("move to tray keeps the cells") << "a b | c d" << QList<QPoint>{{0, 0}, {1, 1}} << "move to tray"
                                                      << "- b | c -"
                                                      << "a d";
        QTest::newRow("clear destroys the cells") << "a b | c d" << QList<QPoint>{{1, 0}, {0, 1}} << "clear"
                                                  << "a - | - d"
                                                  << "";
    }
    void editsActOnTheSelectedPlaces()
    {
        QFETCH(QString, before);
        QFETCH(QList<QPoint>, selected);
        QFETCH(QString, edit);
        QVERIFY(m_pTables->Arrange(m_sandbox, before));
        TableTest::Select(*m_pGrid, selected);
        if (edit == "flip vertically")
            m_pGrid->FlipVertically();
        else if (edit == "flip horizontally")
            m_pGrid->FlipHorizontally();
        else
            (edit == "keep empty"     ? m_pGrid->GetKeepEmptyAction()
             : edit == "move to tray" ? m_pGrid->GetMoveToTrayAction()
                                      : m_pGrid->GetClearAction())
                ->trigger();
        QTEST(Layout(*m_pGrid), "after");
        QTEST(Names(m_pTables->m_engine, ImageCellEngine::CellTray), "tray");
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
