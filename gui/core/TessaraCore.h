#pragma once

#include "core/TessaraOptions.h"
#include "engine/ImageCellEngine.h"

#include <QApplication>
#include <QString>
#include <QStringList>

class QMainWindow;

namespace Core {

// The editor's application object: identity, directories beside the executable, options and the
// main window. Exactly one exists, reached through s_instance.
class TessaraCore : public QApplication
{
    Q_OBJECT

public:
    static TessaraCore* s_instance;

    static bool CreateCore(int nArgc, char** ppArgv);
    static void DestroyCore();

    bool InitializeCore();
    // Opens the project named first on the command line ("Tessara file.tsp", as the desktop starts
    // it) once the event loop runs; call after InitializeCore.
    void OpenProjectArgument(int nArgc, char** ppArgv);
    // The absolute path of the project among astrArguments (without the program name); empty when
    // there is none or the first argument is a switch.
    static QString GetProjectArgument(const QStringList& astrArguments);
    int RunCore();
    void ShutdownCore();

    // fileName relative to the editor's directory (an absolute name comes back unchanged).
    static QString ResolveFilename(const QString& strFileName);
    // fileName inside strSubDirectory of the editor's directory.
    static QString ResolveFilename(const QString& strFileName, const QString& strSubDirectory);

    static void CreateDirectories();
    void LoadGlobalStyleSheet();
    void ReportError(const QString& strMessage, bool bToStatusBar);

    TessaraOptions* GetOptions() { return &m_options; }
    Engine::ImageCellEngine* GetCellEngine() { return &m_cellEngine; }
    QMainWindow* GetMainWindow() const { return m_pMainWindow; }

private:
    TessaraCore(int& nArgc, char** ppArgv);
    ~TessaraCore() override;

    // The single place that decides which window the editor shows.
    QMainWindow* CreateMainWindow();

    // Members die before the application base, so the cells release their pixmaps while it still exists.
    TessaraOptions m_options;
    Engine::ImageCellEngine m_cellEngine;
    QMainWindow* m_pMainWindow = nullptr;
};

} // namespace Core
