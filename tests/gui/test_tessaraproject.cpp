#include "testutils.h"

#include "core/TessaraProject.h"

#include <QProcess>
#include <QtTest>

using Core::TessaraProject;
using Core::TessaraSettings;
using TestUtils::Sandbox;

Q_DECLARE_METATYPE(TessaraSettings)

namespace
{
QByteArray ProjectXml(const QByteArray& body, const QByteArray& rootAttributes = "type=\"TessaraProject\" version=\"1\"")
{
    return "<Project " + rootAttributes + ">" + body + "</Project>";
}

const QByteArray kOneRow = "<Rows><Row><File>a.png</File></Row></Rows>";

TessaraSettings RowsOnly(const QList<QStringList>& rows)
{
    TessaraSettings settings;
    settings.rows = rows;
    settings.flags = TessaraSettings::FlagRows;
    return settings;
}
}  // namespace

class TestTessaraProject : public QObject
{
    Q_OBJECT

private slots:
    void verifySettings_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        QTest::addColumn<QString>("error");

        const TessaraSettings rows = RowsOnly({{"a.png"}});
        TessaraSettings s;
        QTest::newRow("no rows") << TessaraSettings() << "No input rows have been specified";
        QTest::newRow("rows only") << rows << "";

        s = rows;
        s.flags |= TessaraSettings::FlagOverlap | TessaraSettings::FlagRegion;
        s.overlap = 3, s.regionWidth = s.regionHeight = 10;
        QTest::newRow("overlap and region") << s << "Overlap and region cannot be used at the same time";
        s = rows;
        s.flags |= TessaraSettings::FlagOverlap;
        s.overlap = 0;
        QTest::newRow("overlap 0") << s << "The overlap is too small";
        s.overlap = 1;
        QTest::newRow("overlap 1") << s << "";
        s = rows;
        s.flags |= TessaraSettings::FlagRegion;
        s.regionWidth = 4, s.regionHeight = 10;
        QTest::newRow("region 4 wide") << s << "The region is too small";
        s.regionWidth = 10, s.regionHeight = 4;
        QTest::newRow("region 4 high") << s << "The region is too small";
        s.regionWidth = s.regionHeight = 5;
        QTest::newRow("region 5x5") << s << "";
        s = rows;
        s.regionWidth = 1;
        s.overlap = 0;
        s.background = QColor();
        QTest::newRow("unset members do not count") << s << "";
        s.flags |= TessaraSettings::FlagBackground;
        QTest::newRow("invalid background") << s << "The background color is invalid";
        s = rows;
        s.flags |= TessaraSettings::FlagTransparency;
        QTest::newRow("invalid transparency") << s << "The transparency key color is invalid";
    }
    void verifySettings()
    {
        QFETCH(TessaraSettings, settings);
        QFETCH(QString, error);
        QString strError = "stale";
        QCOMPARE(settings.VerifySettings(strError), error.isEmpty());
        QCOMPARE(strError, error);
    }

    void clearResetsEverything()
    {
        TessaraSettings s = RowsOnly({{"a"}});
        s.tray = {"t"};
        s.overlap = 4, s.regionWidth = 9, s.regionHeight = 9;
        s.background = Qt::red, s.transparency = Qt::blue, s.stackImages = true, s.flags = 0x7f;
        s.ClearSettings();
        QVERIFY(s.rows.isEmpty() && s.tray.isEmpty());
        QCOMPARE(s.overlap, -1);
        QCOMPARE(s.regionWidth, -1);
        QCOMPARE(s.regionHeight, -1);
        QVERIFY(!s.background.isValid() && !s.transparency.isValid() && !s.stackImages);
        QCOMPARE(s.flags, 0u);
    }

    void saveThenLoad_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        TessaraSettings s = RowsOnly({{"/img/a.png", "None", "KeepEmpty"},
                                      {QString::fromUtf8("/img/Grüße & <b>.png"), "/img/it's \"q\".png"}});
        QTest::newRow("rows only") << s;

        s.tray = {"/img/t1.png", QString::fromUtf8("/img/ü & <t2>.png")};
        s.flags |= TessaraSettings::FlagTray | TessaraSettings::FlagOverlap | TessaraSettings::FlagBackground;
        s.overlap = 7;
        s.background = QColor(0x12, 0xab, 0xef);
        QTest::newRow("tray, overlap, background") << s;

        s.flags = TessaraSettings::FlagRows | TessaraSettings::FlagRegion | TessaraSettings::FlagTransparency
                  | TessaraSettings::FlagStackImages;
        s.tray.clear();
        s.regionWidth = 20, s.regionHeight = 30;
        s.transparency = QColor(255, 0, 128);
        s.stackImages = true;
        QTest::newRow("region, transparency, stack") << s;

        s.stackImages = false;
        QTest::newRow("stack stored as false") << s;
    }
    void saveThenLoad()
    {
        QFETCH(TessaraSettings, settings);
        Sandbox sandbox;
        TessaraProject saved;
        saved.GetSettings() = settings;
        QVERIFY2(saved.SaveProject(sandbox.File("p.tsp")), qPrintable(saved.GetLastError()));

        TessaraProject loaded;
        QVERIFY2(loaded.LoadProject(sandbox.File("p.tsp")), qPrintable(loaded.GetLastError()));
        const TessaraSettings& got = loaded.GetSettings();
        QCOMPARE(got.flags, settings.flags);
        QCOMPARE(got.rows, settings.rows);
        QCOMPARE(got.tray, settings.tray);
        if (settings.IsSet(TessaraSettings::FlagOverlap))
            QCOMPARE(got.overlap, settings.overlap);
        if (settings.IsSet(TessaraSettings::FlagRegion))
            QCOMPARE(QSize(got.regionWidth, got.regionHeight), QSize(settings.regionWidth, settings.regionHeight));
        if (settings.IsSet(TessaraSettings::FlagBackground))
            QCOMPARE(got.background.rgb(), settings.background.rgb());
        if (settings.IsSet(TessaraSettings::FlagTransparency))
            QCOMPARE(got.transparency.rgb(), settings.transparency.rgb());
        QCOMPARE(got.stackImages, settings.stackImages);
    }

    void writesTheFileLayoutExactly()
    {
        Sandbox sandbox;
        TessaraProject project;
        TessaraSettings& s = project.GetSettings();
        s = RowsOnly({{"a.png", "None"}, {"c & d.png"}});
        s.tray = {"t.png"};
        s.flags |= TessaraSettings::FlagRegion | TessaraSettings::FlagBackground | TessaraSettings::FlagStackImages
                   | TessaraSettings::FlagTray;
        s.regionWidth = 16, s.regionHeight = 8;
        s.background = QColor(0xAB, 0x0C, 0xFF);
        s.stackImages = true;
        QVERIFY(project.SaveProject(sandbox.File("p.tsp")));
        QCOMPARE(sandbox.ReadText("p.tsp"),
                 QByteArray("<Project type=\"TessaraProject\" version=\"1\">\n"
                            "    <Rows>\n"
                            "        <Row>\n"
                            "            <File>a.png</File>\n"
                            "            <File>None</File>\n"
                            "        </Row>\n"
                            "        <Row>\n"
                            "            <File>c &amp; d.png</File>\n"
                            "        </Row>\n"
                            "    </Rows>\n"
                            "    <Tray>\n"
                            "        <File>t.png</File>\n"
                            "    </Tray>\n"
                            "    <Settings>\n"
                            "        <Region>\n"
                            "            <Width>16</Width>\n"
                            "            <Height>8</Height>\n"
                            "        </Region>\n"
                            "        <Background>#ab0cff</Background>\n"
                            "        <StackImages>true</StackImages>\n"
                            "    </Settings>\n"
                            "</Project>\n"));
    }

    void saveFailureKeepsMessage()
    {
        Sandbox sandbox;
        TessaraProject project;
        project.GetSettings() = RowsOnly({{"a.png"}});
        QVERIFY(!project.SaveProject(sandbox.File("missing/dir/p.tsp")));
        QCOMPARE(project.GetLastError(), QString("Unable to write the project file"));
    }

    void loadMessages_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::newRow("not xml") << QByteArray("<Project") << "Unable to read the project file";
        QTest::newRow("wrong root") << QByteArray("<Projekt type=\"TessaraProject\" version=\"1\"/>")
                                    << "The selected file is not a valid Tessara project";
        QTest::newRow("type in other case") << ProjectXml(kOneRow, "type=\"tessaraproject\" version=\"1\"")
                                            << "The selected file is not a valid Tessara project";
        QTest::newRow("type missing") << ProjectXml(kOneRow, "version=\"1\"")
                                      << "The selected file is not a valid Tessara project";
        QTest::newRow("version 2") << ProjectXml(kOneRow, "type=\"TessaraProject\" version=\"2\"")
                                   << "The project file version doesn't match the current version";
        QTest::newRow("version not a whole number") << ProjectXml(kOneRow, "type=\"TessaraProject\" version=\"1x\"")
                                                    << "The project file version doesn't match the current version";
        QTest::newRow("version missing") << ProjectXml(kOneRow, "type=\"TessaraProject\"")
                                         << "The project file version doesn't match the current version";
        QTest::newRow("row file without content") << ProjectXml("<Rows><Row><File>a.png</File><File/></Row></Rows>")
                                                  << "Unable to read an input row";
        QTest::newRow("tray file without content") << ProjectXml(kOneRow + "<Tray><File></File></Tray>")
                                                   << "Unable to read an input row";
        QTest::newRow("no rows element") << ProjectXml("<Settings/>") << "No input rows have been specified";
        QTest::newRow("empty rows element") << ProjectXml("<Rows/>") << "No input rows have been specified";
        QTest::newRow("overlap and region")
            << ProjectXml(kOneRow + "<Settings><Overlap>2</Overlap><Region><Width>9</Width><Height>9</Height>"
                                    "</Region></Settings>")
            << "Overlap and region cannot be used at the same time";
        QTest::newRow("overlap 0") << ProjectXml(kOneRow + "<Settings><Overlap>0</Overlap></Settings>")
                                   << "The overlap is too small";
        QTest::newRow("overlap not a number") << ProjectXml(kOneRow + "<Settings><Overlap>5px</Overlap></Settings>")
                                              << "The overlap is too small";
        QTest::newRow("region 4 wide")
            << ProjectXml(kOneRow + "<Settings><Region><Width>4</Width><Height>9</Height></Region></Settings>")
            << "The region is too small";
        QTest::newRow("background not a colour")
            << ProjectXml(kOneRow + "<Settings><Background>#12345g</Background></Settings>")
            << "The background color is invalid";
        QTest::newRow("background with alpha digits")
            << ProjectXml(kOneRow + "<Settings><Background>#80ff0000</Background></Settings>")
            << "The background color is invalid";
        QTest::newRow("transparency not a colour")
            << ProjectXml(kOneRow + "<Settings><Transparency>blurple</Transparency></Settings>")
            << "The transparency key color is invalid";
    }
    void loadMessages()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        Sandbox sandbox;
        TessaraProject project;
        QVERIFY(!project.LoadProject(sandbox.WriteText("p.tsp", content)));
        QCOMPARE(project.GetLastError(), error);
    }

    void missingFileCannotBeOpened()
    {
        Sandbox sandbox;
        TessaraProject project;
        QVERIFY(!project.LoadProject(sandbox.File("absent.tsp")));
        QCOMPARE(project.GetLastError(), QString("Unable to open the project file"));
    }

    void settingValues_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<int>("overlap");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("stack");
        const quint32 nRows = TessaraSettings::FlagRows;
        QTest::newRow("stack FALSE") << QByteArray("<StackImages>FALSE</StackImages>")
                                     << (nRows | TessaraSettings::FlagStackImages) << -1 << QColor() << false;
        QTest::newRow("stack 0") << QByteArray("<StackImages>0</StackImages>")
                                 << (nRows | TessaraSettings::FlagStackImages) << -1 << QColor() << false;
        QTest::newRow("stack no") << QByteArray("<StackImages>no</StackImages>")
                                  << (nRows | TessaraSettings::FlagStackImages) << -1 << QColor() << true;
        QTest::newRow("empty stack element is absent") << QByteArray("<StackImages/>") << nRows << -1 << QColor()
                                                       << false;
        QTest::newRow("region lacking height is ignored") << QByteArray("<Region><Width>9</Width></Region>") << nRows
                                                          << -1 << QColor() << false;
        QTest::newRow("first overlap counts") << QByteArray("<Overlap>3</Overlap><Overlap>8</Overlap>")
                                              << (nRows | TessaraSettings::FlagOverlap) << 3 << QColor() << false;
        QTest::newRow("short hex colour") << QByteArray("<Background>#f80</Background>")
                                          << (nRows | TessaraSettings::FlagBackground) << -1 << QColor(255, 136, 0)
                                          << false;
        QTest::newRow("colour keyword") << QByteArray("<Background>navy</Background>")
                                        << (nRows | TessaraSettings::FlagBackground) << -1 << QColor(0, 0, 128)
                                        << false;
        QTest::newRow("element names are case-sensitive") << QByteArray("<overlap>3</overlap>") << nRows << -1
                                                          << QColor() << false;
    }
    void settingValues()
    {
        QFETCH(QByteArray, settings);
        QFETCH(quint32, flags);
        QFETCH(int, overlap);
        QFETCH(QColor, background);
        QFETCH(bool, stack);
        Sandbox sandbox;
        TessaraProject project;
        QVERIFY2(project.LoadProject(sandbox.WriteText("p.tsp", ProjectXml(kOneRow + "<Settings>" + settings + "</Settings>"))),
                 qPrintable(project.GetLastError()));
        const TessaraSettings& s = project.GetSettings();
        QCOMPARE(s.flags, flags);
        QCOMPARE(s.overlap, overlap);
        QCOMPARE(s.background, background);
        QCOMPARE(s.stackImages, stack);
    }

    void directoryTokenExpandsInRowsOnly()
    {
        Sandbox sandbox;
        TessaraProject project;
        QVERIFY(project.LoadProject(sandbox.WriteText(
            "p.tsp", ProjectXml("<Rows><Row><File>@TS_DIR/a.png</File><File>x@TS_DIR@TS_DIR</File>"
                                "<File>@ts_dir/b.png</File></Row></Rows><Tray><File>@TS_DIR/t.png</File></Tray>"))));
        const QString strDir = QCoreApplication::applicationDirPath();
        QCOMPARE(project.GetSettings().rows,
                 (QList<QStringList>{{strDir + "/a.png", "x" + strDir + strDir, "@ts_dir/b.png"}}));
        QCOMPARE(project.GetSettings().tray, QStringList{"@TS_DIR/t.png"});
    }

    void rowsAndFilesAreFoundAmongDescendants()
    {
        Sandbox sandbox;
        TessaraProject project;
        QVERIFY2(project.LoadProject(sandbox.WriteText(
                     "p.tsp", ProjectXml("<Rows><Group><Row><Cell><File>a.png</File></Cell><Note/>"
                                         "<File><!-- empty value --></File><File>b.png</File></Row></Group>"
                                         "<Row><File><!-- c --></File></Row><Row/></Rows>"))),
                 qPrintable(project.GetLastError()));
        QCOMPARE(project.GetSettings().rows, (QList<QStringList>{{"a.png", "b.png"}, {}, {}}));
        QCOMPARE(project.GetSettings().flags, quint32(TessaraSettings::FlagRows));
    }

    void gridSize_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QSize>("size");
        QTest::newRow("no rows") << QList<QStringList>() << QSize(0, 0);
        QTest::newRow("3, 5, 2 entries") << QList<QStringList>{{"a", "b", "c"}, {"a", "b", "c", "d", "e"}, {"a", "b"}}
                                         << QSize(5, 3);
        QTest::newRow("empty rows count") << QList<QStringList>{{}, {}} << QSize(0, 2);
    }
    void gridSize()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QSize, size);
        TessaraProject project;
        project.GetSettings().rows = rows;
        QCOMPARE(project.GetGridSize(), size);
    }
};

QTEST_MAIN(TestTessaraProject)
#include "test_tessaraproject.moc"
