#include "testutils.h"

#include "core/TessaraInterface.h"
#include "core/TessaraProject.h"
#include "core/TessaraThread.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

using Core::TessaraInterface;
using Core::TessaraSettings;
using TestUtils::Sandbox;

Q_DECLARE_METATYPE(TessaraSettings)

namespace
{
TessaraSettings RowsOnly(const QList<QStringList>& rows)
{
    TessaraSettings settings;
    settings.rows = rows;
    settings.flags = TessaraSettings::FlagRows;
    return settings;
}

// Runs tesscli directly and returns its standard output, to compare with what the editor reports.
QString RunTesscli(const QStringList& astrArguments)
{
    QProcess process;
    process.start(TestUtils::TesscliPath(), astrArguments);
    process.waitForFinished(60000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Two 3x2 tiles in the top row, an empty cell and a third tile below, on a white background.
QImage ExpectedTwoByTwo()
{
    QImage image = TestUtils::MakeImage(6, 4, Qt::white);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
        {
            image.setPixelColor(x, y, Qt::red);
            image.setPixelColor(x + 3, y, Qt::blue);
            image.setPixelColor(x + 3, y + 2, Qt::green);
        }
    return image;
}
}  // namespace

class TestTessaraInterface : public QObject
{
    Q_OBJECT

private slots:
    void compoundArguments_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("arguments");

        TessaraSettings s = RowsOnly({{"/a.png", "None"}, {}, {"None", "KeepEmpty"}});
        QTest::newRow("rows, empty row skipped") << s << "/o.png"
                                                 << QStringList{"-row", "/a.png", "None", "-row", "None", "KeepEmpty",
                                                                "-out", "/o.png"};
        QTest::newRow("no output file") << RowsOnly({{"a b.png"}}) << "" << QStringList{"-row", "a b.png"};

        s = RowsOnly({{"a.png"}});
        s.tray = {"tray.png"};
        s.flags |= TessaraSettings::FlagTray | TessaraSettings::FlagOverlap;
        s.overlap = 12;
        QTest::newRow("overlap, tray never passed") << s << "o.png"
                                                    << QStringList{"-row", "a.png", "-out", "o.png", "-overlap", "12"};
        s.flags |= TessaraSettings::FlagRegion;
        s.regionWidth = 40, s.regionHeight = 30;
        QTest::newRow("region wins over overlap") << s << "o.png"
                                                  << QStringList{"-row", "a.png", "-out", "o.png", "-regionsize", "40",
                                                                 "30"};
        s = RowsOnly({{"a.png"}});
        s.flags |= TessaraSettings::FlagBackground | TessaraSettings::FlagTransparency | TessaraSettings::FlagStackImages;
        s.background = QColor(1, 128, 255);
        s.transparency = QColor(255, 0, 7);
        s.stackImages = true;
        QTest::newRow("colours and stack") << s << "o.png"
                                           << QStringList{"-row", "a.png", "-out", "o.png", "-bgcolor", "1", "128",
                                                          "255", "-transparent", "255", "0", "7", "-stack"};
        s.stackImages = false;
        QTest::newRow("stack set but false") << s << "o.png"
                                             << QStringList{"-row", "a.png", "-out", "o.png", "-bgcolor", "1", "128",
                                                            "255", "-transparent", "255", "0", "7"};
        s.flags = TessaraSettings::FlagRows;
        s.stackImages = true;
        QTest::newRow("unset members ignored") << s << "o.png" << QStringList{"-row", "a.png", "-out", "o.png"};
    }
    void compoundArguments()
    {
        QFETCH(TessaraSettings, settings);
        QFETCH(QString, output);
        QFETCH(QStringList, arguments);
        QCOMPARE(TessaraInterface::GetCompoundArguments(&settings, output), arguments);
    }

    void compoundThroughTesscli()
    {
        Sandbox sandbox;
        QVERIFY(TestUtils::WriteImage(sandbox.File("red tile.png"), 3, 2, Qt::red));
        QVERIFY(TestUtils::WriteImage(sandbox.File(QString::fromUtf8("blau & <ü>.png")), 3, 2, Qt::blue));
        QVERIFY(TestUtils::WriteImage(sandbox.File("green.bmp"), 3, 2, Qt::green));
        TessaraSettings s = RowsOnly({{sandbox.File("red tile.png"), sandbox.File(QString::fromUtf8("blau & <ü>.png"))},
                                      {"None", sandbox.File("green.bmp")}});
        s.flags |= TessaraSettings::FlagBackground;
        s.background = Qt::white;

        TessaraInterface tessara;
        QVERIFY2(tessara.CompoundImage(&s, sandbox.File("out.png")), qPrintable(tessara.GetLastError()));
        const QString strDiff = TestUtils::CompareImageFile(sandbox.File("out.png"), ExpectedTwoByTwo());
        QVERIFY2(strDiff.isEmpty(), qPrintable(strDiff));
    }

    void failedCompoundReportsWholeOutput()
    {
        Sandbox sandbox;
        QVERIFY(TestUtils::WriteImage(sandbox.File("a.png"), 3, 2, Qt::red));
        const TessaraSettings s = RowsOnly({{sandbox.File("a.png")}});

        TessaraInterface tessara;
        QVERIFY(!tessara.CompoundImage(&s, QString()));
        QVERIFY2(tessara.GetLastError().contains("No output file has been specified"),
                 qPrintable(tessara.GetLastError()));
        QCOMPARE(tessara.GetLastError(), RunTesscli(TessaraInterface::GetCompoundArguments(&s, QString())));
    }

    void compoundWithoutTesscliBeside()
    {
        if (!TestUtils::InIsolatedCopy())
        {
            const QString strFailure = TestUtils::RunIsolatedCopy("compoundWithoutTesscliBeside");
            QVERIFY2(strFailure.isEmpty(), qPrintable(strFailure));
            return;
        }
        const TessaraSettings s = RowsOnly({{"a.png"}});
        TessaraInterface tessara;
        QVERIFY(!tessara.CompoundImage(&s, "out.png"));
        QCOMPARE(tessara.GetLastError(), QString("Unable to start the Tessara command-line utility"));
        QVERIFY(!TessaraInterface::ConvertImage("a.png", "b.png"));
    }

    void workerKeepsExitCodeAndOutput_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output");
        QTest::newRow("success") << "echo done" << 0 << "done\n";
        QTest::newRow("failure, standard error not read") << "echo out; echo err >&2; exit 4" << 4 << "out\n";
        QTest::newRow("crash never passes for success")
            << "echo partial; kill -SEGV $$" << -1
            << "partial\n\nThe Tessara command-line utility terminated unexpectedly";
    }
    void workerKeepsExitCodeAndOutput()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, output);
        Core::TessaraThread thread;
        thread.InitTessaraThread("/bin/sh", {"-c", script});
        thread.start();
        QVERIFY(thread.wait(60000));
        QCOMPARE(thread.GetResultCode(), code);
        QCOMPARE(thread.GetOutputText(), output);
    }

    void convertImage()
    {
        Sandbox sandbox;
        const QImage source = TestUtils::MakeImage(5, 4, QColor(10, 200, 30));
        QVERIFY(source.save(sandbox.File("in.bmp")));
        QVERIFY(TessaraInterface::ConvertImage(sandbox.File("in.bmp"), sandbox.File("out.png")));
        const QString strDiff = TestUtils::CompareImageFile(sandbox.File("out.png"), source);
        QVERIFY2(strDiff.isEmpty(), qPrintable(strDiff));

        QVERIFY(!TessaraInterface::ConvertImage(sandbox.File("missing.bmp"), sandbox.File("x.png")));
        QVERIFY(!QFileInfo::exists(sandbox.File("x.png")));
    }

    void projectSavedByEditorComposesInTesscli()
    {
        Sandbox sandbox;
        const QString strRed = sandbox.File(QString::fromUtf8("Grüße & <rot>.png"));
        const QString strBlue = sandbox.File("it's \"blue\".png");
        const QString strGreen = sandbox.File("green.png");
        QVERIFY(TestUtils::WriteImage(strRed, 3, 2, Qt::red));
        QVERIFY(TestUtils::WriteImage(strBlue, 3, 2, Qt::blue));
        QVERIFY(TestUtils::WriteImage(strGreen, 3, 2, Qt::green));

        Core::TessaraProject project;
        project.GetSettings() = RowsOnly({{strRed, strBlue}, {"KeepEmpty", strGreen}});
        project.GetSettings().tray = {sandbox.File("unplaced.png")};
        project.GetSettings().background = QColor(255, 255, 255);
        project.GetSettings().flags |= TessaraSettings::FlagBackground | TessaraSettings::FlagTray;
        QVERIFY(project.SaveProject(sandbox.File(QString::fromUtf8("projekt ä.tsp"))));

        const QString strOutput = RunTesscli({"-project", sandbox.File(QString::fromUtf8("projekt ä.tsp")), "-out",
                                              sandbox.File("out.png")});
        const QString strDiff = TestUtils::CompareImageFile(sandbox.File("out.png"), ExpectedTwoByTwo());
        QVERIFY2(strDiff.isEmpty(), qPrintable(strDiff + "\n" + strOutput));
    }
};

QTEST_MAIN(TestTessaraInterface)
#include "test_tessarainterface.moc"
