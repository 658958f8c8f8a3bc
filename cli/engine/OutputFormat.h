#pragma once

#include "misc/Object.h"

#include <string>

namespace Engine {

// The image format an output file gets from its extension. Checked before any tile is read, so
// that a mistyped extension ends the run at once instead of after all the work.
class OutputFormat : public Object
{
public:
    // False with a description naming the path and the extension when the path is a directory or
    // no image writer knows the extension. Needs an initialised ImageMagick.
    bool Check(const std::string& strPath);

    // After a successful Check: the format's name and, in parentheses, its description.
    const std::string& GetDescription() const { return m_description; }

private:
    std::string m_description;
};

} // namespace Engine
