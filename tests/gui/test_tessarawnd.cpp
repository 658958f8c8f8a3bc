#include "testmain.h"
#include "core/TessaraCore.h"
#include "core/TessaraInterface.h"
#include "misc/NaturalOrder.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"
#include "ui/GridSizeDlg.h"
#include "ui/HelpViewer.h"
#include "ui/TextViewerDlg.h"
#include "misc/UIUtils.h"
#include "misc/WindowFit.h"
#include "model/ImageCell.h"
#include "ui/controls/ColorSelectButton.h"

using Core::TessaraSettings;
Q_DECLARE_METATYPE(TessaraSettings)

// The main window on its own cell engine: enabling rules, grid size, settings panel, new project,
// recent projects, its dialogs and how failures reach the user.
class TessaraWndTest : public TestUtils::WindowTest
{
    Q_OBJECT

    QStringList m_images;

    QStringList RecentEntries() const
    {
        QStringList entries;
        for (QAction* pAction : Find<QMenu>("menOpenRecent")->actions())
            if (pAction != Action("actNoItemsToDisplay"))
                entries << pAction->data().toString();
        return entries;
    }

private slots:
    void initTestCase() { m_images = TableTest::WriteImages(m_sandbox, {"image0", "image1", "image2", "image3"}); }
    void init() { QVERIFY(OpenWindow(false)); }
    void cleanup() { CloseWindow(); }

    // Saving and combining need a grid of more than one cell with an image; clearing follows the
    // engine's signals, also when the grid's own command destroys the cells.
    void enablingRules()
    {
        const auto enabled = [this] {
            return Action("actGridCompound")->isEnabled() && Find<QPushButton>("btnGridCompound")->isEnabled();
        };
        QVERIFY(!Action("actProjectSave")->isEnabled());
        QVERIFY(m_window->AddImagesToTray(m_images.mid(0, 2)));
        QVERIFY(!enabled() && Action("actProjectSave")->isEnabled()); // the tray alone is worth saving
        QVERIFY(m_window->CreateNewGrid(m_images.mid(0, 1), 1, 1));
        QVERIFY(!enabled());
        QVERIFY(m_window->CreateNewGrid(m_images.mid(0, 1), 2, 1));
        QVERIFY(enabled());
        Grid()->selectAll();
        Grid()->GetClearAction()->trigger();
        QVERIFY(!enabled());
    }

    void gridSizeEntryResizesTheGrid()
    {
        QVERIFY(m_window->CreateNewGrid(m_images, 2, 2));
        Find<QSpinBox>("txtGridRows")->setValue(1);
        Find<QSpinBox>("txtGridColumns")->setValue(5);
        Find<QPushButton>("btnGridResize")->click();
        QCOMPARE(Filled().rows, (QList<QStringList>{m_images.mid(0, 2) + QStringList{"None", "None", "None"}}));
        QCOMPARE(m_engine->GetCellCount(Model::ImageCellEngine::CellTray), 2); // what no longer fits is kept
    }

    // Both together would be saved into a project that no longer loads.
    void regionAndOverlapExcludeEachOther()
    {
        auto* pRegion = Find<QCheckBox>("chkUseRegion");
        auto* pOverlap = Find<QCheckBox>("chkUseOverlap");
        pOverlap->setChecked(true);
        pRegion->setChecked(true);
        QVERIFY(!pOverlap->isChecked());
        pOverlap->setChecked(true);
        QVERIFY(!pRegion->isChecked());
    }

    void settingsPanelRoundTrip_data()
    {
        QTest::addColumn<TessaraSettings>("record");
        TessaraSettings overlap, colours, everything, stackOff;
        overlap.flags = TessaraSettings::FlagOverlap;
        overlap.overlap = 7;
        colours.flags = TessaraSettings::FlagBackground | TessaraSettings::FlagTransparency;
        colours.background = QColor(18, 114, 26);
        colours.transparency = QColor(1, 2, 3);
        everything.flags =
            TessaraSettings::FlagRegion | TessaraSettings::FlagStackImages | TessaraSettings::FlagAutoOrient;
        everything.regionWidth = 40;
        everything.regionHeight = 30;
        everything.stackImages = everything.autoOrient = true;
        stackOff.flags = TessaraSettings::FlagStackImages;
        QTest::newRow("overlap") << overlap;
        QTest::newRow("background and transparency") << colours;
        QTest::newRow("region, stacking, upright") << everything;
        QTest::newRow("stacking stored as off stays off") << stackOff;
    }
    void settingsPanelRoundTrip()
    {
        QFETCH(TessaraSettings, record);
        QVERIFY(m_window->CreateNewGrid(m_images.mid(0, 3), 2, 2));
        m_window->SetSettings(&record);
        const auto arguments = [](TessaraSettings settings) {
            return Core::TessaraInterface::GetCompoundArguments(&settings, "o.png");
        };
        record.rows = {{m_images[0], m_images[1]}, {m_images[2], "None"}};
        QCOMPARE(arguments(Filled()), arguments(record));

        // Reset clears the options but keeps the grid.
        Find<QPushButton>("btnClearSettings")->click();
        record.flags = TessaraSettings::FlagRows;
        QCOMPARE(arguments(Filled()), arguments(record));
    }

    void gridAndTrayTakeFilesInNaturalOrder()
    {
        const QStringList astrFiles = TableTest::WriteImages(m_sandbox, {"t10", "t2", "T1", "t01"});
        QVERIFY(m_window->CreateNewGrid(astrFiles.mid(0, 3), 1, 3));
        QCOMPARE(Filled().rows, (QList<QStringList>{{astrFiles[2], astrFiles[1], astrFiles[0]}}));
        QVERIFY(m_window->AddImagesToTray({astrFiles[0], astrFiles[3], astrFiles[2]}));
        // t01 and T1 are equal as people read them; code-unit order puts "T" first.
        QCOMPARE(Filled().tray, (QStringList{astrFiles[2], astrFiles[3], astrFiles[0]}));
        // The shared comparison is tested with tesscli; here the editor's own letter-case fold.
        QCOMPARE(Misc::SortedNaturally({"TILE10", "tile2", "tile1", "Tile1"}),
                 (QStringList{"Tile1", "tile1", "tile2", "TILE10"}));
    }

    void newProjectStartsOver()
    {
        QVERIFY(m_window->CreateNewGrid(m_images.mid(0, 2), 1, 2));
        QVERIFY(m_window->AddImagesToTray(m_images.mid(2, 2)));
        Find<QCheckBox>("chkStackMode")->setChecked(true);
        TestUtils::ModalAnswers answers({TestUtils::PressButton("Discard")});
        Action("actProjectNew")->trigger();
        QCOMPARE(m_engine->GetCellCount(Model::ImageCellEngine::CellTray), 0);
        QCOMPARE(Filled().flags, quint32(TessaraSettings::FlagRows | TessaraSettings::FlagTray));
    }

    void recentMenuListsOnlyExistingProjects()
    {
        Core::TessaraOptions* pOptions = Core::TessaraCore::s_instance->GetOptions();
        QStringList astrProjects;
        for (const char* pName : {"also-kept.tsp", "gone.tsp", "kept.tsp"})
            pOptions->AddRecentProject(astrProjects.emplaceBack(m_sandbox.WriteText(pName, "<Project/>")));
        QVERIFY(QFile::remove(astrProjects[1]));
        m_window->CreateOpenRecentActions();
        QCOMPARE(RecentEntries(), (QStringList{astrProjects[2], astrProjects[0]}));

        QVERIFY(QFile::remove(astrProjects[0]) && QFile::remove(astrProjects[2]));
        m_window->CreateOpenRecentActions();
        QCOMPARE(RecentEntries(), QStringList());
        QCOMPARE(pOptions->GetRecentProjects().mid(0, 3),
                 (QStringList{astrProjects[2], astrProjects[1], astrProjects[0]}));
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
        const QStringList astrFiles = {m_images[0], strMissing, m_images[2]};
        QString strError;
        bool bResult = false;
        if (fromProject) {
            const QString strProject = m_sandbox.WriteText(
                "partial.tsp", QString("<Project type=\"TessaraProject\" version=\"1\"><Rows><Row><File>%1</File>"
                                       "<File>%2</File><File>%3</File></Row></Rows><Settings><Overlap>3</Overlap>"
                                       "</Settings></Project>")
                                   .arg(astrFiles[0], astrFiles[1], astrFiles[2])
                                   .toUtf8());
            bResult = m_window->LoadProjectFrom(strProject, strError);
            QVERIFY(strError.contains("missing.png"));
            QCOMPARE(Filled().overlap, 3);
            // Only a complete load counts as a recent project.
            QVERIFY(!Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects().contains(strProject));
        } else {
            bResult = m_window->CreateNewGrid(astrFiles, 1, 3);
        }
        QVERIFY(!bResult);
        QCOMPARE(Grid()->GetImageCount(), m_engine->GetCellCount(Model::ImageCellEngine::CellBasket));
        QCOMPARE(Grid()->GetRowFilenames(), (QList<QStringList>{{m_images[0], "None", m_images[2]}}));
    }

    // A large project shows at once: the event loop runs again while the thumbnails are still read,
    // the cells in view before the others.
    void largeProjectOpensBeforeItsThumbnails()
    {
        QVERIFY(OpenWindow(true));
        QByteArray xml = "<Project type=\"TessaraProject\" version=\"1\"><Rows>";
        for (int r = 0; r < 300; ++r) {
            xml += "<Row>";
            for (int c = 0; c < 300; ++c)
                xml += "<File>" + QFile::encodeName(m_images[(r + c) % 4]) + "</File>";
            xml += "</Row>";
        }
        QString strError;
        QVERIFY(m_window->LoadProjectFrom(m_sandbox.WriteText("large.tsp", xml + "</Rows></Project>"), strError));
        const auto pending = [this](int nRow, int nCol) {
            return m_engine->GetCell(nRow, nCol)->GetLoadState() == Model::ImageCell::LoadState::Pending;
        };
        QVERIFY(pending(150, 150) && pending(299, 299));
        Grid()->scrollToBottom(); // the cells read last in the background order come into view
        Grid()->horizontalScrollBar()->setValue(Grid()->horizontalScrollBar()->maximum());
        QTRY_VERIFY_WITH_TIMEOUT(m_engine->GetCell(299, 299)->GetThumbnail(), 20000);
        QVERIFY(pending(150, 150));
    }

    // The guide is built beside the programs and opens inside the editor, once however often F1 is pressed.
    void helpOpensTheGuide()
    {
        for (int i = 0; i < 2; ++i)
            Action("actHelp")->trigger();
        const QList<UI::HelpViewer*> viewers = m_window->findChildren<UI::HelpViewer*>();
        QCOMPARE(viewers.size(), 1);
        QVERIFY(viewers.first()->isVisible());
        QCOMPARE(viewers.first()->findChild<QTextBrowser*>("txtGuide")->documentTitle(), "Tessara user guide");
    }

    // A stored or default geometry too large for the screen, at scale factor 1 and 2 (in
    // device-independent pixels, a 1366x768 screen is 683x384 at 2): the frame ends up on the screen.
    void windowGeometryFitsTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("fitted");
        const QRect stored(300, 200, 2120, 1400);
        QTest::newRow("scale 1") << QRect(0, 0, 1366, 740) << stored << QRect(0, 0, 1360, 710);
        QTest::newRow("scale 2") << QRect(0, 0, 683, 370) << stored << QRect(0, 0, 677, 340);
        QTest::newRow("fits, moved in") << QRect(0, 0, 1366, 740) << QRect(900, 600, 600, 400)
                                        << QRect(760, 310, 600, 400);
    }
    void windowGeometryFitsTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, stored);
        QFETCH(QRect, fitted);
        QCOMPARE(Misc::FitWindowGeometry(stored, QMargins(3, 27, 3, 3), available), fitted);
    }

    void failedLoadOrSaveIsShownAndChangesNothing()
    {
        QVERIFY(m_window->CreateNewGrid(m_images.mid(0, 2), 1, 2));
        const QStringList astrRecentBefore = Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects();
        QString strBox;
        TestUtils::ModalAnswers answers({TestUtils::NoteText(strBox)});
        QMetaObject::invokeMethod(m_window, "OnOpenProject", Q_ARG(QString, m_sandbox.File("missing.tsp")));
        QCOMPARE(strBox, "An error occurred while loading the project:\n\nUnable to open the project file\n"
                             + m_sandbox.File("missing.tsp") + "\nNo such file or directory");
        QString strError;
        QVERIFY(!m_window->SaveProjectTo(m_sandbox.File("no-such-folder/p.tsp"), strError));
        QCOMPARE(strError, QString("Unable to write the project file"));
        QVERIFY(!m_window->SaveProjectTo(QString(), strError));
        QVERIFY(m_window->isEnabled());
        QCOMPARE(Grid()->GetImageCount(), 2);
        QCOMPARE(Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects(), astrRecentBefore);
    }

    // The proposal has room for every image; the user's entry and a cancel are taken as given.
    void gridSizeDialogProposesAndReturnsUserEntry()
    {
        UI::GridSizeDlg dialog;
        TestUtils::ModalAnswers answers({TestUtils::FinishDialog(&QDialog::accept)});
        answers.Then([](QWidget* pWidget) {
            pWidget->findChild<QSpinBox*>("txtGridRows")->setValue(1);
            pWidget->findChild<QSpinBox*>("txtGridColumns")->setValue(7);
            pWidget->findChild<QPushButton*>("btnOK")->click();
        });
        answers.Then([](QWidget* pWidget) { pWidget->findChild<QPushButton*>("btnCancel")->click(); });
        QCOMPARE(dialog.ShowDialog(17), int(QDialog::Accepted));
        QCOMPARE(QSize(dialog.GetGridColumns(), dialog.GetGridRows()), QSize(5, 4));
        QCOMPARE(dialog.ShowDialog(7), int(QDialog::Accepted));
        QCOMPARE(QSize(dialog.GetGridColumns(), dialog.GetGridRows()), QSize(7, 1));
        QCOMPARE(dialog.ShowDialog(7), int(QDialog::Rejected));
    }

    void logViewerShowsAndSavesTheText()
    {
        TestUtils::Sandbox sandbox;
        const QString strLog = "Tessara command-line\n\nFailed to load a grid image:\n    missing.png\n";
        UI::TextViewerDlg viewer;
        QString strShown;
        TestUtils::ModalAnswers answers;
        // Saving runs the file dialog and the confirmation inside the click; then the viewer closes.
        answers
            .Then([&](QWidget* pWidget) {
                strShown = pWidget->findChild<QPlainTextEdit*>("txtText")->toPlainText();
                pWidget->findChild<QPushButton*>("btnSaveLog")->click();
                pWidget->findChild<QPushButton*>("btnClose")->click();
            })
            .Then(TestUtils::ChooseFiles({sandbox.File("log.txt")}))
            .Then(TestUtils::PressButton("OK"));
        viewer.ShowDialog("<b>Output</b>", strLog);
        QCOMPARE(strShown, strLog);
        QCOMPARE(QString::fromUtf8(sandbox.ReadText("log.txt")), strLog);
        QVERIFY(!viewer.SaveLogTo(sandbox.File("no-such-folder/log.txt")));
    }

    void cancelledColorDialogKeepsTheColour()
    {
        // Choosing a colour is part of the editor workflow test; here the dialog is turned down.
        UI::Controls::ColorSelectButton button;
        button.SetColor(QColor(200, 10, 30));
        TestUtils::ModalAnswers answers({[](QWidget* pWidget) {
            qobject_cast<QColorDialog*>(pWidget)->setCurrentColor(Qt::white);
            qobject_cast<QColorDialog*>(pWidget)->reject();
        }});
        button.click();
        QCOMPARE(button.GetColor(), QColor(200, 10, 30));
    }

    void saveDialogAddsTheChosenTypesExtension_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const QString images = QStringLiteral("PNG (*.png);;JPEG (*.jpg);;All files (*.*)");
        QTest::newRow("project without extension")
            << QString("Tessara projects (*.tsp)") << QString("mosaic") << "mosaic.tsp";
        QTest::newRow("typed extension kept") << images << QString("result.tif") << "result.tif";
        QTest::newRow("all files adds nothing") << images << QString("*.*|result") << "result";
        QTest::newRow("other type chosen") << images << QString("*.jpg|result") << "result.jpg";
    }
    void saveDialogAddsTheChosenTypesExtension()
    {
        // tesscli picks the output format by extension, and the open dialog lists only "*.tsp".
        QFETCH(QString, filter);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QStringList parts = typed.split('|');
        TestUtils::ModalAnswers answers(
            {TestUtils::ChooseFiles({folder.filePath(parts.last())}, parts.size() > 1 ? parts.first() : QString())});
        const QString strChosen = Misc::GetSaveFileName(nullptr, "Save", filter);
        QCOMPARE(strChosen, folder.filePath(expected));
    }
};

TESSARA_TEST(TessaraWndTest)
#include "test_tessarawnd.moc"
