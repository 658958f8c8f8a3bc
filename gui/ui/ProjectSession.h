#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace Core {
class TessaraProject;
class TessaraSettings;
} // namespace Core
namespace Model {
class ImageCellEngine;
}

namespace UI {
class EditHistory;

// The window a project session works for: it puts its content into a project and shows a project's.
class ProjectHost
{
public:
    virtual ~ProjectHost() = default;

    virtual void FillTessaraSettings(Core::TessaraSettings* pSettings) const = 0;
    // Puts the project's cells and settings in place as one edit; false when some image could not be read.
    virtual bool ShowProject(const Core::TessaraProject& project, QString& strError) = 0;
    // The empty 3 x 3 grid and default settings and zoom of a new project.
    virtual void ShowNewProject() = 0;
    virtual void SetStatus(const QString& strText, bool bTemporary) = 0;
    virtual void ReportError(const QString& strMessage, bool bToStatusBar) = 0;
};

// The project file behind the main window: new, open and save, the recent-projects menu, the
// question before unsaved changes are replaced, and the title naming the file with its "*".
class ProjectSession : public QObject
{
    Q_OBJECT

public:
    ProjectSession(QMainWindow* pWindow, ProjectHost& host, EditHistory* pHistory, Model::ImageCellEngine* pCellEngine,
                   QMenu* pRecentMenu, QAction* pNoRecentProjects);

    void NewProject();
    // Asks for a project file and loads it.
    void OpenProject();
    // Loads strProject, reporting success in the status bar and failure in a box.
    void OpenProjectFile(const QString& strProject);
    // Saves to the project's own file, asking for one only while untitled; false when cancelled or failed.
    bool SaveProject();
    // Asks for a file name and saves there; false when cancelled or failed.
    bool SaveProjectAs();

    bool LoadProjectFrom(const QString& strFile, QString& strError);
    bool SaveProjectTo(const QString& strFile, QString& strError);

    // Before the window's content is replaced: true to go on (saved or discarded), false to stop.
    bool MaybeSaveChanges();
    void CreateOpenRecentActions();
    void UpdateTitle();

private:
    // Saves to strFile, reporting success in the status bar and failure in a box.
    bool SaveWithStatus(const QString& strFile);
    // The window now stands for strFile (empty: untitled); its content counts as saved when bSaved.
    void SetProjectFile(const QString& strFile, bool bSaved);
    void AddRecentProject(const QString& strFile);
    QString GetDisplayName() const;

    QMainWindow* m_window;
    ProjectHost& m_host;
    EditHistory* m_history;
    Model::ImageCellEngine* m_cellEngine;
    QMenu* m_recentMenu;
    QAction* m_noRecentProjects;
    QList<QAction*> m_openRecentActions;
    QString m_projectFile;
};

} // namespace UI
