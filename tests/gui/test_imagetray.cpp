#include "testmain.h"
#include "tabletestsupport.h"

#include <QtTest>

using TableTest::Layout;

class TestImageTray : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;

private slots:
    void deleteRemovesTheSelectionOfTheFocusedTableOnly()
    {
        // Grid and tray in one window both bind Delete; only the table with focus may react.
        TableTest::Tables tables;
        QVERIFY(tables.Arrange(m_sandbox, "g", "a b c d e") && tables.Show());
        tables.m_pGrid->Item(0, 0)->setSelected(true);
        TableTest::Select(*tables.m_pTray, {{0, 0}, {2, 0}, {3, 0}});
        tables.m_pTray->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_pTray), "b e");
        QCOMPARE(Layout(*tables.m_pGrid), "g");
        // The cells stay in the engine's tray until it is cleared.
        QCOMPARE(TableTest::Names(tables.m_engine, Engine::ImageCellEngine::CellTray), "a b c d e");
        tables.m_pGrid->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_pGrid), "-");
    }
};

TESSARA_TEST(TestImageTray)
#include "test_imagetray.moc"
