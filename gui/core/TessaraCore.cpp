#include "core/TessaraCore.h"

#include "core/ErrorReporter.h"
#include "core/TessaraInterface.h"
#include "misc/AppDirectories.h"
#include "misc/Guard.h"
#include "misc/UIUtils.h"
#include "misc/VersionUtils.h"
#include "model/ImageCell.h"

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

TessaraCore::TessaraCore(int& nArgc, char** ppArgv, MainWindowFactory fnCreateMainWindow)
    : QApplication(nArgc, ppArgv), m_createMainWindow(std::move(fnCreateMainWindow))
{
    InitTessaraResources();
    // Cells read the formats Qt lacks through tesscli.
    Model::ImageCell::SetConverter(&TessaraInterface::ConvertImage);
    setApplicationName(QStringLiteral("Tessara"));
    setApplicationVersion(Misc::GetVersionString(true));
    setOrganizationName(QStringLiteral("Tessara Imaging"));
    setOrganizationDomain(QStringLiteral("tessara-imaging.org"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Icons/TessaraIcon.png")));
}

TessaraCore::~TessaraCore()
{
    delete m_mainWindow;
}

bool TessaraCore::CreateCore(int nArgc, char** ppArgv, MainWindowFactory fnCreateMainWindow)
{
    return GUARD_RUN([&] {
        DestroyCore();
        s_nArgc = nArgc;
        s_instance = new TessaraCore(s_nArgc, ppArgv, std::move(fnCreateMainWindow));
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
        m_options.ClaimInstanceSlot(Misc::AppDirectories::GetConfigDir());
        const QString strConfig = TessaraOptions::GetConfigFile();
        if (QFileInfo::exists(strConfig) && !m_options.LoadOptions(strConfig))
            Misc::MessageBox(Misc::MsgWarning, tr("An error occurred while loading the Tessara configuration."),
                             QMessageBox::Ok);
        LoadGlobalStyleSheet();
        m_mainWindow = m_createMainWindow ? m_createMainWindow(&m_cellEngine) : nullptr;
        return m_mainWindow != nullptr;
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
            QMetaObject::invokeMethod(m_mainWindow, "OnOpenProject", Qt::QueuedConnection, Q_ARG(QString, strProject));
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
        m_mainWindow->show();
        return exec();
    });
}

void TessaraCore::ShutdownCore()
{
    GUARD_RUN([&] {
        if (!m_options.MergeAndSaveOptions(TessaraOptions::GetConfigFile()))
            Misc::MessageBox(Misc::MsgWarning, tr("An error occurred while saving the Tessara configuration."),
                             QMessageBox::Ok);
        delete m_mainWindow;
        m_mainWindow = nullptr;
    });
}

void TessaraCore::CreateDirectories()
{
    GUARD_RUN([&] {
        // Failures surface later, when a file inside cannot be written.
        QDir().mkpath(Misc::AppDirectories::GetConfigDir());
        QDir().mkpath(Misc::AppDirectories::GetTempDir());
    });
}

void TessaraCore::LoadGlobalStyleSheet()
{
    GUARD_RUN([&] {
        QFile file(QStringLiteral(":/res/StyleSheets/Global.css"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return;
        setStyleSheet(Misc::TranslateStyleSheet(QString::fromUtf8(file.readAll())));
    });
}

void TessaraCore::ReportError(const QString& strMessage, bool bToStatusBar)
{
    GUARD_RUN([&] {
        if (auto* pReporter = dynamic_cast<ErrorReporter*>(m_mainWindow))
            pReporter->ReportError(strMessage, bToStatusBar);
    });
}

} // namespace Core
