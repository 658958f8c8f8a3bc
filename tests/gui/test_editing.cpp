#include "testmain.h"
#include "core/TessaraCore.h"
#include "core/TessaraProject.h"
#include "engine/ImageCellEngine.h"
#include "tabletestsupport.h"
#include "testutils.h"
#include "testutils_modal.h"
#include "ui/EditHistory.h"
#include "ui/TessaraWnd.h"
#include "ui/controls/ImageGrid.h"
#include "ui/controls/ImageTray.h"
#include "ui/controls/ViewToolBar.h"

#include <QAction>
#include <QCheckBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QStatusBar>
#include <QUndoStack>
#include <QtTest>

#include <algorithm>
#include <functional>

using TableTest::Layout;
using UI::Controls::ImageTableWidget;

// The main window as an editor people trust: every edit undoable, unsaved work never dropped
// silently, and a grid/tray layout that shows the tray whole at every zoom.
class EditingTest : public TestUtils::WindowTest
{
    Q_OBJECT

    QStringList Images(const QStringList& names) const { return TableTest::WriteImages(m_sandbox, names); }
    static QPoint Center(ImageTableWidget* pTable, int nRow, int nCol)
    {
        return pTable->visualItemRect(pTable->Item(nRow, nCol)).center();
    }
    // Grid "a b | c -", tray "d e", an overlap of 3: what every edit below starts from, saved as strProject.
    void Arrange(const QString& strProject)
    {
        QVERIFY(m_pWindow->CreateNewGrid(Images({"a", "b", "c"}), 2, 2));
        QVERIFY(m_pWindow->AddImagesToTray(Images({"d", "e"})));
        Find<QCheckBox>("chkUseOverlap")->setChecked(true);
        Find<QSpinBox>("txtOverlap")->setValue(3);
        QString strError;
        QVERIFY2(m_pWindow->SaveProjectTo(strProject, strError), qPrintable(strError));
    }
    QString SavedXml(const QString& strName)
    {
        QString strError;
        if (!m_pWindow->SaveProjectTo(m_sandbox.File(strName), strError))
            return strError;
        return QString::fromUtf8(m_sandbox.ReadText(strName));
    }

private slots:
    void init() { QVERIFY(OpenWindow(true)); }
    void cleanup() { CloseWindow(); }

    void everyEditUndoesAndRedoesExactly()
    {
        struct Edit
        {
            QString strStep;
            std::function<void()> fnDo;
        };
        // Selects the items at these positions (column, row) of pTable and triggers pAction.
        const auto act = [](ImageTableWidget* pTable, QAction* pAction, auto... positions) {
            TableTest::Select(*pTable, {positions...});
            pAction->trigger();
        };
        const QList<Edit> edits = {
            {"Swap cells", [&] { TableTest::MouseDrag(Grid(), Center(Grid(), 0, 0), Grid(), Center(Grid(), 1, 0)); }},
            {"Swap cells",
             [&] {
                 TableTest::Select(*Grid(), {{0, 0}, {1, 0}});
                 TableTest::MouseDrag(Grid(), Center(Grid(), 0, 0), Grid(), Center(Grid(), 1, 0));
             }},
            {"Move to grid", [&] { TableTest::MouseDrag(Tray(), Center(Tray(), 0, 0), Grid(), Center(Grid(), 1, 1)); }},
            {"Move to tray", [&] { TableTest::MouseDrag(Grid(), Center(Grid(), 0, 1), Tray(), Center(Tray(), 0, 0)); }},
            {"Reorder tray", [&] { TableTest::MouseDrag(Tray(), Center(Tray(), 0, 0), Tray(), Center(Tray(), 0, 1)); }},
            {"Move to tray", [&] { act(Grid(), Grid()->GetMoveToTrayAction(), QPoint(0, 0)); }},
            {"Clear cells", [&] { act(Grid(), Grid()->GetClearAction(), QPoint(0, 0), QPoint(1, 0)); }},
            {"Keep empty", [&] { act(Grid(), Grid()->GetKeepEmptyAction(), QPoint(1, 1), QPoint(0, 0)); }},
            {"Remove images", [&] { act(Tray(), Tray()->GetRemoveAction(), QPoint(1, 0)); }},
            {"Clear grid", [&] { Action("actGridClearImages")->trigger(); }},
            {"Clear tray", [&] { Action("actTrayClearImages")->trigger(); }},
            {"Add images", [&] { m_pWindow->AddImagesToTray(Images({"f"})); }},
            {"Create grid",
             [&] {
                 m_pWindow->CreateNewGrid(Images({"g", "h", "i"}), 1, 3);
             }},
            {"Flip horizontally", [&] { Action("actGridFlipHorz")->trigger(); }},
            {"Flip vertically", [&] { Action("actGridFlipVert")->trigger(); }},
            {"Resize grid",
             [&] {
                 Find<QSpinBox>("txtGridRows")->setValue(1);
                 Find<QPushButton>("btnGridResize")->click();
             }},
            {"Select image",
             [&] {
                 TestUtils::ModalAnswers answers;
                 answers.Then(TestUtils::ChooseFiles(Images({"z"})));
                 Grid()->SelectImageForItem(Grid()->Item(1, 0));
             }},
            {"Reset settings", [&] { Find<QPushButton>("btnClearSettings")->click(); }},
            {"Change settings",
             [&] {
                 for (int i = 0; i < 4; ++i)
                     Find<QSpinBox>("txtOverlap")->stepUp();
             }},
        };
        for (const Edit& edit : edits) {
            QVERIFY(OpenWindow(true));
            QUndoStack* pStack = m_pWindow->GetUndoStack();
            Arrange(m_sandbox.File("start.tsp"));
            const UI::EditorState before = m_pWindow->CaptureState();
            const QString strXmlBefore = SavedXml("before.tsp");
            const int nSteps = pStack->count();
            edit.fnDo();
            const UI::EditorState after = m_pWindow->CaptureState();
            QVERIFY2(after != before, qPrintable(edit.strStep));
            QVERIFY2(pStack->count() == nSteps + 1, qPrintable(edit.strStep));
            QCOMPARE(Action("actEditUndo")->text(), "Undo " + edit.strStep);

            Action("actEditUndo")->trigger();
            QVERIFY2(m_pWindow->CaptureState() == before, qPrintable(edit.strStep));
            QCOMPARE(SavedXml("undone.tsp"), strXmlBefore);
            QCOMPARE(TableTest::LocationMismatches(*m_pEngine, *Grid()), QString());
            QCOMPARE(Action("actEditRedo")->text(), "Redo " + edit.strStep);

            Action("actEditRedo")->trigger();
            QVERIFY2(m_pWindow->CaptureState() == after, qPrintable(edit.strStep));
        }
    }

    void undoingAClearNeedsNoFiles()
    {
        // Undo brings back the very cells that were removed: a grid of large images must not be read again,
        // and images whose files have gone meanwhile come back too.
        Arrange(m_sandbox.File("start.tsp"));
        const QString strGrid = Layout(*Grid());
        Action("actGridClearImages")->trigger();
        for (const char* szName : {"a", "b", "c"})
            QVERIFY(QFile::remove(m_sandbox.File(QString(szName) + ".png")));
        Action("actEditUndo")->trigger();
        QCOMPARE(Layout(*Grid()), strGrid);
    }

    void unsavedChangesAreNeverLostSilently_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        for (const char* pCommand : {"new", "open", "recent", "close"})
            for (const char* pAnswer : {"Save", "Discard", "Cancel", "Save, then cancel the file dialog"})
                QTest::addRow("%s, %s", pCommand, pAnswer) << pCommand << pAnswer;
    }
    void unsavedChangesAreNeverLostSilently()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        const QString strOther = m_sandbox.File("other.tsp");
        Core::TessaraProject other;
        other.GetSettings().rows = {{Images({"o"})[0], "None"}};
        other.GetSettings().flags = Core::TessaraSettings::FlagRows;
        QVERIFY(other.SaveProject(strOther));
        Core::TessaraCore::s_instance->GetOptions()->AddRecentProject(strOther);
        m_pWindow->CreateOpenRecentActions();

        QVERIFY(m_pWindow->CreateNewGrid(Images({"a", "b"}), 1, 2));
        QCOMPARE(m_pWindow->windowTitle(), QString("Untitled* - Tessara V2.0.0"));
        const UI::EditorState edited = m_pWindow->CaptureState();

        TestUtils::ModalAnswers answers;
        QString strPrompt;
        const QString strSaved = m_sandbox.File("edited.tsp");
        QFile::remove(strSaved);
        const bool bSaves = answer == "Save";
        answers.Then(TestUtils::Inspect([&](QWidget* pBox) { strPrompt = qobject_cast<QMessageBox*>(pBox)->text(); },
                                        TestUtils::PressButton(answer.section(',', 0, 0))));
        if (bSaves)
            answers.Then(TestUtils::ChooseFiles({strSaved})).Then(TestUtils::PressButton("OK"));
        else if (answer.startsWith("Save"))
            answers.Then(TestUtils::FinishDialog(&QDialog::reject));
        const bool bGoesOn = bSaves || answer == "Discard";
        if (command == "open" && bGoesOn)
            answers.Then(TestUtils::ChooseFiles({strOther}));

        if (command == "new")
            Action("actProjectNew")->trigger();
        else if (command == "open")
            Action("actProjectOpen")->trigger();
        else if (command == "recent") {
            const QList<QAction*> recent = Find<QMenu>("menOpenRecent")->actions();
            (*std::find_if(recent.begin(), recent.end(), [&](QAction* pAction) {
                return pAction->data().toString() == strOther;
            }))->trigger();
        } else
            m_pWindow->close();
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strPrompt, QString("Save changes to Untitled?"));
        QCOMPARE(QFileInfo::exists(strSaved), bSaves);

        if (!bGoesOn) {
            QVERIFY(m_pWindow->isVisible());
            QVERIFY(m_pWindow->CaptureState() == edited);
            QVERIFY(m_pWindow->IsModified());
            return;
        }
        if (command == "close") {
            QVERIFY(!m_pWindow->isVisible());
            return;
        }
        QVERIFY(!m_pWindow->IsModified());
        if (command == "new")
            QCOMPARE(Layout(*Grid()), QString("- - - | - - - | - - -"));
        else
            QCOMPARE(m_pWindow->windowTitle(), QString("other.tsp - Tessara V2.0.0"));
    }

    void undoingBackToTheSavedStateClearsTheMark()
    {
        const QString strProject = m_sandbox.File("marked.tsp");
        Arrange(strProject);
        QCOMPARE(m_pWindow->windowTitle(), QString("marked.tsp - Tessara V2.0.0"));
        Action("actGridFlipVert")->trigger();
        Find<QCheckBox>("chkStackMode")->setChecked(true);
        QCOMPARE(m_pWindow->windowTitle(), QString("marked.tsp* - Tessara V2.0.0"));
        Action("actEditUndo")->trigger();
        QVERIFY(m_pWindow->IsModified());
        Action("actEditUndo")->trigger();
        QCOMPARE(m_pWindow->windowTitle(), QString("marked.tsp - Tessara V2.0.0"));
        // The same content reached by other edits also counts as saved.
        Action("actGridFlipVert")->trigger();
        Action("actGridFlipVert")->trigger();
        QVERIFY(!m_pWindow->IsModified());
    }

    void loadingClearsTheHistory()
    {
        const QString strProject = m_sandbox.File("loaded.tsp");
        Arrange(strProject);
        QString strError;
        QVERIFY(m_pWindow->LoadProjectFrom(strProject, strError));
        QCOMPARE(m_pWindow->GetUndoStack()->count(), 0);
        QVERIFY(!Action("actEditUndo")->isEnabled());
    }

    void trayShowsItsWholeRowAtEveryZoom()
    {
        // Enough images for the tray's scroll bar; the splitter must give the tray what each zoom needs.
        QVERIFY(m_pWindow->AddImagesToTray(
            TableTest::WriteImages(m_sandbox, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, QSize(300, 200))));
        auto* pViewBar = Find<UI::Controls::ViewToolBar>("viewToolBar");
        const QWidget* pStatusBar = m_pWindow->statusBar();
        // What the user would see cut off; the splitter follows the tray's new minimum once events ran.
        const auto clipped = [&] {
            const QRect viewport(Tray()->viewport()->mapTo(m_pWindow, QPoint(0, 0)), Tray()->viewport()->size());
            const QScrollBar* pScrollBar = Tray()->horizontalScrollBar();
            const QRect scrollBar(pScrollBar->mapTo(m_pWindow, QPoint(0, 0)), pScrollBar->size());
            QStringList problems;
            if (viewport.height() < Tray()->rowHeight(0))
                problems << "name strip";
            if (!pScrollBar->isVisible() || scrollBar.top() <= viewport.bottom()
                || scrollBar.bottom() >= pStatusBar->y())
                problems << "scroll bar";
            return problems.join(", ");
        };
        for (int nZoom = 1; nZoom <= 5; ++nZoom) {
            pViewBar->SetTrayZoomLevel(nZoom);
            QTRY_COMPARE(clipped(), QString());
        }
    }

    void splitterPositionIsRemembered()
    {
        auto* pSplitter = Find<QSplitter>("splMain");
        QVERIFY(pSplitter->sizes()[0] > 3 * pSplitter->sizes()[1]); // the grid gets most of the height
        const QList<int> chosen = {pSplitter->sizes()[0] - 80, pSplitter->sizes()[1] + 80};
        pSplitter->setSizes(chosen);
        Find<QToolBar>("viewToolBar")->hide();
        m_pWindow->close();
        UI::TessaraWnd reopened(m_pEngine.get());
        reopened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        QCOMPARE(reopened.findChild<QSplitter*>("splMain")->sizes(), chosen);
        QVERIFY(reopened.findChild<QToolBar*>("viewToolBar")->isHidden()); // the toolbars' layout too
        QVERIFY(Core::TessaraCore::s_instance->GetOptions()->ContainsOptionBranch("Windows.MainWindow.Size"));
    }
};

TESSARA_TEST(EditingTest)

#include "test_editing.moc"
