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

    // Points ImageMagick at the folder; false (the library's default place stays) when it
    // could not be created.
    bool Activate();

private:
    std::string m_path;
};

} // namespace Misc
