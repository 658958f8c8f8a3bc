#pragma once

#include <string>

namespace Misc {

// A folder of this process's own for ImageMagick's temporary files (pixel caches of images too
// large for memory), inside MAGICK_TEMPORARY_PATH, TMPDIR or /tmp. It is removed with whatever
// it holds when the object goes, or by the interrupt cleanup, so no cache is left behind.
class PrivateTempFolder
{
public:
    PrivateTempFolder();
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // Creates the folder and points ImageMagick at it; if it cannot be created, the library's
    // own default place stays in use.
    void Activate();

private:
    std::string m_path;
};

} // namespace Misc
