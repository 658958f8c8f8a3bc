#include "testmain.h"
#include "testutils_modal.h"
#include "ui/UIUtils.h"
#include "ui/controls/ColorSelectButton.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

// The colour button of the settings panel and the save dialog.
class ControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void cancelledColorDialogKeepsTheColour()
    {
        // Choosing a colour is part of the editor workflow test; here the dialog is turned down.
        UI::Controls::ColorSelectButton button;
        button.SetColor(QColor(200, 10, 30));
        TestUtils::ModalAnswers answers;
        answers.Then([](QWidget* pWidget) {
            qobject_cast<QColorDialog*>(pWidget)->setCurrentColor(Qt::white);
            qobject_cast<QColorDialog*>(pWidget)->reject();
        });
        button.click();
        QCOMPARE(answers.Problems(), QString());
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
        QTest::newRow("first image type") << images << QString("result") << "result.png";
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
        TestUtils::ModalAnswers answers;
        answers.Then([&](QWidget* pWidget) {
            auto* pDialog = qobject_cast<QFileDialog*>(pWidget);
            if (parts.size() > 1)
                for (const QString& strNameFilter : pDialog->nameFilters())
                    if (strNameFilter.contains(parts.first()))
                        pDialog->selectNameFilter(strNameFilter), emit pDialog->filterSelected(strNameFilter);
            TestUtils::ChooseFiles({folder.filePath(parts.last())})(pWidget);
        });
        const QString strChosen = UIUtils::GetSaveFileName(nullptr, "Save", filter);
        QCOMPARE(answers.Problems(), QString());
        QCOMPARE(strChosen, folder.filePath(expected));
    }
};

TESSARA_TEST(ControlsTest)
#include "test_controls.moc"
