#include "testmain.h"
#include "testutils.h"
#include "testutils_modal.h"
#include "ui/GridSizeDlg.h"
#include "ui/TextViewerDlg.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The editor's dialogs: grid size, saving the log viewer's text.
class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    // The proposal has room for every image; the user's entry and a cancel are taken as given.
    void gridSizeDialogProposesAndReturnsUserEntry()
    {
        UI::GridSizeDlg dialog;
        TestUtils::ModalAnswers answers;
        answers.Then(TestUtils::FinishDialog(&QDialog::accept));
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
        QCOMPARE(answers.Problems(), QString());
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
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strShown, strLog);
        QCOMPARE(QString::fromUtf8(sandbox.ReadText("log.txt")), strLog);
        QVERIFY(!viewer.SaveLogTo(sandbox.File("no-such-folder/log.txt")));
    }
};

TESSARA_TEST(DialogsTest)
#include "test_dialogs.moc"
