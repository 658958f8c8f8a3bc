#include "testmain.h"
#include "testutils.h"

#include "core/TessaraOptions.h"
#include "core/TessaraProject.h"
#include "misc/FileUtils.h"
#include "misc/OptionSet.h"

#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <climits>
#include <csignal>
#include <sys/resource.h>

using TestUtils::Sandbox;

namespace {
// Every file this process writes may grow to at most 16 KB while the object lives (RLIMIT_FSIZE,
// its signal ignored so that the write fails with EFBIG), as on a nearly full disk.
class FullDisk
{
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        const rlimit limit{16 * 1024, m_oldLimit.rlim_max};
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_oldLimit{};
    void (*m_oldHandler)(int) = SIG_DFL;
};
} // namespace

class TestOptionSet : public QObject
{
    Q_OBJECT

    Sandbox m_sandbox;

private slots:
    // A load merges into what is set; empty elements make no options, text beside children does.
    void saveThenLoadMergesEveryOption()
    {
        Misc::OptionSet saved;
        saved.SetOption("Windows.MainWindow.Position.x", "10");
        saved.SetOption("RecentFiles.File0", "/home/a & <b>.tsp");
        QVERIFY(saved.SaveOptions(m_sandbox.File("t.cfg")));
        QVERIFY(!saved.SaveOptions(m_sandbox.File("no/such/folder/t.cfg")));

        Misc::OptionSet loaded;
        loaded.SetOption("RecentFiles.File0", "old");
        loaded.SetOption("B", "untouched");
        QVERIFY(loaded.LoadOptions(m_sandbox.File("t.cfg")));
        QVERIFY(loaded.LoadOptions(
            m_sandbox.WriteText("m.cfg", "<Options><C><D></D><E/></C><F>own<G>child</G></F></Options>")));
        const QVariantMap expected{{"Windows.MainWindow.Position.x", "10"},
                                   {"RecentFiles.File0", "/home/a & <b>.tsp"},
                                   {"B", "untouched"},
                                   {"F", "own"},
                                   {"F.G", "child"}};
        QCOMPARE(loaded.GetOptions(), expected);
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("wrong root") << QByteArray("<Settings><A>1</A></Settings>");
        QTest::newRow("not xml") << QByteArray("<Options><A>1</Options>");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("nested 100000 deep")
            << "<Options>" + QByteArray("<A>").repeated(100000) + QByteArray("</A>").repeated(100000) + "</Options>";
        QTest::newRow("FIFO") << QByteArray("fifo");
    }
    void loadFailures()
    {
        QFETCH(QByteArray, content);
        Misc::OptionSet options;
        options.SetOption("Kept", "yes");
        const QString strFile = content.isEmpty()   ? m_sandbox.File("absent.cfg")
                                : content == "fifo" ? m_sandbox.MakeFifo("fifo.cfg")
                                                    : m_sandbox.WriteText("bad.cfg", content);
        QVERIFY(!options.LoadOptions(strFile));
        QCOMPARE(options.GetOptions().keys(), QStringList{"Kept"});
    }

    void recentProjects_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("most recent first") << QStringList{"a", "b", "c"} << QStringList{"c", "b", "a"};
        QTest::newRow("re-adding moves to front") << QStringList{"a", "b", "c", "a"} << QStringList{"a", "c", "b"};
        QTest::newRow("case-sensitive") << QStringList{"a", "A"} << QStringList{"A", "a"};
        QTest::newRow("ninth drops the oldest") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}
                                                << QStringList{"9", "8", "7", "6", "5", "4", "3", "2"};
    }
    void recentProjects()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        Core::TessaraOptions options;
        for (const QString& strPath : added)
            options.AddRecentProject(strPath);
        QCOMPARE(options.GetRecentProjects(), expected);
    }

    void recentProjectsAllEightSurviveARestart()
    {
        Core::TessaraOptions saved;
        saved.AddRecentProject(QString::fromUtf8("/p/Grüße & <alt>.tsp"));
        for (int i = 1; i < 8; ++i)
            saved.AddRecentProject(QString("/p/%1.tsp").arg(i));
        QVERIFY(saved.SaveOptions(m_sandbox.File("r.cfg")));

        Core::TessaraOptions loaded;
        QVERIFY(loaded.LoadOptions(m_sandbox.File("r.cfg")));
        QCOMPARE(loaded.GetRecentProjects().size(), 8);
        QCOMPARE(loaded.GetRecentProjects(), saved.GetRecentProjects());
    }

    void recentProjectsCloseGapsAndIgnoreEmptySlots()
    {
        Core::TessaraOptions options;
        QVERIFY(options.LoadOptions(
            m_sandbox.WriteText("g.cfg", "<Options><RecentFiles><File0>a</File0><File1/><File2>b</File2><File3></File3>"
                                         "<File9>beyond eight</File9></RecentFiles></Options>")));
        QCOMPARE(options.GetRecentProjects(), (QStringList{"a", "b"}));
    }

    // Damaged or stale geometry must not put the window off-screen or make it larger than the screen.
    void windowGeometryIsFittedToTheScreen_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("size");
        QTest::newRow("huge everything") << QPoint(INT_MAX, INT_MAX) << QSize(INT_MAX, INT_MAX);
        QTest::newRow("far left and above") << QPoint(-100000, -100000) << QSize(200, 150);
        QTest::newRow("hanging over the right edge") << QPoint(5000, 10) << QSize(300, 200);
    }
    void windowGeometryIsFittedToTheScreen()
    {
        QFETCH(QPoint, position);
        QFETCH(QSize, size);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        Misc::OptionSet options;
        options.SetOption_Point("Windows.W.Position", position);
        options.SetOption_Size("Windows.W.Size", size);
        QWidget window;
        options.LoadWindowState(&window, "W");
        QCOMPARE(available.united(window.geometry()), available);
        QCOMPARE(window.size(), size.boundedTo(available.size()));
    }

    // Both of the editor's files are far larger than what still fits; the save must fail and the
    // previous file must survive unchanged, with no temporary file left beside it.
    void savesOnAFullDiskFailAndKeepTheOldFile()
    {
        TestUtils::Sandbox sandbox;
        const QString strProject = sandbox.File("p.tsp");
        const QString strOptions = sandbox.File("o.cfg");
        const QString strLongName = "/img/" + QString(200, QLatin1Char('x')) + ".png";
        Core::TessaraProject project;
        project.GetSettings().rows = {QStringList(200, strLongName)};
        project.GetSettings().flags = Core::TessaraSettings::FlagRows;
        Misc::OptionSet options;
        for (int i = 0; i < 200; ++i)
            options.SetOption(QString("Many.Option%1").arg(i), strLongName);
        {
            FullDisk fullDisk;
            QVERIFY(FileUtils::WriteFileSafely(strProject, "old project"));
            QVERIFY(FileUtils::WriteFileSafely(strOptions, "old options"));
            QVERIFY(!project.SaveProject(strProject));
            QCOMPARE(project.GetLastError(), QString("Unable to write the project file"));
            QVERIFY(!options.SaveOptions(strOptions));
            QCOMPARE(sandbox.ReadText("p.tsp"), QByteArray("old project"));
            QCOMPARE(sandbox.ReadText("o.cfg"), QByteArray("old options"));
            QCOMPARE(QDir(sandbox.Path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"o.cfg", "p.tsp"}));
        }
        QVERIFY(options.SaveOptions(strOptions));
    }
};

TESSARA_TEST(TestOptionSet)
#include "test_optionset.moc"
