#include "core/TessaraOptions.h"

#include "misc/AppDirectories.h"
#include "misc/Guard.h"

#include <QDir>

namespace Core {

namespace {
QString RecentFileOption(int nIndex)
{
    return QStringLiteral("RecentFiles.File%1").arg(nIndex);
}
} // namespace

QString TessaraOptions::GetConfigFile()
{
    return QDir(Misc::AppDirectories::GetConfigDir()).filePath(QStringLiteral("Tessara.cfg"));
}

void TessaraOptions::AddRecentProject(const QString& strPath)
{
    GUARD_RUN([&] {
        m_recentProjects.removeAll(strPath);
        m_recentProjects.prepend(strPath);
        while (m_recentProjects.size() > MaxRecentProjects)
            m_recentProjects.removeLast();
    });
}

void TessaraOptions::LoadRecentProjects()
{
    GUARD_RUN([&] {
        m_recentProjects.clear();
        for (int i = 0; i < MaxRecentProjects; ++i) {
            const QString strPath = GetOption(RecentFileOption(i), QString()).toString();
            if (!strPath.isEmpty())
                m_recentProjects.append(strPath);
        }
    });
}

void TessaraOptions::SaveRecentProjects()
{
    GUARD_RUN([&] {
        for (int i = 0; i < MaxRecentProjects; ++i)
            SetOption(RecentFileOption(i), m_recentProjects.value(i));
    });
}

void TessaraOptions::OnLoadOptions()
{
    LoadRecentProjects();
}

void TessaraOptions::OnSaveOptions()
{
    SaveRecentProjects();
}

} // namespace Core
