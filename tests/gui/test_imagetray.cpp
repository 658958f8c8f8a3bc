#include "testmain.h"
#include "tabletestsupport.h"

#include <QAction>
#include <QtTest>

using TableTest::Layout;

class TestImageTray : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;

private slots:
    void removeTakesOnlySelectedColumns()
    {
        TableTest::Tables tables;
        QVERIFY(tables.Arrange(m_sandbox, "-", "a b c d e"));
        QVERIFY(!tables.m_pTray->GetRemoveAction()->isEnabled());
        TableTest::Select(*tables.m_pTray, {{0, 0}, {2, 0}, {3, 0}});
        QVERIFY(tables.m_pTray->GetRemoveAction()->isEnabled());
        tables.m_pTray->GetRemoveAction()->trigger();
        QCOMPARE(Layout(*tables.m_pTray), "b e");
        // The cells stay in the engine's tray until it is cleared.
        QCOMPARE(TableTest::Names(tables.m_engine, Engine::ImageCellEngine::CellTray), "a b c d e");
    }

    void deleteKeyActsOnlyInTheFocusedTable()
    {
        // Grid and tray in one window both bind Delete; only the table with focus may react.
        TableTest::Tables tables;
        QVERIFY(tables.Arrange(m_sandbox, "g", "a b c") && tables.Show());
        tables.m_pGrid->Item(0, 0)->setSelected(true);
        tables.m_pTray->Item(0, 1)->setSelected(true);
        tables.m_pTray->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_pTray), "a c");
        QCOMPARE(Layout(*tables.m_pGrid), "g");
        tables.m_pGrid->setFocus();
        QTest::keySequence(&tables.m_window, QKeySequence::Delete);
        QCOMPARE(Layout(*tables.m_pGrid), "-");
    }
};

TESSARA_TEST(TestImageTray)
#include "test_imagetray.moc"
