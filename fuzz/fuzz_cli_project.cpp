// tesscli's project reader, followed by the data set built from what it read.
#include "FuzzInputFile.h"
#include "core/TessaraProject.h"
#include "data/DataCollector_Project.h"
#include "data/DataSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static FuzzInputFile s_input;
    Core::TessaraProject project;
    if (!project.LoadProject(s_input.Write(pData, nSize)))
        return 0;
    Data::DataCollector_Project collector(project);
    Data::DataSet dataSet;
    if (dataSet.Collect(&collector) && dataSet.IsComplete())
        dataSet.ArrangeInputFiles();
    return 0;
}
