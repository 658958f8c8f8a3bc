#pragma once

#include <string>

namespace Engine {

// Whether ImageMagick's TIFF reader gives the file's first image an alpha channel; false for a
// file of another format (strMagick as the library names it). Its ping stops before it looks at
// the extra samples and never says so, while the decoded image does.
bool TiffDeclaresAlpha(const std::string& strMagick, const std::string& strFile);

} // namespace Engine
