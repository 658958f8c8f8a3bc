#pragma once

#include "misc/Object.h"

#include <string>

namespace Engine {

// The image library's resource limits as they apply to one canvas, so that a canvas too large
// to create is reported with the limit it hits and its own size.
class CanvasLimits : public Object
{
public:
    // False, with a description, when a side is beyond the library's width or height limit.
    bool Admits(int nWidth, int nHeight);
    // Text for a canvas the library refused for another reason (memory, map or disk).
    std::string DescribeFailure(int nWidth, int nHeight, const std::string& strReason) const;
};

// The library's width or height limit in the notation of its policy files ("1MP"), or "unlimited".
std::string SideLimitText(bool bHeight);

} // namespace Engine
