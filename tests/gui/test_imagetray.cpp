#include "testmain.h"
#include "tabletestsupport.h"
#include "ui/controls/ImageGrid.h"
#include "ui/controls/ImageTray.h"

#include <QAction>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

using Engine::ImageCellEngine;
using TableTest::Layout;
using UI::Controls::ImageGrid;
using UI::Controls::ImageTray;

class TestImageTray : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<ImageCellEngine> m_pEngine;
    std::unique_ptr<ImageTray> m_pTray;

    void Add(const QStringList& names)
    {
        QVERIFY(m_pEngine->CreateCells(TableTest::WriteImages(m_sandbox, names, QSize(64, 48)), -1, -1));
    }

private slots:
    void init()
    {
        m_pEngine = std::make_unique<ImageCellEngine>();
        m_pTray = std::make_unique<ImageTray>();
        QVERIFY(m_pTray->InitImageTray(m_pEngine.get()));
        m_pTray->SetImageSize(64);
    }
    void cleanup()
    {
        m_pTray.reset();
        m_pEngine.reset();
    }

    void columnsFollowTheEngine()
    {
        QSignalSpy changed(m_pTray.get(), &ImageTray::Sig_ImageTableChanged);
        Add({"a", "b", "c"});
        QCOMPARE(m_pTray->rowCount(), 1);
        QCOMPARE(Layout(*m_pTray), QStringLiteral("a b c"));
        QCOMPARE(changed.count(), 1); // one bulk creation, one announcement

        m_pEngine->MoveToBasket(m_pEngine->GetCell(ImageCellEngine::CellTray, 1), 0, 0);
        QCOMPARE(Layout(*m_pTray), QStringLiteral("a c"));
        m_pEngine->MoveToTray(m_pEngine->GetCell(0, 0));
        QCOMPARE(Layout(*m_pTray), QStringLiteral("a c b"));

        changed.clear();
        m_pEngine->ClearTray();
        QCOMPARE(m_pTray->columnCount(), 0);
        QCOMPARE(changed.count(), 1);
    }

    void removeTakesOnlySelectedColumns()
    {
        Add({"a", "b", "c", "d", "e"});
        QVERIFY(!m_pTray->GetRemoveAction()->isEnabled());
        for (int c : {0, 2, 3})
            m_pTray->Item(0, c)->setSelected(true);
        QVERIFY(m_pTray->GetRemoveAction()->isEnabled());
        m_pTray->GetRemoveAction()->trigger();
        QCOMPARE(Layout(*m_pTray), QStringLiteral("b e"));
        // The cells stay in the engine's tray until it is cleared.
        QCOMPARE(m_pEngine->GetCellCount(ImageCellEngine::CellTray), 5);
    }

    void deleteKeyActsOnlyInTheFocusedTable()
    {
        // Grid and tray in one window both bind Delete; only the table with focus may react.
        QWidget window;
        auto* pLayout = new QVBoxLayout(&window);
        auto* pGrid = new ImageGrid(&window);
        pLayout->addWidget(pGrid);
        m_pTray->setParent(&window);
        pLayout->addWidget(m_pTray.get());
        QVERIFY(pGrid->InitImageGrid(m_pEngine.get()));
        QVERIFY(TableTest::Arrange(*m_pEngine, *pGrid, m_sandbox, "g", "a b c"));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        pGrid->Item(0, 0)->setSelected(true);
        m_pTray->Item(0, 1)->setSelected(true);

        m_pTray->setFocus();
        QTest::keySequence(&window, QKeySequence::Delete);
        QCOMPARE(Layout(*m_pTray), QStringLiteral("a c"));
        QCOMPARE(Layout(*pGrid), QStringLiteral("g"));
        pGrid->setFocus();
        QTest::keySequence(&window, QKeySequence::Delete);
        QCOMPARE(Layout(*pGrid), QStringLiteral("-"));
        m_pTray->setParent(nullptr);
    }

    void wheelScrollsSideways()
    {
        Add({"a", "b", "c", "d", "e", "f", "g", "h"});
        m_pTray->resize(200, 140);
        m_pTray->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pTray.get()));
        QScrollBar* pBar = m_pTray->horizontalScrollBar();
        QVERIFY(pBar->maximum() > 0);
        QCOMPARE(pBar->value(), 0);

        const QPointF pos(50, 40);
        QWheelEvent wheel(pos, m_pTray->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_pTray->viewport(), &wheel);
        QVERIFY(pBar->value() > 0);
        QCOMPARE(m_pTray->verticalScrollBar()->value(), 0);
    }
};

TESSARA_TEST(TestImageTray)
#include "test_imagetray.moc"
