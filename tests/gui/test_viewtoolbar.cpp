#include "testutils.h"
#include "testutils_modal.h"
#include "ui/controls/ColorSelectButton.h"
#include "ui/controls/ToolBarHeader.h"
#include "ui/controls/ViewToolBar.h"

#include <QColorDialog>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

// The zoom toolbar, toolbar headers and the colour button of the settings panel.
class ViewToolBarTest : public QObject
{
    Q_OBJECT

private slots:
    void zoomLevelsOutsideTheRangeAreIgnored_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("expected");
        QTest::newRow("lowest") << 0 << 0;
        QTest::newRow("highest") << 6 << 6;
        QTest::newRow("above the range") << 7 << 2;
        QTest::newRow("below the range") << -1 << 2;
    }
    void zoomLevelsOutsideTheRangeAreIgnored()
    {
        QFETCH(int, level);
        QFETCH(int, expected);
        UI::Controls::ViewToolBar toolBar;
        toolBar.SetupToolBar();
        toolBar.SetGridZoomLevel(2);
        toolBar.SetTrayZoomLevel(2);
        toolBar.SetGridZoomLevel(level);
        toolBar.SetTrayZoomLevel(level);
        QCOMPARE(toolBar.GetGridZoomLevel(), expected);
        QCOMPARE(toolBar.GetTrayZoomLevel(), expected);
    }

    void slidersReportTheirOwnLevel()
    {
        UI::Controls::ViewToolBar toolBar;
        toolBar.SetupToolBar();
        QSignalSpy gridSpy(&toolBar, &UI::Controls::ViewToolBar::Sig_GridZoomLevelChanged);
        QSignalSpy traySpy(&toolBar, &UI::Controls::ViewToolBar::Sig_TrayZoomLevelChanged);
        toolBar.GetGridZoomSlider()->setValue(5);
        toolBar.GetTrayZoomSlider()->setValue(1);
        QCOMPARE(gridSpy.count(), 1);
        QCOMPARE(gridSpy.first().first().toInt(), 5);
        QCOMPARE(traySpy.count(), 1);
        QCOMPARE(traySpy.first().first().toInt(), 1);
    }

    void headerFollowsToolBarOrientation()
    {
        QToolBar toolBar;
        auto* pHeader = new UI::Controls::ToolBarHeader("Grid", &toolBar);
        QCOMPARE(pHeader->minimumWidth(), UI::Controls::ToolBarHeader::HorizontalStripWidth);
        QCOMPARE(pHeader->maximumWidth(), UI::Controls::ToolBarHeader::HorizontalStripWidth);
        toolBar.setOrientation(Qt::Vertical);
        QCOMPARE(pHeader->minimumHeight(), UI::Controls::ToolBarHeader::VerticalStripHeight);
        QCOMPARE(pHeader->maximumHeight(), UI::Controls::ToolBarHeader::VerticalStripHeight);
        QCOMPARE(pHeader->maximumWidth(), QWIDGETSIZE_MAX);
    }

    void colorButtonShowsItsColourEvenWhenDisabled()
    {
        UI::Controls::ColorSelectButton button;
        button.resize(125, 30);
        button.SetColor(QColor(18, 114, 26));
        button.setEnabled(false);
        QCOMPARE(button.GetColorText(), QString("R18 G114 B26"));
        const QImage shot = button.grab().toImage();
        QCOMPARE(QColor(shot.pixel(15, 15)), QColor(18, 114, 26));
    }

    void colorDialogChangesColourUnlessCancelled()
    {
        UI::Controls::ColorSelectButton button;
        button.SetColor(Qt::black);
        TestUtils::ModalAnswers answers;
        answers.Then([](QWidget* pWidget) {
            auto* pDialog = qobject_cast<QColorDialog*>(pWidget);
            pDialog->setCurrentColor(QColor(200, 10, 30));
            pDialog->accept();
        });
        button.click();
        QCOMPARE(button.GetColor(), QColor(200, 10, 30));

        answers.Then([](QWidget* pWidget) {
            qobject_cast<QColorDialog*>(pWidget)->setCurrentColor(Qt::white);
            qobject_cast<QColorDialog*>(pWidget)->reject();
        });
        button.click();
        QCOMPARE(button.GetColor(), QColor(200, 10, 30));
        QVERIFY(answers.AllAnswered());
        QVERIFY2(answers.Unexpected().isEmpty(), qPrintable(answers.Unexpected().join(", ")));
    }
};

QTEST_MAIN(ViewToolBarTest)
#include "test_viewtoolbar.moc"
