#include "engine/OutputFormat.h"

#include "codecs/StreamingWriters.h"
#include "misc/Format.h"

#include <Magick++.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace Engine {

namespace {
// The writer ImageMagick would choose for the extension, or null when it has none.
const MagickCore::MagickInfo* FindWriter(const std::string& strExtension)
{
    MagickCore::ExceptionInfo* pException = MagickCore::AcquireExceptionInfo();
    const MagickCore::MagickInfo* pInfo = MagickCore::GetMagickInfo(strExtension.c_str(), pException);
    MagickCore::DestroyExceptionInfo(pException);
    return pInfo && MagickCore::GetImageEncoder(pInfo) ? pInfo : nullptr;
}
} // namespace

bool OutputFormat::Check(const std::string& strPath)
{
    m_description.clear();
    const fs::path path(strPath);
    std::string strExtension = path.extension().string();
    if (!strExtension.empty())
        strExtension.erase(0, 1);
    const std::string strShownPath = Misc::Printable(strPath);
    const std::string strShownExtension = Misc::Printable(strExtension);

    std::error_code error;
    if (fs::is_directory(path, error)) {
        SetLastError("The output file %s is a directory (extension '%s'); name an image file instead",
                     strShownPath.c_str(), strShownExtension.c_str());
        return false;
    }
    // Without an extension ImageMagick would fall back on the canvas's own pseudo-format and fail
    // only after every tile was read.
    if (strExtension.empty()) {
        SetLastError("The output file %s has no extension (such as '.png') to choose the image format by",
                     strShownPath.c_str());
        return false;
    }
    // ImageMagick writes no DeepZoom pyramid; the streaming writer does.
    if (Codecs::StreamingFormatName(strPath) == "DZI") {
        m_description = "DZI (DeepZoom image pyramid)";
        return true;
    }
    const MagickCore::MagickInfo* pWriter = FindWriter(strExtension);
    if (!pWriter) {
        SetLastError("No image writer knows the extension '%s' of the output file %s", strShownExtension.c_str(),
                     strShownPath.c_str());
        return false;
    }
    m_description = pWriter->name ? pWriter->name : strExtension;
    if (pWriter->description && *pWriter->description)
        m_description += std::string(" (") + pWriter->description + ")";
    return true;
}

} // namespace Engine
