#include "testmain.h"
#include "engine/ImageCellDrag.h"
#include "tabletestsupport.h"

#include <QDataStream>
#include <QMimeData>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellDrag;
using Engine::ImageCellEngine;

class TestImageCellDrag : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;
    ImageCellEngine m_engine;
    ImageCell* m_pCellA = nullptr;
    ImageCell* m_pCellB = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(m_engine.CreateCells(TableTest::WriteImages(m_sandbox, {"a", "b"}), -1, -1));
        m_pCellA = m_engine.GetCell(ImageCellEngine::CellTray, 0);
        m_pCellB = m_engine.GetCell(ImageCellEngine::CellTray, 1);
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
        QByteArray payload;
        QDataStream values(&payload, QIODevice::WriteOnly);
        for (const QString& strToken : strPayload.split(' ', Qt::SkipEmptyParts)) {
            ImageCell* pRemoved = strToken == "R" ? m_engine.CreateCell(m_pCellA->GetFilename(), -1, -1) : nullptr;
            values << (strToken == "A"   ? m_pCellA->GetId()
                       : strToken == "B" ? m_pCellB->GetId()
                       : strToken == "Z" ? Q_INT64_C(0x7fff000012345678)
                       : pRemoved        ? pRemoved->GetId()
                                         : qint64(strToken.toLongLong()));
            if (pRemoved) { // a later cell must not take over the identity of the removed one
                m_engine.Remove(pRemoved);
                m_engine.CreateCell(m_pCellA->GetFilename(), -1, -1);
            }
        }
        QMimeData mimeData;
        mimeData.setData(ImageCellDrag::ImageCellMimeType, payload);

        QStringList actual;
        for (const ImageCell* pCell : ImageCellDrag(&mimeData, m_engine).m_cells)
            actual << (pCell == m_pCellA ? "A" : "B");
        QCOMPARE(actual, expected);
    }
};

TESSARA_TEST(TestImageCellDrag)
#include "test_imagecelldrag.moc"
