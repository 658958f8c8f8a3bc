#include "core/TessaraCore.h"

#include <cstdio>

int main(int argc, char** argv)
{
    using Core::TessaraCore;
    if (!TessaraCore::CreateCore() || !TessaraCore::s_instance)
        return Contract::ExitCoreFailed;

    TessaraCore* pCore = TessaraCore::s_instance;
    if (pCore->InitializeCore(argc, argv))
        pCore->RunCore();
    // Every run ends with an empty line, the usage and errors included.
    std::fputs("\n", stdout);
    std::fflush(stdout);

    const int nExitStatus = pCore->GetExitStatus();
    pCore->ShutdownCore();
    TessaraCore::DestroyCore();
    return nExitStatus;
}
