#include "testmain.h"
#include "engine/ImageCellDrag.h"
#include "tabletestsupport.h"

#include <QDataStream>
#include <QDrag>
#include <QMimeData>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellDrag;
using Engine::ImageCellEngine;

namespace {
QByteArray Payload(const QList<qint64>& values)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    for (qint64 nValue : values)
        stream << nValue;
    return bytes;
}
} // namespace

class TestImageCellDrag : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;
    ImageCellEngine m_engine;
    ImageCell* m_pCellA = nullptr;
    ImageCell* m_pCellB = nullptr;

    ImageCell* AddCell(const QString& strName, const QSize& size, const QColor& color)
    {
        return TableTest::MakeCell(m_engine, m_sandbox, strName, size, color);
    }

private slots:
    void initTestCase()
    {
        m_pCellA = AddCell("a.png", QSize(200, 100), Qt::red);
        m_pCellB = AddCell("b.png", QSize(30, 90), Qt::blue);
        QVERIFY(m_pCellA && m_pCellB);
    }

    void payloadRoundTripsAndOtherDataIsNoDrag()
    {
        ImageCellDrag drag;
        drag.m_cells = {m_pCellA, m_pCellB};
        QMimeData mimeData;
        drag.ToMimeData(&mimeData);
        const ImageCellDrag received(&mimeData, m_engine);
        QCOMPARE(received.m_cells, QList<ImageCell*>({m_pCellA, m_pCellB}));

        // Other MIME data replaces the list by nothing: the tables then treat the drag as foreign.
        QMimeData text;
        text.setText(QStringLiteral("2 1 2"));
        drag.FromMimeData(&text, m_engine);
        QVERIFY(drag.m_cells.isEmpty());
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
        QFETCH(QStringList, expected);
        QList<qint64> values;
        for (const QString& strToken : strPayload.split(' ', Qt::SkipEmptyParts)) {
            if (strToken == "A")
                values << m_pCellA->GetId();
            else if (strToken == "B")
                values << m_pCellB->GetId();
            else if (strToken == "Z")
                values << Q_INT64_C(0x7fff000012345678);
            else if (strToken == "R") {
                ImageCell* pRemoved = AddCell("removed.png", QSize(5, 5), Qt::black);
                values << pRemoved->GetId();
                m_engine.Remove(pRemoved);
            } else
                values << strToken.toLongLong();
        }
        QMimeData mimeData;
        mimeData.setData(ImageCellDrag::ImageCellMimeType, Payload(values));

        QStringList actual;
        for (const ImageCell* pCell : ImageCellDrag(&mimeData, m_engine).m_cells)
            actual << (pCell == m_pCellA ? "A" : "B");
        QCOMPARE(actual, expected);
    }

    void cellPictureFitsInto64WithFrame_data()
    {
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSize>("pictureSize");
        QTest::newRow("200x100 drawn 64x32") << QSize(200, 100) << QSize(64, 32);
        QTest::newRow("30x90 drawn 21x64") << QSize(30, 90) << QSize(21, 64);
        QTest::newRow("small 40x20 unscaled") << QSize(40, 20) << QSize(40, 20);
    }
    void cellPictureFitsInto64WithFrame()
    {
        QFETCH(QSize, imageSize);
        QFETCH(QSize, pictureSize);
        ImageCell* pCell = AddCell("pic.png", imageSize, Qt::green);
        const QImage picture = ImageCellDrag::CreateImageCellDragPixmap(pCell).toImage();
        QCOMPARE(picture.size(), pictureSize);
        const QColor frame(128, 128, 128);
        QCOMPARE(picture.pixelColor(0, 0), frame);
        QCOMPARE(picture.pixelColor(pictureSize.width() - 1, pictureSize.height() - 1), frame);
        QCOMPARE(picture.pixelColor(pictureSize.width() / 2, pictureSize.height() / 2), QColor(Qt::green));
        m_engine.Remove(pCell);
    }

    void dragPictureStacksCellsDiagonally_data()
    {
        QTest::addColumn<int>("nCells");
        QTest::addColumn<int>("nSide");
        QTest::newRow("one cell") << 1 << 64;
        QTest::newRow("five cells") << 5 << 104;
    }
    void dragPictureStacksCellsDiagonally()
    {
        QFETCH(int, nCells);
        QFETCH(int, nSide);
        ImageCellDrag drag;
        const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta};
        for (int i = 0; i < nCells; ++i)
            drag.m_cells << AddCell(QStringLiteral("stack%1.png").arg(i), QSize(64, 64), colors[i]);
        const QImage picture = drag.CreateDragPixmap().toImage();
        QCOMPARE(picture.size(), QSize(nSide, nSide));

        // The last cell lies on top, its picture starting at (10 * (n-1), 10 * (n-1)).
        const int nLast = 10 * (nCells - 1);
        QCOMPARE(picture.pixelColor(nLast + 30, nLast + 30), colors[nCells - 1]);
        QCOMPARE(picture.pixelColor(nLast + 1, nLast + 1), colors[nCells - 1]);
        // The outer frame runs along all four edges, over the cells.
        QCOMPARE(picture.pixelColor(nSide - 1, nSide / 2), QColor(128, 128, 128));
        QCOMPARE(picture.pixelColor(nSide / 2, nSide - 1), QColor(128, 128, 128));
        QCOMPARE(picture.pixelColor(0, nSide / 2), QColor(128, 128, 128));
        if (nCells > 1)
            QCOMPARE(picture.pixelColor(5, 30), colors[0]);
        for (ImageCell* pCell : drag.m_cells)
            m_engine.Remove(pCell);
    }

    void dragObjectCarriesPayloadPictureAndHotSpot()
    {
        QWidget source;
        ImageCellDrag drag;
        drag.m_cells = {m_pCellB, m_pCellA};
        std::unique_ptr<QDrag> pDrag(drag.CreateDragObject(&source));
        QCOMPARE(pDrag->source(), &source);
        QCOMPARE(pDrag->hotSpot(), QPoint(-2, -2));
        QCOMPARE(pDrag->pixmap().size(), QSize(74, 74));
        QCOMPARE(ImageCellDrag(pDrag->mimeData(), m_engine).m_cells, drag.m_cells);
    }
};

TESSARA_TEST(TestImageCellDrag)
#include "test_imagecelldrag.moc"
