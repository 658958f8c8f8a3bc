#include "misc/PrivateTempFolder.h"

#include "misc/InterruptCleanup.h"
#include "misc/Path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace Misc {

namespace {
std::string TemporaryBase()
{
    for (const char* pName : {"MAGICK_TEMPORARY_PATH", "TMPDIR"}) {
        const char* pValue = std::getenv(pName);
        if (pValue && *pValue)
            return pValue;
    }
    return "/tmp";
}
} // namespace

PrivateTempFolder::PrivateTempFolder() = default;

PrivateTempFolder::~PrivateTempFolder()
{
    if (m_path.empty())
        return;
    InterruptCleanup::ClearTemporaryFolder();
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

void PrivateTempFolder::Activate()
{
    std::string strTemplate = CombinePath(TemporaryBase(), "tesscli-XXXXXX");
    if (!mkdtemp(strTemplate.data()))
        return;
    m_path = strTemplate;
    InterruptCleanup::SetTemporaryFolder(m_path);
    setenv("MAGICK_TEMPORARY_PATH", m_path.c_str(), 1);
}

} // namespace Misc
