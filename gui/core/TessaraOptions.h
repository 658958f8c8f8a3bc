#pragma once

#include "misc/OptionSet.h"

#include <QLockFile>
#include <QStringList>

#include <memory>

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

    // Takes the lowest numbered instance marker in strFolder that no other running editor holds and
    // keeps it while this object lives; the number is how many editors were open before this one,
    // at least as far as the main window's place goes.
    int ClaimInstanceSlot(const QString& strFolder);
    int GetInstanceSlot() const { return m_instanceSlot; }

protected:
    void OnLoadOptions() override;
    void OnSaveOptions() override;
    // Recent projects opened here come first, then the file's list, then the rest of this one's.
    void OnMergeOptions(const QMap<QString, QVariant>& fileOptions) override;

private:
    static constexpr int MaxInstanceSlots = 16;

    QStringList m_recentProjects; // most recent first
    QStringList m_openedProjects; // added since the start, for the merge with other instances
    std::unique_ptr<QLockFile> m_instanceLock;
    int m_instanceSlot = 0;
};

} // namespace Core
