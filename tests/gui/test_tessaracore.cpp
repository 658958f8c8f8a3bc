#include "testmain.h"
#include "testutils.h"
#include "testutils_modal.h"

#include "misc/AppDirectories.h"
#include "misc/Guard.h"
#include "core/CombineProgress.h"
#include "core/TessaraCore.h"
#include "core/TessaraOptions.h"
#include "misc/FileUtils.h"

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

    // A recorded 8x8 composition into PNG (1000x1000 tiles, 90.9 s): the pings take half a second,
    // each row's stars come when the row two up has been written, the last two rows are written
    // after the last star. At a quarter, half and three quarters of the time the bar must be
    // within 15 points of the share.
    void combineProgressFollowsTheWrittenRows()
    {
        const QList<int> rowStartMs{1611, 3300, 14440, 26067, 36389, 46147, 56050, 67679};
        QList<QPair<qint64, QByteArray>> output{{390, "Tessara\n\n> -row a b\n\nPre-loading images...\n"}};
        for (int i = 0; i < 64; ++i) // a line in two pieces, as tesscli prints it
            output << QPair<qint64, QByteArray>(400 + i * 2, "    /t/" + QByteArray::number(i) + ".png... ")
                   << QPair<qint64, QByteArray>(401 + i * 2, "done\n");
        output.append({546, "\nCreating compound image...\n    Combining images... ["});
        for (int i = 0; i < 64; ++i) // a row's stars spread over a second and a half
            output.append({rowStartMs[i / 8] + (i % 8) * 200, "*"});
        output.append({78711, "] done\n    Saving to /t/out.png... "});
        output.append({90731, "done\n\nOperation finished in 01:30 minutes\n"});

        Core::CombineProgress progress(QList<int>(8, 8));
        QStringList seen;
        auto note = [&](qint64 nMs) {
            seen << QString("%1s:%2/r%3/%4/%5s")
                        .arg(nMs / 1000)
                        .arg(int(progress.GetPhase()))
                        .arg(progress.GetRow())
                        .arg(progress.GetValue())
                        .arg(progress.GetSecondsLeft());
        };
        int nNextQuarter = 1;
        for (const auto& [nMs, text] : output) {
            for (; nNextQuarter <= 3 && nNextQuarter * 90888 / 4 < nMs; ++nNextQuarter) {
                const qint64 nQuarterMs = nNextQuarter * 90888 / 4;
                progress.Advance(nQuarterMs);
                QVERIFY2(qAbs(progress.GetValue() - nNextQuarter * 250) <= 150,
                         qPrintable(QString::number(progress.GetValue())));
                note(nQuarterMs);
            }
            progress.Feed(text, nMs);
            if (nMs == 527 || nMs == 546 || nMs == 3300 || nMs == 14440 || nMs >= 78711)
                note(nMs);
        }
        // The row whose cells come next, the bar in tenths of a percent, the estimate.
        QCOMPARE(seen, QStringList({"0s:0/r0/20/-1s", "0s:1/r1/20/-1s", "3s:1/r2/89/-1s", "14s:1/r3/143/97s",
                                    "22s:1/r4/216/89s", "45s:1/r6/480/51s", "68s:1/r8/760/22s", "78s:2/r8/878/11s",
                                    "90s:2/r8/1000/0s"}));
    }
};

TESSARA_TEST(TestTessaraCore)

#include "test_tessaracore.moc"
