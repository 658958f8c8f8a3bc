#include "tabletestsupport.h"
#include "ui/controls/ImageGrid.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellEngine;
using UI::Controls::ImageGrid;
using UI::Controls::ImageTableItem;

using TableTest::Layout;
using TableTest::Names;

namespace
{
// Opens the grid's context menu contents to the test.
class GridProbe : public ImageGrid
{
public:
    using ImageGrid::PrepareContextMenu;
};

// Answers the next file dialog: chooses strFile, or cancels when it is empty.
void AnswerFileDialog(const QString& strFile)
{
    auto* pTimer = new QTimer();
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, strFile] {
        auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!pDialog)
            return;
        pTimer->deleteLater();
        if (strFile.isEmpty())
        {
            pDialog->reject();
            return;
        }
        // Typed as a user would: a full path needs no directory listing to be finished first.
        pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(strFile);
        static_cast<QDialog*>(pDialog)->accept();
    });
    pTimer->start(10);
}
}

class TestImageGrid : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<ImageCellEngine> m_pEngine;
    std::unique_ptr<GridProbe> m_pGrid;

    QString File(const QString& strName) { return TableTest::WriteImages(m_sandbox, {strName})[0]; }

    // Cells for the names placed row by row on the grid; names beyond it go to the tray.
    void Fill(const QStringList& names, int nRows, int nCols)
    {
        QVERIFY(m_pEngine->CreateCells(TableTest::WriteImages(m_sandbox, names), nRows, nCols));
        QVERIFY(m_pGrid->Resize(nRows, nCols, true));
    }
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
        QTest::addColumn<int>("nRows");
        QTest::addColumn<int>("nCols");
        QTest::addColumn<bool>("bVertical");
        QTest::addColumn<QString>("layout");
        // Before each flip: cells a.. row by row; the first position of the last row is then reserved,
        // which sends its image to the tray.
        QTest::newRow("3x3 vertical mirrors left to right") << 3 << 3 << true << "c b a | f e d | i h K";
        QTest::newRow("3x3 horizontal mirrors top to bottom") << 3 << 3 << false << "K h i | d e f | a b c";
        QTest::newRow("2x4 vertical") << 2 << 4 << true << "d c b a | h g f K";
        QTest::newRow("one row horizontal changes nothing") << 1 << 3 << false << "a b c";
    }
    void flipsMirrorCellsAndReservations()
    {
        QFETCH(int, nRows);
        QFETCH(int, nCols);
        QFETCH(bool, bVertical);
        QFETCH(QString, layout);
        const QStringList all{"a", "b", "c", "d", "e", "f", "g", "h", "i"};
        Fill(all.mid(0, nRows * nCols), nRows, nCols);
        if (nRows > 1)
        {
            Select({{0, nRows - 1}});
            m_pGrid->GetKeepEmptyAction()->trigger();
        }
        if (bVertical)
            m_pGrid->FlipVertically();
        else
            m_pGrid->FlipHorizontally();
        QCOMPARE(Layout(*m_pGrid), layout);
        QCOMPARE(LocationMismatches(), QString());
    }

    void shrinkingSendsOutsideCellsToTray()
    {
        Fill({"a", "b", "c", "d", "e", "f", "g", "h", "i"}, 3, 3);
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
        Fill({"a", "b", "c"}, 2, 2);
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
        m_pGrid->GetKeepEmptyAction()->trigger();  // unchecking only lifts the reservation
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("- b | c K"));
    }

    void keepEmptyCellsFromProjectRows()
    {
        Fill({"a", "b", "c", "d"}, 2, 2);
        m_pGrid->SetKeepEmptyCells({{"keepempty", "None"}, {"x.png", "KEEPEMPTY", "KeepEmpty"}, {"KeepEmpty"}});
        QCOMPARE(Layout(*m_pGrid), QStringLiteral("a* b | c d*"));
        QCOMPARE(m_pGrid->GetRowFilenames().at(0).at(0), File("a"));
    }

    void moveToTrayKeepsCellsClearDestroysThem()
    {
        Fill({"a", "b", "c", "d"}, 2, 2);
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
        QTest::addColumn<QString>("strChoice");  // "" cancels, "broken" is not an image
        QTest::addColumn<QString>("layout");
        QTest::newRow("cancel leaves the position") << "" << "a b";
        QTest::newRow("unreadable file keeps the old image") << "broken" << "a b";
        QTest::newRow("new file replaces the old cell") << "z" << "a z";
    }
    void selectingAnImageReplacesOnlyOnSuccess()
    {
        QFETCH(QString, strChoice);
        QFETCH(QString, layout);
        Fill({"a", "b"}, 1, 2);
        QPointer<ImageCell> oldCell(m_pGrid->Item(0, 1)->GetCell());
        QString strFile;
        if (strChoice == "broken")
            strFile = m_sandbox.WriteText("broken.png", "no pixels here");
        else if (!strChoice.isEmpty())
            strFile = File(strChoice);

        AnswerFileDialog(strFile);
        m_pGrid->SelectImageForItem(m_pGrid->Item(0, 1));
        QCOMPARE(Layout(*m_pGrid), layout);
        QCOMPARE(oldCell.isNull(), strChoice == "z");
        QCOMPARE(m_pEngine->GetCellCount(ImageCellEngine::CellBasket), 2);
        QCOMPARE(LocationMismatches(), QString());
    }

    void contextMenuBorrowsTheWindowsActions()
    {
        Fill({"a"}, 1, 1);
        auto texts = [this]() -> QString {
            QMenu menu;
            if (!m_pGrid->PrepareContextMenu(&menu) || menu.defaultAction() != m_pGrid->GetSelectAction())
                return "no menu or wrong default action";
            return TableTest::MenuEntries(menu);
        };
        QCOMPARE(texts(), QStringLiteral("&Select images...,&Open images,|,|,|,|,&Keep empty,|,&Reload images,|,"
                                         "Move to &tray,|,&Clear images"));

        QList<QAction*> windowActions;
        for (QString strName : {"actGridCompound", "actGridCreate", "actGridFlipHorz", "actGridFlipVert",
                                "actGridClearImages", "actTrayAddImages"})
        {
            windowActions << new QAction(strName.mid(3), m_pGrid.get());
            windowActions.last()->setObjectName(strName);
        }
        m_pGrid->SetWindowActions(windowActions);
        QCOMPARE(texts(), QStringLiteral("&Select images...,&Open images,|,GridCompound,|,GridCreate,|,GridFlipHorz,"
                                         "GridFlipVert,|,&Keep empty,|,&Reload images,|,Move to &tray,|,"
                                         "GridClearImages,&Clear images"));
    }
};

QTEST_MAIN(TestImageGrid)
#include "test_imagegrid.moc"
