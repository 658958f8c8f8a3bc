#include "testmain.h"
#include "testutils.h"

#include "core/TessaraInterface.h"
#include "core/TessaraProcess.h"
#include "core/TessaraProject.h"

#include <QFileInfo>
#include <QtTest>

#include <tuple>

using Core::TessaraInterface;
using Core::TessaraProject;
using Core::TessaraSettings;

Q_DECLARE_METATYPE(TessaraSettings)

namespace {
const QByteArray kRoot = "type=\"TessaraProject\" version=\"1\"";
const QByteArray kOneRow = "<Rows><Row><File>a.png</File></Row></Rows>";

QByteArray ProjectXml(const QByteArray& body, const QByteArray& rootAttributes = kRoot)
{
    return "<Project " + rootAttributes + ">" + body + "</Project>";
}

// A one-row project with these settings elements.
QByteArray WithSettings(const QByteArray& settings)
{
    return ProjectXml(kOneRow + "<Settings>" + settings + "</Settings>");
}

// Every member of a record, to compare whole records.
auto Members(const TessaraSettings& s)
{
    return std::make_tuple(s.flags, s.rows, s.tray, s.overlap, s.regionWidth, s.regionHeight, s.background,
                           s.transparency, s.stackImages, s.autoOrient);
}

TessaraSettings RowsOnly(const QList<QStringList>& rows)
{
    TessaraSettings settings;
    settings.rows = rows;
    settings.flags = TessaraSettings::FlagRows;
    return settings;
}

TessaraSettings Settings(quint32 nExtraFlags, int nOverlap, QSize region)
{
    TessaraSettings settings = RowsOnly({{"a.png"}});
    settings.flags |= nExtraFlags;
    settings.overlap = nOverlap;
    settings.regionWidth = region.width();
    settings.regionHeight = region.height();
    return settings;
}
} // namespace

// What the editor hands on: project files, and the arguments and runs of tesscli.
class TestTessaraProject : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;

private slots:
    // The window's settings panel fills members whose flag is off; those must not block a save or a combine.
    void unsetMembersAreNotChecked()
    {
        QString strError;
        QVERIFY(Settings(0, 0, QSize(1, 1)).VerifySettings(strError));
    }

    void saveThenLoad_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        TessaraSettings s =
            Settings(TessaraSettings::FlagTray | TessaraSettings::FlagOverlap | TessaraSettings::FlagBackground, 7, {});
        s.background = QColor(0x12, 0xab, 0xef);
        // Tabs and carriage returns survive as character references.
        s.rows = {{"/img/a.png", "None", "KeepEmpty", "/img/tab\there.png"},
                  {QString::fromUtf8("/img/Grüße & <b>.png"), "/it's \"q\".png", "/img/cr\rhere.png"}};
        s.tray = {"/img/t1.png", QString::fromUtf8("/img/ü & <t2>.png")};
        QTest::newRow("tray, overlap, background") << s;
        s = Settings(TessaraSettings::FlagRegion | TessaraSettings::FlagTransparency | TessaraSettings::FlagStackImages
                         | TessaraSettings::FlagAutoOrient,
                     -1, QSize(20, 30));
        s.transparency = QColor(255, 0, 128);
        s.stackImages = s.autoOrient = true;
        QTest::newRow("region, transparency, stack, upright") << s;
        s.stackImages = s.autoOrient = false;
        QTest::newRow("stack and upright stored as false") << s;
    }
    void saveThenLoad()
    {
        QFETCH(TessaraSettings, settings);
        TessaraProject saved;
        saved.GetSettings() = settings;
        QVERIFY2(saved.SaveProject(m_sandbox.File("p.tsp")), qPrintable(saved.GetLastError()));
        TessaraProject loaded;
        QVERIFY2(loaded.LoadProject(m_sandbox.File("p.tsp")), qPrintable(loaded.GetLastError()));
        QCOMPARE(Members(loaded.GetSettings()), Members(settings));
    }

    void unreadableNamesAreRefusedAndTheOldFileKept()
    {
        const QString strPath = m_sandbox.WriteText("p.tsp", "previous");
        for (const QStringList& rowAndTray : {QStringList{"/img/a\x01.png", "/t.png"}, {"/a.png", "/img/\x1bt.png"}}) {
            TessaraProject project;
            project.GetSettings() = Settings(TessaraSettings::FlagTray, -1, {});
            project.GetSettings().rows = {{rowAndTray[0]}};
            project.GetSettings().tray = {rowAndTray[1]};
            QVERIFY(!project.SaveProject(strPath));
            QCOMPARE(project.GetLastError(), QString("Unable to write the project file"));
            QCOMPARE(m_sandbox.ReadText("p.tsp"), QByteArray("previous"));
        }
    }

    void loadMessages_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        const QString strUnreadable = "Unable to read the project file";
        const QString strNotProject = "The selected file is not a valid Tessara project";
        const QString strVersion = "The project file version doesn't match the current version";
        const QString strSmallRegion = "The region is too small";
        QTest::newRow("no file") << QByteArray() << "Unable to open the project file";
        QTest::newRow("not xml") << QByteArray("<Project") << strUnreadable;
        QTest::newRow("second root element") << ProjectXml(kOneRow) + "<Project/>" << strUnreadable;
        QTest::newRow("nested 100000 deep")
            << ProjectXml(QByteArray("<Rows>").repeated(100000) + QByteArray("</Rows>").repeated(100000))
            << strUnreadable;
        QTest::newRow("FIFO") << QByteArray("fifo") << "The project file is not a regular file";
        QTest::newRow("wrong root") << QByteArray("<Projekt " + kRoot + "/>") << strNotProject;
        QTest::newRow("type in other case")
            << ProjectXml(kOneRow, "type=\"tessaraproject\" version=\"1\"") << strNotProject;
        QTest::newRow("version 2") << ProjectXml(kOneRow, "type=\"TessaraProject\" version=\"2\"") << strVersion;
        QTest::newRow("version not whole")
            << ProjectXml(kOneRow, "type=\"TessaraProject\" version=\"1x\"") << strVersion;
        QTest::newRow("row file without content")
            << ProjectXml("<Rows><Row><File>a.png</File><File/></Row></Rows>") << "Unable to read an input row";
        QTest::newRow("tray file without content")
            << ProjectXml(kOneRow + "<Tray><File></File></Tray>") << "Unable to read an input row";
        QTest::newRow("no rows element") << ProjectXml("<Settings/>") << "No input rows have been specified";
        QTest::newRow("overlap and region")
            << WithSettings("<Overlap>2</Overlap><Region><Width>9</Width><Height>9</Height></Region>")
            << "Overlap and region cannot be used at the same time";
        QTest::newRow("region 4 wide") << WithSettings("<Region><Width>4</Width><Height>9</Height></Region>")
                                       << strSmallRegion;
        QTest::newRow("region 4 high") << WithSettings("<Region><Width>9</Width><Height>4</Height></Region>")
                                       << strSmallRegion;
        QTest::newRow("overlap 0") << WithSettings("<Overlap>0</Overlap>") << "The overlap is too small";
        QTest::newRow("overlap not whole") << WithSettings("<Overlap>5px</Overlap>") << "The overlap is too small";
        QTest::newRow("background alpha form")
            << WithSettings("<Background>#80ff0000</Background>") << "The background color is invalid";
        QTest::newRow("unknown colour word")
            << WithSettings("<Transparency>blurple</Transparency>") << "The transparency key color is invalid";
    }
    void loadMessages()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        TessaraProject project;
        const QString strPath = content.isEmpty()   ? m_sandbox.File("absent.tsp")
                                : content == "fifo" ? m_sandbox.MakeFifo("fifo.tsp")
                                                    : m_sandbox.WriteText("p.tsp", content);
        QVERIFY(!project.LoadProject(strPath));
        QCOMPARE(project.GetLastError(), error);
    }

    void settingValues_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<quint32>("extraFlags");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("stack");
        const quint32 nStack = TessaraSettings::FlagStackImages, nBackground = TessaraSettings::FlagBackground;
        QTest::newRow("stack FALSE") << QByteArray("<StackImages>FALSE</StackImages>") << nStack << QColor() << false;
        QTest::newRow("stack 0") << QByteArray("<StackImages>0</StackImages>") << nStack << QColor() << false;
        QTest::newRow("stack no") << QByteArray("<StackImages>no</StackImages>") << nStack << QColor() << true;
        QTest::newRow("overlap 1") << QByteArray("<Overlap>1</Overlap>") << quint32(TessaraSettings::FlagOverlap)
                                   << QColor() << false;
        QTest::newRow("region 5x5") << QByteArray("<Region><Width>5</Width><Height>5</Height></Region>")
                                    << quint32(TessaraSettings::FlagRegion) << QColor() << false;
        QTest::newRow("region lacking height")
            << QByteArray("<Region><Width>9</Width></Region>") << 0u << QColor() << false;
        QTest::newRow("colour keyword") << QByteArray("<Background>navy</Background>") << nBackground
                                        << QColor(0, 0, 128) << false;
        QTest::newRow("names are case-sensitive")
            << QByteArray("<background>red</background>") << 0u << QColor() << false;
    }
    void settingValues()
    {
        QFETCH(QByteArray, settings);
        QFETCH(quint32, extraFlags);
        QFETCH(QColor, background);
        QFETCH(bool, stack);
        TessaraProject project;
        QVERIFY2(project.LoadProject(m_sandbox.WriteText("p.tsp", WithSettings(settings))),
                 qPrintable(project.GetLastError()));
        QCOMPARE(project.GetSettings().flags, TessaraSettings::FlagRows | extraFlags);
        QCOMPARE(project.GetSettings().background, background);
        QCOMPARE(project.GetSettings().stackImages, stack);
    }

    void directoryTokenExpandsInRowsOnly()
    {
        TessaraProject project;
        QVERIFY(project.LoadProject(m_sandbox.WriteText(
            "p.tsp", ProjectXml("<Rows><Row><File>@TS_DIR/a.png</File><File>x@TS_DIR@TS_DIR</File>"
                                "<File>@ts_dir/b.png</File></Row></Rows><Tray><File>@TS_DIR/t.png</File></Tray>"))));
        const QString strDir = QCoreApplication::applicationDirPath();
        QCOMPARE(project.GetSettings().rows,
                 (QList<QStringList>{{strDir + "/a.png", "x" + strDir + strDir, "@ts_dir/b.png"}}));
        QCOMPARE(project.GetSettings().tray, QStringList{"@TS_DIR/t.png"});
    }

    // Also what the grid is sized from: the longest row and the number of rows.
    void rowsAndFilesAreFoundAmongDescendants()
    {
        TessaraProject project;
        QVERIFY2(project.LoadProject(m_sandbox.WriteText(
                     "p.tsp", ProjectXml("<Rows><Group><Row><Cell><File>a.png</File></Cell><Note/>"
                                         "<File><!-- empty value --></File><File>b.png</File></Row></Group>"
                                         "<Row><File><!-- c --></File></Row><Row/></Rows>"))),
                 qPrintable(project.GetLastError()));
        QCOMPARE(project.GetSettings().rows, (QList<QStringList>{{"a.png", "b.png"}, {}, {}}));
        QCOMPARE(project.GetSettings().flags, quint32(TessaraSettings::FlagRows));
        QCOMPARE(project.GetGridSize(), QSize(2, 3));

        // Nesting is limited, not width: a long row still loads.
        TessaraProject wide;
        const QByteArray files = QByteArray("<File>a.png</File>").repeated(10000);
        QVERIFY(wide.LoadProject(m_sandbox.WriteText("p.tsp", ProjectXml("<Rows><Row>" + files + "</Row></Rows>"))));
        QCOMPARE(wide.GetGridSize(), QSize(10000, 1));
    }

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
        TestUtils::Sandbox sandbox;
        const QImage source = TestUtils::MakeImage(5, 4, QColor(10, 200, 30));
        QVERIFY(source.save(sandbox.File("in.bmp")));
        QVERIFY(TessaraInterface::ConvertImage(sandbox.File("in.bmp"), sandbox.File("out.png")));
        QCOMPARE(TestUtils::CompareImageFile(sandbox.File("out.png"), source), QString());

        QVERIFY(!TessaraInterface::ConvertImage(sandbox.File("missing.bmp"), sandbox.File("x.png")));
        QVERIFY(!QFileInfo::exists(sandbox.File("x.png")));
        QVERIFY(!TessaraInterface::ConvertImage(sandbox.MakeFifo("pipe.bmp"), sandbox.File("y.png")));
    }
};

TESSARA_TEST(TestTessaraProject)
#include "test_tessaraproject.moc"
