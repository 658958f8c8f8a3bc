#pragma once

#include "core/TessaraOptions.h"
#include "model/ImageCellEngine.h"

#include <QApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QMainWindow;

namespace Core {

// The editor's application object: identity, directories beside the executable, options and the
// main window. Exactly one exists, reached through s_instance.
class TessaraCore : public QApplication
{
    Q_OBJECT

public:
    static TessaraCore* s_instance;

    // Makes the editor's main window for the cell model; the window layer supplies it.
    using MainWindowFactory = std::function<QMainWindow*(Model::ImageCellEngine* pCellEngine)>;

    static bool CreateCore(int nArgc, char** ppArgv, MainWindowFactory fnCreateMainWindow);
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

    static void CreateDirectories();
    void LoadGlobalStyleSheet();
    // Passed to the main window when it is an ErrorReporter.
    void ReportError(const QString& strMessage, bool bToStatusBar);

    TessaraOptions* GetOptions() { return &m_options; }
    Model::ImageCellEngine* GetCellEngine() { return &m_cellEngine; }
    QMainWindow* GetMainWindow() const { return m_mainWindow; }

private:
    TessaraCore(int& nArgc, char** ppArgv, MainWindowFactory fnCreateMainWindow);
    ~TessaraCore() override;

    // Members die before the application base, so the cells release their pixmaps while it still exists.
    TessaraOptions m_options;
    Model::ImageCellEngine m_cellEngine;
    MainWindowFactory m_createMainWindow;
    QMainWindow* m_mainWindow = nullptr;
};

} // namespace Core
