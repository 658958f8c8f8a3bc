#include "testmain.h"
#include "core/TessaraCore.h"
#include "testutils.h"
#include "testutils_modal.h"
#include "ui/StatusDlg.h"
#include "ui/controls/ColorSelectButton.h"

// The editor as a user drives it: the core's own main window, Qt's file dialogs filled in by
// the test, and the real tesscli beside the test program.
class WorkflowTest : public TestUtils::WindowTest
{
    Q_OBJECT

    const QSize m_cellSize{8, 6};
    const QColor m_background{18, 114, 26};
    QStringList m_images; // red, green, blue: row-major into a 2 x 2 grid, last cell empty

    // What tesscli itself prints for these arguments.
    static QString RunTesscli(const QStringList& astrArguments)
    {
        QProcess process;
        process.start(QStringLiteral(TESSCLI_EXE), astrArguments);
        process.waitForFinished(60000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

private slots:
    void initTestCase()
    {
        const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue};
        // Named in grid order: the file dialog may hand them back sorted by name, depending on
        // how far its directory listing got. Markup and non-ASCII letters travel to tesscli both
        // as arguments and inside the saved project.
        const QStringList astrNames = {"1 red.png", QString::fromUtf8("2 grün & <b>.png"), "3-blue.png"};
        for (int i = 0; i < colours.size(); ++i) {
            m_images.append(m_sandbox.File(astrNames[i]));
            QVERIFY(TestUtils::WriteImage(m_images.last(), m_cellSize.width(), m_cellSize.height(), colours[i]));
        }
        QVERIFY(Core::TessaraCore::s_instance->InitializeCore());
        UseWindow(qobject_cast<UI::TessaraWnd*>(Core::TessaraCore::s_instance->GetMainWindow()));
        QVERIFY(m_window);
        m_window->show();
    }

    void createGridFromChosenFilesWithABackground()
    {
        // The proposed 2 x 2 grid is taken; the combined image below shows the layout.
        TestUtils::ModalAnswers answers({TestUtils::ChooseFiles(m_images), TestUtils::PressButton("OK")});
        Action("actGridCreate")->trigger();
        QCOMPARE(Grid()->GetImageCount(), 3);

        Find<QCheckBox>("chkUseBgColor")->click();
        answers.Then([this](QWidget* pWidget) {
            auto* pDialog = qobject_cast<QColorDialog*>(pWidget);
            pDialog->setCurrentColor(m_background);
            pDialog->accept();
        });
        Find<UI::Controls::ColorSelectButton>("btnBgColor")->click();
        QCOMPARE(Filled().background, m_background);
    }

    // Save asks only while the project is untitled, Save as always; success shows in the status bar only.
    void saveAndSaveAs()
    {
        // Title, recent projects (newest first) and file after a save.
        const auto saved = [this](const QStringList& astrRecent) {
            QCOMPARE(m_window->windowTitle().section(" - ", 0, 0), astrRecent.first());
            QStringList astrFiles;
            for (const QString& strName : astrRecent)
                astrFiles << m_sandbox.File(strName);
            QCOMPARE(Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects().mid(0, astrFiles.size()),
                     astrFiles);
            QVERIFY(m_sandbox.ReadText(astrRecent.first()).contains("<Background>"));
        };
        TestUtils::ModalAnswers answers({TestUtils::ChooseFiles({m_sandbox.File("mosaic.tsp")})});
        Action("actProjectSave")->trigger();
        saved({"mosaic.tsp"});
        answers.Then(TestUtils::ChooseFiles({m_sandbox.File("copy.tsp")}));
        Action("actProjectSaveAs")->trigger();
        saved({"copy.tsp", "mosaic.tsp"});
        const QByteArray mosaic = m_sandbox.ReadText("mosaic.tsp");
        for (bool bStack : {true, false}) {
            Find<QCheckBox>("chkStackMode")->setChecked(bStack);
            QVERIFY(m_window->windowTitle().startsWith("copy.tsp*"));
            Action("actProjectSave")->trigger();
            QCOMPARE(m_sandbox.ReadText("copy.tsp").contains("<StackImages>"), bStack);
            saved({"copy.tsp", "mosaic.tsp"});
        }
        QCOMPARE(m_sandbox.ReadText("mosaic.tsp"), mosaic);
    }

    void combineWritesTheCompoundImage()
    {
        const QString strOutput = m_sandbox.File("mosaic.png");
        QString strConfirmation;
        TestUtils::ModalAnswers answers({TestUtils::ChooseFiles({strOutput}), TestUtils::NoteText(strConfirmation)});
        Action("actGridCompound")->trigger();
        QCOMPARE(strConfirmation, QString("The combined image has been saved to '%1'.").arg(strOutput));
        const QImage expected = TestUtils::MakeCompound(m_cellSize, 2, {Qt::red, Qt::green, Qt::blue}, m_background);
        QCOMPARE(TestUtils::CompareImageFile(strOutput, expected), QString());

        // The project the editor saved composes the same image in tesscli.
        const QString strFromProject = m_sandbox.File("from-project.png");
        const QString strLog = RunTesscli({"-project", m_sandbox.File("mosaic.tsp"), "-out", strFromProject});
        QVERIFY2(TestUtils::CompareImageFile(strFromProject, expected).isEmpty(), qPrintable(strLog));
    }

    // Named without an extension, the output takes the DeepZoom type chosen in the save dialog, and
    // the confirmation leads to the viewer page tesscli wrote beside the pyramid.
    void combineToDeepZoomOffersItsViewerPage()
    {
        const QString strPage = m_sandbox.File("pyramid.html");
        QString strConfirmation;
        QStringList astrButtons;
        TestUtils::ModalAnswers answers(
            {TestUtils::ChooseFiles({m_sandbox.File("pyramid")}, "DeepZoom pyramid (*.dzi)")});
        answers.Then([&](QWidget* pBox) {
            for (const QAbstractButton* pButton : qobject_cast<QMessageBox*>(pBox)->buttons())
                astrButtons << pButton->text();
            TestUtils::NoteText(strConfirmation)(pBox);
        });
        Action("actGridCompound")->trigger();
        QVERIFY2(strConfirmation.contains(strPage), qPrintable(strConfirmation));
        QVERIFY2(astrButtons.contains("Open &viewer page"), qPrintable(astrButtons.join(", ")));
        QVERIFY(QFileInfo(m_sandbox.File("pyramid.dzi")).isFile() && QFileInfo(strPage).isFile());
    }

    void failedCombineShowsTheProgramOutput()
    {
        QVERIFY(QFile::remove(m_images[1]));
        const QString strOutput = m_sandbox.File("broken.png");
        TestUtils::ModalAnswers answers;
        QString strLog, strCaption;
        int nCursor = -1;
        answers.Then(TestUtils::ChooseFiles({strOutput})).Then([&](QWidget* pViewer) {
            strLog = pViewer->findChild<QPlainTextEdit*>("txtText")->toPlainText();
            nCursor = pViewer->findChild<QPlainTextEdit*>("txtText")->textCursor().position();
            strCaption = pViewer->findChild<QLabel*>("lblCaption")->text();
            qobject_cast<QDialog*>(pViewer)->accept();
        });
        Find<QPushButton>("btnGridCompound")->click();
        QVERIFY2(strLog.contains(m_images[1]) && strLog.contains("failed"), qPrintable(strLog));
        // The reason stands in the caption, and the log opens at it.
        QVERIFY(strCaption.startsWith("<b>An error occurred while combining the image.</b><br>"
                                      "Failed to load a grid image:<br>"));
        QVERIFY2(strCaption.contains(QString(m_images[1]).toHtmlEscaped()), qPrintable(strCaption));
        QCOMPARE(strLog.mid(nCursor).section('\n', 0, 0), QString("Failed to load a grid image:"));
        QVERIFY(!QFileInfo::exists(strOutput));
        QVERIFY(m_window->isEnabled());
    }

    // Last: it leaves a large grid behind.
    void cancelledCombineKeepsTheOldImage()
    {
        // Noise compresses slowly, so tesscli is still writing its temporary file when the cancel arrives
        // after the first composed cell.
        QImage noise(1200, 1200, QImage::Format_RGB32);
        quint32 nSeed = 1;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, nSeed = nSeed * 1664525u + 1013904223u);
        QVERIFY(noise.save(m_sandbox.File("noise.png")));
        QVERIFY(m_window->CreateNewGrid(QStringList(9, m_sandbox.File("noise.png")), 3, 3));
        const QString strOutput = m_sandbox.File("kept.png");
        QVERIFY(TestUtils::WriteImage(strOutput, 5, 5, Qt::magenta));
        const QByteArray oldImage = m_sandbox.ReadText("kept.png");

        int nLastStep = 0;
        const auto onProgress = [&](int nStep, int) {
            nLastStep = nStep;
            if (nStep <= 20)
                return; // pinging only, the first 2 %: no cell composed yet
            for (QWidget* pWidget : QApplication::topLevelWidgets())
                if (qobject_cast<UI::StatusDlg*>(pWidget) && pWidget->isVisible())
                    pWidget->findChild<QPushButton*>("btnCancel")->click();
        };
        const auto connection = connect(m_window, &UI::TessaraWnd::Sig_CombineProgress, this, onProgress);
        TestUtils::ModalAnswers answers(
            {TestUtils::ChooseFiles({strOutput}), TestUtils::PressButton("Yes")}); // replace
        Action("actGridCompound")->trigger();
        disconnect(connection);

        QVERIFY(nLastStep > 20);
        QCOMPARE(m_sandbox.ReadText("kept.png"), oldImage);
        QCOMPARE(QDir(m_sandbox.Path()).entryList({".kept*"}, QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(m_window->isEnabled());
    }
};

TESSARA_TEST(WorkflowTest)
#include "test_workflow.moc"
