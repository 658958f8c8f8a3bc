#include "ui/UIUtils.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

// Style-sheet placeholders and palette colours.
class UIUtilsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, QColor(0x12, 0x34, 0x56));
        palette.setColor(QPalette::Window, QColor(200, 180, 160));
        palette.setColor(QPalette::Midlight, QColor(220, 220, 220));
        QApplication::setPalette(palette);
    }

    void translateStyleSheet_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString strLine = UIUtils::GetBaseColor(UIUtils::ColorLine).name();
        QTest::newRow("no placeholders") << "QLabel { color: red; }"
                                         << "QLabel { color: red; }";
        QTest::newRow("base colour by name") << "background: white;"
                                             << "background: #123456;";
        QTest::newRow("every line colour") << "a: lightgray; b: lightgray;" << QString("a: %1; b: %1;").arg(strLine);
        QTest::newRow("toolbar gradient start from the window colour") << "stop:0 $tb_grad1"
                                                                       << "stop:0 rgba(200, 180, 160, 255)";
        QTest::newRow("placeholders are case-sensitive") << "White LIGHTGRAY"
                                                         << "White LIGHTGRAY";
    }
    void translateStyleSheet()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(UIUtils::TranslateStyleSheet(input), expected);
    }

    void translatedSheetKeepsNoPlaceholderAndIsStable()
    {
        const QString strSheet =
            "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 $tb_grad1, stop:1 $tb_grad2); "
            "border-bottom: 1px solid lightgray; } QLabel { color: white; background: qlineargradient("
            "x1:0, y1:0, x2:0, y2:1, stop:0 $dock_grad1, stop:1 $dock_grad2); }";
        const QString strOnce = UIUtils::TranslateStyleSheet(strSheet);
        for (const char* pPlaceholder : {"$tb_grad1", "$tb_grad2", "$dock_grad1", "$dock_grad2", "lightgray", "white"})
            QVERIFY2(!strOnce.contains(pPlaceholder), pPlaceholder);
        QCOMPARE(UIUtils::TranslateStyleSheet(strOnce), strOnce);
    }

    void dockColoursAreDarkerThanToolBarColours()
    {
        // Headers are drawn in white on the dock gradient: it must be dark to stay readable.
        const int nToolBar = UIUtils::GetBaseColor(UIUtils::ColorToolBar1).lightness();
        const int nDock1 = UIUtils::GetBaseColor(UIUtils::ColorDock1).lightness();
        const int nDock2 = UIUtils::GetBaseColor(UIUtils::ColorDock2).lightness();
        QVERIFY(UIUtils::GetBaseColor(UIUtils::ColorToolBar2).lightness() < nToolBar);
        QVERIFY(nDock1 < nToolBar);
        QVERIFY(nDock2 < nDock1);
    }

    void unknownTypesGiveNothing()
    {
        QVERIFY(!UIUtils::GetBaseColor(6).isValid());
        QVERIFY(!UIUtils::GetBaseColor(-1).isValid());
        QCOMPARE(UIUtils::MessageBox(5, "never shown"), QMessageBox::NoButton);
    }
};

QTEST_MAIN(UIUtilsTest)
#include "test_uiutils.moc"
