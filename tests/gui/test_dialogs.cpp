#include "testmain.h"
#include "core/TessaraCore.h"
#include "testutils.h"
#include "testutils_modal.h"
#include "ui/GridSizeDlg.h"
#include "ui/StatusDlg.h"
#include "ui/TextViewerDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The editor's dialogs: grid-size proposal, fixed versus resizable sizing, the log viewer.
class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void proposesNearSquareGrid_data()
    {
        QTest::addColumn<int>("images");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::newRow("one image") << 1 << 1 << 1;
        QTest::newRow("two images side by side") << 2 << 1 << 2;
        QTest::newRow("three images leave one gap") << 3 << 2 << 2;
        QTest::newRow("perfect square") << 9 << 3 << 3;
        QTest::newRow("ten images") << 10 << 3 << 4;
        QTest::newRow("just above a square") << 17 << 4 << 5;
        QTest::newRow("large square") << 144 << 12 << 12;
    }
    void proposesNearSquareGrid()
    {
        QFETCH(int, images);
        QFETCH(int, rows);
        QFETCH(int, cols);
        UI::GridSizeDlg dialog;
        int nShownImages = -1;
        TestUtils::ModalAnswers answers;
        answers.Then(TestUtils::Inspect(
            [&](QWidget* pWidget) { nShownImages = pWidget->findChild<QLabel*>("lblImages")->text().toInt(); },
            TestUtils::FinishDialog(&QDialog::accept)));
        QCOMPARE(dialog.ShowDialog(images), int(QDialog::Accepted));
        QCOMPARE(nShownImages, images);
        QCOMPARE(dialog.GetGridRows(), rows);
        QCOMPARE(dialog.GetGridColumns(), cols);
    }

    void gridSizeDialogReturnsUserEntry()
    {
        UI::GridSizeDlg dialog;
        TestUtils::ModalAnswers answers;
        answers.Then([](QWidget* pWidget) {
            pWidget->findChild<QSpinBox*>("txtGridRows")->setValue(1);
            pWidget->findChild<QSpinBox*>("txtGridColumns")->setValue(7);
            pWidget->findChild<QPushButton*>("btnOK")->click();
        });
        QCOMPARE(dialog.ShowDialog(7), int(QDialog::Accepted));
        QCOMPARE(dialog.GetGridRows(), 1);
        QCOMPARE(dialog.GetGridColumns(), 7);

        answers.Then([](QWidget* pWidget) { pWidget->findChild<QPushButton*>("btnCancel")->click(); });
        QCOMPARE(dialog.ShowDialog(7), int(QDialog::Rejected));
        QCOMPARE(answers.Problems(), QString());
    }

    void fixedDialogKeepsItsNaturalSize()
    {
        UI::StatusDlg dialog;
        dialog.ShowDialog("Working", "Combining a long list of images into one...", ":/res/Icons/Hourglass.png");
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QString("Working"));
        QCOMPARE(dialog.minimumSize(), dialog.size());
        QCOMPARE(dialog.maximumSize(), dialog.size());
        dialog.resize(dialog.width() + 100, dialog.height() + 50);
        QCOMPARE(dialog.size(), dialog.minimumSize());
        dialog.hide();
    }

    void logViewerReopensWithItsLastSize()
    {
        const QSize chosenSize(760, 520); // fits the 800x600 test screen: larger sizes are fitted to it
        {
            UI::TextViewerDlg viewer;
            viewer.show();
            viewer.resize(chosenSize);
            QCOMPARE(viewer.size(), chosenSize);
            viewer.done(QDialog::Accepted);
        }
        UI::TextViewerDlg reopened;
        QCOMPARE(reopened.size(), chosenSize);
        reopened.show();
        QVERIFY(reopened.maximumSize() != reopened.size());
        reopened.hide();
    }

    void logViewerShowsAndSavesTheText()
    {
        TestUtils::Sandbox sandbox;
        const QString strLog = "Tessara command-line\n\nFailed to load a grid image:\n    missing.png\n";
        const QString strFile = sandbox.File("log.txt");
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
            .Then(TestUtils::ChooseFiles({strFile}))
            .Then(TestUtils::PressButton("OK"));
        viewer.ShowDialog("<b>Output</b>", strLog);
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strShown, strLog);
        QCOMPARE(QString::fromUtf8(sandbox.ReadText("log.txt")), strLog);

        const QString strUnwritable = sandbox.File("no-such-folder/log.txt");
        QVERIFY(!viewer.SaveLogTo(strUnwritable));
        QVERIFY(!QFileInfo::exists(strUnwritable));
    }
};

TESSARA_TEST(DialogsTest)
#include "test_dialogs.moc"
