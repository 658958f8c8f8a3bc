#include "testmain.h"
#include "core/TessaraCore.h"
#include "misc/NaturalOrder.h"
#include "tabletestsupport.h"
#include "testutils.h"
#include "testutils_modal.h"
#include "ui/TessaraWnd.h"
#include "ui/controls/ColorSelectButton.h"
#include "ui/controls/ImageGrid.h"
#include "ui/controls/MainStatusBar.h"
#include "ui/controls/ViewToolBar.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using Core::TessaraSettings;
using UI::Controls::ColorSelectButton;
Q_DECLARE_METATYPE(TessaraSettings)

// The main window on its own cell engine: start-up state, enabling rules, grid-size entry,
// settings panel, zoom, new project and the recent-project menu.
class TessaraWndTest : public TestUtils::WindowTest
{
    Q_OBJECT

    QStringList m_astrImages;

    // "file Ctrl+1": the recent-project entries of the menu with their shortcuts.
    QStringList RecentEntries() const
    {
        QStringList entries;
        for (QAction* pAction : Find<QMenu>("menOpenRecent")->actions())
            if (pAction != Action("actNoItemsToDisplay"))
                entries << pAction->data().toString() + " " + pAction->shortcut().toString();
        return entries;
    }

private slots:
    void initTestCase() { m_astrImages = TableTest::WriteImages(m_sandbox, {"image0", "image1", "image2", "image3"}); }
    void init() { QVERIFY(OpenWindow(false)); }
    void cleanup() { CloseWindow(); }

    void enablingRules_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("gridImages");
        QTest::addColumn<int>("trayImages");
        QTest::addColumn<bool>("combinable");
        QTest::newRow("single cell with an image") << 1 << 1 << 1 << 0 << false;
        QTest::newRow("one image in a row of two") << 1 << 2 << 1 << 0 << true;
        QTest::newRow("one image in a column of two") << 2 << 1 << 1 << 0 << true;
        QTest::newRow("full two by two") << 2 << 2 << 4 << 0 << true;
        QTest::newRow("images only in the tray") << 2 << 2 << 0 << 2 << false;
    }
    void enablingRules()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(int, gridImages);
        QFETCH(int, trayImages);
        QFETCH(bool, combinable);
        m_pWindow->SetImageGridSize(rows, cols, true);
        if (gridImages > 0)
            QVERIFY(m_pWindow->CreateNewGrid(m_astrImages.mid(0, gridImages), rows, cols));
        if (trayImages > 0)
            QVERIFY(m_pWindow->AddImagesToTray(m_astrImages.mid(0, trayImages)));

        for (const char* pName : {"actProjectSave", "actGridCompound", "actGridFlipHorz", "actGridFlipVert"})
            QVERIFY2(Action(pName)->isEnabled() == combinable, pName);
        QCOMPARE(Find<QPushButton>("btnGridCompound")->isEnabled(), combinable);
        QCOMPARE(Action("actGridClearImages")->isEnabled(), gridImages > 0);
        QCOMPARE(Action("actTrayClearImages")->isEnabled(), trayImages > 0);
        QCOMPARE(StatusBar()->GetImageCountText(), QString("Images %1 Tray %2").arg(gridImages).arg(trayImages));

        // Clearing follows through the engine's signals, also when the grid's own command destroys the cells.
        Grid()->selectAll();
        Grid()->GetClearAction()->trigger();
        Action("actTrayClearImages")->trigger();
        for (const char* pName : {"actGridCompound", "actGridClearImages", "actTrayClearImages"})
            QVERIFY2(!Action(pName)->isEnabled(), pName);
        QCOMPARE(StatusBar()->GetImageCountText(), QString("Images 0 Tray 0"));
    }

    void gridSizeEntryEnablesApplyOnlyForANewSize()
    {
        auto* pRows = Find<QSpinBox>("txtGridRows");
        auto* pCols = Find<QSpinBox>("txtGridColumns");
        auto* pApply = Find<QPushButton>("btnGridResize");
        QVERIFY(m_pWindow->CreateNewGrid(m_astrImages, 2, 2));
        pRows->setValue(3);
        QVERIFY(pApply->isEnabled());
        pCols->setValue(1);
        pRows->setValue(2);
        QVERIFY(pApply->isEnabled());
        pCols->setValue(2);
        QVERIFY(!pApply->isEnabled());

        pRows->setValue(1);
        pCols->setValue(5);
        pApply->click();
        QCOMPARE(QSize(Grid()->columnCount(), Grid()->rowCount()), QSize(5, 1));
        QVERIFY(!pApply->isEnabled());
    }

    void regionAndOverlapExcludeEachOther()
    {
        auto* pRegion = Find<QCheckBox>("chkUseRegion");
        auto* pOverlap = Find<QCheckBox>("chkUseOverlap");
        pOverlap->setChecked(true);
        QVERIFY(Find<QSpinBox>("txtOverlap")->isEnabled());
        pRegion->setChecked(true);
        QVERIFY(!pOverlap->isChecked());
        QVERIFY(!Find<QSpinBox>("txtOverlap")->isEnabled());
        QVERIFY(Find<QSpinBox>("txtRegionWidth")->isEnabled());
        pOverlap->setChecked(true);
        QVERIFY(!pRegion->isChecked());
        QVERIFY(!Find<QSpinBox>("txtRegionHeight")->isEnabled());
    }

    void settingsPanelRoundTrip_data()
    {
        QTest::addColumn<TessaraSettings>("record");
        TessaraSettings region, overlap, colours, stackOff;
        region.flags = TessaraSettings::FlagRegion;
        region.regionWidth = 40;
        region.regionHeight = 30;
        overlap.flags = TessaraSettings::FlagOverlap;
        overlap.overlap = 7;
        colours.flags = TessaraSettings::FlagBackground | TessaraSettings::FlagTransparency;
        colours.background = QColor(18, 114, 26);
        colours.transparency = QColor(1, 2, 3);
        TessaraSettings everything = region;
        everything.flags |=
            TessaraSettings::FlagBackground | TessaraSettings::FlagStackImages | TessaraSettings::FlagAutoOrient;
        everything.background = Qt::white;
        everything.stackImages = true;
        everything.autoOrient = true;
        stackOff.flags = TessaraSettings::FlagStackImages;
        stackOff.stackImages = false;
        QTest::newRow("overlap") << overlap;
        QTest::newRow("background and transparency") << colours;
        QTest::newRow("region, background, stacking, upright") << everything;
        QTest::newRow("stacking stored as off stays off") << stackOff;
    }
    void settingsPanelRoundTrip()
    {
        QFETCH(TessaraSettings, record);
        QVERIFY(m_pWindow->CreateNewGrid(m_astrImages.mid(0, 3), 2, 2));
        m_pWindow->SetSettings(&record);

        const TessaraSettings filled = Filled();
        const quint32 nStackOff = record.stackImages ? 0u : quint32(TessaraSettings::FlagStackImages);
        QCOMPARE(filled.flags, (record.flags & ~nStackOff) | TessaraSettings::FlagRows | TessaraSettings::FlagTray);
        const QList<QStringList> expectedRows = {{m_astrImages[0], m_astrImages[1]}, {m_astrImages[2], "None"}};
        QCOMPARE(filled.rows, expectedRows);
        QCOMPARE(filled.tray, QStringList());
        if (record.IsSet(TessaraSettings::FlagRegion))
            QCOMPARE(QSize(filled.regionWidth, filled.regionHeight), QSize(record.regionWidth, record.regionHeight));
        if (record.IsSet(TessaraSettings::FlagOverlap))
            QCOMPARE(filled.overlap, record.overlap);
        if (record.IsSet(TessaraSettings::FlagBackground))
            QCOMPARE(filled.background, record.background);
        if (record.IsSet(TessaraSettings::FlagTransparency))
            QCOMPARE(filled.transparency, record.transparency);

        // Reset clears the options but keeps the grid.
        Find<QPushButton>("btnClearSettings")->click();
        QCOMPARE(Filled().flags, quint32(TessaraSettings::FlagRows | TessaraSettings::FlagTray));
        QCOMPARE(Filled().rows, expectedRows);
        QCOMPARE(Find<ColorSelectButton>("btnBgColor")->GetColor(), QColor(Qt::black));
        QVERIFY(!Find<ColorSelectButton>("btnBgColor")->isEnabled());
    }

    void gridAndTrayTakeFilesInNaturalOrder()
    {
        const QStringList astrFiles = TableTest::WriteImages(m_sandbox, {"t10", "t2", "T1", "t01"});
        QVERIFY(m_pWindow->CreateNewGrid(astrFiles.mid(0, 3), 1, 3));
        QCOMPARE(Filled().rows, (QList<QStringList>{{astrFiles[2], astrFiles[1], astrFiles[0]}}));
        QVERIFY(m_pWindow->AddImagesToTray({astrFiles[0], astrFiles[3], astrFiles[2]}));
        // t01 and T1 are equal as people read them; code-unit order puts "T" first.
        QCOMPARE(Filled().tray, (QStringList{astrFiles[2], astrFiles[3], astrFiles[0]}));

        // The shared comparison is tested with tesscli; here the editor's own letter-case fold.
        QCOMPARE(Utils::SortedNaturally({"TILE10", "tile2", "tile1", "Tile1"}),
                 (QStringList{"Tile1", "tile1", "tile2", "TILE10"}));
    }

    void uprightCheckBoxTurnsTheGridCells()
    {
        const QString strTurned = m_sandbox.File("turned.jpg");
        QVERIFY(TestUtils::WriteTurnedJpeg(strTurned, 40, 20));
        QVERIFY(m_pWindow->CreateNewGrid({strTurned}, 1, 2));
        const QSize before(Grid()->columnWidth(0), Grid()->rowHeight(0));
        Find<QCheckBox>("chkAutoOrient")->click();
        QVERIFY(Grid()->columnWidth(0) < before.width());
        QVERIFY(Grid()->rowHeight(0) > before.height());
        QVERIFY(Filled().IsSet(TessaraSettings::FlagAutoOrient));
    }

    void zoomStopsAtItsLimits()
    {
        for (int i = 0; i < 10; ++i)
            Action("actGridZoomIn")->trigger();
        QCOMPARE(Grid()->GetImageSize(), 256);
        QVERIFY(!Action("actGridZoomIn")->isEnabled());
        for (int i = 0; i < 10; ++i)
            Action("actGridZoomOut")->trigger();
        QCOMPARE(Grid()->GetImageSize(), 64);
        QVERIFY(!Action("actGridZoomOut")->isEnabled());

        Action("actTrayZoomOut")->trigger();
        QCOMPARE(Find<UI::Controls::ViewToolBar>("viewToolBar")->GetTrayZoomLevel(), 0);
        QVERIFY(!Action("actTrayZoomOut")->isEnabled());
        QVERIFY(Action("actGridZoomIn")->isEnabled());
    }

    void newProjectStartsOver()
    {
        QVERIFY(m_pWindow->CreateNewGrid(m_astrImages.mid(0, 2), 1, 2));
        QVERIFY(m_pWindow->AddImagesToTray(m_astrImages.mid(2, 2)));
        Find<QCheckBox>("chkStackMode")->setChecked(true);
        auto* pViewBar = Find<UI::Controls::ViewToolBar>("viewToolBar");
        pViewBar->SetGridZoomLevel(5);
        pViewBar->SetTrayZoomLevel(4);
        Action("actGridCompactView")->trigger();
        QVERIFY(Grid()->IsCompactView());

        TestUtils::ModalAnswers answers;
        answers.Then(TestUtils::PressButton("Discard"));
        Action("actProjectNew")->trigger();
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(QSize(Grid()->columnCount(), Grid()->rowCount()), QSize(3, 3));
        QCOMPARE(m_pEngine->GetCellCount(Engine::ImageCellEngine::CellBasket), 0);
        QCOMPARE(m_pEngine->GetCellCount(Engine::ImageCellEngine::CellTray), 0);
        QCOMPARE(pViewBar->GetGridZoomLevel(), 3);
        QCOMPARE(pViewBar->GetTrayZoomLevel(), 1);
        QVERIFY(!Action("actGridCompactView")->isChecked() && !Grid()->IsCompactView());
        QVERIFY(!Find<QCheckBox>("chkStackMode")->isChecked());
        QCOMPARE(Filled().flags, quint32(TessaraSettings::FlagRows | TessaraSettings::FlagTray));
    }

    void recentMenuListsOnlyExistingProjects()
    {
        Core::TessaraOptions* pOptions = Core::TessaraCore::s_instance->GetOptions();
        const QString strKept = m_sandbox.WriteText("kept.tsp", "<Project/>");
        const QString strGone = m_sandbox.WriteText("gone.tsp", "<Project/>");
        const QString strAlsoKept = m_sandbox.WriteText("also-kept.tsp", "<Project/>");
        pOptions->AddRecentProject(strAlsoKept);
        pOptions->AddRecentProject(strGone);
        pOptions->AddRecentProject(strKept);
        QVERIFY(QFile::remove(strGone));
        m_pWindow->CreateOpenRecentActions();

        QCOMPARE(RecentEntries(), (QStringList{strKept + " Ctrl+1", strAlsoKept + " Ctrl+2"}));
        QVERIFY(!Action("actNoItemsToDisplay")->isVisible());
        QVERIFY(pOptions->GetRecentProjects().contains(strGone));

        QVERIFY(QFile::remove(strKept));
        QVERIFY(QFile::remove(strAlsoKept));
        m_pWindow->CreateOpenRecentActions();
        QCOMPARE(RecentEntries(), QStringList());
        QVERIFY(Action("actNoItemsToDisplay")->isVisible());
        QCOMPARE(pOptions->GetRecentProjects().mid(0, 3), (QStringList{strKept, strGone, strAlsoKept}));
    }

    void unreadableImagesDoNotHideTheOthers_data()
    {
        QTest::addColumn<bool>("fromProject");
        QTest::newRow("new grid") << false;
        QTest::newRow("loaded project") << true;
    }
    void unreadableImagesDoNotHideTheOthers()
    {
        // Every cell the engine did create must be visible in the grid, and a project keeps its
        // settings, even when one of its files is gone.
        QFETCH(bool, fromProject);
        const QString strMissing = m_sandbox.File("image1-missing.png"); // between the others by name
        const QStringList astrFiles = {m_astrImages[0], strMissing, m_astrImages[2]};
        QString strError;
        bool bResult = false;
        if (fromProject) {
            const QString strProject = m_sandbox.WriteText(
                "partial.tsp", QString("<Project type=\"TessaraProject\" version=\"1\"><Rows><Row><File>%1</File>"
                                       "<File>%2</File><File>%3</File></Row></Rows><Settings><Overlap>3</Overlap>"
                                       "</Settings></Project>")
                                   .arg(astrFiles[0], astrFiles[1], astrFiles[2])
                                   .toUtf8());
            bResult = m_pWindow->LoadProjectFrom(strProject, strError);
            QVERIFY(strError.contains("missing.png"));
            QVERIFY(Find<QCheckBox>("chkUseOverlap")->isChecked());
            QCOMPARE(Find<QSpinBox>("txtOverlap")->value(), 3);
            // Only a complete load counts as a recent project.
            QVERIFY(!Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects().contains(strProject));
        } else {
            bResult = m_pWindow->CreateNewGrid(astrFiles, 1, 3);
        }
        QVERIFY(!bResult);
        QCOMPARE(Grid()->columnCount(), 3);
        QCOMPARE(Grid()->GetImageCount(), 2);
        QCOMPARE(Grid()->GetImageCount(), m_pEngine->GetCellCount(Engine::ImageCellEngine::CellBasket));
        QCOMPARE(Grid()->GetRowFilenames(), (QList<QStringList>{{m_astrImages[0], "None", m_astrImages[2]}}));
    }

    void missingManualIsReported()
    {
        if (QFileInfo::exists(Core::TessaraCore::ResolveFilename("Tessara.pdf")))
            QSKIP("a manual lies beside the test program");
        TestUtils::ModalAnswers answers;
        QString strText;
        answers.Then(TestUtils::NoteText(strText));
        Action("actHelp")->trigger();
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strText, QString("The help file is not available."));
    }

    void failedLoadOrSaveLeavesWindowUsable()
    {
        QVERIFY(m_pWindow->CreateNewGrid(m_astrImages.mid(0, 2), 1, 2));
        const QStringList astrRecentBefore = Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects();
        QString strError;
        QVERIFY(!m_pWindow->LoadProjectFrom(m_sandbox.File("missing.tsp"), strError));
        QCOMPARE(strError, QString("Unable to open the project file"));
        QVERIFY(!m_pWindow->SaveProjectTo(m_sandbox.File("no-such-folder/p.tsp"), strError));
        QCOMPARE(strError, QString("Unable to write the project file"));
        QVERIFY(!m_pWindow->SaveProjectTo(QString(), strError));
        QVERIFY(m_pWindow->isEnabled());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QCOMPARE(Grid()->GetImageCount(), 2);
        QCOMPARE(Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects(), astrRecentBefore);
    }

    void errorsReachTheStatusBarOnOneLine()
    {
        TestUtils::ModalAnswers answers;
        QString strBoxText;
        answers.Then(TestUtils::NoteText(strBoxText));
        m_pWindow->ReportError("Errors occurred:\n\nfirst.png\nsecond.png", true);
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strBoxText, QString("Errors occurred:\n\nfirst.png\nsecond.png"));
        QCOMPARE(StatusBar()->GetStatusText(), QString("Errors occurred: first.png second.png"));
    }
};

TESSARA_TEST(TessaraWndTest)
#include "test_tessarawnd.moc"
