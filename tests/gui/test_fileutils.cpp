#include "testmain.h"
#include "testutils.h"

#include "core/TessaraProject.h"
#include "misc/FileUtils.h"
#include "misc/OptionSet.h"
#include "misc/XmlUtils.h"

#include <QtTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

using TestUtils::Sandbox;
using XmlUtils::XmlReadResult;

namespace {
// A folder in which at most about 16 KB more can be written: a small tmpfs when this process may
// mount one, else the same limit on the size of any file this process writes (RLIMIT_FSIZE, whose
// signal is ignored so the write fails with EFBIG). Files written before construction stay intact.
class FullDisk
{
public:
    explicit FullDisk(const QString& strFolder) : m_strFolder(strFolder)
    {
        m_bMounted = mount("tmpfs", QFile::encodeName(strFolder).constData(), "tmpfs", 0, "size=16k") == 0;
        if (m_bMounted)
            return;
        getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        const rlimit limit{16 * 1024, m_oldLimit.rlim_max};
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        if (m_bMounted) {
            umount2(QFile::encodeName(m_strFolder).constData(), MNT_DETACH);
            return;
        }
        setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    QString m_strFolder;
    bool m_bMounted = false;
    rlimit m_oldLimit{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

QByteArray Nested(int nDepth)
{
    return QByteArray("<a>").repeated(nDepth) + QByteArray("</a>").repeated(nDepth);
}
} // namespace

class TestFileUtils : public QObject
{
    Q_OBJECT

    Sandbox m_sandbox;

private slots:
    // Both of the editor's files are far larger than what still fits; the save must fail and the
    // previous file must survive unchanged, with no temporary file left beside it.
    void savesOnAFullDiskFailAndKeepTheOldFile()
    {
        QVERIFY(QDir().mkdir(m_sandbox.File("disk")));
        const QString strProject = m_sandbox.File("disk/p.tsp");
        const QString strOptions = m_sandbox.File("disk/o.cfg");
        const QString strLongName = "/img/" + QString(200, QLatin1Char('x')) + ".png";

        Core::TessaraProject project;
        project.GetSettings().rows = {QStringList(200, strLongName)};
        project.GetSettings().flags = Core::TessaraSettings::FlagRows;
        Misc::OptionSet options;
        for (int i = 0; i < 200; ++i)
            options.SetOption(QString("Many.Option%1").arg(i), strLongName);
        {
            FullDisk fullDisk(m_sandbox.File("disk"));
            QVERIFY(FileUtils::WriteFileSafely(strProject, "old project"));
            QVERIFY(FileUtils::WriteFileSafely(strOptions, "old options"));
            QVERIFY(!project.SaveProject(strProject));
            QCOMPARE(project.GetLastError(), QString("Unable to write the project file"));
            QVERIFY(!options.SaveOptions(strOptions));
            QCOMPARE(m_sandbox.ReadText("disk/p.tsp"), QByteArray("old project"));
            QCOMPARE(m_sandbox.ReadText("disk/o.cfg"), QByteArray("old options"));
            QCOMPARE(QDir(m_sandbox.File("disk")).entryList(QDir::Files), (QStringList{"o.cfg", "p.tsp"}));
        }
        QVERIFY(options.SaveOptions(strOptions));
    }

    // The depth limit itself; what the project and options readers make of a refusal is tested with them.
    void xmlDepthLimit_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("bRead");
        QTest::newRow("64 levels") << Nested(64) << true;
        QTest::newRow("65 levels") << Nested(65) << false;
        QTest::newRow("10000 siblings at level 2") << "<a>" + QByteArray("<b/>").repeated(10000) + "</a>" << true;
    }
    void xmlDepthLimit()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, bRead);
        QDomDocument document;
        QCOMPARE(XmlUtils::ReadXmlFile(m_sandbox.WriteText("f.xml", content), document),
                 bRead ? XmlReadResult::Read : XmlReadResult::NotReadable);
        QCOMPARE(document.documentElement().tagName(), bRead ? QString("a") : QString());
    }
};

TESSARA_TEST(TestFileUtils)
#include "test_fileutils.moc"
