#include "testutils.h"
#include "testutils_modal.h"

#include "core/TessaraCore.h"
#include "core/TessaraOptions.h"
#include "misc/ImgUtils.h"
#include "misc/VersionUtils.h"
#include "misc/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QImage>
#include <QtTest>

using Core::TessaraCore;

namespace
{
// Answers the next message box with OK and keeps its text.
TestUtils::ModalAnswers::Handler NoteBoxText(QStringList& astrTexts)
{
    return TestUtils::Inspect([&astrTexts](QWidget* pBox) { astrTexts << qobject_cast<QMessageBox*>(pBox)->text(); },
                              TestUtils::PressButton("OK"));
}
}  // namespace

class TestTessaraCore : public QObject
{
    Q_OBJECT

private slots:
    void identity()
    {
        QCOMPARE(TessaraCore::s_instance, qobject_cast<TessaraCore*>(QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::applicationName(), QString("Tessara"));
        QCOMPARE(QCoreApplication::applicationVersion(), QString("2.0.0.100"));
        QCOMPARE(VersionUtils::GetVersionString(false), QString("2.0.0"));
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void resolvesAgainstTheProgramDirectory()
    {
        const QDir appDir(QCoreApplication::applicationDirPath());
        QCOMPARE(TessaraCore::ResolveFilename("Tessara.pdf"), appDir.filePath("Tessara.pdf"));
        QCOMPARE(TessaraCore::ResolveFilename("Tessara.cfg", "Config"), appDir.filePath("Config/Tessara.cfg"));
        QCOMPARE(TessaraCore::ResolveFilename("/abs/x.png"), QString("/abs/x.png"));
        QCOMPARE(QFileInfo(TessaraCore::ResolveFilename("tesscli")).canonicalFilePath(),
                 QFileInfo(TestUtils::TesscliPath()).canonicalFilePath());
    }

    void styleSheetHasItsPlaceholdersReplaced()
    {
        TessaraCore::s_instance->LoadGlobalStyleSheet();
        const QString strSheet = TessaraCore::s_instance->styleSheet();
        QVERIFY(strSheet.contains("QStatusBar"));
        QVERIFY2(!strSheet.contains('$') && !strSheet.contains("lightgray"), qPrintable(strSheet));
    }

    void everyNamedResourceLoads_data()
    {
        QTest::addColumn<QString>("resource");
        for (const char* pName :
             {"Icons/TessaraIcon.png", "Icons/Hourglass.png", "Elements/ToolbarHandle.png", "Elements/VelmontLogo.png",
              "Actions/AppExit.png", "Actions/AppAbout.png", "Actions/GridCreate.png", "Actions/GridClear.png",
              "Actions/GridZoom_Bigger.png", "Actions/GridZoom_Smaller.png", "Actions/GridCompound.png",
              "Actions/ProjectNew.png", "Actions/ProjectSave.png", "Actions/ProjectOpen.png",
              "Actions/ProjectRecent.png", "Actions/ImageAdd.png", "Actions/ImageRemoveAll.png",
              "Actions/GridFlipHorizontal.png", "Actions/GridFlipVertical.png", "Actions/GridCompactView.png",
              "Actions/Help.png", "Actions/WebLocation.png", "Actions/GridResize.png", "Actions/ImageOpen.png",
              "Actions/ImageReload.png", "Actions/GridSelectImage.png", "Actions/GridMoveToTray.png",
              "Actions/GridClearCell.png", "Actions/ImageRemove.png"})
            QTest::newRow(pName) << QString(":/res/") + pName;
    }
    void everyNamedResourceLoads()
    {
        QFETCH(QString, resource);
        QVERIFY(!QImage(resource).isNull());
    }

    void lifeCycleInItsOwnFolder()
    {
        if (!TestUtils::InIsolatedCopy())
        {
            const QString strFailure = TestUtils::RunIsolatedCopy("lifeCycleInItsOwnFolder");
            QVERIFY2(strFailure.isEmpty(), qPrintable(strFailure));
            return;
        }
        TessaraCore* pCore = TessaraCore::s_instance;
        const QString strConfig = Core::TessaraOptions::GetConfigFile();
        QStringList astrBoxes;

        // First start: no configuration, no warning; the folders appear and the options are saved.
        QVERIFY(!QFileInfo::exists(TessaraCore::ResolveFilename("Config")));
        QVERIFY(pCore->InitializeCore());
        QVERIFY(pCore->GetMainWindow());
        QVERIFY(QFileInfo(TessaraCore::ResolveFilename("Temp")).isDir());
        pCore->GetOptions()->AddRecentProject("/p/first.tsp");
        pCore->ShutdownCore();
        QVERIFY(!pCore->GetMainWindow());
        Core::TessaraOptions saved;
        QVERIFY(saved.LoadOptions(strConfig));
        QCOMPARE(saved.GetRecentProjects(), QStringList{"/p/first.tsp"});

        // A damaged configuration is reported and the start goes on.
        {
            QFile damaged(strConfig);
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("<Options><RecentFiles>");
        }
        TestUtils::ModalAnswers answers;
        answers.Then(NoteBoxText(astrBoxes)).Then(NoteBoxText(astrBoxes));
        QVERIFY(pCore->InitializeCore());
        QCOMPARE(astrBoxes, QStringList{"An error occurred while loading the Tessara configuration."});

        // A configuration that cannot be written is reported at shutdown.
        QVERIFY(QFile::remove(strConfig) && QDir().mkdir(strConfig));
        pCore->ShutdownCore();
        QCOMPARE(astrBoxes.value(1), QString("An error occurred while saving the Tessara configuration."));
        QVERIFY(!pCore->GetMainWindow());
        QVERIFY2(answers.Unexpected().isEmpty(), qPrintable(answers.Unexpected().join(", ")));
    }

    void waitCursorsNestAndRestore()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        {
            WaitCursor outer;
            {
                WaitCursor inner;
            }
            QVERIFY(QGuiApplication::overrideCursor());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void adjustedImageSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("landscape") << QSize(400, 300) << 100 << QSize(100, 75);
        QTest::newRow("portrait") << QSize(300, 400) << 100 << QSize(75, 100);
        QTest::newRow("fits already") << QSize(50, 60) << 100 << QSize(50, 60);
        QTest::newRow("sliver truncates to 0") << QSize(1000, 3) << 100 << QSize(100, 0);
        QTest::newRow("truncates, never rounds") << QSize(300, 200) << 100 << QSize(100, 66);
    }
    void adjustedImageSize()
    {
        QFETCH(QSize, size);
        QFETCH(int, maximum);
        QFETCH(QSize, expected);
        QCOMPARE(ImgUtils::GetAdjustedImageSize(size, maximum), expected);
    }
};

int main(int argc, char** argv)
{
    // The core is the application object, so it replaces the QApplication a test would create.
    if (!TessaraCore::CreateCore(1, argv))
        return 1;
    TestTessaraCore test;
    const int nResult = QTest::qExec(&test, argc, argv);
    TessaraCore::DestroyCore();
    return nResult;
}

#include "test_tessaracore.moc"
