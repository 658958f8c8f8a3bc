#include "testmain.h"
#include "core/TessaraCore.h"
#include "core/TessaraProject.h"
#include "tabletestsupport.h"
#include "testutils_modal.h"
#include "ui/EditHistory.h"

#include <algorithm>
#include <functional>
#include <tuple>

using TableTest::Layout;
using UI::Controls::ImageTableWidget;

// The main window as an editor people trust: every edit undoable, unsaved work never dropped silently.
class EditingTest : public TestUtils::WindowTest
{
    Q_OBJECT

    QStringList Images(const QStringList& names) const { return TableTest::WriteImages(m_sandbox, names); }
    // Grid "a b | c -", tray "d e", an overlap of 3: what every edit below starts from, saved as start.tsp.
    void Arrange()
    {
        QVERIFY(m_window->CreateNewGrid(Images({"a", "b", "c"}), 2, 2));
        QVERIFY(m_window->AddImagesToTray(Images({"d", "e"})));
        Find<QCheckBox>("chkUseOverlap")->setChecked(true);
        Find<QSpinBox>("txtOverlap")->setValue(3);
        QVERIFY(!SavedXml("start.tsp").isEmpty() && !m_window->IsModified());
    }
    QString SavedXml(const QString& strName)
    {
        QString strError;
        if (!m_window->SaveProjectTo(m_sandbox.File(strName), strError))
            return strError;
        return QString::fromUtf8(m_sandbox.ReadText(strName));
    }

private slots:
    void init() { QVERIFY(OpenWindow(true)); }
    void cleanup() { CloseWindow(); }

    void everyEditUndoesAndRedoesExactly()
    {
        // Selects the items at these positions (column, row) of pTable and triggers pAction.
        const auto act = [](ImageTableWidget* pTable, QAction* pAction, auto... positions) {
            TableTest::Select(*pTable, {positions...});
            pAction->trigger();
        };
        const QList<std::pair<QString, std::function<void()>>> edits = {
            {"Swap cells", [&] { TableTest::MouseDrag(Grid(), QPoint(0, 0), Grid(), QPoint(0, 1)); }},
            {"Swap cells",
             [&] {
                 TableTest::Select(*Grid(), {QPoint(0, 0), QPoint(1, 0)});
                 TableTest::MouseDrag(Grid(), QPoint(0, 0), Grid(), QPoint(0, 1));
             }},
            {"Move to grid", [&] { TableTest::MouseDrag(Tray(), QPoint(0, 0), Grid(), QPoint(1, 1)); }},
            {"Move to tray", [&] { TableTest::MouseDrag(Grid(), QPoint(1, 0), Tray(), QPoint(0, 0)); }},
            {"Reorder tray", [&] { TableTest::MouseDrag(Tray(), QPoint(0, 0), Tray(), QPoint(1, 0)); }},
            {"Move to tray", [&] { act(Grid(), Grid()->GetMoveToTrayAction(), QPoint(0, 0)); }},
            {"Clear cells", [&] { act(Grid(), Grid()->GetClearAction(), QPoint(0, 0), QPoint(1, 0)); }},
            {"Keep empty", [&] { act(Grid(), Grid()->GetKeepEmptyAction(), QPoint(1, 1), QPoint(0, 0)); }},
            {"Remove images", [&] { act(Tray(), Tray()->GetRemoveAction(), QPoint(1, 0)); }},
            {"Clear grid", [&] { Action("actGridClearImages")->trigger(); }},
            {"Clear tray", [&] { Action("actTrayClearImages")->trigger(); }},
            {"Add images", [&] { m_window->AddImagesToTray(Images({"f"})); }},
            {"Create grid",
             [&] {
                 m_window->CreateNewGrid(Images(QStringList{"g", "h", "i"}), 1, 3);
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
                 TestUtils::ModalAnswers answers({TestUtils::ChooseFiles(Images({"z"}))});
                 Grid()->SelectImageForItem(Grid()->Item(1, 0));
             }},
            {"Reset settings", [&] { Find<QPushButton>("btnClearSettings")->click(); }},
            {"Change overlap",
             [&] {
                 for (int i = 0; i < 4; ++i) // consecutive steps of one box are one edit
                     Find<QSpinBox>("txtOverlap")->stepUp();
             }},
        };
        for (const auto& [strStep, fnDo] : edits) {
            QVERIFY(OpenWindow(true));
            QUndoStack* pStack = m_window->GetUndoStack();
            Arrange();
            const UI::EditorState before = m_window->CaptureState();
            const QString strXmlBefore = QString::fromUtf8(m_sandbox.ReadText("start.tsp"));
            const int nSteps = pStack->count();
            fnDo();
            const UI::EditorState after = m_window->CaptureState();
            QVERIFY2(after != before, qPrintable(strStep));
            QVERIFY2(pStack->count() == nSteps + 1, qPrintable(strStep));
            QCOMPARE(pStack->undoText(), strStep);

            Action("actEditUndo")->trigger();
            QVERIFY2(m_window->CaptureState() == before, qPrintable(strStep));
            QCOMPARE(SavedXml("undone.tsp"), strXmlBefore);
            QCOMPARE(TableTest::LocationMismatches(*m_engine, *Grid()), QString());

            Action("actEditRedo")->trigger();
            QVERIFY2(m_window->CaptureState() == after, qPrintable(strStep));
        }
    }

    // Undo keys typed in a settings field belong to the field; the window's history is left as it was.
    void fieldUndoStaysInTheField()
    {
        Arrange();
        QUndoStack* pStack = m_window->GetUndoStack();
        const int nSteps = pStack->count();
        auto* pOverlap = Find<QSpinBox>("txtOverlap");
        m_window->activateWindow();
        pOverlap->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        pOverlap->selectAll();
        QTest::keyClicks(pOverlap, "17");
        QCOMPARE(pStack->count(), nSteps + 1);
        for (const auto& [key, nValue, nStepsAfter] : {std::tuple{Qt::Key_Z, 3, nSteps}, {Qt::Key_Y, 17, nSteps + 1}}) {
            QTest::keyClick(pOverlap, key, Qt::ControlModifier);
            QCOMPARE(pOverlap->value(), nValue);
            QCOMPARE(pStack->count(), nStepsAfter);
            QCOMPARE(pStack->index(), nStepsAfter);
        }
    }

    void undoingAClearNeedsNoFiles()
    {
        // Undo brings back the very cells that were removed: a grid of large images must not be read again,
        // and images whose files have gone meanwhile come back too.
        Arrange();
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
        m_window->CreateOpenRecentActions();

        QVERIFY(m_window->CreateNewGrid(Images({"a", "b"}), 1, 2));
        const UI::EditorState edited = m_window->CaptureState();

        TestUtils::ModalAnswers answers({TestUtils::PressButton(answer.section(',', 0, 0))});
        const QString strSaved = m_sandbox.File("edited.tsp");
        QFile::remove(strSaved);
        const bool bSaves = answer == "Save";
        if (bSaves)
            answers.Then(TestUtils::ChooseFiles({strSaved}));
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
            m_window->close();
        QCOMPARE(QFileInfo::exists(strSaved), bSaves);

        QCOMPARE(m_window->isVisible(), !bGoesOn || command != "close");
        if (!bGoesOn)
            QVERIFY(m_window->IsModified() && m_window->CaptureState() == edited);
        else if (command != "close") {
            QVERIFY(!m_window->IsModified());
            QCOMPARE(Layout(*Grid()), command == "new" ? "- - - | - - - | - - -" : "o -");
        }
    }

    void savedStateIsTrackedThroughUndoAndLoad()
    {
        Arrange();
        Action("actGridFlipVert")->trigger();
        Find<QCheckBox>("chkStackMode")->setChecked(true);
        Action("actEditUndo")->trigger();
        QVERIFY(m_window->IsModified());
        Action("actEditUndo")->trigger();
        QVERIFY(!m_window->IsModified());
        Action("actEditRedo")->trigger();
        // Undo must not reach back past a loaded project.
        QString strError;
        QVERIFY(m_window->LoadProjectFrom(m_sandbox.File("start.tsp"), strError));
        QCOMPARE(m_window->GetUndoStack()->count(), 0);
        QVERIFY(!m_window->IsModified());
    }
};

TESSARA_TEST(EditingTest)

#include "test_editing.moc"
