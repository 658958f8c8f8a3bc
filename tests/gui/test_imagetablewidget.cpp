#include "testmain.h"
#include "tabletestsupport.h"

#include <QtTest>

using UI::Controls::ImageTableWidget;

class TestImageTableWidget : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;
    std::unique_ptr<TableTest::Tables> m_pTables;
    ImageTableWidget* m_pTable = nullptr;

private slots:
    void init() { m_pTable = (m_pTables = std::make_unique<TableTest::Tables>())->m_pGrid; }

    void rowFilenamesMarkEmptyPositions()
    {
        QVERIFY(m_pTables->Arrange(m_sandbox, "- one - | K - two"));
        m_pTable->Item(1, 2)->SetKeepEmpty(true); // an image placed on a reserved position is saved as the image
        const QList<QStringList> expected{{"None", m_sandbox.File("one.png"), "None"},
                                          {"KeepEmpty", "None", m_sandbox.File("two.png")}};
        QCOMPARE(m_pTable->GetRowFilenames(), expected);
        QCOMPARE(m_pTable->GetImageCount(), 2);
    }

    void changesAreAnnouncedAndRemovedCellsForgotten()
    {
        QVERIFY(m_pTables->Arrange(m_sandbox, "a -", "t"));
        QSignalSpy changed(m_pTable, &ImageTableWidget::Sig_ImageTableChanged);
        Engine::ImageCell* pCell = m_pTables->m_engine.GetCell(Engine::ImageCellEngine::CellTray, 0);
        m_pTable->SetItemImageCell(m_pTable->Item(0, 1), pCell);
        QCOMPARE(changed.count(), 1);
        m_pTables->m_engine.Remove(pCell);
        QCOMPARE(m_pTable->Item(0, 1)->GetCell(), nullptr);
    }

    void toolTipShowsMarkupInTheFileNameAsText()
    {
        QVERIFY(m_pTables->Arrange(m_sandbox, "a<b>&c"));
        const QString strToolTip = m_pTable->Item(0, 0)->GetToolTip();
        QVERIFY2(strToolTip.contains(m_sandbox.File("a<b>&c.png").toHtmlEscaped()), qPrintable(strToolTip));
        QVERIFY2(!strToolTip.contains("a<b>&c"), qPrintable(strToolTip));
    }
};

TESSARA_TEST(TestImageTableWidget)
#include "test_imagetablewidget.moc"
