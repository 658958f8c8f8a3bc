#pragma once

#include "misc/OptionSet.h"

#include <QStringList>

namespace Core {

// The editor's preferences, stored in Config/Tessara.cfg, plus the eight most recent projects.
class TessaraOptions : public Misc::OptionSet
{
public:
    static constexpr int MaxRecentProjects = 8;

    static QString GetConfigFile();

    void AddRecentProject(const QString& strPath);
    const QStringList& GetRecentProjects() const { return m_recentProjects; }

    void LoadRecentProjects();
    void SaveRecentProjects();

protected:
    void OnLoadOptions() override;
    void OnSaveOptions() override;

private:
    QStringList m_recentProjects; // most recent first
};

} // namespace Core
