#include "testmain.h"
#include "testutils_modal.h"
#include "ui/UIUtils.h"
#include "ui/controls/ColorSelectButton.h"
#include "ui/controls/MainStatusBar.h"
#include "ui/controls/ToolBarHeader.h"
#include "ui/controls/ViewToolBar.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The small controls around the tables: the status bar's temporary messages, the zoom toolbar,
// the colour button of the settings panel and the save dialog.
class ControlsTest : public QObject
{
    Q_OBJECT

    // The status bar's revert is driven through its own timer rather than by waiting three seconds.
    static void LetTimerExpire(UI::Controls::MainStatusBar& bar)
    {
        QTimer* pTimer = bar.findChild<QTimer*>("tempTimer");
        if (pTimer->isActive()) {
            pTimer->stop();
            QMetaObject::invokeMethod(&bar, "OnTempTimer");
        }
    }

private slots:
    void messagesRevertOnlyWhenTemporary_data()
    {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<bool>>("temporary");
        QTest::addColumn<QString>("afterExpiry");
        QTest::newRow("temporary alone reverts") << QStringList{"Saved"} << QList<bool>{true} << "Ready";
        QTest::newRow("permanent stays") << QStringList{"Loading..."} << QList<bool>{false} << "Loading...";
        QTest::newRow("permanent after temporary stays")
            << QStringList{"Saved", "Combining..."} << QList<bool>{true, false} << "Combining...";
        QTest::newRow("temporary after permanent reverts")
            << QStringList{"Combining...", "Combined"} << QList<bool>{false, true} << "Ready";
    }
    void messagesRevertOnlyWhenTemporary()
    {
        QFETCH(QStringList, messages);
        QFETCH(QList<bool>, temporary);
        QFETCH(QString, afterExpiry);
        UI::Controls::MainStatusBar bar;
        QVERIFY(bar.InitStatusBar());
        QCOMPARE(bar.GetStatusText(), QString("Ready"));
        for (int i = 0; i < messages.size(); ++i)
            bar.SetStatus(messages[i], temporary[i]);
        QCOMPARE(bar.GetStatusText(), messages.last());
        LetTimerExpire(bar);
        QCOMPARE(bar.GetStatusText(), afterExpiry);
    }

    void zoomLevelsOutsideTheRangeAreIgnored_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("above the range") << 7;
        QTest::newRow("below the range") << -1;
    }
    void zoomLevelsOutsideTheRangeAreIgnored()
    {
        QFETCH(int, level);
        UI::Controls::ViewToolBar toolBar;
        toolBar.SetupToolBar();
        toolBar.SetGridZoomLevel(2);
        toolBar.SetTrayZoomLevel(2);
        toolBar.SetGridZoomLevel(level);
        toolBar.SetTrayZoomLevel(level);
        QCOMPARE(toolBar.GetGridZoomLevel(), 2);
        QCOMPARE(toolBar.GetTrayZoomLevel(), 2);
    }

    void headerStripFollowsToolBarOrientation()
    {
        // A horizontal toolbar gets a narrow upright strip, a vertical one a flat strip across.
        QToolBar toolBar;
        auto* pHeader = new UI::Controls::ToolBarHeader("Grid", &toolBar);
        QVERIFY(pHeader->maximumWidth() < QWIDGETSIZE_MAX && pHeader->maximumHeight() == QWIDGETSIZE_MAX);
        toolBar.setOrientation(Qt::Vertical);
        QVERIFY(pHeader->maximumWidth() == QWIDGETSIZE_MAX && pHeader->maximumHeight() < QWIDGETSIZE_MAX);
    }

    void colorButtonShowsItsColourEvenWhenDisabled()
    {
        UI::Controls::ColorSelectButton button;
        button.resize(125, 30);
        button.SetColor(QColor(18, 114, 26));
        button.setEnabled(false);
        const QImage shot = button.grab().toImage();
        QCOMPARE(QColor(shot.pixel(15, 15)), QColor(18, 114, 26));
    }

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
