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
        if (!m_openedProjects.contains(strPath))
            m_openedProjects.append(strPath);
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

int TessaraOptions::ClaimInstanceSlot(const QString& strFolder)
{
    return GUARD_RUN([&] {
        m_instanceLock.reset();
        m_instanceSlot = 0;
        for (int nSlot = 0; nSlot < MaxInstanceSlots; ++nSlot) {
            auto pLock =
                std::make_unique<QLockFile>(QDir(strFolder).filePath(QStringLiteral("Instance%1.lock").arg(nSlot)));
            // Never stale by age: an editor runs for days. A crashed one's marker is recognised by its pid.
            pLock->setStaleLockTime(0);
            if (pLock->tryLock(0)) {
                m_instanceLock = std::move(pLock);
                m_instanceSlot = nSlot;
                break;
            }
        }
        return m_instanceSlot;
    });
}

void TessaraOptions::OnMergeOptions(const QMap<QString, QVariant>& fileOptions)
{
    GUARD_RUN([&] {
        QStringList astrMerged;
        for (const QString& strPath : std::as_const(m_recentProjects))
            if (m_openedProjects.contains(strPath))
                astrMerged.append(strPath);
        for (int i = 0; i < MaxRecentProjects; ++i) {
            const QString strPath = fileOptions.value(RecentFileOption(i)).toString();
            if (!strPath.isEmpty())
                astrMerged.append(strPath);
        }
        astrMerged += m_recentProjects;
        astrMerged.removeDuplicates();
        m_recentProjects = astrMerged.mid(0, MaxRecentProjects);
        SaveRecentProjects();
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
