// The colour text of project files.
#include "misc/Color.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const Misc::Color color(std::string(reinterpret_cast<const char*>(pData), nSize));
    if (!color.IsValid() || color.GetRed() > 255 || color.GetGreen() > 255 || color.GetBlue() > 255)
        __builtin_trap();
    return 0;
}
