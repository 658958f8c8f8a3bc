#include "testmain.h"
#include "tabletestsupport.h"

#include <QPointer>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellEngine;
using TableTest::Names;
using TableTest::WriteImages;

// Records every engine signal as one readable line, in emission order.
class SignalLog : public QObject
{
public:
    explicit SignalLog(ImageCellEngine& engine)
    {
        auto cellLine = [this](const char* pWhat) {
            return [this, pWhat](ImageCell* pCell) {
                m_lines << QStringLiteral("%1 %2 (%3,%4)")
                               .arg(QLatin1String(pWhat), TableTest::Name(pCell))
                               .arg(pCell->GetGridRow())
                               .arg(pCell->GetGridCol());
            };
        };
        connect(&engine, &ImageCellEngine::Sig_Removed, this, cellLine("removed"));
        connect(&engine, &ImageCellEngine::Sig_MovedToBasket, this, cellLine("basket"));
        connect(&engine, &ImageCellEngine::Sig_MovedToTray, this, cellLine("tray"));
        connect(&engine, &ImageCellEngine::Sig_BasketCleared, this, [this] { m_lines << "basket cleared"; });
        connect(&engine, &ImageCellEngine::Sig_TrayCleared, this, [this] { m_lines << "tray cleared"; });
        connect(&engine, &ImageCellEngine::Sig_Operation, this,
                [this](bool bBegin) { m_lines << (bBegin ? "begin" : "end"); });
        connect(&engine, &ImageCellEngine::Sig_ImagesReloaded, this, [this] { m_lines << "reloaded"; });
    }
    QStringList m_lines;
};

class TestImageCellEngine : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;

private slots:
    void createCellsPlacesFilesRowByRow_data()
    {
        QTest::addColumn<int>("nRows");
        QTest::addColumn<int>("nCols");
        QTest::addColumn<QString>("basket");
        QTest::addColumn<QString>("tray");
        QTest::newRow("seven files on 2x3: the seventh overflows") << 2 << 3 << QString("a b c d e f") << "g";
        QTest::newRow("no grid: everything to the tray in order") << -1 << -1 << QString() << "a b c d e f g";
        QTest::newRow("single column") << 3 << 1 << QString("a b c") << "d e f g";
        QTest::newRow("zero columns: tray, not a division by zero") << 0 << 0 << QString() << "a b c d e f g";
    }
    void createCellsPlacesFilesRowByRow()
    {
        QFETCH(int, nRows);
        QFETCH(int, nCols);
        QFETCH(QString, basket);
        QFETCH(QString, tray);
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(WriteImages(m_sandbox, {"a", "b", "c", "d", "e", "f", "g"}), nRows, nCols));
        QCOMPARE(Names(engine, ImageCellEngine::CellBasket), basket);
        QCOMPARE(Names(engine, ImageCellEngine::CellTray), tray);
        for (int i = 0; i < engine.GetCellCount(ImageCellEngine::CellBasket); ++i) {
            const ImageCell* pCell = engine.GetCell(ImageCellEngine::CellBasket, i);
            QCOMPARE(engine.GetCell(i / nCols, i % nCols), pCell);
            QCOMPARE(pCell->GetGridRow() * nCols + pCell->GetGridCol(), i);
        }
    }

    void bulkCreationIsBracketedAndAnnounced()
    {
        ImageCellEngine engine;
        SignalLog log(engine);
        QVERIFY(engine.CreateCells(WriteImages(m_sandbox, {"a", "b", "c"}), 1, 2));
        const QStringList files = WriteImages(m_sandbox, {"p", "q", "r"});
        QVERIFY(engine.CreateCells(QList<QStringList>{{files[0], "none", files[1]}, {"KEEPEMPTY", files[2]}}));
        QCOMPARE(log.m_lines, QStringList({"begin", "basket a (0,0)", "basket b (0,1)", "tray c (-1,-1)", "end",
                                           "begin", "basket p (0,0)", "basket q (0,2)", "basket r (1,1)", "end"}));
    }

    void failuresAccumulateOneLineEach()
    {
        const QStringList files = WriteImages(m_sandbox, {"ok"});
        // A FIFO would block the image reader for good; it is refused and named as such.
        const QString strMissing = m_sandbox.File("missing.png"), strFifo = m_sandbox.MakeFifo("pipe.png");
        ImageCellEngine engine;
        QVERIFY(!engine.CreateCells(QStringList{strMissing, files[0], strFifo}, -1, -1));
        QCOMPARE(engine.GetLastError(), QStringLiteral("The image file '%1' couldn't be loaded or doesn't exist\n"
                                                       "The file '%2' is not a regular file and was not read")
                                            .arg(strMissing, strFifo));
        QCOMPARE(Names(engine, ImageCellEngine::CellTray), QStringLiteral("ok"));
        QVERIFY(engine.CreateCells(files, -1, -1)); // a new bulk creation starts a fresh text
        QCOMPARE(engine.GetLastError(), QString());
    }

    void movesAnnounceOnlyContainerChanges()
    {
        ImageCellEngine engine;
        ImageCell* pCell = engine.CreateCell(WriteImages(m_sandbox, {"m"})[0], -1, -1);
        SignalLog log(engine);
        engine.MoveToBasket(pCell, 1, 2);
        engine.MoveToBasket(pCell, 0, 3); // already in the basket: new place, no signal
        QCOMPARE(pCell->GetGridCol(), 3);
        engine.MoveToTray(pCell);
        engine.MoveToTray(pCell);
        engine.MoveToTray(nullptr);
        engine.MoveToBasket(nullptr, 0, 0);
        QCOMPARE(log.m_lines, QStringList({"basket m (1,2)", "tray m (-1,-1)"}));
        QCOMPARE(engine.GetCellContainer(pCell), int(ImageCellEngine::CellTray));
        QCOMPARE(engine.GetCell(ImageCellEngine::CellTray, -1), nullptr);
        QCOMPARE(engine.GetCell(ImageCellEngine::CellTray, 1), nullptr);
        QCOMPARE(engine.GetCell(ImageCellEngine::CellContainer(2), 0), nullptr);
        QCOMPARE(engine.GetCellCount(2), -1);
    }

    void removeDestroysOnlyOwnedCells()
    {
        ImageCellEngine engine;
        QPointer<ImageCell> owned(engine.CreateCell(WriteImages(m_sandbox, {"o"})[0], 0, 0));
        int nBasketAtSignal = -1;
        connect(&engine, &ImageCellEngine::Sig_Removed, this,
                [&] { nBasketAtSignal = engine.GetCellCount(ImageCellEngine::CellBasket); });
        engine.Remove(owned);
        QCOMPARE(nBasketAtSignal, 1); // announced while still in its container
        QVERIFY(owned.isNull());

        ImageCell foreign;
        SignalLog log(engine);
        engine.Remove(&foreign); // not the engine's: must neither announce nor delete it
        engine.Remove(nullptr);
        QCOMPARE(log.m_lines, QStringList());
    }

    void clearingAnnouncesBeforeDestroying()
    {
        auto pEngine = std::make_unique<ImageCellEngine>();
        QVERIFY(pEngine->CreateCells(WriteImages(m_sandbox, {"a", "b", "c"}), 1, 2));
        QPointer<ImageCell> basketCell(pEngine->GetCell(0, 0));
        QPointer<ImageCell> trayCell(pEngine->GetCell(ImageCellEngine::CellTray, 0));
        bool bAliveAtSignal = false;
        connect(pEngine.get(), &ImageCellEngine::Sig_BasketCleared, this,
                [&] { bAliveAtSignal = !basketCell.isNull(); });
        SignalLog log(*pEngine);
        pEngine->ClearBasket();
        QVERIFY(bAliveAtSignal);
        QVERIFY(basketCell.isNull() && !trayCell.isNull());
        pEngine.reset(); // the destructor clears both containers
        QVERIFY(trayCell.isNull());
        QCOMPARE(log.m_lines, QStringList({"basket cleared", "basket cleared", "tray cleared"}));
    }

    void identitiesNameOnlyLiveCells()
    {
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(WriteImages(m_sandbox, {"a", "b"}), 1, 1));
        ImageCell* pBasket = engine.GetCell(0, 0);
        ImageCell* pTray = engine.GetCell(ImageCellEngine::CellTray, 0);
        QCOMPARE(engine.FindCell(pBasket->GetId()), pBasket);
        QCOMPARE(engine.FindCell(pTray->GetId()), pTray);
        const qint64 nRemovedId = pBasket->GetId();
        engine.Remove(pBasket);
        // A new cell never takes over the identity of a destroyed one.
        QVERIFY(engine.CreateCell(WriteImages(m_sandbox, {"c"})[0], 0, 0)->GetId() != nRemovedId);
        QCOMPARE(engine.FindCell(nRemovedId), nullptr);
        QCOMPARE(engine.FindCell(0), nullptr);
    }

    void autoOrientTurnsEveryThumbnailUpright()
    {
        const QString strFile = m_sandbox.File("turned.jpg");
        QVERIFY(TestUtils::WriteTurnedJpeg(strFile, 40, 20));

        ImageCellEngine engine;
        QVERIFY(engine.CreateCells({strFile}, -1, -1));
        ImageCell* pEarlier = engine.GetCell(ImageCellEngine::CellTray, 0);
        QCOMPARE(pEarlier->GetImageSize(), QSize(40, 20));

        SignalLog log(engine);
        engine.SetAutoOrient(true);
        QCOMPARE(log.m_lines, (QStringList{"begin", "reloaded", "end"}));
        QCOMPARE(pEarlier->GetImageSize(), QSize(20, 40));
        QCOMPARE(pEarlier->GetThumbnail()->size(), QSize(20, 40));
        QVERIFY(engine.CreateCells({strFile}, -1, -1));
        QCOMPARE(engine.GetCell(ImageCellEngine::CellTray, 1)->GetImageSize(), QSize(20, 40));

        engine.SetAutoOrient(false);
        QCOMPARE(pEarlier->GetImageSize(), QSize(40, 20));
    }
};

TESSARA_TEST(TestImageCellEngine)
#include "test_imagecellengine.moc"
