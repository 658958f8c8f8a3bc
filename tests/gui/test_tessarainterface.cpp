#include "testmain.h"
#include "testutils.h"

#include "core/TessaraInterface.h"
#include "core/TessaraProcess.h"

#include <QFileInfo>
#include <QtTest>

using Core::TessaraInterface;
using Core::TessaraSettings;
using TestUtils::Sandbox;

Q_DECLARE_METATYPE(TessaraSettings)

namespace {
TessaraSettings RowsOnly(const QList<QStringList>& rows)
{
    TessaraSettings settings;
    settings.rows = rows;
    settings.flags = TessaraSettings::FlagRows;
    return settings;
}
} // namespace

class TestTessaraInterface : public QObject
{
    Q_OBJECT

private slots:
    void compoundArguments_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("arguments"); // joined by '|'

        TessaraSettings s = RowsOnly({{"/a.png", "None"}, {}, {"None", "KeepEmpty"}});
        QTest::newRow("rows, empty row skipped")
            << s << QString("/o.png") << "-row|/a.png|None|-row|None|KeepEmpty|-out|/o.png";

        s = RowsOnly({{"a.png"}});
        s.tray = {"tray.png"};
        s.flags |= TessaraSettings::FlagTray | TessaraSettings::FlagOverlap;
        s.overlap = 12;
        QTest::newRow("overlap, tray never passed") << s << QString("o.png") << "-row|a.png|-out|o.png|-overlap|12";
        s.flags |= TessaraSettings::FlagRegion;
        s.regionWidth = 40, s.regionHeight = 30;
        QTest::newRow("region wins over overlap") << s << QString("o.png") << "-row|a.png|-out|o.png|-regionsize|40|30";
        s = RowsOnly({{"a.png"}});
        s.flags |= TessaraSettings::FlagBackground | TessaraSettings::FlagTransparency
                   | TessaraSettings::FlagStackImages | TessaraSettings::FlagAutoOrient;
        s.background = QColor(1, 128, 255);
        s.transparency = QColor(255, 0, 7);
        s.stackImages = s.autoOrient = true;
        const QString strColours = "-row|a.png|-out|o.png|-bgcolor|1|128|255|-transparent|255|0|7";
        QTest::newRow("colours, stack, upright") << s << "o.png" << strColours + "|-stack|-autoorient";
        s.stackImages = s.autoOrient = false;
        QTest::newRow("stack and upright set but false") << s << "o.png" << strColours;
        s.flags = TessaraSettings::FlagRows;
        s.stackImages = true;
        QTest::newRow("unset members ignored") << s << QString("o.png") << "-row|a.png|-out|o.png";
    }
    void compoundArguments()
    {
        QFETCH(TessaraSettings, settings);
        QFETCH(QString, output);
        QFETCH(QString, arguments);
        QCOMPARE(TessaraInterface::GetCompoundArguments(&settings, output).join('|'), arguments);
    }

    void compoundWithoutTesscliBeside()
    {
        if (!TestUtils::InIsolatedCopy()) {
            const QString strFailure = TestUtils::RunIsolatedCopy("compoundWithoutTesscliBeside");
            QVERIFY2(strFailure.isEmpty(), qPrintable(strFailure));
            return;
        }
        // Nothing on the search path either: the message names the place beside the editor.
        qputenv("PATH", QByteArray());
        const TessaraSettings s = RowsOnly({{"a.png"}});
        TessaraInterface tessara;
        QVERIFY(!tessara.CompoundImage(&s, "out.png"));
        QCOMPARE(tessara.GetLastError(), QString("Unable to start the Tessara command-line utility\nProgram tried: %1")
                                             .arg(QDir(QCoreApplication::applicationDirPath()).filePath("tesscli")));
        QVERIFY(!TessaraInterface::ConvertImage("a.png", "b.png"));

        // The search path is the second place looked at.
        qputenv("PATH", QFile::encodeName(QFileInfo(QStringLiteral(TESSCLI_EXE)).absolutePath()));
        QCOMPARE(TessaraInterface::GetTessaraExecutable(), QStringLiteral(TESSCLI_EXE));
    }

    void processKeepsExitCodeAndOutput_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("cancelAtOutput");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output");
        QTest::newRow("success") << "echo done" << false << 0 << "done\n";
        QTest::newRow("failure, standard error not read") << "echo out; echo err >&2; exit 4" << false << 4 << "out\n";
        QTest::newRow("crash never passes for success")
            << "echo partial; kill -SEGV $$" << false << -1
            << "partial\n\nThe Tessara command-line utility terminated unexpectedly";
        const QString strLoop = "echo started; while :; do sleep 0.1; done";
        QTest::newRow("cancel asks the program to stop")
            << "trap 'echo interrupted; exit 5' TERM; " + strLoop << true << 5 << "started\ninterrupted\n";
        QTest::newRow("cancel kills a program that ignores it")
            << "trap '' TERM; " + strLoop << true << -1 << "started\n";
    }
    void processKeepsExitCodeAndOutput()
    {
        QFETCH(QString, script);
        QFETCH(bool, cancelAtOutput);
        QFETCH(int, code);
        QFETCH(QString, output);
        Core::TessaraProcess process;
        if (cancelAtOutput)
            connect(&process, &Core::TessaraProcess::Sig_Output, &process, &Core::TessaraProcess::Cancel);
        process.Run("/bin/sh", {"-c", script});
        QCOMPARE(process.GetResultCode(), code);
        QCOMPARE(process.GetOutputText(), output);
        QCOMPARE(process.WasCancelled(), cancelAtOutput);
    }

    void convertImage()
    {
        Sandbox sandbox;
        const QImage source = TestUtils::MakeImage(5, 4, QColor(10, 200, 30));
        QVERIFY(source.save(sandbox.File("in.bmp")));
        QVERIFY(TessaraInterface::ConvertImage(sandbox.File("in.bmp"), sandbox.File("out.png")));
        QCOMPARE(TestUtils::CompareImageFile(sandbox.File("out.png"), source), QString());

        QVERIFY(!TessaraInterface::ConvertImage(sandbox.File("missing.bmp"), sandbox.File("x.png")));
        QVERIFY(!QFileInfo::exists(sandbox.File("x.png")));
        QVERIFY(!TessaraInterface::ConvertImage(sandbox.MakeFifo("pipe.bmp"), sandbox.File("y.png")));
    }
};

TESSARA_TEST(TestTessaraInterface)
#include "test_tessarainterface.moc"
