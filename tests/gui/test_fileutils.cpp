#include "testmain.h"
#include "testutils.h"

#include "core/TessaraProject.h"
#include "misc/FileUtils.h"
#include "misc/OptionSet.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

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

class TestFileUtils : public QObject
{
    Q_OBJECT

private slots:
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

TESSARA_TEST(TestFileUtils)
#include "test_fileutils.moc"
