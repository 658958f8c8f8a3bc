#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "ui/MainWindowFactory.h"

using Core::TessaraCore;

int main(int argc, char** argv)
{
    try {
        // Only the program name reaches Qt: the one argument the editor takes is a project file.
        if (!TessaraCore::CreateCore(1, argv, &UI::CreateMainWindow) || !TessaraCore::s_instance)
            return 1;
        int nExitCode = 1;
        if (TessaraCore::s_instance->InitializeCore()) {
            TessaraCore::s_instance->OpenProjectArgument(argc, argv);
            nExitCode = TessaraCore::s_instance->RunCore();
        }
        TessaraCore::s_instance->ShutdownCore();
        TessaraCore::DestroyCore();
        return nExitCode;
    } catch (...) {
        // The options are deliberately not saved: the state that failed may be inconsistent.
        Misc::Guard_FatalError();
        return 2;
    }
}
