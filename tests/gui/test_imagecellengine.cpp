#include "testmain.h"
#include "misc/AppDirectories.h"
#include "model/ImageCellDrag.h"
#include "model/ThumbnailCache.h"
#include "tabletestsupport.h"

using Model::ImageCell;
using Model::ImageCellDrag;
using Model::ImageCellEngine;
using TableTest::Names;
using TableTest::WriteImages;

// Records every engine signal as one readable line, in emission order.
class SignalLog : public QObject
{
public:
    explicit SignalLog(ImageCellEngine& engine)
    {
        const auto cellLine = [this](const char* pWhat) {
            return [this, pWhat](ImageCell* pCell) {
                m_lines << QStringLiteral("%1 %2 (%3,%4)")
                               .arg(pWhat, TableTest::Name(pCell))
                               .arg(pCell->GetGridRow())
                               .arg(pCell->GetGridCol());
            };
        };
        const auto line = [this](const char* pWhat) { return [this, pWhat] { m_lines << pWhat; }; };
        connect(&engine, &ImageCellEngine::Sig_Removed, this, cellLine("removed"));
        connect(&engine, &ImageCellEngine::Sig_MovedToBasket, this, cellLine("basket"));
        connect(&engine, &ImageCellEngine::Sig_MovedToTray, this, cellLine("tray"));
        connect(&engine, &ImageCellEngine::Sig_BasketCleared, this, line("basket cleared"));
        connect(&engine, &ImageCellEngine::Sig_TrayCleared, this, line("tray cleared"));
    }
    QStringList m_lines;
};

class TestImageCellEngine : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;
    ImageCellEngine m_engine; // for the drag payloads: a and b live in its tray
    ImageCell* m_cellA = nullptr;
    ImageCell* m_cellB = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(m_engine.CreateCells(TableTest::WriteImages(m_sandbox, {"a", "b"}), -1, -1));
        m_cellA = m_engine.GetCell(ImageCellEngine::CellTray, 0);
        m_cellB = m_engine.GetCell(ImageCellEngine::CellTray, 1);
    }

    void createCellsPlacesFilesRowByRow_data()
    {
        QTest::addColumn<int>("nRows");
        QTest::addColumn<int>("nCols");
        QTest::addColumn<QString>("basket");
        QTest::addColumn<QString>("tray");
        QTest::newRow("seven files on 2x3: the seventh overflows") << 2 << 3 << QString("a b c d e f") << "g";
        QTest::newRow("no grid: everything to the tray in order") << -1 << -1 << QString() << "a b c d e f g";
        QTest::newRow("zero columns: tray, not a division by zero") << 0 << 0 << QString() << "a b c d e f g";
    }
    void createCellsPlacesFilesRowByRow()
    {
        QFETCH(int, nRows);
        QFETCH(int, nCols);
        ImageCellEngine engine;
        QVERIFY(engine.CreateCells(WriteImages(m_sandbox, {"a", "b", "c", "d", "e", "f", "g"}), nRows, nCols));
        QTEST(Names(engine, ImageCellEngine::CellBasket), "basket");
        QTEST(Names(engine, ImageCellEngine::CellTray), "tray");
        for (int i = 0; i < engine.GetCellCount(ImageCellEngine::CellBasket); ++i) {
            const ImageCell* pCell = engine.GetCell(ImageCellEngine::CellBasket, i);
            QCOMPARE(engine.GetCell(i / nCols, i % nCols), pCell);
            QCOMPARE(pCell->GetGridRow() * nCols + pCell->GetGridCol(), i);
        }
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
        QCOMPARE(Names(engine, ImageCellEngine::CellTray), "ok");
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

    void removeAndClearAnnounceBeforeDestroyingOnlyOwnedCells()
    {
        auto pEngine = std::make_unique<ImageCellEngine>();
        QVERIFY(pEngine->CreateCells(WriteImages(m_sandbox, {"a", "b", "c", "d"}), 1, 3));
        QPointer<ImageCell> removed(pEngine->GetCell(0, 0)), cleared(pEngine->GetCell(0, 1));
        QPointer<ImageCell> trayCell(pEngine->GetCell(ImageCellEngine::CellTray, 0));
        QStringList alive; // the cell must still be in its container when listeners hear of it
        connect(pEngine.get(), &ImageCellEngine::Sig_Removed, this,
                [&] { alive << QString::number(pEngine->GetCellCount(ImageCellEngine::CellBasket)); });
        connect(pEngine.get(), &ImageCellEngine::Sig_BasketCleared, this, [&] { alive << (cleared ? "y" : "n"); });
        SignalLog log(*pEngine);
        pEngine->Remove(removed);
        ImageCell foreign;
        pEngine->Remove(&foreign); // not the engine's: must neither announce nor delete it
        pEngine->Remove(nullptr);
        pEngine->ClearBasket();
        QVERIFY(removed.isNull() && cleared.isNull() && !trayCell.isNull());
        pEngine.reset(); // the destructor clears both containers
        QVERIFY(trayCell.isNull());
        QCOMPARE(alive, QStringList({"3", "y", "n"}));
        QCOMPARE(log.m_lines, QStringList({"removed a (0,0)", "basket cleared", "basket cleared", "tray cleared"}));
    }

    void reloadRefusesAFifoAndUnloadKeepsTheFile()
    {
        QVERIFY(ImageCell().ReloadImage()); // nothing to reload is no failure
        // A thin image, whose short side would shrink to nothing if it were fitted into the thumbnail square.
        const QString strFile = m_sandbox.File("changing.png");
        QVERIFY(TestUtils::WriteImage(strFile, 1000, 3, Qt::red));
        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile) && cell.ReloadImage());
        // A file swapped for a FIFO would block the image reader for good.
        QVERIFY(QFile::remove(strFile));
        m_sandbox.MakeFifo("changing.png");
        QVERIFY(!cell.ReloadImage());

        cell.UnloadImage(); // the file stays the cell's, to be saved with the project
        QVERIFY(!cell.GetThumbnail());
        QCOMPARE(cell.GetFilename(), strFile);
    }

    // Shared with file managers: named after the MD5 of the URI, stamped with the URI and the
    // modification time, private to the owner; a stamp that no longer matches the file is redrawn.
    void thumbnailCacheFollowsTheSharedConvention()
    {
        const QString strFile = m_sandbox.File("cached.png");
        QVERIFY(TestUtils::WriteImage(strFile, 600, 300, Qt::red));
        const QByteArray uri = "file://" + QFile::encodeName(QFileInfo(strFile).absoluteFilePath());
        const QString strCached = qEnvironmentVariable("XDG_CACHE_HOME") + "/thumbnails/large/"
                                  + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
        QImage thumbnail;
        QSize imageSize;
        auto stamp = [&](const char* pKey) { return QImage(strCached).text(pKey); };
        QVERIFY(ImageCell::ReadThumbnail(strFile, false, thumbnail, imageSize));
        QCOMPARE(QImage(strCached).size(), QSize(256, 128));
        QCOMPARE(stamp("Thumb::URI"), QString::fromLatin1(uri));
        QCOMPARE(stamp("Thumb::MTime"), QString::number(QFileInfo(strFile).lastModified().toSecsSinceEpoch()));
        QCOMPARE(QFile::permissions(strCached),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(imageSize, QSize(600, 300));

        // The cached picture is what is shown while its stamp matches (the conversion keeps the
        // stamps and sizes the cache wrote)...
        QImage stored = QImage(strCached).convertToFormat(QImage::Format_RGB32);
        stored.fill(Qt::green);
        QVERIFY(stored.save(strCached));
        QVERIFY(ImageCell::ReadThumbnail(strFile, false, thumbnail, imageSize));
        QCOMPARE(thumbnail.pixel(5, 5), QColor(Qt::green).rgb());
        // ...and drawn anew from the file once the file is newer than the stamp.
        stored.setText("Thumb::MTime", "1");
        QVERIFY(stored.save(strCached));
        QVERIFY(ImageCell::ReadThumbnail(strFile, false, thumbnail, imageSize));
        QCOMPARE(thumbnail.pixel(5, 5), QColor(Qt::red).rgb());
        QCOMPARE(stamp("Thumb::MTime"), QString::number(QFileInfo(strFile).lastModified().toSecsSinceEpoch()));
    }

    void unreadableFormatGoesThroughTemporaryConversion()
    {
        // An uncompressed true-colour TGA of 30x12 pixels, origin top left: Qt has no reader for it
        // here, ImageMagick has.
        const QByteArray header("\0\0\2\0\0\0\0\0\0\0\0\0\x1e\0\x0c\0\x18\x20", 18);
        const QString strFile = m_sandbox.WriteText("converted.tga", header + QByteArray(30 * 12 * 3, '\x7f'));
        QVERIFY2(!QImage().load(strFile), "Qt reads TGA here; the fallback would not be exercised");

        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        QCOMPARE(cell.GetImageSize(), QSize(30, 12));
        const QString strTemp = Misc::AppDirectories::ResolveFilename("converted.png", "Temp");
        QVERIFY2(!QFileInfo::exists(strTemp), qPrintable(strTemp));
        QCOMPARE(QFileInfo(strTemp).absolutePath(), QDir(QCoreApplication::applicationDirPath()).filePath("Temp"));
    }

    void receivingSideKeepsOnlyLiveCellsOnce_data()
    {
        QTest::addColumn<QString>("strPayload");
        QTest::addColumn<QStringList>("expected");
        // Placeholders: A and B are the live cells, Z a never-issued identity, R one of a removed cell.
        QTest::newRow("zero and repeats skipped") << "3 A 0 A" << QStringList{"A"};
        QTest::newRow("foreign identity skipped") << "3 Z B Z" << QStringList{"B"};
        QTest::newRow("removed cell skipped") << "2 R A" << QStringList{"A"};
        QTest::newRow("order of the drag kept") << "2 B A" << QStringList{"B", "A"};
        QTest::newRow("count of 2^62 cells") << "4611686018427387904 A" << QStringList{"A"};
        QTest::newRow("negative count") << "-4 A B" << QStringList{};
        QTest::newRow("empty payload") << "" << QStringList{};
    }
    void receivingSideKeepsOnlyLiveCellsOnce()
    {
        QFETCH(QString, strPayload);
        QByteArray payload;
        QDataStream values(&payload, QIODevice::WriteOnly);
        for (const QString& strToken : strPayload.split(' ', Qt::SkipEmptyParts)) {
            ImageCell* pRemoved = strToken == "R" ? m_engine.CreateCell(m_cellA->GetFilename(), -1, -1) : nullptr;
            values << (strToken == "A"   ? m_cellA->GetId()
                       : strToken == "B" ? m_cellB->GetId()
                       : strToken == "Z" ? Q_INT64_C(0x7fff000012345678)
                       : pRemoved        ? pRemoved->GetId()
                                         : qint64(strToken.toLongLong()));
            if (pRemoved) { // a later cell must not take over the identity of the removed one
                m_engine.Remove(pRemoved);
                m_engine.CreateCell(m_cellA->GetFilename(), -1, -1);
            }
        }
        QMimeData mimeData;
        mimeData.setData(ImageCellDrag::ImageCellMimeType, payload);

        QStringList actual;
        for (const ImageCell* pCell : ImageCellDrag(&mimeData, m_engine).m_cells)
            actual << (pCell == m_cellA ? "A" : "B");
        QTEST(actual, "expected");
    }
};

TESSARA_TEST(TestImageCellEngine)
#include "test_imagecellengine.moc"
