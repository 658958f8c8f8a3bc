#include "testmain.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"
#include "ui/controls/ImageGrid.h"

#include <QAction>
#include <QMenu>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellEngine;
using TableTest::Layout;
using TableTest::Names;

namespace {
// Opens the grid's context menu contents to the test.
class GridProbe : public UI::Controls::ImageGrid
{
public:
    using ImageGrid::PrepareContextMenu;
};
} // namespace

class TestImageGrid : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<ImageCellEngine> m_pEngine;
    std::unique_ptr<GridProbe> m_pGrid;

    bool Arrange(const QString& strGrid) { return TableTest::Arrange(*m_pEngine, *m_pGrid, m_sandbox, strGrid); }
    void Select(const QList<QPoint>& positions) { TableTest::Select(*m_pGrid, positions); }
    QString LocationMismatches() const { return TableTest::LocationMismatches(*m_pEngine, *m_pGrid); }

private slots:
    void init()
    {
        m_pEngine = std::make_unique<ImageCellEngine>();
        m_pGrid = std::make_unique<GridProbe>();
        QVERIFY(m_pGrid->InitImageGrid(m_pEngine.get()));
    }
    void cleanup()
    {
        m_pGrid.reset();
        m_pEngine.reset();
    }

    void flipsMirrorCellsAndReservations_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("bVertical");
        QTest::addColumn<QString>("after");
        const QString strThreeByThree = "a b c | d e f | K h i";
        QTest::newRow("3x3 vertical mirrors left to right") << strThreeByThree << true << "c b a | f e d | i h K";
        QTest::newRow("3x3 horizontal mirrors top to bottom") << strThreeByThree << false << "K h i | d e f | a b c";
        QTest::newRow("2x4 vertical") << "a b c d | K f g h" << true << "d c b a | h g f K";
        QTest::newRow("one row horizontal changes nothing") << "a b c" << false << "a b c";
    }
    void flipsMirrorCellsAndReservations()
    {
        QFETCH(QString, before);
        QFETCH(bool, bVertical);
        QFETCH(QString, after);
        QVERIFY(Arrange(before));
        if (bVertical)
            m_pGrid->FlipVertically();
        else
            m_pGrid->FlipHorizontally();
        QCOMPARE(Layout(*m_pGrid), after);
        QCOMPARE(LocationMismatches(), QString());
    }

    void shrinkingSendsOutsideCellsToTray()
    {
        QVERIFY(Arrange("a b c | d e f | g h i"));
        QVERIFY(!m_pGrid->Resize(0, 3, true));
        QVERIFY(!m_pGrid->Resize(2, -1, false));
        QVERIFY(m_pGrid->Resize(2, 2, true));
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("a b | d e"));
        QCOMPARE(Names(*m_pEngine, ImageCellEngine::CellTray), QStringLiteral("i h g f c"));
        QVERIFY(m_pGrid->Resize(3, 3, true));
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("a b - | d e - | - - -"));
        QCOMPARE(LocationMismatches(), QString());
    }

    void keepEmptyMovesImagesOutAndChecksOnlyFullReservations()
    {
        QVERIFY(Arrange("a b | c -"));
        Select({{0, 0}, {1, 1}});
        QVERIFY(!m_pGrid->GetKeepEmptyAction()->isChecked());
        m_pGrid->GetKeepEmptyAction()->trigger();
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("K b | c K"));
        QCOMPARE(Names(*m_pEngine, ImageCellEngine::CellTray), QStringLiteral("a"));
        QVERIFY(m_pGrid->GetKeepEmptyAction()->isChecked());

        Select({{0, 0}, {1, 0}});
        QVERIFY(!m_pGrid->GetKeepEmptyAction()->isChecked());
        Select({{0, 0}});
        QVERIFY(m_pGrid->GetKeepEmptyAction()->isChecked());
        m_pGrid->GetKeepEmptyAction()->trigger(); // unchecking only lifts the reservation
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("- b | c K"));
    }

    void keepEmptyCellsFromProjectRows()
    {
        QVERIFY(Arrange("a b | c d"));
        m_pGrid->SetKeepEmptyCells({{"keepempty", "None"}, {"x.png", "KEEPEMPTY", "KeepEmpty"}, {"KeepEmpty"}});
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("a* b | c d*"));
    }

    void moveToTrayKeepsCellsClearDestroysThem()
    {
        QVERIFY(Arrange("a b | c d"));
        Select({{0, 0}, {1, 1}});
        m_pGrid->GetMoveToTrayAction()->trigger();
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("- b | c -"));
        QCOMPARE(Names(*m_pEngine, ImageCellEngine::CellTray), QStringLiteral("a d"));

        Select({{1, 0}, {0, 1}});
        m_pGrid->GetClearAction()->trigger();
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("- - | - -"));
        QCOMPARE(m_pEngine->GetCellCount(ImageCellEngine::CellBasket), 0);
        QCOMPARE(m_pEngine->GetCellCount(ImageCellEngine::CellTray), 2);

        m_pEngine->MoveToBasket(m_pEngine->GetCell(ImageCellEngine::CellTray, 0), 1, 1);
        m_pGrid->PopulateEntireGrid();
        m_pEngine->ClearBasket();
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("- - | - -"));
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
        QFETCH(QString, layout);
        QVERIFY(Arrange("a b"));
        QPointer<ImageCell> oldCell(m_pGrid->Item(0, 1)->GetCell());
        TestUtils::ModalAnswers answers;
        if (strChoice.isEmpty())
            answers.Then(TestUtils::FinishDialog(&QDialog::reject));
        else if (strChoice == "broken")
            answers.Then(TestUtils::ChooseFiles({m_sandbox.WriteText("broken.png", "no pixels here")}));
        else
            answers.Then(TestUtils::ChooseFiles(TableTest::WriteImages(m_sandbox, {strChoice})));

        m_pGrid->SelectImageForItem(m_pGrid->Item(0, 1));
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(Layout(*m_pGrid), layout);
        QCOMPARE(oldCell.isNull(), strChoice == "z");
        QCOMPARE(m_pEngine->GetCellCount(ImageCellEngine::CellBasket), 2);
        QCOMPARE(LocationMismatches(), QString());
    }

    void contextMenuBorrowsTheWindowsActions()
    {
        QVERIFY(Arrange("a"));
        QList<QAction*> windowActions;
        for (QString strName : {"actGridCompound", "actGridCreate", "actGridFlipHorz", "actGridFlipVert",
                                "actGridClearImages", "actTrayAddImages"}) {
            windowActions << new QAction(strName.mid(3), m_pGrid.get());
            windowActions.last()->setObjectName(strName);
        }
        m_pGrid->SetWindowActions(windowActions);
        QMenu menu;
        QVERIFY(m_pGrid->PrepareContextMenu(&menu));
        QCOMPARE(menu.defaultAction(), m_pGrid->GetSelectAction());
        // The tray's own action belongs to the tray's menu.
        for (QAction* pAction : windowActions)
            QCOMPARE(menu.actions().contains(pAction), pAction->objectName() != "actTrayAddImages");
    }
};

TESSARA_TEST(TestImageGrid)
#include "test_imagegrid.moc"
