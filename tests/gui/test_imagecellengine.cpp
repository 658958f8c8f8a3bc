#include "engine/ImageCell.h"
#include "engine/ImageCellEngine.h"
#include "testutils.h"

#include <QPointer>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellEngine;

// Records every engine signal as one readable line, in emission order.
class SignalLog : public QObject
{
public:
    explicit SignalLog(ImageCellEngine& engine)
    {
        connect(&engine, &ImageCellEngine::Sig_Removed, this, [this](ImageCell* pCell) { Add("removed", pCell); });
        connect(&engine, &ImageCellEngine::Sig_MovedToBasket, this,
                [this](ImageCell* pCell) { Add("basket", pCell); });
        connect(&engine, &ImageCellEngine::Sig_MovedToTray, this, [this](ImageCell* pCell) { Add("tray", pCell); });
        connect(&engine, &ImageCellEngine::Sig_BasketCleared, this, [this] { m_lines << "basket cleared"; });
        connect(&engine, &ImageCellEngine::Sig_TrayCleared, this, [this] { m_lines << "tray cleared"; });
        connect(&engine, &ImageCellEngine::Sig_Operation, this,
                [this](bool bBegin) { m_lines << (bBegin ? "begin" : "end"); });
    }
    QStringList m_lines;

private:
    void Add(const char* pWhat, const ImageCell* pCell)
    {
        m_lines << QStringLiteral("%1 %2 (%3,%4)")
                       .arg(QLatin1String(pWhat), QFileInfo(pCell->GetFilename()).fileName())
                       .arg(pCell->GetGridRow())
                       .arg(pCell->GetGridCol());
    }
};

class TestImageCellEngine : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;

    QStringList MakeFiles(const QStringList& names)
    {
        QStringList files;
        for (const QString& strName : names)
        {
            const QString strFile = m_sandbox.File(strName);
            if (!TestUtils::WriteImage(strFile, 8, 6, Qt::red))
                qFatal("cannot write %s", qPrintable(strFile));
            files << strFile;
        }
        return files;
    }

    static QStringList Locations(const ImageCellEngine& engine, ImageCellEngine::CellContainer container)
    {
        QStringList locations;
        for (int i = 0; i < engine.GetCellCount(container); ++i)
        {
            const ImageCell* pCell = engine.GetCell(container, i);
            locations << QStringLiteral("%1:%2,%3")
                             .arg(QFileInfo(pCell->GetFilename()).baseName())
                             .arg(pCell->GetGridRow())
                             .arg(pCell->GetGridCol());
        }
        return locations;
    }

private slots:
    void createCellsPlacesFilesRowByRow_data()
    {
        QTest::addColumn<int>("nRows");
        QTest::addColumn<int>("nCols");
        QTest::addColumn<QStringList>("basket");
        QTest::addColumn<QStringList>("tray");

        QTest::newRow("seven files on 2x3: the seventh overflows")
            << 2 << 3 << QStringList{"a:0,0", "b:0,1", "c:0,2", "d:1,0", "e:1,1", "f:1,2"}
            << QStringList{"g:-1,-1"};
        QTest::newRow("no grid: everything to the tray in order")
            << -1 << -1 << QStringList{}
            << QStringList{"a:-1,-1", "b:-1,-1", "c:-1,-1", "d:-1,-1", "e:-1,-1", "f:-1,-1", "g:-1,-1"};
        QTest::newRow("single column")
            << 3 << 1 << QStringList{"a:0,0", "b:1,0", "c:2,0"}
            << QStringList{"d:-1,-1", "e:-1,-1", "f:-1,-1", "g:-1,-1"};
        QTest::newRow("zero columns go to the tray instead of dividing by zero")
            << 0 << 0 << QStringList{}
            << QStringList{"a:-1,-1", "b:-1,-1", "c:-1,-1", "d:-1,-1", "e:-1,-1", "f:-1,-1", "g:-1,-1"};
    }
    void createCellsPlacesFilesRowByRow()
    {
        QFETCH(int, nRows);
        QFETCH(int, nCols);
        QFETCH(QStringList, basket);
        QFETCH(QStringList, tray);

        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(MakeFiles({"a.png", "b.png", "c.png", "d.png", "e.png", "f.png", "g.png"}),
                                   nRows, nCols));
        QCOMPARE(Locations(engine, ImageCellEngine::CellBasket), basket);
        QCOMPARE(Locations(engine, ImageCellEngine::CellTray), tray);
    }

    void createCellsAnnouncesEachCellInsideOneBracket()
    {
        ImageCellEngine engine;
        SignalLog log(engine);
        QVERIFY(engine.CreateCells(MakeFiles({"a.png", "b.png", "c.png"}), 1, 2));
        QCOMPARE(log.m_lines,
                 QStringList({"begin", "basket a.png (0,0)", "basket b.png (0,1)", "tray c.png (-1,-1)", "end"}));
    }

    void projectRowsSkipEmptyCellWords()
    {
        const QStringList files = MakeFiles({"p.png", "q.png", "r.png"});
        ImageCellEngine engine;
        SignalLog log(engine);
        QVERIFY(engine.CreateCells(QList<QStringList>{{files[0], "none", files[1]}, {"KEEPEMPTY", files[2]}}));
        QCOMPARE(log.m_lines,
                 QStringList({"begin", "basket p.png (0,0)", "basket q.png (0,2)", "basket r.png (1,1)", "end"}));
        QCOMPARE(engine.GetCell(0, 1), nullptr);
        QCOMPARE(engine.GetCell(0, 2)->GetFilename(), files[1]);
    }

    void failuresAccumulateOneLineEach()
    {
        const QStringList files = MakeFiles({"ok.png"});
        const QString strMissing1 = m_sandbox.File("missing1.png");
        const QString strMissing2 = m_sandbox.File("missing2.png");
        ImageCellEngine engine;
        QVERIFY(!engine.CreateCells(QStringList{strMissing1, files[0], strMissing2}, -1, -1));
        QCOMPARE(engine.GetLastError(),
                 QStringLiteral("The image file '%1' couldn't be loaded or doesn't exist\n"
                                "The image file '%2' couldn't be loaded or doesn't exist")
                     .arg(strMissing1, strMissing2));
        QCOMPARE(engine.GetCellCount(ImageCellEngine::CellTray), 1);

        // The next bulk creation starts a fresh text.
        QVERIFY(engine.CreateCells(files, -1, -1));
        QCOMPARE(engine.GetLastError(), QString());
    }

    void movesAnnounceOnlyContainerChanges()
    {
        ImageCellEngine engine;
        ImageCell* pCell = engine.CreateCell(MakeFiles({"m.png"})[0], -1, -1);
        SignalLog log(engine);

        engine.MoveToBasket(pCell, 1, 2);
        engine.MoveToBasket(pCell, 0, 3);  // already in the basket: new place, no signal
        QCOMPARE(pCell->GetGridRow(), 0);
        QCOMPARE(pCell->GetGridCol(), 3);
        engine.MoveToTray(pCell);
        engine.MoveToTray(pCell);
        engine.MoveToTray(nullptr);
        engine.MoveToBasket(nullptr, 0, 0);
        QCOMPARE(log.m_lines, QStringList({"basket m.png (1,2)", "tray m.png (-1,-1)"}));
        QCOMPARE(engine.GetCellContainer(pCell), int(ImageCellEngine::CellTray));
        QCOMPARE(engine.GetCellCount(ImageCellEngine::CellBasket), 0);
    }

    void shrinkingMovesOutsideCellsToTrayInReverseOrder()
    {
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(MakeFiles({"a.png", "b.png", "c.png", "d.png", "e.png", "f.png", "g.png",
                                              "h.png", "i.png"}),
                                   3, 3));
        SignalLog log(engine);
        engine.MoveToTray(1, 1);
        QCOMPARE(log.m_lines, QStringList({"tray i.png (-1,-1)", "tray h.png (-1,-1)", "tray g.png (-1,-1)",
                                           "tray f.png (-1,-1)", "tray c.png (-1,-1)"}));
        QCOMPARE(Locations(engine, ImageCellEngine::CellBasket), QStringList({"a:0,0", "b:0,1", "d:1,0", "e:1,1"}));
    }

    void removeDestroysOnlyOwnedCells()
    {
        ImageCellEngine engine;
        ImageCell* pOwned = engine.CreateCell(MakeFiles({"o.png"})[0], 0, 0);
        QPointer<ImageCell> owned(pOwned);
        int nBasketAtSignal = -1;
        connect(&engine, &ImageCellEngine::Sig_Removed, this, [&](ImageCell* pCell) {
            QCOMPARE(pCell, pOwned);
            nBasketAtSignal = engine.GetCellCount(ImageCellEngine::CellBasket);
        });
        engine.Remove(pOwned);
        QCOMPARE(nBasketAtSignal, 1);  // announced while still in its container
        QVERIFY(owned.isNull());
        QCOMPARE(engine.GetCellCount(ImageCellEngine::CellBasket), 0);

        ImageCell foreign;
        SignalLog log(engine);
        engine.Remove(&foreign);  // not the engine's: must neither announce nor delete it
        engine.Remove(nullptr);
        QCOMPARE(log.m_lines, QStringList());
        QCOMPARE(foreign.GetGridRow(), -1);
    }

    void clearingAnnouncesBeforeDestroying()
    {
        auto pEngine = std::make_unique<ImageCellEngine>();
        QVERIFY(pEngine->CreateCells(MakeFiles({"a.png", "b.png", "c.png"}), 1, 2));
        QPointer<ImageCell> basketCell(pEngine->GetCell(0, 0));
        QPointer<ImageCell> trayCell(pEngine->GetCell(ImageCellEngine::CellTray, 0));
        bool bAliveAtSignal = false;
        connect(pEngine.get(), &ImageCellEngine::Sig_BasketCleared, this,
                [&] { bAliveAtSignal = !basketCell.isNull(); });
        SignalLog log(*pEngine);

        pEngine->ClearBasket();
        QVERIFY(bAliveAtSignal);
        QVERIFY(basketCell.isNull());
        QVERIFY(!trayCell.isNull());
        QCOMPARE(log.m_lines, QStringList({"basket cleared"}));

        pEngine.reset();  // the destructor clears both containers
        QVERIFY(trayCell.isNull());
        QCOMPARE(log.m_lines, QStringList({"basket cleared", "basket cleared", "tray cleared"}));
    }

    void lookupsRejectOutOfRange_data()
    {
        QTest::addColumn<int>("nContainer");
        QTest::addColumn<int>("nIndex");
        QTest::addColumn<bool>("bFound");
        QTest::newRow("tray -1") << int(ImageCellEngine::CellTray) << -1 << false;
        QTest::newRow("tray 0") << int(ImageCellEngine::CellTray) << 0 << true;
        QTest::newRow("basket at count") << int(ImageCellEngine::CellBasket) << 2 << false;
        QTest::newRow("basket last") << int(ImageCellEngine::CellBasket) << 1 << true;
        QTest::newRow("unknown container") << 2 << 0 << false;
    }
    void lookupsRejectOutOfRange()
    {
        QFETCH(int, nContainer);
        QFETCH(int, nIndex);
        QFETCH(bool, bFound);
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(MakeFiles({"a.png", "b.png", "c.png"}), 1, 2));
        QCOMPARE(engine.GetCell(ImageCellEngine::CellContainer(nContainer), nIndex) != nullptr, bFound);
        QCOMPARE(engine.GetCellCount(2), -1);
        QCOMPARE(engine.GetCellCount(-1), -1);
    }

    void identitiesNameOnlyLiveCells()
    {
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(MakeFiles({"a.png", "b.png"}), 1, 1));
        ImageCell* pBasket = engine.GetCell(0, 0);
        ImageCell* pTray = engine.GetCell(ImageCellEngine::CellTray, 0);
        QVERIFY(pBasket->GetId() != pTray->GetId());
        QCOMPARE(engine.FindCell(pBasket->GetId()), pBasket);
        QCOMPARE(engine.FindCell(pTray->GetId()), pTray);

        const qint64 nRemovedId = pBasket->GetId();
        engine.Remove(pBasket);
        QCOMPARE(engine.FindCell(nRemovedId), nullptr);
        // A new cell never takes over the identity of a destroyed one.
        ImageCell* pNew = engine.CreateCell(MakeFiles({"c.png"})[0], 0, 0);
        QVERIFY(pNew->GetId() != nRemovedId);
        QCOMPARE(engine.FindCell(nRemovedId), nullptr);
        QCOMPARE(engine.FindCell(0), nullptr);
    }
};

QTEST_MAIN(TestImageCellEngine)
#include "test_imagecellengine.moc"
