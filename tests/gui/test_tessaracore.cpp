#include "testmain.h"
#include "testutils.h"
#include "testutils_modal.h"

#include "misc/AppDirectories.h"
#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "core/TessaraOptions.h"
#include "misc/FileUtils.h"

#include <QtTest>

#include <stdexcept>

using Core::TessaraCore;
using Misc::AppDirectories;
using Misc::g_guardCallStack;
using Misc::Guard_FatalErrorText;
using Misc::Guard_Run;
using Misc::Guard_WriteErrorLog;

class TestTessaraCore : public QObject
{
    Q_OBJECT

private slots:
    void resolvesAgainstTheProgramDirectory()
    {
        const QDir appDir(QCoreApplication::applicationDirPath());
        QCOMPARE(AppDirectories::ResolveFilename("Tessara.pdf"), appDir.filePath("Tessara.pdf"));
        QCOMPARE(AppDirectories::ResolveFilename("Tessara.cfg", "Config"), appDir.filePath("Config/Tessara.cfg"));
        QCOMPARE(AppDirectories::ResolveFilename("/abs/x.png"), QString("/abs/x.png"));
        QCOMPARE(QFileInfo(AppDirectories::ResolveFilename("tesscli")).canonicalFilePath(),
                 QFileInfo(QStringLiteral(TESSCLI_EXE)).canonicalFilePath());
    }

    void projectArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("project");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("relative, made absolute") << QStringList{"sub/a.tsp"} << QDir::current().filePath("sub/a.tsp");
        QTest::newRow("absolute, later ones ignored") << QStringList{"/p/b.tsp", "/p/c.tsp"} << QString("/p/b.tsp");
        QTest::newRow("a switch is no project") << QStringList{"-style", "fusion"} << QString();
    }
    void projectArgument()
    {
        QFETCH(QStringList, arguments);
        QTEST(TessaraCore::GetProjectArgument(arguments), "project");
    }

    // An install is recognised by its data folder, so a writable prefix still uses the XDG folders.
    void filesStayBesideOnlyOutsideAnInstall()
    {
        TestUtils::Sandbox sandbox;
        QVERIFY(QDir().mkpath(sandbox.File("copy")));
        QVERIFY(QDir().mkpath(sandbox.File("usr/bin")) && QDir().mkpath(sandbox.File("usr/share/tessara")));
        QVERIFY(AppDirectories::KeepsFilesBeside(sandbox.File("copy")));
        QVERIFY(!AppDirectories::KeepsFilesBeside(sandbox.File("usr/bin")));
        QVERIFY(!AppDirectories::KeepsFilesBeside(sandbox.File("missing")));
    }

    void lifeCycleInItsOwnFolder()
    {
        if (!TestUtils::InIsolatedCopy())
            return;
        TessaraCore* pCore = TessaraCore::s_instance;
        const QString strConfig = Core::TessaraOptions::GetConfigFile();
        QString strLoadBox, strSaveBox;

        // First start: no configuration, no warning; the folders appear and the options are saved.
        QVERIFY(!QFileInfo::exists(AppDirectories::ResolveFilename("Config")));
        QVERIFY(pCore->InitializeCore());
        QVERIFY(pCore->GetMainWindow());
        QVERIFY(QFileInfo(AppDirectories::ResolveFilename("Temp")).isDir());
        pCore->GetOptions()->AddRecentProject("/p/first.tsp");
        pCore->ShutdownCore();
        QVERIFY(!pCore->GetMainWindow());
        Core::TessaraOptions saved;
        QVERIFY(saved.LoadOptions(strConfig));
        QCOMPARE(saved.GetRecentProjects(), QStringList{"/p/first.tsp"});

        // A damaged configuration is reported and the start goes on.
        QVERIFY(Misc::WriteFileSafely(strConfig, "<Options><RecentFiles>"));
        TestUtils::ModalAnswers answers({TestUtils::NoteText(strLoadBox), TestUtils::NoteText(strSaveBox)});
        QVERIFY(pCore->InitializeCore());
        QCOMPARE(strLoadBox, QString("An error occurred while loading the Tessara configuration."));
        QCOMPARE(strSaveBox, QString());

        // A configuration that cannot be written is reported at shutdown.
        QVERIFY(QFile::remove(strConfig) && QDir().mkdir(strConfig));
        pCore->ShutdownCore();
        QCOMPARE(strSaveBox, QString("An error occurred while saving the Tessara configuration."));
        QVERIFY(!pCore->GetMainWindow());
    }

    // The exception travels on unchanged; the call chain, innermost first, goes escaped into the
    // box and into log entries that are appended, never overwritten.
    void failureIsRecordedAndPassedOn()
    {
        g_guardCallStack.clear();
        try {
            Guard_Run("Probe::Outer", [] { Guard_Run("Probe::Inner", [] { throw std::runtime_error("boom"); }); });
            QFAIL("the exception must travel outward");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString(error.what()), QString("boom"));
        }
        QCOMPARE(g_guardCallStack, (QStringList{"Probe::Inner", "Probe::Outer"}));
        QVERIFY2(Guard_FatalErrorText().contains("Probe::Inner&lt;-Probe::Outer"), qPrintable(Guard_FatalErrorText()));

        TestUtils::Sandbox sandbox;
        QVERIFY(Guard_WriteErrorLog(sandbox.File("error.log")) && Guard_WriteErrorLog(sandbox.File("error.log")));
        const QString strText = QString::fromUtf8(sandbox.ReadText("error.log"));
        const QRegularExpression entries("^(< 2\\.0\\.0\\.100: \\d\\d:\\d\\d:\\d\\d >\nA function resulted in a fatal "
                                         "error\\. Call stack:\nProbe::Inner<-Probe::Outer\n\n){2}$");
        QVERIFY2(entries.match(strText).hasMatch(), qPrintable(strText));
    }
};

TESSARA_TEST(TestTessaraCore)

#include "test_tessaracore.moc"
