// The editor's project reader (QDomDocument).
#include "FuzzInputFile.h"
#include "core/TessaraProject.h"

#include <QCoreApplication>
#include <QString>

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    // Row file names are resolved against the application's directory.
    static QCoreApplication s_application(*pArgc, *pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static FuzzInputFile s_input;
    Core::TessaraProject project;
    project.LoadProject(QString::fromStdString(s_input.Write(pData, nSize)));
    return 0;
}
