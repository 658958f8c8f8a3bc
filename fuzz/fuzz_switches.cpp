// The command line: arguments separated by NUL bytes, parsed and checked against the switch rules.
#include "cmdline/TessaraCmdLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<std::string> arguments{"tesscli"};
    std::string strCurrent;
    for (size_t n = 0; n < nSize; ++n) {
        if (pData[n] == '\0') {
            arguments.push_back(strCurrent);
            strCurrent.clear();
        } else {
            strCurrent += static_cast<char>(pData[n]);
        }
    }
    arguments.push_back(strCurrent);
    std::vector<const char*> argv;
    for (const std::string& strArgument : arguments)
        argv.push_back(strArgument.c_str());

    CmdLine::TessaraCmdLine cmdLine;
    cmdLine.Initialize(static_cast<int>(argv.size()), argv.data());
    if (cmdLine.Parse())
        cmdLine.Validate();
    cmdLine.GetUsage();
    return 0;
}
