#include "../projects/ProjectCases.h"
#include "testmain.h"
#include "testutils.h"

#include "core/TessaraInterface.h"
#include "core/TessaraOptions.h"
#include "core/TessaraProcess.h"
#include "core/TessaraProject.h"
#include "misc/FileUtils.h"
#include "misc/OptionSet.h"

#include <csignal>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

using Core::TessaraInterface;
using Core::TessaraProject;
using Core::TessaraSettings;

Q_DECLARE_METATYPE(TessaraSettings)

namespace {
// Every file this process writes may grow to at most 16 KB while the object lives (RLIMIT_FSIZE,
// its signal ignored so that the write fails with EFBIG), as on a nearly full disk.
struct FullDisk
{
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
    rlimit m_oldLimit{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

QByteArray ProjectXml(const QByteArray& body)
{
    return "<Project type=\"TessaraProject\" version=\"1\">" + body + "</Project>";
}

// Every member of a record, to compare whole records.
auto Members(const TessaraSettings& s)
{
    return std::make_tuple(s.flags, s.rows, s.tray, s.overlap, s.regionWidth, s.regionHeight, s.background,
                           s.transparency, s.stackImages, s.autoOrient);
}

// "#rrggbb" as in cases.txt; a colour that is not opaque shows its alpha in front ("#aarrggbb").
std::string Hex(const QColor& color)
{
    if (!color.isValid())
        return "invalid";
    return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb).toStdString();
}

std::vector<std::string> StdStrings(const QStringList& astrTexts)
{
    std::vector<std::string> texts;
    for (const QString& strText : astrTexts)
        texts.push_back(strText.toStdString());
    return texts;
}

ProjectCases::Record RecordOf(const TessaraSettings& s)
{
    std::vector<std::vector<std::string>> rows;
    for (const QStringList& astrRow : s.rows)
        rows.push_back(StdStrings(astrRow));
    return {s.flags,       rows,           StdStrings(s.tray), s.overlap,
            s.regionWidth, s.regionHeight, Hex(s.background),  Hex(s.transparency),
            s.stackImages, s.autoOrient};
}

// The line of cases.txt for a loaded record. The editor's own directory, which it puts in place of
// @TS_DIR, shows as {appdir}.
QString SummaryOf(const TessaraSettings& settings)
{
    return QString::fromStdString(ProjectCases::Summary(RecordOf(settings), RecordOf(TessaraSettings())))
        .replace(QCoreApplication::applicationDirPath(), "{appdir}");
}

TessaraSettings RowsOnly(const QList<QStringList>& rows)
{
    TessaraSettings settings;
    settings.rows = rows;
    settings.flags = TessaraSettings::FlagRows;
    return settings;
}

// State and parent of a process, from "pid (name) state ppid ..." (the name may hold spaces, so
// fields are counted after ')'); empty when there is no such process.
QList<QByteArray> StateAndParent(const QString& strPid)
{
    QFile stat("/proc/" + strPid + "/stat");
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    return line.isEmpty() ? QList<QByteArray>() : line.mid(line.lastIndexOf(')') + 2).split(' ').mid(0, 2);
}

// The first process whose parent is nParent, or 0.
pid_t ChildOf(qint64 nParent)
{
    for (const QString& strEntry : QDir("/proc").entryList(QDir::Dirs))
        if (StateAndParent(strEntry).value(1).toLongLong() == nParent)
            return strEntry.toInt();
    return 0;
}

const char* const kDoomedEditorVariable = "TESSARA_TEST_DOOMED_EDITOR";

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

// What the editor keeps and hands on: project and options files, and the arguments and runs of tesscli.
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

    // The project files of tests/projects against the editor's column of their table.
    void projectCases_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("problem");
        for (const auto& [strName, entry] : ProjectCases::Read(TESSARA_PROJECT_CASES))
            QTest::newRow(strName.c_str()) << QString::fromStdString(entry.path) << QString::fromStdString(entry.editor)
                                           << QString::fromStdString(entry.problem);
    }
    void projectCases()
    {
        QFETCH(QString, path);
        QFETCH(QString, problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        TessaraProject project;
        const bool bLoaded = project.LoadProject(path);
        // Only the first line: the lines after it name this checkout's path.
        QTEST(bLoaded ? SummaryOf(project.GetSettings()) : "error: " + project.GetLastError().section('\n', 0, 0),
              "expected");
    }

    // Failures a project file in tests/projects cannot show, and what follows the first line, which
    // is all that the shared table compares: the file, then the reason.
    void loadMessages_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error"); // %1: the file
        QTest::newRow("no file") << QByteArray() << "Unable to open the project file\n%1\nNo such file or directory";
        QTest::newRow("not readable") << QByteArray("unreadable")
                                      << "Unable to open the project file\n%1\nPermission denied";
        QTest::newRow("nested 100000 deep")
            << ProjectXml(QByteArray("<Rows>").repeated(100000) + QByteArray("</Rows>").repeated(100000))
            << "Unable to read the project file\n%1\nLine 1, column 427: elements nested more than 64 deep";
        QTest::newRow("cut off") << ProjectXml("<Rows>\n  <Row>").chopped(10)
                                 << "Unable to read the project file\n%1\nLine 2, column 7: Premature end of document.";
        QTest::newRow("FIFO") << QByteArray("fifo") << "The project file is not a regular file";
    }
    void loadMessages()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        TessaraProject project;
        QString strPath = content.isEmpty()   ? m_sandbox.File("absent.tsp")
                          : content == "fifo" ? m_sandbox.MakeFifo("fifo.tsp")
                                              : m_sandbox.WriteText("p.tsp", content);
        if (content == "unreadable") {
            if (geteuid() == 0)
                QSKIP("root reads every file");
            QVERIFY(QFile::setPermissions(strPath, QFile::WriteOwner));
        }
        QVERIFY(!project.LoadProject(strPath));
        QCOMPARE(project.GetLastError(), QString(error).replace("%1", strPath));
    }

    // Nesting is limited, not width: a long row still loads. Empty rows count towards the grid's height.
    void longRowLoads()
    {
        TessaraProject wide;
        const QByteArray files = QByteArray("<File>a.png</File>").repeated(10000);
        QVERIFY(
            wide.LoadProject(m_sandbox.WriteText("p.tsp", ProjectXml("<Rows><Row>" + files + "</Row><Row/></Rows>"))));
        QCOMPARE(wide.GetGridSize(), QSize(10000, 2));
    }

    void compoundArguments_data()
    {
        QTest::addColumn<TessaraSettings>("settings");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("arguments"); // joined by '|'

        TessaraSettings s = RowsOnly({{"/a.png", "None"}, {}, {"None", "KeepEmpty"}});
        QTest::newRow("rows, empty row skipped")
            << s << QString("/o.png") << "-row|/a.png|None|-row|None|KeepEmpty|-out|/o.png";

        s = Settings(TessaraSettings::FlagTray | TessaraSettings::FlagOverlap, 12, {});
        s.tray = {"tray.png"};
        QTest::newRow("overlap, tray never passed") << s << QString("o.png") << "-row|a.png|-out|o.png|-overlap|12";
        s.flags |= TessaraSettings::FlagRegion;
        s.regionWidth = 40, s.regionHeight = 30;
        QTest::newRow("region wins over overlap") << s << QString("o.png") << "-row|a.png|-out|o.png|-regionsize|40|30";
        s = Settings(TessaraSettings::FlagBackground | TessaraSettings::FlagTransparency
                         | TessaraSettings::FlagStackImages | TessaraSettings::FlagAutoOrient,
                     0, {});
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
        QTEST(TessaraInterface::GetCompoundArguments(&settings, output).join('|'), "arguments");
    }

    void compoundWithoutTesscliBeside()
    {
        if (!TestUtils::InIsolatedCopy())
            return;
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

    // A copy of this program combines as the editor does and is killed with SIGKILL while tesscli
    // writes; tesscli must end at once, leaving neither the output nor its temporary file.
    void combineEndsWithAKilledEditor()
    {
        const QByteArray folder = qgetenv(kDoomedEditorVariable);
        if (!folder.isEmpty()) {
            const QDir dir(QString::fromLocal8Bit(folder));
            const TessaraSettings s = RowsOnly(QList<QStringList>(40, QStringList(40, dir.filePath("tile.png"))));
            TessaraInterface().CompoundImage(&s, dir.filePath("out.png")); // ended by the kill
            QFAIL("the combine was not interrupted");
        }
        TestUtils::Sandbox sandbox;
        QImage tile(200, 200, QImage::Format_RGB32);
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                tile.setPixel(x, y, qRgb(x * 7 ^ y * 13, x * y, x + y)); // noise, so that deflate has work
        QVERIFY(tile.save(sandbox.File("tile.png")));

        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kDoomedEditorVariable, sandbox.Path());
        editor.setProcessEnvironment(environment);
        editor.start(QCoreApplication::applicationFilePath(), {"combineEndsWithAKilledEditor"});
        QVERIFY(editor.waitForStarted());

        // Frozen once its temporary file exists, so that the kill surely lands while it writes.
        pid_t nTesscli = 0;
        const auto temporaryFiles = [&] {
            return QDir(sandbox.Path()).entryList({".out.png-*"}, QDir::Files | QDir::Hidden);
        };
        QTRY_VERIFY_WITH_TIMEOUT((nTesscli = ChildOf(editor.processId())) != 0 && !temporaryFiles().isEmpty()
                                     && kill(nTesscli, SIGSTOP) == 0,
                                 30000);
        QVERIFY(kill(static_cast<pid_t>(editor.processId()), SIGKILL) == 0);
        QVERIFY(editor.waitForFinished());
        kill(nTesscli, SIGCONT);
        // Neither running nor stopped; a zombie nobody reaps counts as ended.
        QTRY_VERIFY_WITH_TIMEOUT(StateAndParent(QString::number(nTesscli)).value(0, "Z") == "Z", 5000);
        QCOMPARE(temporaryFiles(), QStringList());
        QVERIFY(!QFileInfo::exists(sandbox.File("out.png")));
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
        Core::TessaraProcess process;
        if (cancelAtOutput)
            connect(&process, &Core::TessaraProcess::Sig_Output, &process, &Core::TessaraProcess::Cancel);
        process.Run("/bin/sh", {"-c", script});
        QTEST(process.GetResultCode(), "code");
        QTEST(process.GetOutputText(), "output");
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

    // Two editors loaded the same file, whose recent projects have gaps and empty slots that are
    // closed; each keeps what it changed, recent projects are joined, newest first, a project opened
    // again moves to the front, and names differing only in case are two projects.
    void twoEditorsMergeTheirOptions()
    {
        const QString strFile = m_sandbox.WriteText(
            "two.cfg", "<Options><RecentFiles><File0>/p/a</File0><File1/><File2>/p/b</File2><File3></File3>"
                       "<File9>beyond eight</File9></RecentFiles><Kept>file</Kept><Position>0</Position><Both>0</Both>"
                       "</Options>");
        Core::TessaraOptions first, second;
        QVERIFY(first.LoadOptions(strFile) && second.LoadOptions(strFile));
        QCOMPARE(first.GetRecentProjects(), (QStringList{"/p/a", "/p/b"}));
        first.AddRecentProject("/p/x");
        first.AddRecentProject("/p/b");
        first.SetOption("Position", 10);
        first.SetOption("Both", "first");
        first.SetOption("OnlyFirst", "1");
        second.AddRecentProject("/p/A");
        QCOMPARE(second.GetRecentProjects(), (QStringList{"/p/A", "/p/a", "/p/b"}));
        second.SetOption("Both", "second");
        second.SetOption("OnlySecond", "2");
        QVERIFY(first.MergeAndSaveOptions(strFile));
        QVERIFY(second.MergeAndSaveOptions(strFile));

        Core::TessaraOptions loaded;
        QVERIFY(loaded.LoadOptions(strFile));
        QCOMPARE(loaded.GetRecentProjects(), (QStringList{"/p/A", "/p/b", "/p/x", "/p/a"}));
        QCOMPARE(loaded.GetOption("Position").toString(), QString("10"));
        QCOMPARE(loaded.GetOption("Both").toString(), QString("second"));
        QCOMPARE(loaded.GetOption("Kept").toString(), QString("file"));
        QCOMPARE(loaded.GetOption("OnlyFirst").toString() + loaded.GetOption("OnlySecond").toString(), QString("12"));

        // Twelve projects between them: the oldest fall off, as in one editor; all eight names survive
        // a restart, whatever they hold.
        for (int i = 0; i < 8; ++i)
            first.AddRecentProject(QString::fromUtf8("/q/Grüße & <alt> %1.tsp").arg(i));
        QCOMPARE(first.GetRecentProjects().size(), Core::TessaraOptions::MaxRecentProjects);
        QVERIFY(first.GetRecentProjects().first().endsWith(" 7.tsp"));
        QVERIFY(first.MergeAndSaveOptions(strFile));
        QVERIFY(loaded.LoadOptions(strFile));
        QCOMPARE(loaded.GetRecentProjects().size(), Core::TessaraOptions::MaxRecentProjects);
        QCOMPARE(loaded.GetRecentProjects(), first.GetRecentProjects());
    }

    // The second editor's window comes one title bar lower and further right; a marker freed by an
    // editor that ended is taken again.
    void secondEditorWindowIsOffset()
    {
        TestUtils::Sandbox sandbox;
        auto first = std::make_unique<Core::TessaraOptions>();
        Core::TessaraOptions second;
        QCOMPARE(first->ClaimInstanceSlot(sandbox.Path()), 0);
        QCOMPARE(second.ClaimInstanceSlot(sandbox.Path()), 1);
        QWidget firstWindow, secondWindow;
        for (Core::TessaraOptions* pOptions : {first.get(), &second}) {
            pOptions->SetOption_Point("Windows.W.Position", QPoint(100, 100));
            pOptions->SetOption_Size("Windows.W.Size", QSize(300, 200));
        }
        first->LoadWindowState(&firstWindow, "W", first->GetInstanceSlot());
        second.LoadWindowState(&secondWindow, "W", second.GetInstanceSlot());
        const int nStep = secondWindow.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &secondWindow);
        QVERIFY(nStep > 0);
        QCOMPARE(firstWindow.pos(), QPoint(100, 100));
        QCOMPARE(secondWindow.pos(), QPoint(100 + nStep, 100 + nStep));

        first.reset();
        QCOMPARE(Core::TessaraOptions().ClaimInstanceSlot(sandbox.Path()), 0);
    }

    // A stored window state from another screen, or a damaged one, must not put the window where
    // the user cannot reach it.
    void storedWindowStateIsFittedToTheScreen()
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        for (const auto& [position, size] : {std::pair{QPoint(INT_MAX, INT_MAX), QSize(INT_MAX, INT_MAX)},
                                             {QPoint(-100000, -100000), QSize(200, 150)},
                                             {QPoint(5000, 10), QSize(300, 200)}}) {
            Misc::OptionSet options;
            options.SetOption_Point("Windows.W.Position", position);
            options.SetOption_Size("Windows.W.Size", size);
            QWidget window;
            options.LoadWindowState(&window, "W");
            QCOMPARE(available.united(window.geometry()), available);
            // Room is left for the title bar the window manager adds.
            const int nTitleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
            QCOMPARE(window.size(), size.boundedTo(available.size() - QSize(0, nTitleBar)));
        }
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
            QVERIFY(Misc::WriteFileSafely(strProject, "old project"));
            QVERIFY(Misc::WriteFileSafely(strOptions, "old options"));
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

TESSARA_TEST(TestTessaraProject)
#include "test_tessaraproject.moc"
