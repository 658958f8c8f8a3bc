#include "ui/controls/MainStatusBar.h"

#include <QTimer>
#include <QtTest>

// Temporary messages fall back to "Ready"; a newer message cancels the fallback. The revert is
// driven through the bar's own timer rather than by waiting three seconds.
class MainStatusBarTest : public QObject
{
    Q_OBJECT

    static QTimer* RevertTimer(UI::Controls::MainStatusBar& bar) { return bar.findChild<QTimer*>("tempTimer"); }
    static void LetTimerExpire(UI::Controls::MainStatusBar& bar)
    {
        QTimer* pTimer = RevertTimer(bar);
        if (pTimer->isActive())
        {
            pTimer->stop();
            QMetaObject::invokeMethod(&bar, "OnTempTimer");
        }
    }

private slots:
    void startsReadyWithEmptyCounts()
    {
        UI::Controls::MainStatusBar bar;
        QVERIFY(bar.InitStatusBar());
        QCOMPARE(bar.GetStatusText(), QString("Ready"));
        QCOMPARE(bar.GetGridSizeText(), QString("Grid 0x0"));
        QCOMPARE(bar.GetImageCountText(), QString("Images 0 Tray 0"));
    }

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
        bar.InitStatusBar();
        for (int i = 0; i < messages.size(); ++i)
            bar.SetStatus(messages[i], temporary[i]);
        QCOMPARE(bar.GetStatusText(), messages.last());
        if (temporary.last())
            QCOMPARE(RevertTimer(bar)->interval(), UI::Controls::MainStatusBar::TemporaryMessageMs);
        LetTimerExpire(bar);
        QCOMPARE(bar.GetStatusText(), afterExpiry);
    }

    void countsAreShown()
    {
        UI::Controls::MainStatusBar bar;
        bar.InitStatusBar();
        bar.SetGridSize(12, 999);
        bar.SetImageCount(7, 0);
        QCOMPARE(bar.GetGridSizeText(), QString("Grid 12x999"));
        QCOMPARE(bar.GetImageCountText(), QString("Images 7 Tray 0"));
    }
};

QTEST_MAIN(MainStatusBarTest)
#include "test_mainstatusbar.moc"
