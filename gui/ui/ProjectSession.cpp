#include "ui/ProjectSession.h"

#include "core/TessaraCore.h"
#include "core/TessaraProject.h"
#include "core/TessaraSettings.h"
#include "misc/Guard.h"
#include "misc/UIUtils.h"
#include "misc/VersionUtils.h"
#include "model/ImageCellEngine.h"
#include "ui/BusyWindow.h"
#include "ui/EditHistory.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>

#include <utility>

namespace UI {

ProjectSession::ProjectSession(QMainWindow* pWindow, ProjectHost& host, EditHistory* pHistory,
                               Model::ImageCellEngine* pCellEngine, QMenu* pRecentMenu, QAction* pNoRecentProjects)
    : QObject(pWindow), m_window(pWindow), m_host(host), m_history(pHistory), m_cellEngine(pCellEngine),
      m_recentMenu(pRecentMenu), m_noRecentProjects(pNoRecentProjects)
{
    connect(m_history, &EditHistory::Sig_ModifiedChanged, this, &ProjectSession::UpdateTitle);
}

void ProjectSession::NewProject()
{
    GUARD_RUN([&] {
        if (!MaybeSaveChanges())
            return;
        m_host.ShowNewProject();
        SetProjectFile(QString(), true);
    });
}

void ProjectSession::OpenProject()
{
    GUARD_RUN([&] {
        if (!MaybeSaveChanges())
            return;
        const QString strFile = Misc::GetOpenFileName(m_window, tr("Select the project to load"),
                                                      tr("Tessara projects (*.tsp);;All files (*.*)"));
        if (!strFile.isEmpty())
            OpenProjectFile(strFile);
    });
}

void ProjectSession::OpenProjectFile(const QString& strProject)
{
    GUARD_RUN([&] {
        m_host.SetStatus(tr("Loading project '%1'...").arg(strProject), false);
        QString strError;
        if (LoadProjectFrom(strProject, strError))
            m_host.SetStatus(tr("Project '%1' loaded").arg(strProject), true);
        else
            m_host.ReportError(tr("An error occurred while loading the project:\n\n%1").arg(strError), true);
    });
}

bool ProjectSession::LoadProjectFrom(const QString& strFile, QString& strError)
{
    return GUARD_RUN([&] {
        BusyWindow busy(m_window);
        Core::TessaraProject project;
        if (!project.LoadProject(strFile)) {
            strError = project.GetLastError();
            return false;
        }
        // The rest of the project is taken over even when some images could not be read, so
        // the grid shows what was loaded and the settings are not lost.
        const bool bLoaded = m_host.ShowProject(project, strError);
        // Only a complete load stands for the file: a partial one must be saved anew, not listed as recent.
        SetProjectFile(bLoaded ? strFile : QString(), bLoaded);
        if (bLoaded)
            AddRecentProject(strFile);
        return bLoaded;
    });
}

bool ProjectSession::SaveProject()
{
    return m_projectFile.isEmpty() ? SaveProjectAs() : SaveWithStatus(m_projectFile);
}

bool ProjectSession::SaveProjectAs()
{
    return GUARD_RUN([&] {
        const QString strFile = Misc::GetSaveFileName(m_window, tr("Save the project"), tr("Tessara projects (*.tsp)"));
        return !strFile.isEmpty() && SaveWithStatus(strFile);
    });
}

bool ProjectSession::SaveWithStatus(const QString& strFile)
{
    return GUARD_RUN([&] {
        m_host.SetStatus(tr("Saving project to '%1'...").arg(strFile), false);
        QString strError;
        if (!SaveProjectTo(strFile, strError)) {
            m_host.ReportError(tr("An error occurred while saving the project:\n\n%1").arg(strError), true);
            return false;
        }
        // Saving is frequent: the status bar says it, a box to dismiss every time would be in the way.
        m_host.SetStatus(tr("Project saved to '%1'").arg(strFile), true);
        return true;
    });
}

bool ProjectSession::SaveProjectTo(const QString& strFile, QString& strError)
{
    return GUARD_RUN([&] {
        Core::TessaraProject project;
        m_host.FillTessaraSettings(&project.GetSettings());
        if (!project.GetSettings().VerifySettings(strError) || strFile.isEmpty())
            return false;
        BusyWindow busy(m_window);
        if (!project.SaveProject(strFile)) {
            strError = project.GetLastError();
            return false;
        }
        m_history->MarkSaved();
        m_projectFile = strFile;
        UpdateTitle();
        AddRecentProject(strFile);
        return true;
    });
}

bool ProjectSession::MaybeSaveChanges()
{
    return GUARD_RUN([&] {
        if (!m_history->IsModified())
            return true;
        const QMessageBox::StandardButton answer =
            Misc::MessageBox(Misc::MsgQuestion, tr("Save changes to %1?").arg(GetDisplayName()),
                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Discard)
            return true;
        return answer == QMessageBox::Save && SaveProject();
    });
}

void ProjectSession::CreateOpenRecentActions()
{
    GUARD_RUN([&] {
        // Later, not now: the action that started this (a recent project being opened) may still be emitting.
        for (QAction* pAction : std::exchange(m_openRecentActions, {})) {
            m_recentMenu->removeAction(pAction);
            pAction->deleteLater();
        }
        // Projects that no longer exist are hidden but stay stored: the drive may come back.
        for (const QString& strProject : Core::TessaraCore::s_instance->GetOptions()->GetRecentProjects()) {
            if (!QFileInfo::exists(strProject))
                continue;
            QAction* pAction = new QAction(strProject, m_window);
            pAction->setData(strProject);
            pAction->setShortcut(QKeySequence(tr("Ctrl+") + QString::number(m_openRecentActions.size() + 1)));
            // The name is taken before asking: saving rebuilds the recent-project actions.
            connect(pAction, &QAction::triggered, this, [this, strProject] {
                if (MaybeSaveChanges())
                    OpenProjectFile(strProject);
            });
            m_recentMenu->addAction(pAction);
            m_openRecentActions.append(pAction);
        }
        m_noRecentProjects->setVisible(m_openRecentActions.isEmpty());
    });
}

void ProjectSession::UpdateTitle()
{
    m_window->setWindowTitle(QStringLiteral("%1%2 - %3 V%4")
                                 .arg(GetDisplayName(), m_history->IsModified() ? QStringLiteral("*") : QString(),
                                      QStringLiteral("Tessara"), Misc::GetVersionString(false)));
}

void ProjectSession::SetProjectFile(const QString& strFile, bool bSaved)
{
    // Cells kept for undoing removals are no longer reachable once the history is gone.
    m_history->Reset(bSaved);
    m_cellEngine->DestroyRemovedCells();
    m_projectFile = strFile;
    UpdateTitle();
}

void ProjectSession::AddRecentProject(const QString& strFile)
{
    Core::TessaraCore::s_instance->GetOptions()->AddRecentProject(strFile);
    CreateOpenRecentActions();
}

QString ProjectSession::GetDisplayName() const
{
    return m_projectFile.isEmpty() ? tr("Untitled") : QFileInfo(m_projectFile).fileName();
}

} // namespace UI
