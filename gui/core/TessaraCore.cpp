#include "core/TessaraCore.h"

#include "core/AppDirectories.h"
#include "core/Guard.h"
#include "misc/VersionUtils.h"
#include "ui/TessaraWnd.h"
#include "ui/UIUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMainWindow>

// Resources live in a static library, so they must be registered explicitly.
static void InitTessaraResources()
{
    Q_INIT_RESOURCE(TessaraUI);
}

namespace Core {

TessaraCore* TessaraCore::s_instance = nullptr;

namespace {
// QApplication keeps a reference to the argument count for its whole life.
int s_nArgc = 0;
} // namespace

TessaraCore::TessaraCore(int& nArgc, char** ppArgv) : QApplication(nArgc, ppArgv)
{
    InitTessaraResources();
    setApplicationName(QStringLiteral("Tessara"));
    setApplicationVersion(VersionUtils::GetVersionString(true));
    setOrganizationName(QStringLiteral("Tessara Imaging"));
    setOrganizationDomain(QStringLiteral("tessara-imaging.org"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Icons/TessaraIcon.png")));
}

TessaraCore::~TessaraCore()
{
    delete m_pMainWindow;
}

bool TessaraCore::CreateCore(int nArgc, char** ppArgv)
{
    return GUARD_RUN([&] {
        DestroyCore();
        s_nArgc = nArgc;
        s_instance = new TessaraCore(s_nArgc, ppArgv);
        return s_instance != nullptr;
    });
}

void TessaraCore::DestroyCore()
{
    GUARD_RUN([&] {
        delete s_instance;
        s_instance = nullptr;
    });
}

bool TessaraCore::InitializeCore()
{
    return GUARD_RUN([&] {
        CreateDirectories();
        m_options.InitOptionSet();
        const QString strConfig = TessaraOptions::GetConfigFile();
        if (QFileInfo::exists(strConfig) && !m_options.LoadOptions(strConfig))
            UIUtils::MessageBox(UIUtils::MsgWarning, tr("An error occurred while loading the Tessara configuration."),
                                QMessageBox::Ok);
        LoadGlobalStyleSheet();
        m_pMainWindow = CreateMainWindow();
        return m_pMainWindow != nullptr;
    });
}

void TessaraCore::OpenProjectArgument(int nArgc, char** ppArgv)
{
    GUARD_RUN([&] {
        QStringList astrArguments;
        for (int nArg = 1; nArg < nArgc; ++nArg)
            astrArguments << QFile::decodeName(ppArgv[nArg]);
        const QString strProject = GetProjectArgument(astrArguments);
        // Queued, so the window is shown first and reports a failed load like any other.
        if (!strProject.isEmpty())
            QMetaObject::invokeMethod(m_pMainWindow, "OnOpenProject", Qt::QueuedConnection, Q_ARG(QString, strProject));
    });
}

QString TessaraCore::GetProjectArgument(const QStringList& astrArguments)
{
    if (astrArguments.isEmpty() || astrArguments.first().startsWith(QLatin1Char('-')))
        return QString();
    return QFileInfo(astrArguments.first()).absoluteFilePath();
}

int TessaraCore::RunCore()
{
    return GUARD_RUN([&] {
        m_pMainWindow->show();
        return exec();
    });
}

void TessaraCore::ShutdownCore()
{
    GUARD_RUN([&] {
        if (!m_options.SaveOptions(TessaraOptions::GetConfigFile()))
            UIUtils::MessageBox(UIUtils::MsgWarning, tr("An error occurred while saving the Tessara configuration."),
                                QMessageBox::Ok);
        delete m_pMainWindow;
        m_pMainWindow = nullptr;
    });
}

QString TessaraCore::ResolveFilename(const QString& strFileName)
{
    return QFileInfo(QDir(QCoreApplication::applicationDirPath()), strFileName).filePath();
}

QString TessaraCore::ResolveFilename(const QString& strFileName, const QString& strSubDirectory)
{
    return ResolveFilename(QDir(strSubDirectory).filePath(strFileName));
}

void TessaraCore::CreateDirectories()
{
    GUARD_RUN([&] {
        // Failures surface later, when a file inside cannot be written.
        QDir().mkpath(AppDirectories::GetConfigDir());
        QDir().mkpath(AppDirectories::GetTempDir());
    });
}

void TessaraCore::LoadGlobalStyleSheet()
{
    GUARD_RUN([&] {
        QFile file(QStringLiteral(":/res/StyleSheets/Global.css"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return;
        setStyleSheet(UIUtils::TranslateStyleSheet(QString::fromUtf8(file.readAll())));
    });
}

void TessaraCore::ReportError(const QString& strMessage, bool bToStatusBar)
{
    GUARD_RUN([&] {
        if (auto* pWindow = qobject_cast<UI::TessaraWnd*>(m_pMainWindow))
            pWindow->ReportError(strMessage, bToStatusBar);
    });
}

QMainWindow* TessaraCore::CreateMainWindow()
{
    return GUARD_RUN([&] { return new UI::TessaraWnd(&m_cellEngine); });
}

} // namespace Core
